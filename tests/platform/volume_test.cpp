// Volume labels, drive types and free space.
#include <sys/statvfs.h>
#include "helpers.h"
#include "platform/hostfs.h"
#include "platform/volume.h"

using namespace platform;
using namespace testhost;

namespace {

using VolumeTest = PlatformTest;

TEST_F(VolumeTest, LabelIsTheLabelFileWithoutTrailingBlanks) {
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

TEST_F(VolumeTest, SettingTheLabelWritesOrRemovesTheLabelFile) {
    ASSERT_EQ(SetVolumeLabel('d', "backup 97"), 0);
    EXPECT_EQ(ReadAll(d + "/.windows-label"), "backup 97\n");
    ASSERT_EQ(SetVolumeLabel('d', "short"), 0);
    EXPECT_EQ(VolumeLabel('d'), "short");
    ASSERT_EQ(SetVolumeLabel('d', ""), 0);
    EXPECT_FALSE(Exists(d + "/.windows-label"));
    EXPECT_EQ(SetVolumeLabel('d', ""), 0) << "no label to remove is no error";
    linkMissingDrive('q');
    EXPECT_EQ(SetVolumeLabel('q', "x"), err::DiskNotReady);
    EXPECT_EQ(SetVolumeLabel('r', "x"), err::DeviceUnavailable);
    openForOthers();
    Chmod(d, 0555);
    EXPECT_EQ(RunAsNobody([] { return int(SetVolumeLabel('d', "nope")); }), err::AccessDenied);
    Chmod(d, 0755);
    EXPECT_FALSE(Exists(d + "/.windows-label"));
}

TEST_F(VolumeTest, DriveTypeFollowsTheFileSystem) {
    linkMissingDrive('q');
    EXPECT_EQ(DriveType('q'), drivetype::NoRoot);
    EXPECT_EQ(DriveType('r'), drivetype::NoRoot);
    const int local = DriveType('d');
    EXPECT_TRUE(local == drivetype::Fixed || local == drivetype::Removable) << local;

    ScratchMount tmp(tp.base() + "/tmpfs", "tmpfs", "size=1m");
    ScratchMount ram(tp.base() + "/ramfs", "ramfs", "mode=0755");
    if (!tmp.mounted() || !ram.mounted()) GTEST_SKIP() << tmp.why() << ram.why();
    tp.linkDrive('t', tp.base() + "/tmpfs");
    tp.linkDrive('u', tp.base() + "/ramfs");
    EXPECT_EQ(DriveType('t'), drivetype::RamDisk);
    EXPECT_EQ(DriveType('u'), drivetype::RamDisk);
}

TEST_F(VolumeTest, FreeSpaceCountsClustersOfTheBlockSize) {
    DiskSpace space;
    linkMissingDrive('q');
    EXPECT_EQ(DiskFreeSpace('q', &space), err::DiskNotReady);
    EXPECT_EQ(DiskFreeSpace('r', &space), err::DeviceUnavailable);
    ASSERT_EQ(DiskFreeSpace('d', &space), 0);
    EXPECT_LE(space.freeClusters, space.totalClusters);

    ScratchMount small(tp.base() + "/small", "tmpfs", "size=1m");
    if (!small.mounted()) GTEST_SKIP() << small.why();
    tp.linkDrive('f', tp.base() + "/small");
    ASSERT_EQ(DiskFreeSpace('f', &space), 0);
    struct statvfs vfs;
    ASSERT_EQ(::statvfs(Enc(tp.base() + "/small").constData(), &vfs), 0);
    EXPECT_EQ(space.bytesPerSector, 512);
    EXPECT_EQ(space.sectorsPerCluster * 512, int64_t(vfs.f_frsize));
    EXPECT_EQ(space.totalClusters * space.sectorsPerCluster * 512, 1024 * 1024);
    EXPECT_EQ(space.freeClusters, space.totalClusters) << "nothing written yet";
    MakeHostFile(tp.base() + "/small/data", QByteArray(256 * 1024, 'x'));
    ASSERT_EQ(DiskFreeSpace('f', &space), 0);
    EXPECT_EQ((space.totalClusters - space.freeClusters) * space.sectorsPerCluster * 512, 256 * 1024);
}

TEST(MountTable, FindsTheLastDeviceMountedOnAFolder) {
    const QByteArray table =
        "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
        "30 26 8:1 / /media/my\\040disk rw - vfat /dev/sdb1 rw\n"
        "31 30 8:17 / /media/my\\040disk rw - vfat /dev/sdc1 rw\n";
    unsigned major = 0, minor = 0;
    ASSERT_TRUE(host::FindMountDevice(table, "/media/my disk", &major, &minor));
    EXPECT_EQ(QString("%1:%2").arg(major).arg(minor), "8:17");
    EXPECT_FALSE(host::FindMountDevice(table, "/media/my", &major, &minor));
    EXPECT_EQ(host::UnescapeMountField("/a\\011b\\134c\\9"), "/a\tb\\c\\9");
    EXPECT_EQ(host::DecodeUdevName("USB\\x20STICK\\x2fA"), "USB STICK/A");
    EXPECT_EQ(host::DecodeUdevName("plain\\xZZ"), "plain\\xZZ");
}

}  // namespace
