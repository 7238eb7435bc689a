// Copy, rename, delete, folders, the in-use probe, what the user nobody may not
// do, volume labels and free space.
#include <sys/statvfs.h>
#include <cerrno>
#include "helpers.h"
#include "platform/copyfile.h"
#include "platform/hostfs.h"

using namespace platform;
using namespace testhost;

namespace {

QByteArray Pattern(int size) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i) b[i] = char((i * 7919 + i / 4096) & 0xFF);
    return b;
}

using FileOpsTest = PlatformTest;

TEST_F(FileOpsTest, CopyKeepsDataPermissionsTimeAndAttributesAndOntoItselfDoesNothing) {
    const QByteArray data = Pattern(3 * 1024 * 1024 + 17);
    const QString src = MakeHostFile(d + "/Source.BIN", data);
    Chmod(src, 0640);
    const struct timespec times[2] = {{1000000000, 0}, {868000000, 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Enc(src).constData(), times, 0), 0);
    const bool xattrs = userXattrsWork() && SetRawDosAttrib(src, "0x26");
    const QString dst = MakeHostFile(d + "/Target/Old.bin", "old content");

    ASSERT_EQ(CopyFileTo("d:\\source.bin", "d:\\target\\old.bin"), 0);
    EXPECT_EQ(ReadAll(dst), data);
    EXPECT_EQ(ModeOf(dst), mode_t(0640));
    struct stat st;
    ASSERT_EQ(::stat(Enc(dst).constData(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec, 868000000250000000LL);
    EXPECT_EQ(RawDosAttrib(dst), xattrs ? "0x26" : "<none>");
    EXPECT_EQ(FolderNames(d + "/Target"), QStringList({"Old.bin"})) << "the existing name is reused";
    // Attributes given to a copy replace the source's; a field is written only where it says more than the name.
    ASSERT_EQ(CopyFileTo("d:\\source.bin", "d:\\target\\ro.bin", {}, LastName::AnyCase,
                         attr::ReadOnly | attr::Archive), 0);
    EXPECT_EQ(ModeOf(d + "/Target/ro.bin"), mode_t(0440));
    EXPECT_EQ(RawDosAttrib(d + "/Target/ro.bin"), xattrs ? "0x20" : "<none>");

    const QString f = MakeHostFile(d + "/Data.txt", "precious");
    ASSERT_EQ(::link(Enc(f).constData(), Enc(d + "/alias.txt").constData()), 0);
    ASSERT_EQ(CopyFileTo("d:\\data.txt", "d:\\.dot", {}, LastName::AnyCase, attr::Hidden | attr::Archive), 0);
    EXPECT_EQ(RawDosAttrib(d + "/.dot"), "<none>") << "a dot name is hidden, a file archive, without a field";
    EXPECT_EQ(CopyFileTo("d:\\data.txt", "d:\\DATA.TXT"), 0);
    EXPECT_EQ(CopyFileTo("d:\\data.txt", "d:\\alias.txt"), 0);
    EXPECT_EQ(ReadAll(f), "precious");
    ASSERT_EQ(::stat(Enc(f).constData(), &st), 0);
    EXPECT_EQ(st.st_nlink, nlink_t(2)) << "nothing was written: both names are still one file";
}

TEST_F(FileOpsTest, ADiskThatCannotHoldANameRefusesItAsABadNameAndKeepsNothingOfIt) {
    const FatDisk fat(tp.base());
    REQUIRE_MOUNT(fat);
    tp.linkDrive('f', fat.folder);
    const QString colon = NameFromHost("a:b"), stray = NameFromHost(host::Decode("caf\xff"));
    MakeHostFile(d + "/a:b", "colon");
    ::close(::open(Enc(d) + "/caf\xff", O_CREAT | O_WRONLY, 0644));
    EXPECT_EQ(CopyFileTo("d:\\" + colon, "f:\\" + colon), err::BadFileName);
    EXPECT_EQ(CopyFileTo("d:\\" + stray, "f:\\" + stray), err::BadFileName);
    EXPECT_EQ(MakeFolder("f:\\" + NameFromHost("q?")), err::BadFileName);
    EXPECT_EQ(CreateEmptyFile("f:\\" + NameFromHost("x|y")), err::BadFileName);
    EXPECT_EQ(FolderNames(fat.folder), QStringList()) << "no half copy, no probe left";
    ASSERT_EQ(CopyFileTo("d:\\" + colon, "f:\\plain.txt"), 0);
    EXPECT_EQ(ReadAll(fat.folder + "/plain.txt"), "colon");
    ASSERT_EQ(CopyFileTo("d:\\" + colon, "f:\\other.txt"), 0);
    EXPECT_EQ(RenamePath("f:\\other.txt", "f:\\" + NameFromHost("x\ny")), err::BadFileName);

    // The same spelling is the same file; another one is another file where the
    // disk tells case apart, and the same where it does not.
    FileEntry entry;
    EXPECT_EQ(GetFileInfo("f:\\PLAIN.TXT", &entry, LastName::AsSpelled), 0);
    MakeHostFile(d + "/dst/a.txt", "lower");
    EXPECT_EQ(GetFileInfo("d:\\dst\\A.txt", &entry, LastName::AsSpelled), err::FileNotFound);
    ASSERT_EQ(CopyFileTo("d:\\" + colon, "d:\\dst\\A.txt", {}, LastName::AsSpelled), 0);
    EXPECT_EQ(FolderNames(d + "/dst"), QStringList({"A.txt", "a.txt"}));
    EXPECT_EQ(ReadAll(d + "/dst/a.txt"), "lower");
    ASSERT_EQ(RenamePath("d:\\dst\\a.txt", "d:\\dst\\B.TXT", LastName::AsSpelled), 0);
    EXPECT_EQ(FolderNames(d + "/dst"), QStringList({"A.txt", "B.TXT"}));
}

TEST_F(FileOpsTest, EachOperationGivesItsErrorNumberAndChangesNothingOnFailure) {
    MakeHostFile(d + "/a.txt", "A");
    MakeHostFile(d + "/Y.txt", "y");
    MakeHostFile(d + "/target.txt", "stays");
    Chmod(MakeHostFile(d + "/ro.txt", "keep"), 0444);
    for (const char* name : {"/Sub", "/Dir"}) MakeHostFolder(d + name);
    ASSERT_EQ(::symlink("target.txt", Enc(d + "/link.txt").constData()), 0);
    linkMissingDrive('q');
    // c copies, r renames, d deletes a file, m and x make and remove folders.
    const struct { char op; const char* from; const char* to; ErrorCode code; } steps[] = {
        {'c', "d:\\a.txt", "d:\\dir", err::PathFileConflict},    {'c', "d:\\dir", "d:\\x", err::PathFileConflict},
        {'c', "d:\\none.txt", "d:\\x", err::FileNotFound},       {'c', "d:\\a.txt", "d:\\no\\x", err::PathNotFound},
        {'c', "d:\\a.txt", "d:\\ro.txt", err::AccessDenied},     {'c', "d:\\a.txt", "q:\\x", err::DiskNotReady},
        {'r', "d:\\a.txt", "d:\\sub\\Foo.TXT", 0},                   {'r', "d:\\sub", "d:\\Renamed", 0},
        {'r', "d:\\renamed\\foo.txt", "d:\\renamed\\foo.txt", 0},    // finds itself: only the case changes
        {'r', "d:\\renamed\\foo.txt", "d:\\y.txt", err::FileExists},
        {'r', "d:\\y.txt", "d:\\dir", err::PathFileConflict},
        {'r', "d:\\dir", "d:\\y.txt", err::PathFileConflict},    {'r', "d:\\dir", "d:\\renamed", err::FileExists},
        {'r', "d:\\none.txt", "d:\\b", err::FileNotFound},       {'r', "d:\\no\\none.txt", "d:\\b", err::PathNotFound},
        {'r', "d:\\y.txt", "d:\\no\\b", err::PathNotFound},      {'r', "d:", "d:\\b", err::PathFileConflict},
        {'d', "d:\\y.txt", "", 0},                               {'d', "d:\\y.txt", "", err::FileNotFound},
        {'d', "d:\\no\\y.txt", "", err::PathNotFound},           {'d', "d:\\ro.txt", "", err::AccessDenied},
        {'d', "d:\\dir", "", err::PathFileConflict},             {'d', "d:\\link.txt", "", 0},
        {'m', "d:\\new", "", 0},                                 {'m', "d:\\new\\Inner", "", 0},
        {'m', "d:\\dir", "", err::PathFileConflict},             {'m', "d:\\TARGET.TXT", "", err::PathFileConflict},
        {'m', "d:\\no\\new", "", err::PathNotFound},             {'m', "d:\\a|b", "", err::BadFileName},
        {'x', "d:\\new", "", err::PathFileConflict},             {'x', "d:\\new\\inner", "", 0},
        {'x', "d:\\new\\inner", "", err::PathNotFound},          {'x', "d:\\target.txt", "", err::PathNotFound},
        {'x', "d:\\", "", err::PathFileConflict}};
    for (const auto& s : steps) {
        const ErrorCode got = s.op == 'c' ? CopyFileTo(s.from, s.to)
                            : s.op == 'r' ? RenamePath(s.from, s.to)
                            : s.op == 'd' ? DeleteFile(s.from)
                            : s.op == 'm' ? MakeFolder(s.from) : RemoveFolder(s.from);
        EXPECT_EQ(got, s.code) << s.op << ' ' << s.from << ' ' << s.to;
    }
    EXPECT_EQ(FolderNames(d), QStringList({"Dir", "Renamed", "new", "ro.txt", "target.txt"}));
    EXPECT_EQ(FolderNames(d + "/Renamed"), QStringList({"foo.txt"}));
    EXPECT_EQ(FolderNames(d + "/new") + FolderNames(d + "/Dir"), QStringList());
    EXPECT_EQ(ReadAll(d + "/Renamed/foo.txt") + ReadAll(d + "/target.txt"), "Astays") << "a link goes, not its target";
    EXPECT_EQ(ReadAll(d + "/ro.txt"), "keep");
}

TEST_F(FileOpsTest, AFileIsInUseWhileAnotherHolderLocksAnyPartOfIt) {
    const QString f = MakeHostFile(d + "/shared.dat", Pattern(1000));
    const int holder = ::open(Enc(f).constData(), O_RDWR);
    ASSERT_GE(holder, 0);
    const struct flock locks[] = {{F_WRLCK, SEEK_SET, 0, 0, 0}, {F_RDLCK, SEEK_SET, 0, 0, 0},
                                   {F_WRLCK, SEEK_SET, 500, 10, 0}};
    for (struct flock fl : locks) {
        ASSERT_EQ(::fcntl(holder, F_OFD_SETLK, &fl), 0) << strerror(errno);
        EXPECT_EQ(OpenForReading("d:\\shared.dat"), err::AccessDenied) << "lock " << fl.l_type << " at " << fl.l_start;
        fl.l_type = F_UNLCK;
        ASSERT_EQ(::fcntl(holder, F_OFD_SETLK, &fl), 0);
        EXPECT_EQ(OpenForReading("d:\\shared.dat"), 0);
    }
    ::close(holder);
}

TEST_F(FileOpsTest, WhatTheUserMayNotReachIsAccessDenied) {
    Chmod(MakeHostFolder(d + "/Private"), 0);
    Chmod(MakeHostFile(d + "/unreadable.dat"), 0);
    MakeHostFile(d + "/src.txt");
    Chmod(MakeHostFolder(d + "/Shut"), 0555);
    openForOthers();
    const struct { const char* what; int (*fn)(); } cases[] = {
        {"enter", [] { return ChangeDrive('d') ? 1 : int(ChangeFolder("d:\\private")); }},
        {"list", [] { QList<FileEntry> out; return int(ListFiles("d:\\private", "*.*", true, &out)); }},
        {"open", [] { return int(OpenForReading("d:\\unreadable.dat")); }},
        {"copy into", [] { return int(CopyFileTo("d:\\src.txt", "d:\\shut\\x")); }}};
    for (const auto& c : cases) EXPECT_EQ(RunAsNobody(c.fn), err::AccessDenied) << c.what;
    EXPECT_EQ(RunAsNobody([] { return int(OpenForReading("d:\\src.txt")); }), 0) << "a readable file opens";
    Chmod(d + "/Private", 0755);
    EXPECT_EQ(FolderNames(d + "/Shut"), QStringList());
}

TEST_F(FileOpsTest, VolumeLabelIsTheLabelFileWithoutTrailingBlanks) {
    EXPECT_EQ(VolumeLabel('d'), "") << "a plain folder has no label";
    const struct { QByteArray content; QString label; } cases[] = {
        {"MY DISK  \r\n", "MY DISK"}, {"  lead kept\n\n \r", "  lead kept"},
        {QByteArray(300, 'x') + "\n", QString(256, 'x')}};   // at most 256 bytes
    for (const auto& c : cases) {
        MakeHostFile(d + "/.windows-label", c.content);
        EXPECT_EQ(VolumeLabel('D'), c.label);
    }
    EXPECT_EQ(VolumeLabel('r'), "");
}

// No test machine has the desktop's network mounts: the mount table and the
// file-system numbers they would give are read as the drive type reads them.
TEST(DriveTypes, NetworkMountsOfTheDesktopAreRemoteLikeNfsAndCifs) {
    const QByteArray mountinfo =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "25 22 0:21 / /run rw,nosuid shared:5 - tmpfs tmpfs rw\n"
        "60 25 0:51 / /run/user/1000/gvfs rw,nosuid,nodev,relatime shared:9 - fuse.gvfsd-fuse gvfsd-fuse rw\n"
        "61 22 0:52 / /mnt/my\\040share rw - fuse.sshfs ann@box:/srv rw\n"
        "62 22 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
        "63 62 0:53 / /media/usb rw master:3 - fuse.rclone cloud: rw\n";
    const struct { const char* path; const char* type; } mounts[] = {
        {"/run/user/1000/gvfs/smb-share:server=nas,share=music", "fuse.gvfsd-fuse"},
        {"/run/user/1000/gvfs", "fuse.gvfsd-fuse"},
        {"/run/user/1000/gvfsx", "tmpfs"},
        {"/mnt/my share/docs", "fuse.sshfs"},
        {"/mnt/my shares", "ext4"},
        {"/media/usb/a", "fuse.rclone"},   // mounted over the stick: the later line counts
        {"/home/ann", "ext4"},
    };
    for (const auto& m : mounts) EXPECT_EQ(host::MountTypeAt(mountinfo, m.path), m.type) << m.path;

    constexpr unsigned long fuse = 0x65735546, ext4 = 0xEF53;
    const struct { unsigned long magic; const char* type; int drive; } types[] = {
        {fuse, "fuse.gvfsd-fuse", drivetype::Remote}, {fuse, "fuse.sshfs", drivetype::Remote},
        {fuse, "fuse.rclone", drivetype::Remote},     {0x6969, "nfs4", drivetype::Remote},
        {0xFF534D42, "cifs", drivetype::Remote},      {fuse, "fuse.ntfs-3g", drivetype::Fixed},
        {fuse, "", drivetype::Fixed},                 {ext4, "fuse.sshfs", drivetype::Fixed},
        {0x9660, "iso9660", drivetype::CdRom},        {0x01021994, "tmpfs", drivetype::RamDisk},
    };
    for (const auto& t : types) EXPECT_EQ(FileSystemDriveType(t.magic, t.type), t.drive) << t.type;
}

TEST_F(FileOpsTest, FreeSpaceCountsClustersAndAFullDiskLeavesNoHalfWrittenFile) {
    DiskSpace space;
    linkMissingDrive('q');
    EXPECT_EQ(DiskFreeSpace('q', &space), err::DiskNotReady);
    EXPECT_EQ(DiskFreeSpace('r', &space), err::DeviceUnavailable);
    ScratchMount small(tp.base() + "/small", "tmpfs", "size=64k");
    REQUIRE_MOUNT(small);
    tp.linkDrive('f', tp.base() + "/small");
    ASSERT_EQ(DiskFreeSpace('f', &space), 0);
    struct statvfs vfs;
    ASSERT_EQ(::statvfs(small.folder.constData(), &vfs), 0);
    EXPECT_EQ(space.bytesPerSector, 512);
    EXPECT_EQ(space.sectorsPerCluster * 512, int64_t(vfs.f_frsize));
    EXPECT_EQ(space.totalClusters * space.sectorsPerCluster * 512, 64 * 1024);
    EXPECT_EQ(space.freeClusters, space.totalClusters) << "nothing written yet";
    const QString keep = MakeHostFile(tp.base() + "/small/keep.bin", Pattern(16 * 1024));
    ASSERT_EQ(DiskFreeSpace('f', &space), 0);
    EXPECT_EQ((space.totalClusters - space.freeClusters) * space.sectorsPerCluster * 512, 16 * 1024);

    MakeHostFile(d + "/big.bin", Pattern(1024 * 1024));
    EXPECT_EQ(CopyFileTo("d:\\big.bin", "f:\\keep.bin"), err::DiskFull);
    EXPECT_EQ(CopyFileTo("d:\\big.bin", "f:\\new.bin"), err::DiskFull);
    EXPECT_EQ(ReadAll(keep), Pattern(16 * 1024));
    EXPECT_EQ(FolderNames(tp.base() + "/small"), QStringList({"keep.bin"}));
}

qint64 BytesTaken(const QString& hostPath) {
    struct stat st {};
    ::stat(Enc(hostPath).constData(), &st);
    return qint64(st.st_blocks) * 512;
}

// Holes stay holes on the same disk, on another with less room than the
// file's length, and where only the zeros tell them; every byte stays.
TEST_F(FileOpsTest, SparseFilesKeepTheirHolesAndEveryByte) {
    ScratchMount small(tp.base() + "/small", "tmpfs", "size=1m");
    REQUIRE_MOUNT(small);
    tp.linkDrive('f', tp.base() + "/small");
    constexpr qint64 kMiB = 1 << 20, kSize = 16 * kMiB + 123;
    const struct {
        const char* name;
        QList<std::pair<qint64, QByteArray>> pieces;
    } shapes[] = {
        {"middle.bin", {{5 * kMiB + 7, "sparse"}}},                      // hole, data, hole to the end
        {"ends.bin", {{0, Pattern(5000)}, {kSize - 200, Pattern(200)}}},  // data, hole, data to an odd end
        {"none.bin", {}},
    };
    QByteArray expected;
    for (const auto& shape : shapes) {
        expected = QByteArray(kSize, '\0');
        QFile f(d + "/" + shape.name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(kSize));
        for (const auto& [at, bytes] : shape.pieces) {
            ASSERT_TRUE(f.seek(at) && f.write(bytes) == bytes.size());
            expected.replace(at, bytes.size(), bytes);
        }
        f.close();
        for (const char* to : {"d:\\copy-", "f:\\"}) {
            const QString dos = to + QString(shape.name);
            std::pair<qint64, qint64> told;
            const auto progress = [&](qint64 copied, qint64 total) { return told = {copied, total}, true; };
            ASSERT_EQ(CopyFileTo(QStringLiteral("d:\\") + shape.name, dos, progress), 0) << dos.toStdString();
            EXPECT_TRUE(ReadAll(hostOf(dos)) == expected) << dos.toStdString();
            EXPECT_LE(BytesTaken(hostOf(dos)), 64 * 1024) << dos.toStdString();
            EXPECT_EQ(told, std::make_pair(kSize, kSize)) << "the progress counts the holes";
        }
    }
    // A file that holds its zeros on disk, copied where only they tell the holes.
    const QString dense = MakeHostFile(d + "/dense.bin", expected);
    const int in = ::open(Enc(dense).constData(), O_RDONLY);
    const int out = ::open(Enc(d + "/scanned.bin").constData(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    struct stat st;
    ASSERT_EQ(::fstat(in, &st), 0);
    EXPECT_EQ(copying::CopyContents(in, out, st, copying::HoleSearch::ZeroBlocks, CopyProgress()), 0);
    ::close(in);
    ::close(out);
    EXPECT_TRUE(ReadAll(d + "/scanned.bin") == expected);
    EXPECT_LE(BytesTaken(d + "/scanned.bin"), 64 * 1024);
    EXPECT_GE(BytesTaken(dense), kSize) << "the source held its zeros";
}

}  // namespace
