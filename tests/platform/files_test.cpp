// DOS paths to host paths and back; DOS attributes on Linux (R from the write
// permission, H/S/A in user.DOSATTRIB); name patterns and folder listings.
#include <ctime>
#include <utility>
#include "helpers.h"
#include "platform/prefix.h"

using namespace platform;
using namespace testhost;

namespace {

using PathsTest = PlatformTest;

TEST_F(PathsTest, LookupPrefersTheExactNameThenTheFirstCaseVariant) {
    for (const char* name : {"/Docs/Notes.TXT", "/Docs/notes.txt", "/Docs/README", "/Docs/ReadMe", "/file.txt"})
        MakeHostFile(d + name);
    linkMissingDrive('q');
    const struct { const char* dos; QString host; } cases[] = {
        {"d:\\docs\\notes.txt", d + "/Docs/notes.txt"},
        {"d:\\DOCS\\Notes.TXT", d + "/Docs/Notes.TXT"},
        {"d:\\docs\\NOTES.txt", d + "/Docs/Notes.TXT"},   // the first of the sorted variants
        {"d:\\docs\\readme", d + "/Docs/README"},
        // What does not exist is kept as written, so that it can be made.
        {"d:\\docs\\New Folder\\A.txt", d + "/Docs/New Folder/A.txt"},
        {"d:\\FILE.TXT\\below", d + "/file.txt/below"},
        {"D:\\", d}, {"d:\\docs\\.\\x\\..\\README", d + "/Docs/README"}, {"d:\\..\\..\\docs", d + "/Docs"},
        // A drive whose folder is missing is not ready; a letter without a link is no drive.
        {"q:\\x", "error 71"}, {"r:\\x", "error 68"}, {"", "error 76"},
    };
    for (const auto& c : cases) EXPECT_EQ(hostOf(c.dos), c.host) << c.dos;
    for (const char* bad : {"d:\\a\"b", "d:\\a*", "d:\\a?", "d:\\a<b", "d:\\a>b", "d:\\a|b", "d:\\a:b",
                            "d:\\a/b", "d:\\x\\a\tb", "1:\\x"})
        EXPECT_EQ(hostOf(bad), "error 64") << bad;
    // A run's batch gives the same answers; a folder renamed or a drive mapped
    // elsewhere through this layer is seen at once.
    const DriveMapBatch batch;
    for (const auto& c : cases) EXPECT_EQ(hostOf(c.dos), c.host) << "in a batch: " << c.dos;
    ASSERT_EQ(RenamePath("d:\\docs", "d:\\papers"), err::None);
    EXPECT_EQ(hostOf("d:\\DOCS\\notes.txt"), d + "/DOCS/notes.txt");
    EXPECT_EQ(hostOf("d:\\papers\\notes.txt"), d + "/papers/notes.txt");
    ASSERT_EQ(MapDrive('d', d + "/papers"), err::None);
    EXPECT_EQ(hostOf("d:\\readme"), d + "/papers/README");
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
    MakeHostFile(d + "/Docs/notes.txt");
    EXPECT_EQ(HostToDos(d + "/odd:name"), "d:\\" + NameFromHost("odd:name"));
    EXPECT_EQ(HostToDos(d + "/Docs/Notes.TXT"), "d:\\docs\\Notes.TXT") << "its lower case is another file";
    tp.linkDrive('z', "/nonexistent/quorl-test");
    EXPECT_EQ(HostToDos(tp.base() + "/x"), "") << "outside every drive";
}

TEST(DosPathWords, AWordWithABackslashOrADriveIsAPathAlsoBehindListMarks) {
    for (const char* yes : {"c:\\x", "c:", "c:x", "Z:\\", "\\temp\\a.txt", "sub\\f.txt", "a\\.b", "@c:\\list.lst", "!d:x"})
        EXPECT_TRUE(IsDosPathWord(yes)) << yes;
    for (const char* no : {"-v", "a.txt", "100%", "\\\\server\\share", "\\", "http://x", "\xc3\xa9:\\x", "", "@"})
        EXPECT_FALSE(IsDosPathWord(QString::fromUtf8(no))) << no;
}

using AttributesTest = PlatformTest;

TEST_F(AttributesTest, ReadOnlyIsTheWritePermissionAndTheRestIsWrittenAsWineDoes) {
    const QString f = MakeHostFile(d + "/file.txt");
    Chmod(f, 0666);
    ASSERT_EQ(SetAttributes("d:\\file.txt", attr::ReadOnly | attr::Archive), 0);
    EXPECT_EQ(ModeOf(f), mode_t(0444)) << "every write bit goes";
    EXPECT_EQ(attributesOf("d:\\file.txt"), attr::ReadOnly | attr::Archive);
    ASSERT_EQ(SetAttributes("d:\\file.txt", attr::Archive), 0);
    EXPECT_EQ(ModeOf(f), mode_t(0644)) << "only the owner gets write back";
    EXPECT_EQ(SetAttributes("d:\\no\\missing.txt", attr::Archive), err::PathNotFound);

    REQUIRE_XATTRS();
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

    // The owner, unlike root, may not write the attribute of a file it may not write.
    const QString ro = MakeHostFile(d + "/ro.txt");
    Chmod(ro, 0444);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(Enc(ro).constData(), 65534, 65534), 0);
    }
    openForOthers();
    EXPECT_EQ(RunAsNobody([] { return int(SetAttributes("d:\\ro.txt", attr::ReadOnly | attr::Hidden)); }), 0);
    EXPECT_EQ(RawDosAttrib(ro), "0x2");
    EXPECT_EQ(ModeOf(ro), mode_t(0444));
}

