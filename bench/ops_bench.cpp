// Times the file operations against the system's own tools in the same run:
//   copy      one big file                          vs cp
//   sparse    a 100 GiB file of 6 bytes              vs cp --sparse=always
//   small     a tagged copy of 1,000 files of 4 KB   vs cp -r
//   move      1,000 files to another file system    vs mv
//   listing   60 folders x 120 files                vs ls -lR
//   upper     1,500 capital names, listed and each looked up as an operation does   vs ls -l
//   rss       peak memory with 5 drives x 8,000 lines logged
// Usage: bench_ops_bench WORKDIR OTHERFS [copy-MiB | rss]. Prints one line per case:
//   name ours-seconds reference-seconds ratio target
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTreeWidgetItem>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include "browse/frmBrws.h"
#include "browse/logging.h"
#include "fileops/operations.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prefix.h"
#include "shell/MDIQuorl.h"
#include "shell/frmShowUp.h"
#include "ui/errors.h"
#include "ui/prompter.h"
#include "setup.h"
#include "timing.h"

namespace {

QString work, other;

void Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    p.waitForFinished(-1);
}

void Report(const char* name, double ours, double reference, const char* target) {
    std::printf("%-8s %9.3f s %9.3f s %6.2fx   (target %s)\n", name, ours, reference, ours / reference, target);
    std::fflush(stdout);
}

void MakeFiles(const QString& folder, int count, int size, const char* pattern) {
    QDir().mkpath(folder);
    const QByteArray data(size, 'q');
    for (int i = 0; i < count; ++i) {
        QFile f(folder + "/" + QString::asprintf(pattern, i));
        f.open(QIODevice::WriteOnly);
        f.write(data);
    }
}

// The per-file steps of a tagged copy: the probes, then the copy with its attributes.
void CopyLikeTheProgram(const QString& fromDos, const QString& toDos, const QStringList& names, bool move) {
    for (const QString& n : names) {
        const QString src = fromDos + "\\" + n, dst = toDos + "\\" + n;
        TestDrive(src.left(2));
        TestDrive(dst.left(2));
        TestWritable(toDos);
        FileExists(src);
        IsFileInUse(src);
        CopyFile(src, dst, true, true, "A");
        if (move) platform::DeleteFile(src);
    }
}

QStringList Names(int count, const char* pattern) {
    QStringList out;
    for (int i = 0; i < count; ++i) out << QString::asprintf(pattern, i).toLower();
    return out;
}

void BigCopy(qint64 mib) {
    const QString src = work + "/d/big.bin";
    {
        QFile f(src);
        f.open(QIODevice::WriteOnly);
        const QByteArray chunk(1 << 20, 'b');
        for (qint64 i = 0; i < mib; ++i) f.write(chunk);
    }
    // Writeback of one copy slows the next: each side runs three times, in
    // turns, and its best time counts.
    double ref = 1e9, ours = 1e9;
    for (int round = 0; round < 3; ++round) {
        QFile::remove(work + "/d/big-cp.bin");
        QFile::remove(work + "/d/big-ours.bin");
        ref = std::min(ref, Seconds([&] { Run("cp", {src, work + "/d/big-cp.bin"}); }));
        ours = std::min(ours, Seconds([&] { platform::CopyFileTo("d:\\big.bin", "d:\\big-ours.bin"); }));
    }
    Report("copy", ours, ref, "<= 1.1x");
    for (const char* n : {"/d/big.bin", "/d/big-cp.bin", "/d/big-ours.bin"}) QFile::remove(work + n);
}

qint64 BytesTaken(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return qint64(st.st_blocks) * 512;
}

// A 100 GiB file holding 6 bytes: the holes must stay holes, and as fast as cp makes them.
void SparseCopy() {
    const QString src = work + "/d/sparse.bin";
    {
        QFile f(src);
        f.open(QIODevice::WriteOnly);
        f.resize(qint64(100) << 30);
        f.seek(qint64(50) << 30);
        f.write("sparse");
    }
    double ref = 1e9, ours = 1e9;
    for (int round = 0; round < 3; ++round) {
        QFile::remove(work + "/d/sparse-cp.bin");
        QFile::remove(work + "/d/sparse-ours.bin");
        ref = std::min(ref, Seconds([&] { Run("cp", {"--sparse=always", src, work + "/d/sparse-cp.bin"}); }));
        ours = std::min(ours, Seconds([&] { platform::CopyFileTo("d:\\sparse.bin", "d:\\sparse-ours.bin"); }));
    }
    Report("sparse", ours, ref, "<= 2x");
    std::printf("         %lld KiB taken by ours, %lld KiB by cp's, of a 100 GiB file\n",
                BytesTaken(work + "/d/sparse-ours.bin") / 1024, BytesTaken(work + "/d/sparse-cp.bin") / 1024);
    for (const char* n : {"/d/sparse.bin", "/d/sparse-cp.bin", "/d/sparse-ours.bin"}) QFile::remove(work + n);
}

void SmallFiles() {
    MakeFiles(work + "/d/small", 1000, 4096, "f%04d.dat");
    const double ref = Seconds([&] { Run("cp", {"-r", work + "/d/small", work + "/d/small-cp"}); });
    platform::MakeFolder("d:\\small-ours");
    const QStringList names = Names(1000, "f%04d.dat");
    const double ours = Seconds([&] { CopyLikeTheProgram("d:\\small", "d:\\small-ours", names, false); });
    Report("small", ours, ref, "<= 1.5x");
}

