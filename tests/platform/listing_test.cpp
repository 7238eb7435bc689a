// File specifications and the folder listings that logging reads.
#include "helpers.h"

using namespace platform;
using namespace testhost;

namespace {

TEST(FileSpec, StarsAndQuestionMarksMatchAsInDos) {
    const struct { const char* name; const char* spec; bool match; } cases[] = {
        {"readme.txt", "*.*", true},      {"readme", "*.*", true},          {".profile", "*.*", true},
        {"readme.txt", "*", true},        {"readme", "*.", true},           {"readme.txt", "*.", false},
        {"README.TXT", "*.txt", true},    {"readme.txt", "*.TXT", true},    {"a.txt.bak", "*.txt", false},
        {"a.txt", "?.txt", true},         {"ab.txt", "?.txt", false},       {".txt", "?.txt", false},
        {"abc", "abc", true},             {"abcd", "abc", false},           {"xabc", "abc", false},
        {"readme", "readme.*", true},     {"readme", "re?dme.", true},      {"data1999.log", "data*9.log", true},
        {"data1998.log", "data*9.log", false}, {"file.h", "*.c; *.h", true}, {"file.o", "*.c;*.h", false},
        {"x", ";;", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesFileSpec(c.name, c.spec), c.match) << c.name << " against " << c.spec;
}

class ListingTest : public PlatformTest {
protected:
    QStringList files(const QString& folder, const QString& spec = "*.*", bool all = false) {
        QList<FileEntry> out;
        return named(ListFiles(folder, spec, all, &out), out);
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

TEST_F(ListingTest, FilesAndFoldersAreListedApartInLowerCaseOrder) {
    for (const char* name : {"/b.txt", "/A.doc", "/c.TXT"}) MakeHostFile(d + name);
    MakeHostFolder(d + "/Zeta");
    MakeHostFolder(d + "/alpha");
    ASSERT_EQ(::symlink("b.txt", Enc(d + "/Link.txt").constData()), 0);
    ASSERT_EQ(::symlink("alpha", Enc(d + "/LinkDir").constData()), 0);
    ASSERT_EQ(::symlink("missing", Enc(d + "/dangling.txt").constData()), 0);
    ASSERT_EQ(::mkfifo(Enc(d + "/pipe").constData(), 0600), 0);

    EXPECT_EQ(files("d:"), QStringList({"A.doc", "b.txt", "c.TXT", "Link.txt"}));
    EXPECT_EQ(files("d:\\", "*.txt"), QStringList({"b.txt", "c.TXT", "Link.txt"}));
    EXPECT_EQ(folders("d:"), QStringList({"alpha", "LinkDir", "Zeta"}));

    QList<FileEntry> out;
    FileEntry single;
    ASSERT_EQ(ListFiles("d:", "a.doc", false, &out), 0);
    ASSERT_EQ(GetFileInfo("d:\\a.doc", &single), 0);
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out[0].size, 1);
    EXPECT_EQ(out[0].attributes, attr::Archive);
    EXPECT_EQ(out[0].modified, single.modified);
}

TEST_F(ListingTest, CaseVariantsAreListedOnceAsTheLookupFindsThem) {
    for (const char* name : {"/NOTES.txt", "/notes.txt", "/Notes.TXT", "/Report.doc", "/REPORT.DOC", "/shared"})
        MakeHostFile(d + name);
    for (const char* name : {"/Shared", "/Tools", "/TOOLS"}) MakeHostFolder(d + name);

    const QStringList listed = files("d:");
    EXPECT_EQ(listed, QStringList({"notes.txt", "REPORT.DOC", "shared"}));
    EXPECT_EQ(folders("d:"), QStringList({"TOOLS"})) << "the folder Shared is hidden by the file shared";
    // What is listed is what the program reaches when it asks in lower case.
    for (const QString& name : listed + QStringList{"TOOLS"}) EXPECT_EQ(hostOf("d:\\" + name.toLower()), d + "/" + name);
}

TEST_F(ListingTest, NamesDosCannotWriteAreLeftOut) {
    for (const char* name : {"/good.txt", "/back\\slash.txt", "/what?.txt", "/time 12:30.txt", "/caf\xc3\xa9.txt"})
        MakeHostFile(d + QString::fromUtf8(name));
    // Names in Latin-1, not UTF-8, have no faithful DOS spelling. Qt cannot remove
    // them either, so they go by their bytes at the end.
    const QByteArray latin1 = Enc(d) + "/caf\xe9-latin1.txt", badDir = Enc(d) + "/dir\xff";
    struct RemoveRaw {
        QByteArray file, dir;
        ~RemoveRaw() { ::unlink(file.constData()); ::rmdir(dir.constData()); }
    } cleanup{latin1, badDir};
    ::close(::open(latin1.constData(), O_CREAT | O_WRONLY, 0644));
    ASSERT_EQ(::mkdir(badDir.constData(), 0755), 0);

    EXPECT_EQ(files("d:"), QStringList({QString::fromUtf8("caf\xc3\xa9.txt"), "good.txt"}));
    EXPECT_EQ(folders("d:"), QStringList());
}

TEST_F(ListingTest, HiddenAndSystemEntriesNeedTheSwitch) {
    REQUIRE_XATTRS();
    for (const char* name : {"/.hidden", "/shown.txt", "/system.sys"}) MakeHostFile(d + name);
    for (const char* name : {"/.config", "/Visible", "/.shown-folder"}) MakeHostFolder(d + name);
    ASSERT_EQ(SetAttributes("d:\\system.sys", attr::System), 0);
    ASSERT_EQ(SetAttributes("d:\\visible", attr::Hidden), 0);
    ASSERT_EQ(SetAttributes("d:\\.shown-folder", 0), 0);

    EXPECT_EQ(files("d:"), QStringList({"shown.txt"}));
    EXPECT_EQ(files("d:", "*.*", true), QStringList({".hidden", "shown.txt", "system.sys"}));
    EXPECT_EQ(folders("d:"), QStringList({".shown-folder"}));
    EXPECT_EQ(folders("d:", true), QStringList({".config", ".shown-folder", "Visible"}));
}

TEST_F(ListingTest, FoldersThatCannotBeReadGiveErrorNumbers) {
    MakeHostFile(d + "/file.txt");
    MakeHostFile(d + "/Private/secret.txt");
    Chmod(d + "/Private", 0);
    linkMissingDrive('q');
    EXPECT_EQ(files("d:\\missing"), QStringList({"error 76"}));
    EXPECT_EQ(folders("d:\\file.txt"), QStringList({"error 76"}));
    EXPECT_EQ(files("q:"), QStringList({"error 71"}));
    EXPECT_EQ(files("r:"), QStringList({"error 68"}));
    openForOthers();
    EXPECT_EQ(RunAsNobody([] {
                  QList<FileEntry> out;
                  return int(ListFiles("d:\\private", "*.*", true, &out));
              }),
              err::AccessDenied);
    Chmod(d + "/Private", 0755);
}

}  // namespace
