#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include "fileops/operations.h"
#include "ops_fixture.h"

namespace {

// A small RAM disk mounted over a host folder in a mount namespace of the test's
// own thread, so nothing outside the test sees it; where the machine refuses, reason says why.
struct PrivateMount {
    QByteArray path;
    std::string reason;
    PrivateMount(const QString& hostFolder, const char* options) : path(QFile::encodeName(hostFolder)) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", path.constData(), "tmpfs", 0, options) != 0)
            reason = std::string("private tmpfs mount: ") + std::strerror(errno);
    }
    ~PrivateMount() {
        if (reason.empty()) ::umount2(path.constData(), MNT_DETACH);
    }
};

// Root reads any file; for its life this drops that power from the test's
// thread, so that a file of mode 000 is as unreadable as it is for a user.
struct WithoutReadOverride {
    __user_cap_header_struct header {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2] {};
    WithoutReadOverride() {
        ::syscall(SYS_capget, &header, saved);
        __user_cap_data_struct dropped[2] = {saved[0], saved[1]};
        dropped[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ::syscall(SYS_capset, &header, dropped);
    }
    ~WithoutReadOverride() { ::syscall(SYS_capset, &header, saved); }
};

// A socket bound at a host path, as a program of the user's might leave one.
int BindSocket(const QString& hostPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(hostPath).constData(), sizeof address.sun_path - 1);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << std::strerror(errno);
    return fd;
}

QString overwriteQuestion(const QString& path) { return "The file : " + path + " already exist. Overwrite it anyway ?"; }

class CopyMoveTest : public OpsTest {
public:
    // d:\src holds three files of distinct content (and those a test adds); d:\dst exists.
    void openSrc() {
        put("d:\\src\\a.txt", "alpha");
        put("d:\\src\\b.txt", "bravo!");
        put("d:\\src\\c.txt", "charlie");
        folder("d:\\dst");
        start({"d:", "d:\\dst", "d:\\src"});
        ASSERT_EQ(names().mid(0, 3), QStringList({"a.txt", "b.txt", "c.txt"}));
        focusList();
    }
};

TEST_F(CopyMoveTest, NoToTheCreationQuestionLeavesNoNewFolderAndKeepsFoldersThatWereThere) {
    folder("d:\\keep");
    openSrc();
    const QStringList before = lines();
    current("a.txt");
    expectCopyDialog("Copy file", "d:\\keep\\one\\two");
    prompts.expect("d:\\keep\\one\\two" + Exists, No);
    key(Qt::Key_C);
    EXPECT_TRUE(isFolder("d:\\keep"));
    EXPECT_FALSE(exists("d:\\keep\\one"));
    EXPECT_EQ(diskNames("d:"), QStringList({"dst", "keep", "src"}));
    EXPECT_EQ(lines(), before);
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, MovingOntoADifferentFileOfTheSameLengthKeepsTheDataWhateverTheAnswer) {
    put("d:\\dst\\b.txt", "BRAVO?");   // same length as d:\src\b.txt, other bytes
    openSrc();
    current("b.txt");
    // No: both files stay as they were.
    expectCopyDialog("Move file", "d:\\dst");
    prompts.expect(overwriteQuestion("d:\\dst\\b.txt"), No, "Warning");
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\src\\b.txt"), "bravo!");
    EXPECT_EQ(content("d:\\dst\\b.txt"), "BRAVO?");
    EXPECT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    expectPictureMatchesDisk();
    // Yes: the destination holds the source's bytes, and only then is the source gone.
    current("b.txt");
    expectCopyDialog("Move file", "d:\\dst");
    prompts.expect(overwriteQuestion("d:\\dst\\b.txt"), Yes, "Warning");
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\dst\\b.txt"), "bravo!");
    EXPECT_FALSE(exists("d:\\src\\b.txt"));
    EXPECT_FALSE(QFileInfo::exists(prefix.base() + "/Trash/files/b.txt")) << "a moved source is not in the trash";
    EXPECT_EQ(names(), QStringList({"a.txt", "c.txt"}));
    EXPECT_EQ(panel(1), "Matching files : 2");
    expectPictureMatchesDisk();
    // A source that changes while it is copied is not the file the copy holds: it stays, and the user hears so.
    SetCopyChunkHook([this](qint64, qint64) { put("d:\\src\\c.txt", "CHARLIE"); });
    current("c.txt");
    expectCopyDialog("Move file", "d:\\dst");
    prompts.expect("The file : d:\\src\\c.txt changed during the copy. It was not deleted", Ok, "Error");
    key(Qt::Key_M);
    SetCopyChunkHook(nullptr);
    EXPECT_EQ(content("d:\\src\\c.txt"), "CHARLIE");
    EXPECT_EQ(content("d:\\dst\\c.txt"), "charlie");
    EXPECT_EQ(names(), QStringList({"a.txt", "c.txt"}));
}