TEST_F(AttributesTest, AttributeTextIsReadWithOrWithoutNulAndOtherwiseIgnored) {
    REQUIRE_XATTRS();
    const QString f = MakeHostFile(d + "/f.txt");
    const struct { QByteArray raw; int expected; } cases[] = {
        {QByteArray("0x6\0", 4), attr::Hidden | attr::System}, {"0X20", attr::Archive}, {"0x", attr::Archive},
        {"0x2 trailing words", attr::Hidden}, {"garbage", attr::Archive},
        {"0x23", attr::Hidden | attr::Archive},   // read-only comes from the permissions
        {"0xfffffffffffffffffff", attr::Hidden | attr::System | attr::Archive},
        {QByteArray("\x03\x00\x03\x00\x11\x00", 6), attr::Archive}};   // Samba's binary form
    for (const auto& c : cases) {
        ASSERT_TRUE(SetRawDosAttrib(f, c.raw));
        EXPECT_EQ(attributesOf("d:\\f.txt"), c.expected) << c.raw.toHex().toStdString();
    }
}

TEST(NamePatterns, StarsAndQuestionMarksMatchAsInDos) {
    const struct { const char* name; const char* patterns; bool match; } cases[] = {
        {"readme.txt", "*.*", true}, {"readme", "*.*", true}, {".profile", "*.*", true}, {"readme.txt", "*", true},
        {"readme", "*.", true}, {"readme.txt", "*.", false}, {"README.TXT", "*.txt", true}, {"x", ";;", true},
        {"readme.txt", "*.TXT", true}, {"a.txt.bak", "*.txt", false}, {"a.txt", "?.txt", true},
        {"ab.txt", "?.txt", false}, {"abc", "abc", true}, {"abcd", "abc", false},
        // A "?" at the end or before the dot is one character or none; elsewhere exactly one.
        {"ab", "ab?", true}, {"ab1", "ab?", true}, {"ab12", "ab?", false}, {"ab", "ab??", true},
        {"ab.txt", "ab?.txt", true}, {"ab1.txt", "ab?.txt", true}, {"a.txt", "a??.txt", true},
        {".txt", "?.txt", true}, {"ab..txt", "ab?.txt", false}, {"ac", "a?c", false}, {"ab", "ab?.", true},
        {"xabc", "abc", false}, {"readme", "readme.*", true}, {"readme", "re?dme.", true},
        {"data1999.log", "data*9.log", true}, {"data1998.log", "data*9.log", false},
        {"file.h", "*.c; *.h", true}, {"file.o", "*.c;*.h", false},
        // A "*" of the pattern stays a wildcard where the name holds a "*" too.
        {"*[", "*.*", true}, {"*[", "*", true}, {"a*b.c", "*b.c", true}, {"**x", "*x", true}, {"*y", "*x", false}};
    for (const auto& c : cases)
        EXPECT_EQ(MatchesFileSpec(c.name, c.patterns), c.match) << c.name << " against " << c.patterns;
}

