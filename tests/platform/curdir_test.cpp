// The current drive, the current folder of each drive, and the process's folder
// that follows them.
#include "helpers.h"
#include "platform/curdir.h"

using namespace platform;
using namespace testhost;

namespace {

QString ProcessFolder() { return QDir::current().canonicalPath(); }
QString Canonical(const QString& p) { return QDir(p).canonicalPath(); }

using CurDirTest = PlatformTest;

TEST_F(CurDirTest, ChangingFolderOfTheCurrentDriveMovesTheProcess) {
    MakeHostFolder(d + "/Work/Inner");
    EXPECT_EQ(CurrentDrive() + CurrentFolder('d'), "c:d:") << "every drive starts at its root";
    ASSERT_EQ(ChangeDrive('D'), 0);
    EXPECT_EQ(CurrentDrive(), "d:");
    EXPECT_EQ(ProcessFolder(), Canonical(d));
    ASSERT_EQ(ChangeFolder("d:\\WORK"), 0);
    ASSERT_EQ(ChangeFolder("inner"), 0);
    EXPECT_EQ(CurrentFolder('d'), "d:\\work\\inner") << "held in lower case";
    EXPECT_EQ(ProcessFolder(), Canonical(d + "/Work/Inner"));
    ASSERT_EQ(ChangeFolder(".."), 0);
    EXPECT_EQ(ProcessFolder(), Canonical(d + "/Work"));
    ASSERT_EQ(ChangeFolder("\\"), 0);
    EXPECT_EQ(CurrentFolder('d'), "d:");
    EXPECT_EQ(ProcessFolder(), Canonical(d));
}

TEST_F(CurDirTest, AnotherDrivesFolderIsKeptUntilThatDriveBecomesCurrent) {
    const QString e = tp.addDrive('e');
    MakeHostFolder(e + "/Other");
    MakeHostFolder(e + "/Gone");
    ASSERT_EQ(ChangeDrive('d'), 0);
    ASSERT_EQ(ChangeFolder("e:\\other"), 0);
    EXPECT_EQ(CurrentDrive() + CurrentFolder('e'), "d:e:\\other");
    EXPECT_EQ(ProcessFolder(), Canonical(d)) << "the process stays on the current drive";
    ASSERT_EQ(ChangeDrive('e'), 0);
    EXPECT_EQ(ProcessFolder(), Canonical(e + "/Other"));

    // A folder that went away meanwhile: the drive starts again at its root.
    ASSERT_EQ(ChangeFolder("e:\\gone"), 0);
    ASSERT_EQ(ChangeDrive('d'), 0);
    ASSERT_TRUE(QDir(e + "/Gone").removeRecursively());
    ASSERT_EQ(ChangeDrive('e'), 0);
    EXPECT_EQ(CurrentFolder('e'), "e:");
    EXPECT_EQ(ProcessFolder(), Canonical(e));
}

TEST_F(CurDirTest, FailedChangesLeaveEverythingAsItWas) {
    MakeHostFolder(d + "/Work");
    MakeHostFile(d + "/file.txt");
    linkMissingDrive('q');
    ASSERT_EQ(ChangeDrive('d'), 0);
    ASSERT_EQ(ChangeFolder("d:\\work"), 0);
    const struct { const char* path; ErrorCode code; } folders[] = {
        {"d:\\missing", err::PathNotFound}, {"d:\\file.txt", err::PathNotFound},
        {"d:\\a*b", err::BadFileName}, {"q:\\", err::DiskNotReady}};
    for (const auto& f : folders) EXPECT_EQ(ChangeFolder(f.path), f.code) << f.path;
    EXPECT_EQ(ChangeDrive('r'), err::DeviceUnavailable);
    EXPECT_EQ(ChangeDrive('q'), err::DiskNotReady);
    EXPECT_EQ(CurrentDrive() + CurrentFolder('d'), "d:d:\\work");
    EXPECT_EQ(ProcessFolder(), Canonical(d + "/Work"));
}

TEST_F(CurDirTest, AFolderTheUserMayNotEnterIsRefused) {
    MakeHostFolder(d + "/Locked");
    Chmod(d + "/Locked", 0);
    openForOthers();
    EXPECT_EQ(RunAsNobody([] { return ChangeDrive('d') ? 1 : int(ChangeFolder("d:\\locked")); }),
              err::AccessDenied);
    EXPECT_EQ(RunAsNobody([] { return int(ChangeFolder("d:\\locked")); }), err::AccessDenied)
        << "also on a drive that is not the current one";
    Chmod(d + "/Locked", 0755);
}

}  // namespace
