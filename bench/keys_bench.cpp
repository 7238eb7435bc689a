// Times what a user waits for after a key in a drive window: the whole program
// (offscreen) with its list, tags, panels and progress window, driven by the
// keys a user presses, against the system's tool on the same files in the same
// run. One case per process, so that the memory of one does not count in another.
//   bench_keys_bench WORKDIR OTHERFS CASE [FILES]
//     copy N     tagged copy of N files of 4 KB (tagged in the global view)  vs cp -r
//     move N     the same, moved to OTHERFS (another file system)             vs mv
//     delete N   tagged delete, "Delete to trash" off                         vs rm -r
//     trash N    tagged delete, "Delete to trash" on                          vs gio trash
//     rename N   rename by the mask *.new                                     vs a loop of mv
//     tags N     Ctrl+T, I, Ctrl+U on N files of the global view (ms each)
//     logging N  N files in N/20 folders, slow logging, each folder opened   vs find -printf
//     rss N      peak memory after logging N files the same way
// Files lie in folders of 1,000 (logging and rss: 20 or 1,000 per folder, two
// levels deep so that slow logging reads every folder).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTest>
#include <QTreeWidgetItem>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include "browse/frmBrws.h"
#include "browse/logging.h"
#include "config/more.h"
#include "fileops/frmCopy.h"
#include "fileops/frmInput.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/prefix.h"
#include "shell/MDIQuorl.h"
#include "shell/frmShowUp.h"
#include "ui/prompter.h"
#include "setup.h"
#include "timing.h"

namespace {

QString base, other;
std::unique_ptr<MDIQuorl> mainForm;
frmBrws* window = nullptr;
QMap<QString, int> told;   // every message the program gave, with how often

double RunTool(const QString& program, const QStringList& args) {
    return Seconds([&] {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(program, args);
        p.waitForFinished(-1);
    });
}

// Files of `size` bytes, `perFolder` to a folder: folder/gNN/fNN_NNNN.dat,
// names unique over all folders (a tagged copy puts them into one folder).
QStringList MakeTree(const QString& root, int files, int perFolder, int size) {
    const QByteArray data(size, 'q');
    QStringList paths;
    for (int i = 0; i < files; ++i) {
        const QString folder = root + QString::asprintf("/g%02d", i / perFolder);
        if (i % perFolder == 0) QDir().mkpath(folder);
        const QString path = folder + QString::asprintf("/f%02d_%04d.dat", i / perFolder, i % perFolder);
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (size > 0) (void)!::write(fd, data.constData(), size);
        ::close(fd);
        paths << path;
    }
    return paths;
}

// Two levels under the root, `folders` in all (each top folder holding up to 99,
// within the slow method's reach), `files` spread evenly over all of them.
// Logging only reads the tree, so it is made once and kept for later runs
// under $QUORL_BENCH_TREES (default /tmp/quorl-bench-trees), with a mark
// written when it is whole: a million files take minutes to make.
void MakeDeepTree(const QString& root, int folders, int files) {
    const int top = (folders + 99) / 100;
    QStringList all;
    for (int t = 0; t < top; ++t) {
        const QString topFolder = root + QString::asprintf("/t%02d", t);
        all << topFolder;
        for (int s = 0; s < 99 && all.size() < folders; ++s) all << topFolder + QString::asprintf("/s%02d", s);
    }
    for (const QString& f : all) QDir().mkpath(f);
    for (int i = 0; i < files; ++i) {
        const QString path = all[i % all.size()] + QString::asprintf("/f%07d.txt", i);
        ::close(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
    }
}

QString DeepTree(int folders, int files) {
    QString trees = qEnvironmentVariable("QUORL_BENCH_TREES");
    if (trees.isEmpty()) trees = "/tmp/quorl-bench-trees";
    const QString root = trees + QString("/deep-%1-%2").arg(files).arg(folders);
    const QString mark = root + ".whole";
    if (QFile::exists(mark)) return root;
    QDir(root).removeRecursively();
    const double made = Seconds([&] { MakeDeepTree(root, folders, files); });
    QFile(mark).open(QIODevice::WriteOnly);
    std::printf("made %s in %.1f s; kept for later runs\n", qPrintable(root), made);
    return root;
}

void Link(const QString& target, const QString& link) {
    QFile::remove(link);
    (void)!::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData());
}

// A prefix as setup makes it for a new user, with d: on the work folder and e:
// on the other file system.
bool MakePrefix() {
    qputenv("XDG_DATA_HOME", QFile::encodeName(base + "/xdg"));
    SetupOptions options;
    options.prefix = base + "/xdg/quorl";
    options.quorlBinary = QCoreApplication::applicationDirPath() + "/Quorl";
    options.toolsFolder = QCoreApplication::applicationDirPath();
    options.login = "bench";
    options.home = base + "/home";
    QDir().mkpath(options.home);
    QString error;
    if (!SetupPrefix(options, &error)) {
        std::fprintf(stderr, "setup failed: %s\n", qPrintable(error));
        return false;
    }
    QDir().mkpath(base + "/d");
    Link(base + "/d", options.prefix + "/dosdevices/d:");
    Link(other, options.prefix + "/dosdevices/e:");
    platform::SetPrefixFolder(options.prefix);
    return true;
}

void Key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    if (QApplication::activeWindow() != mainForm.get()) QApplication::setActiveWindow(mainForm.get());
    QApplication::processEvents();
    QWidget* f = QApplication::focusWidget();
    QTest::keyClick(f ? f : window, k, mods);
    QApplication::processEvents();
}

