// The ARJ front end with Debian's arj: DOS paths in arguments and list files
// reach arj as host paths, and the archive goes there and back.
#include <QFileInfo>
#include "arjfront.h"
#include "helpers.h"
#include "platform/names.h"

using namespace archtest;
namespace {

int RunArj(const QStringList& arguments, QTextStream& out) { return archivers::RunArj(arguments, out); }

class ArjTest : public ArchiverTest {
protected:
    void SetUp() override {
        if (!QFileInfo(archivers::ArjProgram()).isExecutable())
            GTEST_SKIP() << archivers::ArjProgram().toStdString() << " is missing (Debian package arj): no round trip";
        ArchiverTest::SetUp();
        MakeFile(c + "/work/A.txt", "hello\n");
        MakeFile(c + "/work/Sub/Deep.TXT", "deep\n");
        MakeFile(c + "/work/nodot", "no extension\n");
        MakeFile(c + "/work/my notes.txt", "notes\n");
        QDir().mkpath(c + "/out");
        QDir().mkpath(d + "/dest");
        QDir().mkpath(d + "/flat");
    }
    static QStringList TempLists() { return QDir(QDir::tempPath()).entryList({"quorl-arj-*"}, QDir::Files); }
};

TEST_F(ArjTest, TaggedFilesInADosListFileGoThereAndBackWithAndWithoutPaths) {
    // The list as the program writes it: lower case, relative to the current
    // folder, or a full path; CR LF line ends.
    MakeFile(c + "/yhb6543.tmp", "a.txt\r\nsub\\deep.txt\r\nnodot\r\nc:\\work\\my notes.txt\r\n");
    const QStringList listsBefore = TempLists();

    // Switch set A on, volume size "available", method "slowest".
    EXPECT_EQ(run(RunArj, Argv(" -a -hu -y  a  -va  -m1 c:\\out\\arc !c:\\yhb6543.tmp")), 0) << output.toStdString();
    ASSERT_TRUE(QFileInfo::exists(c + "/out/arc.arj"));
    EXPECT_EQ(TempLists(), listsBefore);   // the translated list is gone

    // Extraction with paths to another drive, the destination without its
    // trailing backslash and "*.*" as the program passes them.
    EXPECT_EQ(run(RunArj, Argv(" -y  x -v c:\\out\\arc.arj d:\\dest *.*")), 0) << output.toStdString();
    EXPECT_EQ(Tree(d + "/dest"), Files({{"A.txt", "hello\n"},
                                        {"Sub/", ""},
                                        {"Sub/Deep.TXT", "deep\n"},
                                        {"my notes.txt", "notes\n"},
                                        {"nodot", "no extension\n"}}));
    EXPECT_EQ(run(RunArj, Argv(" -y  e -v c:\\out\\arc.arj d:\\flat *.*")), 0) << output.toStdString();
    EXPECT_EQ(Tree(d + "/flat"), Files({{"A.txt", "hello\n"},
                                        {"Deep.TXT", "deep\n"},
                                        {"my notes.txt", "notes\n"},
                                        {"nodot", "no extension\n"}}));
}

TEST_F(ArjTest, AListNamingAnUnknownDriveOrANameArjWouldMistakeRunsNothingAndSaysWhich) {
    // arj would read "\\" as a folder and "?" as a wildcard, and trims a blank
    // at the end of a line; a line break can't stand in its list at all.
    QStringList unfit = {"q:\\x.txt"};
    for (const char* name : {"what?.pdf", "back\\slash", "last ", "new\nline"}) {
        MakeFile(c + "/work/" + name, "x");
        unfit << platform::NameFromHost(name);
    }
    const QStringList listsBefore = TempLists();
    for (const QString& name : unfit) {
        // Quoted as the program writes a name that ends in a blank.
        MakeFile(c + "/yhb6543.tmp", ("a.txt\r\n\"" + name + "\"\r\n").toUtf8());
        EXPECT_NE(run(RunArj, Argv(" a c:\\out\\none !c:\\yhb6543.tmp")), 0);
        EXPECT_TRUE(output.contains("Can't use " + platform::ShownName(name) + ": ")) << output.toStdString();
        EXPECT_FALSE(QFileInfo::exists(c + "/out/none.arj"));
    }
    EXPECT_EQ(TempLists(), listsBefore);
    // arj's own failure comes back as its exit code.
    EXPECT_NE(run(RunArj, Argv(" -y x c:\\out\\missing.arj d:\\dest *.*")), 0);
}

TEST(ArjArguments, SwitchesStayAndPathsBecomeHostPathsArjUnderstands) {
    TempPrefix prefix;
    const QString c = prefix.addDrive('c');
    const QString d = prefix.addDrive('d');
    MakeFile(c + "/Work/Sub/Deep.TXT", "deep\n");
    MakeFile(c + "/Work/ first", "blank\n");
    QDir().mkpath(d + "/Dest");
    ASSERT_EQ(platform::ChangeDrive('c'), 0);
    ASSERT_EQ(platform::ChangeFolder("c:\\work"), 0);
    archivers::ArjCall call;
    QString error;
    ASSERT_TRUE(archivers::TranslateArjArguments(
        {"-y", "x", "-v", "d:\\arc.arj", "d:\\dest", "sub\\deep.txt", "*.*", "\"c:\\work\\sub\"", "\" first\""}, &call,
        &error))
        << error.toStdString();
    // Below the current folder names stay relative, spelled as on disk; an
    // existing folder after the archive of an extraction gets arj's "/"; a
    // leading blank, which arj would trim, stands behind "./".
    EXPECT_EQ(call.arguments,
              QStringList({"-y", "x", "-v", d + "/arc.arj", d + "/Dest/", "Sub/Deep.TXT", "*", "Sub", "./ first"}));
}

}  // namespace
