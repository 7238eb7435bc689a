// The drive map of the prefix and the translation between DOS and host paths.
#include "helpers.h"
#include "platform/curdir.h"
#include "platform/prefix.h"

using namespace platform;
using namespace testhost;

namespace {

using PathsTest = PlatformTest;

TEST_F(PathsTest, DriveMapTellsMissingDrivesFromDrivesThatAreNotReady) {
    linkMissingDrive('q');
    tp.linkDrive('f', MakeHostFile(tp.base() + "/plain.txt"));
    tp.linkDrive('c', "../relative_c");
    MakeHostFolder(tp.prefix() + "/relative_c");
    EXPECT_EQ(DriveLetters(), QStringList({"c:", "d:", "f:", "q:"}));

    QString root;
    EXPECT_EQ(DriveRoot('D', &root), 0);
    EXPECT_EQ(root, d);
    EXPECT_EQ(DriveRoot('c', &root), 0);
    EXPECT_EQ(root, tp.prefix() + "/relative_c") << "a relative link is taken from dosdevices";
    EXPECT_EQ(DriveRoot('f', &root), err::DiskNotReady) << "a drive must be a folder";
    EXPECT_EQ(hostOf("q:\\x"), "error 71");
    EXPECT_EQ(hostOf("r:\\x"), "error 68");
    EXPECT_EQ(hostOf(""), "error 76");
}

TEST_F(PathsTest, PrefixFollowsTheDataHomeUnlessOverridden) {
    const QByteArray savedXdg = qgetenv("XDG_DATA_HOME");
    SetPrefixFolder(QString());
    qputenv("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(DosDevicesFolder(), "/data/home/quorl/dosdevices");
    qputenv("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(PrefixFolder(), QDir::homePath() + "/.local/share/quorl");
    SetPrefixFolder("/some/where/");
    EXPECT_EQ(PrefixFolder(), "/some/where");
    savedXdg.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", savedXdg);
    SetPrefixFolder(tp.prefix());
}

TEST_F(PathsTest, LookupPrefersTheExactNameThenTheFirstCaseVariant) {
    for (const char* name : {"/Docs/Notes.TXT", "/Docs/notes.txt", "/Docs/README", "/Docs/ReadMe", "/file.txt"})
        MakeHostFile(d + name);
    const QString c = tp.addDrive('c');
    MakeHostFolder(c + "/Windows/System");
    const struct { const char* dos; QString host; } cases[] = {
        {"d:\\docs\\notes.txt", d + "/Docs/notes.txt"},
        {"d:\\DOCS\\Notes.TXT", d + "/Docs/Notes.TXT"},
        {"d:\\docs\\NOTES.txt", d + "/Docs/Notes.TXT"},   // the first of the sorted variants
        {"d:\\docs\\readme", d + "/Docs/README"},
        {"c:\\windows\\system", c + "/Windows/System"},
        // What does not exist is kept as written, so that it can be made.
        {"d:\\docs\\New Folder\\A.txt", d + "/Docs/New Folder/A.txt"},
        {"d:\\FILE.TXT\\below", d + "/file.txt/below"},
        {"d:", d}, {"D:\\", d}, {"d:\\\\docs\\\\", d + "/Docs"},
        {"d:\\docs\\.\\x\\..\\README", d + "/Docs/README"}, {"d:\\..\\..\\docs", d + "/Docs"},
    };
    for (const auto& c : cases) EXPECT_EQ(hostOf(c.dos), c.host) << c.dos;
}

TEST_F(PathsTest, PathsSplitOnlyWhenAbsoluteAndOnlyIntoDosNames) {
    QString drive;
    QStringList parts;
    ASSERT_TRUE(SplitDosPath("C:\\x\\y\\..\\z", &drive, &parts));
    EXPECT_EQ(drive + parts.join('|'), "c:x|z");
    ASSERT_TRUE(SplitDosPath("c:", &drive, &parts));
    EXPECT_TRUE(parts.isEmpty());
    for (const char* notAbsolute : {"c:x", "\\x", "1:\\x", "c:/x"})
        EXPECT_FALSE(SplitDosPath(notAbsolute, &drive, &parts)) << notAbsolute;

    for (const char* bad : {"d:\\a\"b", "d:\\a*", "d:\\a?", "d:\\a<b", "d:\\a>b", "d:\\a|b", "d:\\a:b",
                            "d:\\a/b", "d:\\x\\a\tb", "1:\\x"})
        EXPECT_EQ(hostOf(bad), "error 64") << bad;
    for (const char* good : {"my file (1).txt", "...", "k56f5432.h\xc3\xb1" "8"})
        EXPECT_TRUE(IsValidDosComponent(QString::fromUtf8(good))) << good;
    EXPECT_FALSE(IsValidDosComponent(""));
    EXPECT_FALSE(IsValidDosComponent("a\\b"));
}

TEST_F(PathsTest, PathsWithoutDriveOrRootUseTheCurrentDriveAndFolder) {
    MakeHostFolder(d + "/Work/Sub");
    const QString e = tp.addDrive('e');
    MakeHostFolder(e + "/Other");
    ASSERT_EQ(ChangeDrive('d'), 0);
    ASSERT_EQ(ChangeFolder("d:\\work"), 0);
    ASSERT_EQ(ChangeFolder("e:\\other"), 0);

    EXPECT_EQ(hostOf("sub"), d + "/Work/Sub");
    EXPECT_EQ(hostOf("..\\x.txt"), d + "/x.txt");
    EXPECT_EQ(hostOf("\\x.txt"), d + "/x.txt");
    EXPECT_EQ(hostOf("e:y.txt"), e + "/Other/y.txt") << "the other drive's own current folder";
    EXPECT_EQ(hostOf("e:"), e) << "the letter alone is the root";
    QString full;
    EXPECT_EQ(FullDosPath("Sub\\..\\File.TXT", &full), 0);
    EXPECT_EQ(full, "d:\\work\\File.TXT");
}

TEST_F(PathsTest, HostPathsMapToTheDriveWithTheLongestRoot) {
    tp.linkDrive('z', "/");
    tp.linkDrive('g', d);
    MakeHostFile(d + "/Docs/Notes.TXT");
    MakeHostFile(d + "/odd:name");
    EXPECT_EQ(HostToDos(d + "/Docs/Notes.TXT"), "d:\\docs\\notes.txt") << "d: before g: of the same target";
    EXPECT_EQ(HostToDos(d + "/"), "d:");
    EXPECT_EQ(HostToDos(d + "/Docs/not-yet/There.txt"), "d:\\docs\\not-yet\\there.txt");
    EXPECT_EQ(HostToDos(tp.base() + "/x"), "z:" + QString(tp.base() + "/x").replace('/', '\\').toLower());
    EXPECT_EQ(HostToDos(d + "/odd:name"), "") << "a name DOS cannot write";

    // Through a link into the drive, the canonical path decides.
    ASSERT_EQ(::symlink(Enc(d + "/Docs").constData(), Enc(tp.base() + "/shortcut").constData()), 0);
    EXPECT_EQ(HostToDos(tp.base() + "/shortcut/Notes.TXT"), "d:\\docs\\notes.txt");
    QDir::setCurrent(d + "/Docs");
    EXPECT_EQ(HostToDos("Notes.TXT"), "d:\\docs\\notes.txt") << "relative to the process's folder";
    tp.linkDrive('z', "/nonexistent/quorl-test");
    EXPECT_EQ(HostToDos(tp.base() + "/x"), "") << "outside every drive";
}

}  // namespace