class ListingTest : public PlatformTest {
protected:
    QStringList files(const QString& folder, const QString& patterns = "*.*", bool all = false) {
        QList<FileEntry> out;
        return named(ListFiles(folder, patterns, all, &out), out);
    }
    QStringList folders(const QString& folder, bool all = false) {
        QList<FileEntry> out;
        return named(ListFolders(folder, all, &out), out);
    }
    static QStringList named(ErrorCode e, const QList<FileEntry>& entries) {
        QStringList n;
        for (const FileEntry& f : entries) n << f.name;
        return e ? QStringList{QStringLiteral("error %1").arg(e)} : n;
    }
};

TEST_F(ListingTest, EveryFileAndFolderIsListedAndEachListedNameReachesItAloneInAnyOrder) {
    // Names DOS cannot hold, bytes that are no UTF-8, names that differ only in
    // case (two and three of a kind), a leading "-", a "%", 255 bytes; made in
    // both orders in two folders, so that the folder is read in both.
    const QList<QByteArray> names = {"Meeting: notes.txt", "what?.pdf", "back\\slash", "caf\xff.bin", "new\nline",
                                     "\"*<>|", "-rf.txt", "100%.txt", "A.txt", "a.txt", "Readme.TXT", "x.TXT",
                                     "X.txt", "x.txt", QByteArray(251, 'n') + ".txt", "Both"};
    const QByteArray fwd = Enc(MakeHostFolder(d + "/fwd")), rev = Enc(MakeHostFolder(d + "/rev"));
    for (qsizetype i = 0; i < names.size(); ++i) {
        for (const QByteArray& path : {fwd + '/' + names[i], rev + '/' + names[names.size() - 1 - i]})
            ::close(::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    }
    for (const QByteArray& folder : {fwd, rev}) {
        ASSERT_EQ(::mkdir((folder + "/both").constData(), 0755), 0);
        ASSERT_EQ(::mkdir((folder + "/Sub\xfe").constData(), 0755), 0);
        ASSERT_EQ(::symlink("missing", (folder + "/dangling.txt").constData()), 0);
        ASSERT_EQ(::mkfifo((folder + "/pipe").constData(), 0600), 0);
    }
    QList<FileEntry> listed[2], dirs[2];
    for (int k = 0; k < 2; ++k) {
        const QString folder = k ? "d:\\rev" : "d:\\fwd";
        ASSERT_EQ(ListFiles(folder, "*.*", false, &listed[k]), 0);
        ASSERT_EQ(ListFolders(folder, false, &dirs[k]), 0);
        ASSERT_EQ(listed[k].size(), names.size()) << "every file, and no pipe or dangling link";
        for (const FileEntry& e : listed[k] + dirs[k]) {
            // The name as on disk, and a listed name that finds this entry and no other.
            const QString host = d + (k ? "/rev/" : "/fwd/") + NameToHost(e.name);
            EXPECT_EQ(host::Encode(hostOf(folder + "\\" + e.listName)), host::Encode(host)) << e.listName.toStdString();
            const bool shared = e.name.compare(u"a.txt", Qt::CaseInsensitive) == 0 ||
                                e.name.compare(u"x.txt", Qt::CaseInsensitive) == 0 || e.name.toLower() == "both";
            EXPECT_EQ(e.listName, shared ? e.name : e.name.toLower()) << e.name.toStdString();
        }
    }
    QStringList onDisk;
    for (const FileEntry& e : listed[0]) onDisk << e.name;
    EXPECT_EQ(named(0, listed[1]), onDisk) << "the same list whatever the order on disk";
    for (const QByteArray& n : names) EXPECT_TRUE(onDisk.contains(NameFromHost(host::Decode(n)))) << n.constData();
    EXPECT_EQ(onDisk.indexOf("a.txt"), onDisk.indexOf("A.txt") + 1) << "sorted by lower case, then by spelling";
    EXPECT_EQ(named(0, dirs[0]), QStringList({"both", NameFromHost(host::Decode("Sub\xfe"))}));
    EXPECT_EQ(files("d:\\fwd", "*.pdf"), QStringList{NameFromHost("what?.pdf")});
    EXPECT_EQ(folders("d:\\fwd\\both\\x"), QStringList({"error 76"}));
}

TEST_F(ListingTest, DotNamesAreHiddenAndHiddenOrSystemEntriesNeedTheSwitch) {
    for (const char* name : {"/.hidden", "/shown.txt", "/system.sys"}) MakeHostFile(d + name);
    for (const char* name : {"/.config", "/Visible", "/.shown-folder"}) MakeHostFolder(d + name);
    Chmod(MakeHostFile(d + "/locked.txt"), 0444);
    // Without user.DOSATTRIB a file is archive, a dot name hidden and R the permission.
    const struct { const char* dos; int attributes; } cases[] = {
        {"d:\\.hidden", attr::Archive | attr::Hidden}, {"d:\\visible", attr::Directory},
        {"d:\\.config", attr::Directory | attr::Hidden}, {"d:\\LOCKED.TXT", attr::ReadOnly | attr::Archive},
        {"d:", attr::Directory}, {"d:\\nothing.txt", -err::FileNotFound},
        {"d:\\nowhere\\nothing.txt", -err::PathNotFound}};
    for (const auto& c : cases) EXPECT_EQ(attributesOf(c.dos), c.attributes) << c.dos;

    REQUIRE_XATTRS();
    ASSERT_EQ(SetAttributes("d:\\system.sys", attr::System), 0);
    ASSERT_EQ(SetAttributes("d:\\visible", attr::Hidden), 0);
    ASSERT_EQ(SetAttributes("d:\\.shown-folder", 0), 0);
    EXPECT_EQ(files("d:"), QStringList({"locked.txt", "shown.txt"}));
    EXPECT_EQ(files("d:", "*.*", true), QStringList({".hidden", "locked.txt", "shown.txt", "system.sys"}));
    EXPECT_EQ(folders("d:"), QStringList({".shown-folder"}));
    EXPECT_EQ(folders("d:", true), QStringList({".config", ".shown-folder", "Visible"}));
}

// Each file's time is shown on the clock of its own date: a zone with summer
// time gives a winter file and a summer file different offsets.
TEST_F(ListingTest, FileTimesAreTheLocalClockOfEachFilesDate) {
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "EST5EDT,M3.2.0,M11.1.0");
    ::tzset();
    const QDateTime winter(QDate(2021, 1, 15), QTime(12, 0, 30), Qt::UTC), summer(QDate(2021, 7, 15), QTime(12, 0), Qt::UTC);
    for (const auto& [name, when] : {std::pair{"/winter.txt", winter}, std::pair{"/summer.txt", summer}}) {
        const timespec times[2] = {{when.toSecsSinceEpoch(), 0}, {when.toSecsSinceEpoch(), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, Enc(MakeHostFile(d + name)).constData(), times, 0), 0);
    }
    QList<FileEntry> out;
    ASSERT_EQ(ListFiles("d:", "*.*", false, &out), 0);
    if (savedZone.isNull()) qunsetenv("TZ");
    else qputenv("TZ", savedZone);
    ::tzset();
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0].modified.date(), QDate(2021, 7, 15));
    EXPECT_EQ(out[0].modified.time(), QTime(8, 0)) << "summer: four hours behind";
    EXPECT_EQ(out[1].modified.time(), QTime(7, 0, 30)) << "winter: five hours behind";
    EXPECT_EQ(out[0].modified, summer) << "the same moment";
    EXPECT_EQ(out[1].modified, winter);
}

}  // namespace