// The program started as the user starts it; d: logged into its window.
bool Start() {
    ResetProgramState();
    SetPromptHandler([](const PromptRequest& r) {
        told[r.text] += 1;
        // Each file is not confirmed on its own; every other question gets Yes.
        return r.text.startsWith("Confirm ") ? PromptAnswer::No
               : r.buttons == PromptButtons::Ok ? PromptAnswer::Ok
                                                : PromptAnswer::Yes;
    });
    frmShowUp splash;
    mainForm.reset(splash.Form_Load());
    if (!mainForm) return false;
    mainForm->show();
    QApplication::setActiveWindow(mainForm.get());
    LogDrive("d:");
    window = ActiveDriveWindow();
    if (!window) return false;
    window->DirList->setFocus();
    return true;
}

QTreeWidgetItem* Child(QTreeWidgetItem* node, const QString& name) {
    for (int i = 0; i < node->childCount(); ++i)
        if (node->child(i)->text(0) == name) return node->child(i);
    return nullptr;
}

// Opens d:\src, logs each of its folders (Ctrl+L on each), and lists them all in
// the global view (G): the files are in the list, ready to be tagged.
int ListSource() {
    QTreeWidgetItem* src = Child(window->Node(1), "src");
    if (!src) return 0;
    window->DirList->setCurrentItem(src);
    src->setExpanded(true);
    for (int i = 0; i < src->childCount(); ++i) {
        window->DirList->setCurrentItem(src->child(i));
        Key(Qt::Key_L, Qt::ControlModifier);
    }
    window->DirList->setCurrentItem(window->Node(1));
    Key(Qt::Key_G);
    return window->FileList->count();
}

int Tagged() { return int(window->FileList->selectedItems().size()); }

int FilesUnder(const QString& folder) {
    int n = 0;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        n += f.isDir() ? FilesUnder(f.filePath()) : 1;
    return n;
}

void Report(const char* name, int files, double ours, double reference, const char* target, const QString& note) {
    std::printf("%-8s %7d files %9.3f s %9.3f s %7.2fx   (target %s)%s\n", name, files, ours, reference,
                ours / reference, target, qPrintable(note));
}

// What a user would notice besides the time: files left out of the list or
// not done, and the messages shown.
QString Note(int files, int listed, int done) {
    QString note;
    if (listed != files) note += QString("  listed %1").arg(listed);
    if (done != files) note += QString("  done %1").arg(done);
    for (auto it = told.begin(); it != told.end(); ++it)
        if (!it.key().startsWith("Confirm ")) note += QString("  told %1x \"%2\"").arg(it.value()).arg(it.key());
    return note;
}

