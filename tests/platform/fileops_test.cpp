// Copy, rename, delete, folders, empty files and the in-use probe.
#include <QFileInfo>
#include <cerrno>
#include "helpers.h"

using namespace platform;
using namespace testhost;

namespace {

QByteArray Pattern(int size) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i) b[i] = char((i * 7919 + i / 4096) & 0xFF);
    return b;
}

using FileOpsTest = PlatformTest;

TEST_F(FileOpsTest, CopyKeepsDataPermissionsTimeAndAttributes) {
    const QByteArray data = Pattern(3 * 1024 * 1024 + 17);
    const QString src = MakeHostFile(d + "/Source.BIN", data);
    Chmod(src, 0640);
    const struct timespec times[2] = {{1000000000, 0}, {868000000, 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Enc(src).constData(), times, 0), 0);
    const bool xattrs = UserXattrsWork(d) && SetRawDosAttrib(src, "0x26");
    const QString dst = MakeHostFile(d + "/Target/Old.bin", "old content");

    ASSERT_EQ(CopyFileTo("d:\\source.bin", "d:\\target\\old.bin"), 0);
    EXPECT_EQ(ReadAll(dst), data);
    EXPECT_EQ(ModeOf(dst), mode_t(0640));
    struct stat st;
    ASSERT_EQ(::stat(Enc(dst).constData(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec, 868000000250000000LL);
    EXPECT_EQ(RawDosAttrib(dst), xattrs ? "0x26" : "<none>");
    EXPECT_EQ(FolderNames(d + "/Target"), QStringList({"Old.bin"})) << "the existing name is reused";
    MakeHostFile(d + "/empty", "");
    ASSERT_EQ(CopyFileTo("d:\\empty", "d:\\target\\empty"), 0);
    EXPECT_EQ(ReadAll(d + "/Target/empty"), "");
}

TEST_F(FileOpsTest, CopyOntoItselfLeavesTheFileAlone) {
    const QString f = MakeHostFile(d + "/Data.txt", "precious");
    ASSERT_EQ(::link(Enc(f).constData(), Enc(d + "/alias.txt").constData()), 0);
    EXPECT_EQ(CopyFileTo("d:\\data.txt", "d:\\DATA.TXT"), 0);
    EXPECT_EQ(CopyFileTo("d:\\data.txt", "d:\\alias.txt"), 0);
    EXPECT_EQ(ReadAll(f), "precious");
    struct stat st;
    ASSERT_EQ(::stat(Enc(f).constData(), &st), 0);
    EXPECT_EQ(st.st_nlink, nlink_t(2)) << "nothing was written: both names are still one file";
}

TEST_F(FileOpsTest, CopyFailuresLeaveTheDestinationAsItWas) {
    MakeHostFile(d + "/src.txt", "source");
    MakeHostFolder(d + "/Folder");
    Chmod(MakeHostFile(d + "/readonly.txt", "keep"), 0444);
    linkMissingDrive('q');
    const struct { const char* from; const char* to; ErrorCode code; } cases[] = {
        {"d:\\src.txt", "d:\\folder", err::PathFileConflict}, {"d:\\folder", "d:\\x", err::PathFileConflict},
        {"d:\\none.txt", "d:\\x", err::FileNotFound},         {"d:\\src.txt", "d:\\no\\x", err::PathNotFound},
        {"d:\\src.txt", "d:\\readonly.txt", err::AccessDenied}, {"d:\\src.txt", "q:\\x", err::DiskNotReady}};
    for (const auto& c : cases) EXPECT_EQ(CopyFileTo(c.from, c.to), c.code) << c.from << " to " << c.to;
    EXPECT_EQ(ReadAll(d + "/readonly.txt"), "keep");
    openForOthers();
    Chmod(d + "/Folder", 0555);
    EXPECT_EQ(RunAsNobody([] { return int(CopyFileTo("d:\\src.txt", "d:\\folder\\x")); }), err::AccessDenied);
    Chmod(d + "/Folder", 0755);
    EXPECT_EQ(FolderNames(d), QStringList({"Folder", "readonly.txt", "src.txt"}));
    EXPECT_EQ(FolderNames(d + "/Folder"), QStringList());
}

TEST_F(FileOpsTest, AFullDiskFailsTheCopyWithoutAHalfWrittenFile) {
    ScratchMount small(tp.base() + "/small", "tmpfs", "size=64k");
    if (!small.mounted()) GTEST_SKIP() << small.why();
    tp.linkDrive('f', tp.base() + "/small");
    MakeHostFile(tp.base() + "/small/keep.bin", "old");
    MakeHostFile(d + "/big.bin", Pattern(1024 * 1024));
    EXPECT_EQ(CopyFileTo("d:\\big.bin", "f:\\keep.bin"), err::DiskFull);
    EXPECT_EQ(CopyFileTo("d:\\big.bin", "f:\\new.bin"), err::DiskFull);
    EXPECT_EQ(ReadAll(tp.base() + "/small/keep.bin"), "old");
    EXPECT_EQ(FolderNames(tp.base() + "/small"), QStringList({"keep.bin"}));
}

TEST_F(FileOpsTest, RenameMovesAndChangesCaseButTakesNoTakenName) {
    MakeHostFile(d + "/a.txt", "A");
    MakeHostFile(d + "/Y.txt", "y");
    MakeHostFolder(d + "/Sub");
    MakeHostFolder(d + "/Dir");
    ASSERT_EQ(RenamePath("d:\\a.txt", "d:\\sub\\Foo.TXT"), 0);
    // The new name's lookup finds the file itself: only the case changes.
    ASSERT_EQ(RenamePath("d:\\sub\\foo.txt", "d:\\sub\\foo.txt"), 0);
    ASSERT_EQ(RenamePath("d:\\sub", "d:\\Renamed"), 0);
    EXPECT_EQ(ReadAll(d + "/Renamed/foo.txt"), "A");

    const struct { const char* from; const char* to; ErrorCode code; } cases[] = {
        {"d:\\renamed\\foo.txt", "d:\\y.txt", err::FileExists}, {"d:\\y.txt", "d:\\dir", err::PathFileConflict},
        {"d:\\dir", "d:\\y.txt", err::PathFileConflict},        {"d:\\dir", "d:\\renamed", err::FileExists},
        {"d:\\none.txt", "d:\\b", err::FileNotFound},            {"d:\\no\\none.txt", "d:\\b", err::PathNotFound},
        {"d:\\y.txt", "d:\\no\\b", err::PathNotFound},           {"d:", "d:\\b", err::PathFileConflict}};
    for (const auto& c : cases) EXPECT_EQ(RenamePath(c.from, c.to), c.code) << c.from << " to " << c.to;
    EXPECT_EQ(FolderNames(d), QStringList({"Dir", "Renamed", "Y.txt"}));
    EXPECT_EQ(FolderNames(d + "/Renamed"), QStringList({"foo.txt"}));
}

TEST_F(FileOpsTest, RenameToAnotherFileSystemMovesFilesButNotFolders) {
    ScratchMount other(tp.base() + "/other", "tmpfs", "size=4m");
    if (!other.mounted()) GTEST_SKIP() << other.why();
    tp.linkDrive('s', tp.base() + "/other");
    Chmod(MakeHostFile(d + "/move.bin", Pattern(100000)), 0600);
    MakeHostFolder(d + "/Folder");
    ASSERT_EQ(RenamePath("d:\\move.bin", "s:\\moved.bin"), 0);
    EXPECT_EQ(ReadAll(tp.base() + "/other/moved.bin"), Pattern(100000));
    EXPECT_EQ(ModeOf(tp.base() + "/other/moved.bin"), mode_t(0600));
    EXPECT_EQ(RenamePath("d:\\folder", "s:\\folder"), err::RenameAcrossDisks);
    EXPECT_EQ(FolderNames(d), QStringList({"Folder"}));
}

TEST_F(FileOpsTest, DeleteRemovesFilesButNotReadOnlyFilesOrFolders) {
    MakeHostFile(d + "/Gone.txt");
    Chmod(MakeHostFile(d + "/ro.txt"), 0444);
    MakeHostFolder(d + "/Folder");
    MakeHostFile(d + "/target.txt", "stays");
    ASSERT_EQ(::symlink("target.txt", Enc(d + "/link.txt").constData()), 0);
    const struct { const char* path; ErrorCode code; } cases[] = {
        {"d:\\gone.txt", 0}, {"d:\\gone.txt", err::FileNotFound}, {"d:\\no\\gone.txt", err::PathNotFound},
        {"d:\\ro.txt", err::AccessDenied}, {"d:\\folder", err::PathFileConflict}, {"d:\\link.txt", 0}};
    for (const auto& c : cases) EXPECT_EQ(DeleteFile(c.path), c.code) << c.path;
    EXPECT_EQ(FolderNames(d), QStringList({"Folder", "ro.txt", "target.txt"}));
    EXPECT_EQ(ReadAll(d + "/target.txt"), "stays") << "deleting a link keeps what it points at";
}

TEST_F(FileOpsTest, FoldersAreMadeAndRemovedAsInDos) {
    MakeHostFolder(d + "/Existing");
    MakeHostFile(d + "/file");
    const struct { ErrorCode (*op)(const QString&); const char* path; ErrorCode code; } steps[] = {
        {MakeFolder, "d:\\new", 0},          {MakeFolder, "d:\\new\\Inner", 0},
        {MakeFolder, "d:\\existing", err::PathFileConflict}, {MakeFolder, "d:\\FILE", err::PathFileConflict},
        {MakeFolder, "d:\\no\\new", err::PathNotFound},      {MakeFolder, "d:\\a|b", err::BadFileName},
        {RemoveFolder, "d:\\new", err::PathFileConflict},    {RemoveFolder, "d:\\new\\inner", 0},
        {RemoveFolder, "d:\\new\\inner", err::PathNotFound}, {RemoveFolder, "d:\\file", err::PathNotFound},
        {RemoveFolder, "d:\\", err::PathFileConflict}};
    for (const auto& s : steps) EXPECT_EQ(s.op(s.path), s.code) << s.path;
    EXPECT_EQ(FolderNames(d), QStringList({"Existing", "file", "new"}));
    EXPECT_TRUE(QFileInfo(d + "/new").isDir());
    EXPECT_EQ(FolderNames(d + "/new"), QStringList());
}

TEST_F(FileOpsTest, CreateEmptyFileMakesOrTruncatesButSparesReadOnlyFiles) {
    MakeHostFile(d + "/Full.txt", "content");
    Chmod(MakeHostFile(d + "/ro.txt", "kept"), 0444);
    MakeHostFolder(d + "/Folder");
    const struct { const char* path; ErrorCode code; } cases[] = {
        {"d:\\new.txt", 0}, {"d:\\full.txt", 0}, {"d:\\ro.txt", err::AccessDenied},
        {"d:\\folder", err::PathFileConflict}, {"d:\\no\\x.txt", err::PathNotFound}};
    for (const auto& c : cases) EXPECT_EQ(CreateEmptyFile(c.path), c.code) << c.path;
    EXPECT_EQ(ReadAll(d + "/new.txt") + ReadAll(d + "/Full.txt"), "");
    EXPECT_EQ(ReadAll(d + "/ro.txt"), "kept");
}

TEST_F(FileOpsTest, AFileIsInUseWhileLockedElsewhereOrUnreadable) {
    const QString f = MakeHostFile(d + "/shared.dat", Pattern(1000));
    const int holder = ::open(Enc(f).constData(), O_RDWR);
    ASSERT_GE(holder, 0);
    const struct { short type; off_t start; off_t len; } locks[] = {{F_WRLCK, 0, 0}, {F_RDLCK, 0, 0}, {F_WRLCK, 500, 10}};
    for (const auto& l : locks) {
        struct flock fl {};
        fl.l_type = l.type;
        fl.l_start = l.start;
        fl.l_len = l.len;
        ASSERT_EQ(::fcntl(holder, F_OFD_SETLK, &fl), 0) << strerror(errno);
        EXPECT_EQ(OpenForReading("d:\\shared.dat"), err::AccessDenied) << "lock " << l.type << " at " << l.start;
        fl.l_type = F_UNLCK;
        ASSERT_EQ(::fcntl(holder, F_OFD_SETLK, &fl), 0);
        EXPECT_EQ(OpenForReading("d:\\shared.dat"), 0);
    }
    ::close(holder);
    EXPECT_EQ(OpenForReading("d:\\missing.dat"), err::FileNotFound);
    EXPECT_EQ(OpenForReading("d:\\no\\missing.dat"), err::PathNotFound);

    Chmod(f, 0);
    openForOthers();
    EXPECT_EQ(RunAsNobody([] { return int(OpenForReading("d:\\shared.dat")); }), err::AccessDenied);
    Chmod(f, 0644);
    EXPECT_EQ(RunAsNobody([] { return int(OpenForReading("d:\\shared.dat")); }), 0);
}

}  // namespace
