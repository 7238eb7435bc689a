// DOS attributes on Linux: R from the write permission, H/S/A in user.DOSATTRIB,
// and the defaults of files that carry no attribute.
#include <QDateTime>
#include "helpers.h"

using namespace platform;
using namespace testhost;

namespace {

using AttributesTest = PlatformTest;

TEST_F(AttributesTest, WithoutTheAttributeFilesAreArchiveAndDotNamesHidden) {
    MakeHostFile(d + "/.profile");
    MakeHostFolder(d + "/folder");
    MakeHostFolder(d + "/.git");
    Chmod(MakeHostFile(d + "/locked.txt"), 0444);
    const struct { const char* dos; int attributes; } cases[] = {
        {"d:\\.profile", attr::Archive | attr::Hidden}, {"d:\\folder", attr::Directory},
        {"d:\\.git", attr::Directory | attr::Hidden}, {"d:\\LOCKED.TXT", attr::ReadOnly | attr::Archive},
        {"d:", attr::Directory}, {"d:\\nothing.txt", -err::FileNotFound},
        {"d:\\nowhere\\nothing.txt", -err::PathNotFound}};
    for (const auto& c : cases) EXPECT_EQ(attributesOf(c.dos), c.attributes) << c.dos;
}

TEST_F(AttributesTest, HiddenSystemAndArchiveAreWrittenAsWineDoes) {
    REQUIRE_XATTRS();
    const QString f = MakeHostFile(d + "/file.txt");
    ASSERT_EQ(SetAttributes("d:\\file.txt", attr::Hidden | attr::Archive), 0);
    EXPECT_EQ(RawDosAttrib(f), "0x22") << "no trailing NUL";
    EXPECT_EQ(attributesOf("d:\\file.txt"), attr::Hidden | attr::Archive);
    ASSERT_EQ(SetAttributes("d:\\file.txt", attr::System | attr::Directory), 0);
    EXPECT_EQ(RawDosAttrib(f), "0x4") << "the folder bit is not the caller's";
    ASSERT_EQ(SetAttributes("d:\\file.txt", 0), 0);
    EXPECT_EQ(attributesOf("d:\\file.txt"), 0) << "a cleared archive bit is not defaulted back";

    MakeHostFile(d + "/.dotted");
    ASSERT_EQ(SetAttributes("d:\\.dotted", attr::Archive), 0);
    EXPECT_EQ(attributesOf("d:\\.dotted"), attr::Archive) << "the attribute overrides the dot rule";
    MakeHostFolder(d + "/Sub");
    ASSERT_EQ(SetAttributes("d:\\sub", attr::Hidden | attr::System), 0);
    EXPECT_EQ(attributesOf("d:\\sub"), attr::Directory | attr::Hidden | attr::System);
}

TEST_F(AttributesTest, AttributeTextIsReadWithOrWithoutNulAndOtherwiseIgnored) {
    REQUIRE_XATTRS();
    const QString f = MakeHostFile(d + "/f.txt");
    const struct { QByteArray raw; int expected; } cases[] = {
        {QByteArray("0x6\0", 4), attr::Hidden | attr::System},
        {"0X20", attr::Archive},
        {"0x2 trailing words", attr::Hidden},
        {"0x23", attr::Hidden | attr::Archive},   // read-only comes from the permissions
        {"0xfffffffffffffffffff", attr::Hidden | attr::System | attr::Archive},
        {"0x", attr::Archive},
        {"garbage", attr::Archive},
        {QByteArray("\x03\x00\x03\x00\x11\x00", 6), attr::Archive},   // Samba's binary form
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetRawDosAttrib(f, c.raw));
        EXPECT_EQ(attributesOf("d:\\f.txt"), c.expected) << c.raw.toHex().toStdString();
    }
}

TEST_F(AttributesTest, ReadOnlyIsTheWritePermission) {
    const QString f = MakeHostFile(d + "/f.txt");
    Chmod(f, 0666);
    ASSERT_EQ(SetAttributes("d:\\f.txt", attr::ReadOnly | attr::Archive), 0);
    EXPECT_EQ(ModeOf(f), mode_t(0444)) << "every write bit goes";
    EXPECT_EQ(attributesOf("d:\\f.txt"), attr::ReadOnly | attr::Archive);
    ASSERT_EQ(SetAttributes("d:\\f.txt", attr::Archive), 0);
    EXPECT_EQ(ModeOf(f), mode_t(0644)) << "only the owner gets write back";
    EXPECT_EQ(SetAttributes("d:\\no\\missing.txt", attr::Archive), err::PathNotFound);
}

TEST_F(AttributesTest, TheOwnerCanHideAFileThatIsReadOnly) {
    REQUIRE_XATTRS();
    const QString f = MakeHostFile(d + "/f.txt");
    Chmod(f, 0444);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(Enc(f).constData(), 65534, 65534), 0);
    }
    openForOthers();
    // The owner, unlike root, may not write the attribute of a file it may not write.
    EXPECT_EQ(RunAsNobody([] { return int(SetAttributes("d:\\f.txt", attr::ReadOnly | attr::Hidden)); }), 0);
    EXPECT_EQ(RawDosAttrib(f), "0x2");
    EXPECT_EQ(ModeOf(f), mode_t(0444));
}

TEST_F(AttributesTest, WithoutExtendedAttributesOnlyReadOnlyChanges) {
    ScratchMount ram(d + "/ram", "ramfs", "mode=0755");   // ramfs keeps no user xattrs
    if (!ram.mounted()) GTEST_SKIP() << ram.why();
    MakeHostFile(d + "/ram/f.txt");
    ASSERT_FALSE(UserXattrsWork(d + "/ram"));
    EXPECT_EQ(SetAttributes("d:\\ram\\f.txt", attr::ReadOnly | attr::Hidden), 0);
    EXPECT_EQ(attributesOf("d:\\ram\\f.txt"), attr::ReadOnly | attr::Archive);
}

TEST_F(AttributesTest, FileInfoGivesSizeLocalTimeAndAttributes) {
    const QString f = MakeHostFile(d + "/Data.BIN", QByteArray(1234, 'z'));
    const QDateTime stamp(QDate(1997, 3, 15), QTime(10, 4, 0), Qt::LocalTime);
    const struct timespec times[2] = {{stamp.toSecsSinceEpoch(), 0}, {stamp.toSecsSinceEpoch(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Enc(f).constData(), times, 0), 0);
    FileEntry entry;
    ASSERT_EQ(GetFileInfo("d:\\data.bin", &entry), 0);
    EXPECT_EQ(entry.name, "Data.BIN");
    EXPECT_EQ(entry.size, 1234);
    EXPECT_EQ(entry.modified, stamp);
    EXPECT_EQ(entry.modified.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(entry.attributes, attr::Archive);

    MakeHostFile(d + "/Folder/inside.txt", QByteArray(5000, 'q'));
    ASSERT_EQ(GetFileInfo("d:\\folder", &entry), 0);
    EXPECT_EQ(entry.size, 0) << "a folder has no length";
    EXPECT_EQ(entry.attributes, attr::Directory);
    EXPECT_EQ(GetFileInfo("d:\\gone.bin", &entry), err::FileNotFound);
}

}  // namespace