void MoveAcross() {
    MakeFiles(work + "/d/mv-a", 1000, 4096, "m%04d.dat");
    MakeFiles(work + "/d/mv-b", 1000, 4096, "m%04d.dat");
    QDir().mkpath(other + "/mv-cp");
    QStringList args;
    for (int i = 0; i < 1000; ++i) args << work + QString::asprintf("/d/mv-a/m%04d.dat", i);
    args << other + "/mv-cp";
    const double ref = Seconds([&] { Run("mv", args); });
    QDir().mkpath(other + "/mv-ours");
    const QStringList names = Names(1000, "m%04d.dat");
    const double ours = Seconds([&] { CopyLikeTheProgram("d:\\mv-b", "e:\\mv-ours", names, true); });
    Report("move", ours, ref, "-");
}

void Listing() {
    for (int f = 0; f < 60; ++f) MakeFiles(work + QString("/d/tree/folder%1").arg(f), 120, f % 97, "file%04d.dat");
    const double ref = Seconds([&] { Run("ls", {"-lR", work + "/d/tree"}); });
    const double ours = Seconds([&] {
        QList<platform::FileEntry> folders, files;
        platform::ListFolders("d:\\tree", true, &folders);
        for (const auto& f : folders) platform::ListFiles("d:\\tree\\" + f.name, "*.*", true, &files);
    });
    Report("listing", ours, ref, "<= 2x");
}

void UpperCase() {
    MakeFiles(work + "/d/upper", 1500, 10, "FILE%04d.TXT");
    const double ref = Seconds([&] { Run("ls", {"-l", work + "/d/upper"}); });
    const QStringList names = Names(1500, "FILE%04d.TXT");
    const double ours = Seconds([&] {
        QList<platform::FileEntry> files;
        platform::ListFiles("d:\\upper", "*.*", true, &files);
        int a = 0;
        for (const QString& n : names) platform::GetAttributes("d:\\upper\\" + n, &a);
    });
    Report("upper", ours, ref, "<= 2x");
}

// Five drives each logged to the 8,000-line limit, in the whole program.
void PeakMemory(const QString& binDir) {
    for (int d = 0; d < 5; ++d)
        for (int f = 0; f < 6; ++f)
            MakeFiles(work + QString("/rss%1/f%2").arg(d).arg(f), 1400, 0, "file%04d.txt");
    SetupOptions options;
    options.prefix = work + "/prefix";
    options.quorlBinary = binDir + "/Quorl";
    options.login = "bench";
    options.home = work;
    QString error;
    if (!SetupPrefix(options, &error)) {
        std::printf("rss      setup failed: %s\n", qPrintable(error));
        return;
    }
    platform::SetPrefixFolder(options.prefix);
    for (int d = 0; d < 5; ++d) {
        const QString link = options.prefix + QString("/dosdevices/%1:").arg(QChar('f' + d));
        ::symlink(QFile::encodeName(work + QString("/rss%1").arg(d)).constData(), QFile::encodeName(link).constData());
    }
    ResetProgramState();
    frmShowUp splash;
    std::unique_ptr<MDIQuorl> main(splash.Form_Load());
    if (!main) return;
    main->show();
    QElapsedTimer t;
    t.start();
    int lines = 0;
    for (int d = 0; d < 4; ++d) {   // c: is the fifth
        LogDrive(QString("%1:").arg(QChar('f' + d)));
        frmBrws* w = ActiveDriveWindow();
        if (!w) break;
        for (int f = 0; f < 6; ++f) {
            QTreeWidgetItem* root = w->Node(1);
            if (f < root->childCount()) {
                w->DirList->setCurrentItem(root->child(f));
                LogFolder(w, w->NodeIndex(root->child(f)), true, true);
            }
        }
        lines += CurrentDriveSlot().LineCount;
    }
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("rss      %9.1f MB peak with %d drives and %d lines logged in %.2f s   (target <= 60 MB)\n",
                usage.ru_maxrss / 1024.0, OpenDriveCount, lines, t.nsecsElapsed() / 1e9);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_ops_bench WORKDIR OTHERFS [copy-MiB]\n");
        return 2;
    }
    work = QString::fromLocal8Bit(argv[1]);
    other = QString::fromLocal8Bit(argv[2]);
    const bool memoryOnly = argc > 3 && QByteArray(argv[3]) == "rss";
    const qint64 mib = argc > 3 && !memoryOnly ? atoll(argv[3]) : 1024;
    const QString prefix = work + "/bench-prefix";
    QDir().mkpath(prefix + "/dosdevices");
    QDir().mkpath(work + "/d");
    QDir().mkpath(work + "/c/windows");
    ::symlink(QFile::encodeName(work + "/c").constData(), QFile::encodeName(prefix + "/dosdevices/c:").constData());
    ::symlink(QFile::encodeName(work + "/d").constData(), QFile::encodeName(prefix + "/dosdevices/d:").constData());
    ::symlink(QFile::encodeName(other).constData(), QFile::encodeName(prefix + "/dosdevices/e:").constData());
    platform::SetPrefixFolder(prefix);
    ResetProgramState();
    SetPromptHandler([](const PromptRequest& r) {
        std::fprintf(stderr, "prompt: %s\n", qPrintable(r.text));
        return PromptAnswer::Yes;
    });
    // The memory is measured in a process of its own, so the other cases do not count.
    if (memoryOnly) {
        PeakMemory(QCoreApplication::applicationDirPath());
        return 0;
    }
    BigCopy(mib);
    SparseCopy();
    SmallFiles();
    MoveAcross();
    Listing();
    UpperCase();
    return 0;
}