TEST_F(CopyMoveTest, CopyingOrMovingAFileOntoItselfCopiesAndDeletesNothing) {
    openSrc();
    current("a.txt");
    expectCopyDialog("Copy file", "d:\\src");
    prompts.expect(overwriteQuestion("d:\\src\\a.txt"), Yes);
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\src\\a.txt"), "alpha");
    current("a.txt");
    expectCopyDialog("Move file", "d:\\src");
    prompts.expect(overwriteQuestion("d:\\src\\a.txt"), Yes);
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\src\\a.txt"), "alpha");
    EXPECT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    // Spelled another way, and with overwriting automatic, it is still the same file.
    Settings[5] = QVariant(true);
    current("a.txt");
    expectCopyDialog("Move file", "d:\\dst\\..\\src");
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\src\\a.txt"), "alpha");
    // All tagged files moved into their own folder stay where they are.
    tag({"a.txt", "b.txt", "c.txt"});
    expectCopyDialog("Move all tagged files", "d:\\src");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\src"), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(content("d:\\src\\b.txt"), "bravo!");
    EXPECT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    expectPictureMatchesDisk();
}

// Each file that cannot be moved says why, with the text of its cause; the others move.
TEST_F(CopyMoveTest, ASourceGoneLockedUnreadableOrNoLongerAFileIsReportedAndTheBatchGoesOn) {
    for (const char* name : {"p.txt", "s.txt", "u.txt"}) put(QString("d:\\src\\") + name, name);
    put("d:\\dst\\p.txt", "an older p");
    openSrc();
    ASSERT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt", "p.txt", "s.txt", "u.txt"}));
    key(Qt::Key_T, Qt::ControlModifier);
    QFile::remove(prefix.host("d:\\src\\a.txt"));
    // Another program holds b.txt open with a lock.
    const int fd = ::open(QFile::encodeName(prefix.host("d:\\src\\b.txt")).constData(), O_RDWR | O_CLOEXEC);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
    // Since logging, a named pipe and a socket took the place of two files; one file may no longer be read.
    QFile::remove(prefix.host("d:\\src\\p.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(prefix.host("d:\\src\\p.txt")).constData(), 0600), 0);
    QFile::remove(prefix.host("d:\\src\\s.txt"));
    const int socket = BindSocket(prefix.host("d:\\src\\s.txt"));
    ::chmod(QFile::encodeName(prefix.host("d:\\src\\u.txt")).constData(), 0);
    expectCopyDialog("Move all tagged files", "d:\\dst");
    prompts.expect("File not found", Ok, "Error").expect("Sharing violation", Ok, "Error");
    prompts.expect(overwriteQuestion("d:\\dst\\p.txt"), Yes, "Warning").expect("File not found", Ok, "Error");
    prompts.expect("File not found", Ok, "Error").expect("Access denied / write-protected disk", Ok, "Error");
    {
        const WithoutReadOverride asAUser;
        key(Qt::Key_M, Qt::ControlModifier);
    }
    EXPECT_EQ(diskNames("d:\\dst"), QStringList({"c.txt", "p.txt"}));
    ASSERT_EQ(prompts.statuses().size(), 6);
    EXPECT_EQ(prompts.statuses()[2], "Copying file : p.txt") << "the status names the file a question is about";
    EXPECT_EQ(content("d:\\dst\\p.txt"), "an older p");
    EXPECT_EQ(content("d:\\src\\b.txt"), "bravo!");
    EXPECT_FALSE(exists("d:\\src\\c.txt"));
    EXPECT_EQ(names(), QStringList({"b.txt", "u.txt"})) << "what is no file leaves the list, as a relog would have it";
    expectPictureMatchesDisk();
    ::close(fd);
    ::close(socket);
}

TEST_F(CopyMoveTest, DuplicatingPathsFullyOrPartlyRecreatesTheSourceFoldersBelowTheDestination) {
    put("d:\\top\\one\\x.txt", "one-x");
    put("d:\\top\\two\\deep\\y.txt", "two-y");
    put("d:\\top\\z.txt", "top-z");
    put("d:\\r.txt", "root");
    start({"d:", "d:\\top", "d:\\top\\one", "d:\\top\\two", "d:\\top\\two\\deep"});
    // Full: the whole path of the file below the destination.
    focusList();
    key(Qt::Key_T);
    expectCopyDialog("Copy all tagged files, and duplicate paths", "d:\\x");
    prompts.expect("d:\\x" + Exists, Yes);
    expectDuplicateDialog(true);
    key(Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(content("d:\\x\\top\\two\\deep\\y.txt"), "two-y");
    // A file of the root goes straight into the destination.
    clickFolder("d:");
    focusList();
    current("r.txt");
    key(Qt::Key_T);
    expectCopyDialog("Move all tagged files, and duplicate paths", "d:\\x");
    expectDuplicateDialog(true);
    key(Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(content("d:\\x\\r.txt"), "root");
    EXPECT_FALSE(exists("d:\\r.txt"));
    // Partial, in the branch view of d:\top: the paths below the current folder.
    clickFolder("d:\\top");
    key(Qt::Key_B);
    ASSERT_TRUE(slot().GlobalView);
    ASSERT_EQ(names(), QStringList({"x.txt", "y.txt", "z.txt"}));
    QTest::keyClick(w->FileList, Qt::Key_T, Qt::ControlModifier);
    ASSERT_EQ(selectedNames().size(), 3);
    expectCopyDialog("Move all tagged files, and duplicate paths", "d:\\out");
    prompts.expect("d:\\out" + Exists, Yes);
    expectDuplicateDialog(false);
    QTest::keyClick(w->FileList, Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(content("d:\\out\\one\\x.txt"), "one-x");
    EXPECT_EQ(content("d:\\out\\two\\deep\\y.txt"), "two-y");
    EXPECT_EQ(content("d:\\out\\z.txt"), "top-z");
    EXPECT_FALSE(exists("d:\\top\\one\\x.txt"));
    EXPECT_FALSE(exists("d:\\top\\z.txt"));
    EXPECT_EQ(content("d:\\x\\top\\two\\deep\\y.txt"), "two-y");
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, PathsWithBlanksSurviveEveryStep) {
    put("d:\\my docs\\old report.txt", "quarterly");
    put("d:\\my docs\\note a.txt", "n-a");
    start({"d:", "d:\\my docs"});
    focusList();
    current("old report.txt");
    expectCopyDialog("Copy file", "d:\\new folder\\sub dir", "new report.txt");
    prompts.expect("d:\\new folder\\sub dir" + Exists, Yes);
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\new folder\\sub dir\\new report.txt"), "quarterly");
    tag({"note a.txt", "old report.txt"});
    expectCopyDialog("Move all tagged files, and duplicate paths", "d:\\back up");
    prompts.expect("d:\\back up" + Exists, Yes);
    expectDuplicateDialog(true);
    key(Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(content("d:\\back up\\my docs\\note a.txt"), "n-a");
    EXPECT_EQ(content("d:\\back up\\my docs\\old report.txt"), "quarterly");
    EXPECT_EQ(diskNames("d:\\my docs"), QStringList());
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, AFullDiskAsksWhetherToAbortAndLosesNoByte) {
    PrivateMount disk(prefix.addDrive('e'), "size=64k");
    if (!disk.reason.empty()) GTEST_SKIP() << "no small disk for this test: " << disk.reason;
    QByteArray big(100 * 1024, '\0'), old(20 * 1024, '\0');
    for (int i = 0; i < big.size(); ++i) big[i] = char('b' + i * 7 + i / 251);
    for (int i = 0; i < old.size(); ++i) old[i] = char('o' + i * 7 + i / 251);
    put("d:\\src\\big.bin", big);
    put("d:\\src\\small.txt", "small one");
    put("d:\\src\\zz.txt", "last one");
    put("e:\\big.bin", old);
    start({"d:", "d:\\src"}, true);
    focusList();
    tag({"big.bin", "small.txt", "zz.txt"});
    // No goes on with the next file, which fits.
    expectCopyDialog("Move all tagged files", "e:\\");
    prompts.expect("Insuficient disk space. Abort copying process ?", No, "Question");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(content("d:\\src\\big.bin"), big);
    EXPECT_EQ(content("e:\\big.bin"), old);
    EXPECT_EQ(content("e:\\small.txt"), "small one");
    EXPECT_EQ(content("e:\\zz.txt"), "last one");
    EXPECT_FALSE(exists("d:\\src\\small.txt"));
    // Nothing half-written is left on the full disk.
    EXPECT_EQ(diskNames("e:"), QStringList({"big.bin", "small.txt", "zz.txt"}));
    EXPECT_EQ(names(), QStringList({"big.bin"}));
    expectPictureMatchesDisk();
    // Yes stops the batch before the next file.
    put("d:\\src\\next.txt", "next");
    focusTree();
    key(Qt::Key_F3, Qt::AltModifier);
    focusList();
    tag({"big.bin", "next.txt"});
    ASSERT_EQ(selectedNames(), QStringList({"big.bin", "next.txt"}));
    expectCopyDialog("Copy all tagged files", "e:\\");
    prompts.expect("Insuficient disk space. Abort copying process ?", Yes, "Question");
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(exists("e:\\next.txt"));
    EXPECT_EQ(content("e:\\big.bin"), old);
    EXPECT_EQ(content("d:\\src\\big.bin"), big);
    EXPECT_EQ(AbortFlag, 0);
    expectPictureMatchesDisk();
}

}  // namespace
