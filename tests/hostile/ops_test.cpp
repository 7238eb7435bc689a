// Hostile drives seen through the whole program: links tagged and deleted, odd
// names copied, deep folders renamed, a full picture and a big folder of capital
// names.
#include <QElapsedTimer>
#include <climits>
#include <fcntl.h>
#include "../fileops/ops_fixture.h"
#include "../platform/helpers.h"
#include "config/settings.h"
#include "fileops/folders.h"
#include "platform/hostfs.h"

namespace {

class HostileOpsTest : public OpsTest {
public:
    QString host(const QString& dos) const { return prefix.host(dos); }
    void plantLink(const QString& target, const QString& linkDos) {
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(host(linkDos)).constData()), 0);
    }
};

TEST_F(HostileOpsTest, DeletingTaggedLinksRemovesTheLinksAndLeavesTheirTargetsAttributes) {
    put("d:\\keep\\ro.txt", "read only");
    put("d:\\keep\\hidden.txt", "hidden");
    put("d:\\links\\plain.txt", "plain");
    setAttributes("d:\\keep\\ro.txt", platform::attr::ReadOnly | platform::attr::Archive);
    setAttributes("d:\\keep\\hidden.txt", platform::attr::Hidden | platform::attr::Archive);
    const QString ro = host("d:\\keep\\ro.txt"), hidden = host("d:\\keep\\hidden.txt");
    const QByteArray hiddenAttrib = testhost::RawDosAttrib(hidden);
    plantLink(ro, "d:\\links\\l1.txt");
    plantLink(hidden, "d:\\links\\l2.txt");
    start({"d:"});
    Settings[4] = QVariant(true);   // links to hidden files are listed
    openFolder("d:\\links");
    ASSERT_EQ(names(), QStringList({"l1.txt", "l2.txt", "plain.txt"}));
    focusList();
    tag({"l1.txt", "l2.txt"});
    prompts.expect("Confirm delete for each file ?", No);
    ASSERT_EQ(selectedNames(), QStringList({"l1.txt", "l2.txt"}));
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\links"), QStringList({"plain.txt"}));
    EXPECT_EQ(testhost::ModeOf(ro) & 0222, 0u) << "the target stays read-only";
    EXPECT_EQ(testhost::RawDosAttrib(hidden), hiddenAttrib) << "the target stays hidden";
    EXPECT_EQ(content("d:\\keep\\ro.txt"), "read only");
    expectPictureMatchesDisk();
}

TEST_F(HostileOpsTest, FilesWhoseLowerCaseNameDiffersInLengthAreCopiedUnderTheirOwnNames) {
    const QString turkish = QString::fromUtf8("\u0130stanbul.txt");
    const QString longName = QString(100, QChar(0x023A)) + ".txt";
    put("d:\\src\\plain.txt", "plain");
    QFile(host("d:\\src") + "/" + turkish).open(QIODevice::WriteOnly);
    {
        QFile f(host("d:\\src") + "/" + longName);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("long");
    }
    folder("d:\\dst");
    start({"d:", "d:\\dst", "d:\\src"});
    ASSERT_EQ(names().size(), 3);
    focusList();
    key(Qt::Key_T, Qt::ControlModifier);
    expectCopyDialog("Copy all tagged files", "d:\\dst");
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QFileInfo::exists(host("d:\\dst") + "/" + turkish));
    EXPECT_TRUE(QFileInfo::exists(host("d:\\dst") + "/" + longName));
    EXPECT_EQ(content("d:\\dst\\plain.txt"), "plain");
    EXPECT_EQ(names().size(), 3) << "no line is dropped";
    expectPictureMatchesDisk();
}