void FileCase(const QString& name, int files) {
    const QStringList refFiles = QDir(base + "/ref").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (name == "trash") SetMoreValue(more::DeleteToTrash, "true");
    else if (name == "delete") SetMoreValue(more::DeleteToTrash, "false");
    const int listed = ListSource();
    Key(Qt::Key_T, Qt::ControlModifier);
    const int tagged = Tagged();
    double ours = 0, ref = 0;
    int done = 0;
    auto fillCopy = [](const QString& to) {
        SetModalFormHandler([to](QWidget* f) {
            if (auto* c = qobject_cast<frmCopy*>(f)) {
                QTest::keyClick(c->txtAs, Qt::Key_Return);
                c->txtTo->setText(to);
                QTest::keyClick(c->txtTo, Qt::Key_Return);
            } else if (auto* in = qobject_cast<frmInput*>(f)) {
                in->txtBox->setText("*.new");
                QTest::keyClick(in->txtBox, Qt::Key_Return);
            }
        });
    };
    if (name == "copy") {
        QDir().mkpath(base + "/d/dst");
        ref = RunTool("cp", {"-r", base + "/ref", base + "/ref-copy"});
        fillCopy("d:\\dst");
        ours = Seconds([] { Key(Qt::Key_C, Qt::ControlModifier); });
        done = FilesUnder(base + "/d/dst");
    } else if (name == "move") {
        QDir().mkpath(other + "/dst");
        ref = RunTool("mv", {base + "/ref", other + "/ref"});
        fillCopy("e:\\dst");
        ours = Seconds([] { Key(Qt::Key_M, Qt::ControlModifier); });
        done = FilesUnder(other + "/dst");
    } else if (name == "delete" || name == "trash") {
        if (name == "delete") ref = RunTool("rm", {"-r", base + "/ref"});
        else {
            QStringList args{"trash"};
            for (const QString& f : refFiles)
                for (const QString& n : QDir(base + "/ref/" + f).entryList(QDir::Files)) args << base + "/ref/" + f + "/" + n;
            ref = RunTool("gio", args);
        }
        ours = Seconds([] { Key(Qt::Key_D, Qt::ControlModifier); });
        done = files - FilesUnder(base + "/d/src");
    } else if (name == "rename") {
        ref = RunTool("bash", {"-c", "for f in \"$1\"/*/*.dat; do mv -- \"$f\" \"${f%.dat}.new\"; done", "-",
                               base + "/ref"});
        fillCopy(QString());
        ours = Seconds([] { Key(Qt::Key_R, Qt::ControlModifier); });
        done = 0;
        for (const QString& f : QDir(base + "/d/src").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            done += QDir(base + "/d/src/" + f).entryList({"*.new"}, QDir::Files).size();
    }
    SetModalFormHandler(nullptr);
    const QString panels = QString("  panels: %1, %2").arg(window->stsFileInfo[4]->text(), window->stsFileInfo[1]->text());
    Report(qPrintable(name), files, ours, ref, "<= 3x", Note(files, qMin(listed, tagged), done) + panels);
}

void TagsCase(int files) {
    const int listed = ListSource();
    const double tag = Seconds([] { Key(Qt::Key_T, Qt::ControlModifier); });
    const int all = Tagged();
    const double invert = Seconds([] { Key(Qt::Key_I); });
    const int none = Tagged();
    Key(Qt::Key_I);
    const double untag = Seconds([] { Key(Qt::Key_U, Qt::ControlModifier); });
    std::printf("tags     %7d files  tag all %6.1f ms  invert %6.1f ms  untag %6.1f ms   (target <= 50 ms each)%s\n",
                files, tag * 1e3, invert * 1e3, untag * 1e3,
                qPrintable(Note(files, listed, all) + (none == 0 && Tagged() == 0 ? "" : "  tags wrong")));
}

// Folders whose files are in the picture.
int LoggedFolders() {
    int n = 0;
    const DriveSlot& slot = CurrentDriveSlot();
    for (int i = 0; i < slot.LineCount; ++i)
        if (slot.Lines[i].startsWith('>') && slot.Lines[i].endsWith("/L")) ++n;
    return n;
}

// Slow logging reads the files of a folder's subfolders when the folder opens:
// Right on the root, then Right on each of its folders.
double LogWholeDrive() {
    Settings[3] = QString("slow");
    Settings[2] = 99;
    QTreeWidgetItem* root = window->Node(1);
    window->DirList->setCurrentItem(root);
    window->DirList->setFocus();
    return Seconds([root] {
        Key(Qt::Key_Right);
        for (int i = 0; i < root->childCount(); ++i) {
            window->DirList->setCurrentItem(root->child(i));
            Key(Qt::Key_Right);
        }
    });
}

void LoggingCase(int files, bool memory) {
    const int folders = memory ? files / 1000 : files / 20;
    const QString tree = DeepTree(folders, files);
    Link(tree, base + "/xdg/quorl/dosdevices/d:");
    if (!Start()) return;
    const double ref = memory ? 0 : RunTool("find", {tree, "-printf", "%p %s %t\n"});
    const double ours = LogWholeDrive();
    const int lines = CurrentDriveSlot().LineCount;
    const QString note = Note(files + folders + 1, lines, lines) + QString("  %1 of %2 folders logged").arg(LoggedFolders()).arg(folders + 1);
    if (!memory) {
        Report("logging", files, ours, ref, "<= 2x", note);
        return;
    }
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("rss      %7d files %9.1f MB peak, %d lines logged in %.2f s   (target <= 300 MB)%s\n", files,
                usage.ru_maxrss / 1024.0, lines, ours, qPrintable(note));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_keys_bench WORKDIR OTHERFS CASE [FILES]\n");
        return 2;
    }
    const QString which = QString::fromLocal8Bit(argv[3]);
    const int files = argc > 4 ? atoi(argv[4]) : 1000;
    base = QString::fromLocal8Bit(argv[1]) + "/" + which + "-" + QString::number(files);
    other = QString::fromLocal8Bit(argv[2]) + "/" + which + "-" + QString::number(files);
    QDir(base).removeRecursively();
    QDir(other).removeRecursively();
    QDir().mkpath(base);
    QDir().mkpath(other);
    if (!MakePrefix()) return 1;
    if (which == "logging" || which == "rss") {
        LoggingCase(files, which == "rss");
    } else {
        MakeTree(base + "/d/src", files, 1000, which == "tags" ? 0 : 4096);
        if (which != "tags") MakeTree(base + "/ref", files, 1000, 4096);
        if (!Start()) return 1;
        if (which == "tags") TagsCase(files);
        else FileCase(which, files);
    }
    std::fflush(stdout);
    mainForm.reset();
    QDir(base).removeRecursively();
    QDir(other).removeRecursively();
    // The windows' teardown is no part of what is measured.
    ::_exit(0);
}