TEST_F(HostileOpsTest, ADeepFolderIsRenamedInPlaceWithItsWholeNameOrNotAtAll) {
    const QString a(100, 'a'), b(100, 'b'), c(60, 'c');
    const QString parent = "d:\\" + a + "\\" + b + "\\" + c;
    put(parent + "\\ddd\\f.txt", "f");
    start({"d:", "d:\\" + a, "d:\\" + a + "\\" + b, parent, parent + "\\ddd"});
    clickFolder(parent + "\\ddd");
    const QString newName = QString(60, 'n');
    RenameFolder(w, newName);
    EXPECT_TRUE(isFolder(parent + "\\" + newName)) << "renamed where it stood, under its whole name";
    EXPECT_EQ(diskNames(parent), QStringList({newName}));
    EXPECT_EQ(node(parent + "\\" + newName) ? node(parent + "\\" + newName)->text(0) : QString(), newName);
    expectPictureMatchesDisk();

    // A name longer than the file system takes is refused with its message; nothing changes.
    prompts.expect("Bad file name", Ok, "Error");
    RenameFolder(w, QString(300, 'x'));
    EXPECT_EQ(diskNames(parent), QStringList({newName}));
    EXPECT_TRUE(node(parent + "\\" + newName));
    EXPECT_EQ(slot().CurrentPath, parent + "\\" + newName);
    expectPictureMatchesDisk();
}

TEST_F(HostileOpsTest, MakingAFolderWhenThePictureIsFullSaysSoAndThatTheFolderWasMade) {
    // Six folders of 1400 files fill the 8000 lines.
    for (int f = 0; f < 6; ++f) {
        folder(QString("d:\\f%1").arg(f));
        const QString h = host(QString("d:\\f%1").arg(f));
        for (int i = 0; i < 1400; ++i) QFile(h + QString("/%1.txt").arg(i)).open(QIODevice::WriteOnly);
    }
    // The lines a settings file from before allows; the last folder's files do not all fit.
    const QString ini = "c:\\windows\\quorl.ini";
    put(ini, content(ini).replace("Lines per drive=1000000", "Lines per drive=8000"));
    prompts.expect("407 file(s) left out : see Lines per drive in Program, Options, More", Ok, "Error");
    start({"d:", "d:\\f0", "d:\\f1", "d:\\f2", "d:\\f3", "d:\\f4", "d:\\f5"});
    ASSERT_EQ(slot().LineCount, 8000);
    clickFolder("d:");
    prompts.expect("Not enough memory to log more files / folders", Ok, "Error")
        .expect("The folder has been made on disk : d:\\newdir", Ok, "Make folder");
    MakeSub("newdir");
    EXPECT_TRUE(isFolder("d:\\newdir"));
    EXPECT_TRUE(prompts.done());
}

// A folder near the system's path limit holds a file no call can reach by name:
// logging the folder shows what it can and says that something is left out.
TEST_F(HostileOpsTest, AFolderWhoseEntriesLieBeyondThePathLimitSaysSo) {
    QString path = "d:";
    QByteArray hostFolder = QFile::encodeName(host("d:"));
    const int top = ::open(hostFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int fd = top;
    // Folders made one inside the other, each opened by its parent, until the
    // deepest leaves room for a short name and not for a long one.
    for (;;) {
        const qsizetype room = PATH_MAX - 100 - hostFolder.size() - 1;
        if (room < 1) break;
        const QByteArray name(qMin<qsizetype>(250, room), char('a' + path.count('\\')));
        ASSERT_EQ(::mkdirat(fd, name.constData(), 0755), 0);
        const int child = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd != top) ::close(fd);
        fd = child;
        hostFolder += "/" + name;
        path += "\\" + QString::fromLatin1(name);
    }
    ::close(::openat(fd, "short.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    const QByteArray beyond(120, 'z');
    ::close(::openat(fd, beyond.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    start({"d:"});
    // Down the tree, each folder logged (Ctrl+L) and opened on the way.
    for (QString at = "d:"; at != path;) {
        const qsizetype next = path.indexOf('\\', at.size() + 1);
        at = next < 0 ? path : path.left(next);
        ASSERT_TRUE(node(at)) << at.size();
        if (at == path) prompts.expect("Path too long to log more files / folders", Ok, "Error");
        w->DirList->setCurrentItem(node(at));
        key(Qt::Key_L, Qt::ControlModifier);
        key(Qt::Key_Right);
    }
    EXPECT_EQ(names(), QStringList({"short.txt"}));
    EXPECT_TRUE(prompts.done());
    // What a path cannot reach goes through its folder, so that the test's folder can be removed.
    EXPECT_EQ(::unlinkat(fd, beyond.constData(), 0), 0);
    ::close(fd);
    ::close(top);
}

// A tagged copy, move, rename and delete out of a folder of capital names: write
// probes, folder reads, drive link reads, folder walks and changes of the list
// go once per folder or run, not per file; each file's name is looked up and
// its drives looked at a fixed few times, and the progress bar paints with the
// frames.
TEST_F(HostileOpsTest, ATaggedCopyMoveRenameAndDeleteProbeReadAndRefillOncePerFolderNotOncePerFile) {
    constexpr int kFiles = 400;
    folder("d:\\src");
    for (int i = 0; i < kFiles; ++i) {
        QFile f(host("d:\\src") + QString("/FILE%1.TXT").arg(i, 4, 10, QChar('0')));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(i));
    }
    folder("d:\\dst");
    folder("d:\\moved");
    start({"d:", "d:\\dst", "d:\\moved", "d:\\src"}, true);
    ASSERT_EQ(names().size(), kFiles);
    struct Work {
        quint64 probes, reads, linkReads, folderWalks, entryLookups, driveLooks;
        int listChanges, barPaints;
    };
    int listChanges = 0;
    // The progress bar is painted with the frames, not for every file it counts.
    struct PaintCount : QObject {
        int n = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            n += e->type() == QEvent::Paint;
            return false;
        }
    } paints;
    GraphForm()->ProgressBar->installEventFilter(&paints);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        QObject::connect(w->FileList->model(), signal, w, [&listChanges] { ++listChanges; });
    auto now = [&] {
        using namespace platform::host;
        return Work{WriteProbeCount(), FolderReadCount(),  DriveLinkReadCount(), FolderWalkCount(),
                    EntryLookupCount(), DriveLookCount(), listChanges,          paints.n};
    };
    // Per file: how many times its own name is looked up, and drives looked at.
    auto run = [&](Qt::Key k, const char* what, quint64 lookupsPerFile, quint64 drivesPerFile) {
        focusList();
        key(Qt::Key_T, Qt::ControlModifier);
        const Work before = now();
        QElapsedTimer clock;
        clock.start();
        key(k, Qt::ControlModifier);
        const Work after = now();
        const int frames = int(clock.elapsed() / 33) + 2;
        // The dialog probes the destination, the run each folder it writes to.
        EXPECT_LE(after.probes - before.probes, 3u) << what << ": write probes for " << kFiles << " files";
        EXPECT_LE(after.reads - before.reads, 20u) << what << ": folder reads for " << kFiles << " files";
        EXPECT_LE(after.listChanges - before.listChanges, 4) << what << ": changes of the list";
        // Drives' links and folders' paths are looked up once per run, not per path a file's steps resolve.
        EXPECT_LE(after.linkReads - before.linkReads, 20u) << what << ": drive link reads";
        EXPECT_LE(after.folderWalks - before.folderWalks, 20u) << what << ": folder paths walked";
        EXPECT_LE(after.entryLookups - before.entryLookups, lookupsPerFile * kFiles + 30) << what << ": names looked up";
        EXPECT_LE(after.driveLooks - before.driveLooks, drivesPerFile * kFiles + 30) << what << ": drives looked at";
        EXPECT_LE(after.barPaints - before.barPaints, 2 * frames) << what << ": progress bar paints";
    };
    expectCopyDialog("Copy all tagged files", "d:\\dst");
    run(Qt::Key_C, "copy", 1, 2);
    EXPECT_EQ(diskNames("d:\\dst").size(), kFiles);
    EXPECT_EQ(content("d:\\dst\\file0123.txt"), "123");
    expectCopyDialog("Move all tagged files", "d:\\moved");
    run(Qt::Key_M, "move", 3, 4);
    EXPECT_EQ(diskNames("d:\\moved").size(), kFiles);
    EXPECT_TRUE(diskNames("d:\\src").isEmpty());
    clickFolder("d:\\moved");
    ASSERT_EQ(names().size(), kFiles);
    expectInputDialog("Rename all tagged files", "*.ren");
    run(Qt::Key_R, "rename", 3, 2);
    EXPECT_EQ(diskNames("d:\\moved").filter(".ren").size(), kFiles);
    prompts.expect("Confirm delete for each file ?", No);
    run(Qt::Key_D, "delete", 1, 2);
    EXPECT_TRUE(diskNames("d:\\moved").isEmpty());
    EXPECT_EQ(names().size(), 0);
}

}  // namespace
