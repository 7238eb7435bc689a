#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include "config/settings.h"
#include "fixture.h"
#include "model/slots.h"

namespace {

std::string S(const QString& s) { return s.toStdString(); }
std::string B(const QByteArray& b) { return b.toStdString(); }

const QString IniPath = "c:\\windows\\quorl.ini";
const QString TmpPath = "c:\\windows\\quorl.tmp";
const QString NotFound = "Quorl.ini is invalid or can't be found on your windows directory";

// The parts of a settings file; each test changes what it is about.
struct Ini {
    QByteArray head;   // before "[general]"
    QList<QByteArray> general{"Ignore read only attribute=false", "Max folders in slow logging=10",
                              "Folder logging method=slow", "Show system and hidden files=false",
                              "Automatic file overwrite=false", "File date format=dd-mm-yy", "File columns=3",
                              "Program folder=c:\\quorl"};
    QList<QByteArray> compression{"Archives overwrite=false", "Compress with paths=false",
                                  "Extract with paths=true", "ARJ volume size=1440 KB",
                                  "Compression method=Store", "ARJ.exe=c:\\quorl\\arj.exe",
                                  "Pkzip.exe=c:\\quorl\\pkzip.exe", "Pkunzip.exe=c:\\quorl\\pkunzip.exe"};
    QList<QByteArray> fonts{"Tree font name=MS Sans Serif", "Tree font size=8", "File list font name=Courier New",
                            "File list font size=10"};
    QByteArray between;   // after "[fonts]", before "[supportedfiletypes]"
    QByteArray tail = "[supportedfiletypes]\r\n.txt,text\r\n.BMP,Picture\r\n\r\n"
                      "[associations]\r\n.doc,Word document,c:\\office\\winword.exe\r\n"
                      "[desktop]\r\nWindowState = Normal\r\nWindowCoordinates = 1200,900,9600,7200\r\n";

    QByteArray text(const QByteArray& eol = "\r\n") const {
        QByteArray out = head;
        auto section = [&](const char* header, const QList<QByteArray>& lines) {
            out += header + eol;
            for (const QByteArray& line : lines) out += line + eol;
            out += eol;
        };
        section("[general]", general);
        section("[compression]", compression);
        section("[fonts]", fonts);
        return out + between + tail;
    }
};

class SettingsFile : public ::testing::Test {
protected:
    TempPrefix prefix;
    void SetUp() override {
        prefix.addDrive('c');
        prefix.writeFile("c:\\quorl\\Quorl.exe", "program");
    }
    void write(const QByteArray& bytes) { prefix.writeFile(IniPath, bytes); }
    QByteArray file() const { return prefix.readFile(IniPath); }
    bool tmpExists() const { return QFileInfo::exists(prefix.host(TmpPath)); }
    void load(const Ini& ini) {
        write(ini.text());
        ASSERT_TRUE(LoadSettings());
    }
};

}  // namespace

TEST(SettingsText, ValueIsTheTrimmedLowerCaseTextAfterTheLastEquals) {
    EXPECT_EQ(S(ValueOf("Folder logging method =  Slow ")), "slow");
    EXPECT_EQ(S(ValueOf("a=b=C:\\Quorl")), "c:\\quorl");
    EXPECT_EQ(S(ValueOf("no equals sign")), "");
    EXPECT_EQ(S(ValueOf("Key=")), "");
}

TEST(SettingsText, EachValueIsCheckedAsItsIndexSays) {
    struct Case { int index; const char* value; QVariant expected; };
    const Case cases[] = {
        {1, "false", false}, {1, "true", true}, {1, "yes", true}, {1, "", true}, {5, "FALSE", false},
        {2, "42", 42}, {2, "150", 99}, {2, "-5", 0}, {2, "abc", 0}, {2, "12abc", 12}, {2, "99999999999999999999", 99},
        {3, "slow", QString("slow")}, {3, "SLOW", QString("slow")}, {3, "medium", QString("fast")},
        {6, "DD-MM-YY", QString("dd-mm-yy")}, {6, "yy-mm-dd", QString("mm-dd-yy")}, {6, "", QString("mm-dd-yy")},
        {7, "3", 3}, {7, "7", 4}, {7, "0", 1}, {7, "letters", 1},
        {12, "720 KB", QString("720 KB")}, {12, "1200 kb", QString("1200 KB")},
        {12, "available", QString("Available")}, {12, "1.44 mb", QString("Available")},
        {13, "FASTEST", QString("Fastest")}, {13, "store", QString("Store")}, {13, "slowest", QString("Slowest")},
        {13, "quick", QString("fastest")},
        {8, "C:\\Quorl", QString("c:\\quorl")}, {14, "", QString()},
    };
    for (const Case& c : cases) {
        const QVariant got = CheckedSetting(c.index, c.value);
        EXPECT_EQ(got.typeId(), c.expected.typeId()) << c.index << " " << c.value;
        EXPECT_EQ(got, c.expected) << c.index << " " << c.value << " gave " << S(got.toString());
    }
}

TEST(SettingsText, SectionLinesAreWrittenWithTheirKeysAndTheNewValues) {
    TempPrefix prefix;
    Settings[1] = true;
    Settings[2] = 7;
    Settings[3] = QString("slow");
    Settings[8] = QString("c:\\quorl");
    QStringList out;
    WriteSettingLines(out, {"Ignore=false", "Max=99", "Folder logging =fast", "a=b=c", "no equals", "", "", "Folder=x",
                            ""},
                      "[general]", 1);
    // Missing lines are made from the default keys of their positions.
    EXPECT_EQ(out, (QStringList{"[general]", "Ignore=True", "Max=7", "Folder logging =slow", "a=b=", "no equals=",
                                "Folder=", "File columns=", "Program folder=c:\\quorl", ""}));

    Settings[17] = QString("courier new");
    out.clear();
    WriteSettingLines(out, {"Tree font=arial", ""}, "[fonts]", 17);
    EXPECT_EQ(out, (QStringList{"[fonts]", "Tree font=courier new", "Tree font size=", "File list font name=",
                                "File list font size=", ""}));
}

TEST_F(SettingsFile, ReadSectionTrimsSkipsEmptyLinesAndStopsAtTheNextSection) {
    write("[general]\r\nx=1\r\n  [Supportedfiletypes]  \r\n  .txt , text  \r\n\r\n\t\r\n.gif,picture\r\n"
          "[associations]\r\n.doc,a,b\r\n");
    EXPECT_EQ(ReadSection("[supportedfiletypes]"), (QStringList{".txt , text", ".gif,picture", ""}));
    EXPECT_EQ(ReadSection("[associations]"), (QStringList{".doc,a,b", ""}));
    EXPECT_EQ(ReadSection("[desktop]"), QStringList{QString()});
}

TEST_F(SettingsFile, LoadingStoresEveryValueWithItsType) {
    load(Ini());
    const QVariant expected[21] = {QVariant(), false, 10, QString("slow"), false, false, QString("dd-mm-yy"), 3,
                                   QString("c:\\quorl"), false, false, true, QString("1440 KB"), QString("Store"),
                                   QString("c:\\quorl\\arj.exe"), QString("c:\\quorl\\pkzip.exe"),
                                   QString("c:\\quorl\\pkunzip.exe"), QString("ms sans serif"), QString("8"),
                                   QString("courier new"), QString("10")};
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(Settings[i].typeId(), expected[i].typeId()) << i;
        EXPECT_EQ(Settings[i], expected[i]) << i << " " << S(Settings[i].toString());
    }
}

TEST_F(SettingsFile, LoadingChecksValuesAsTheTableSays) {
    Ini ini;
    ini.general[1] = "Max folders=150";
    ini.general[5] = "Date=x=DD-MM-YY";
    ini.general[6] = "File columns=7";
    ini.compression[3] = "ARJ volume size=720 KB";
    ini.compression[4] = "Compression method=quick";
    ini.fonts[0] = "Tree font name=";
    load(ini);
    EXPECT_EQ(Settings[2], QVariant(99));
    EXPECT_EQ(Settings[6], QVariant(QString("dd-mm-yy")));
    EXPECT_EQ(Settings[7], QVariant(4));
    EXPECT_EQ(Settings[12], QVariant(QString("720 KB")));
    EXPECT_EQ(Settings[13], QVariant(QString("fastest")));
    EXPECT_EQ(Settings[17], QVariant(QString()));
}

TEST_F(SettingsFile, LineFeedsAloneAreAccepted) {
    Ini ini;
    ini.tail.replace("\r\n", "\n");
    write(ini.text("\n"));
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(Settings[8], QVariant(QString("c:\\quorl")));
    EXPECT_EQ(Settings[20], QVariant(QString("10")));
}

TEST_F(SettingsFile, MissingFileIsReportedAndEndsTheProgram) {
    ScriptedPrompter prompts;
    prompts.expect(NotFound, PromptAnswer::Ok, "Error");
    EXPECT_FALSE(LoadSettings());
}

TEST_F(SettingsFile, WrongProgramFolderIsReportedAndEndsTheProgram) {
    Ini ini;
    ini.general[7] = "Program folder=C:\\Gone";
    write(ini.text());
    ScriptedPrompter prompts;
    prompts.expect("Disk Rorediva is not installed in : c:\\gone\r\nProbably you renamed the folder which was "
                   "containing the program. Run setup program again from the original disks. Execution aborted",
                   PromptAnswer::Ok, "Error");
    EXPECT_FALSE(LoadSettings());
}

TEST_F(SettingsFile, ProgramFolderIsFoundWhateverTheLetterCase) {
    Ini ini;
    ini.general[7] = "Program folder=C:\\QUORL";
    load(ini);
    EXPECT_EQ(Settings[8], QVariant(QString("c:\\quorl")));
}

TEST_F(SettingsFile, MissingSectionsAndLinesTakeTheFallbacks) {
    write("[general]\r\nIgnore=false\r\nMax=5\r\n\r\n[fonts]\r\nTree font name=Arial\r\n[desktop]\r\n");
    ScriptedPrompter prompts;
    // Without its line the program folder is empty, which is as wrong as a bad one.
    prompts.expect("Disk Rorediva is not installed in : \r\nProbably you renamed the folder which was containing the "
                   "program. Run setup program again from the original disks. Execution aborted",
                   PromptAnswer::Ok, "Error");
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(Settings[1], QVariant(false));
    EXPECT_EQ(Settings[2], QVariant(5));
    EXPECT_EQ(Settings[3], QVariant(QString("fast")));
    EXPECT_EQ(Settings[4], QVariant(true));
    EXPECT_EQ(Settings[6], QVariant(QString("mm-dd-yy")));
    EXPECT_EQ(Settings[7], QVariant(1));
    for (int i : {9, 10, 11}) EXPECT_EQ(Settings[i], QVariant(true)) << i;
    EXPECT_EQ(Settings[12], QVariant(QString("Available")));
    EXPECT_EQ(Settings[13], QVariant(QString("fastest")));
    for (int i : {14, 15, 16, 18, 19, 20}) EXPECT_EQ(Settings[i], QVariant(QString())) << i;
    EXPECT_EQ(Settings[17], QVariant(QString("arial")));
}

TEST_F(SettingsFile, ReadingNeverChangesTheFile) {
    Ini ini;
    ini.general[2] = "Folder logging method=NOT ALLOWED";
    ini.between = "stray line\n";
    const QByteArray before = ini.text();
    write(before);
    ASSERT_TRUE(LoadSettings());
    ReadSection("[desktop]");
    QStringList lines;
    ASSERT_TRUE(ReadSettingsLines(&lines));
    EXPECT_EQ(file(), before);
    EXPECT_FALSE(tmpExists());
}

TEST_F(SettingsFile, SavingRewritesTheSettingSectionsAndKeepsTheRestByteForByte) {
    Ini ini;
    ini.head = "; written by hand\r\n";
    ini.general[2] = "Folder logging =fast";
    ini.compression[0] = "  Archives overwrite = true  ";
    ini.between = "[mine]\r\nlost=line\r\n";
    load(ini);
    Settings[1] = true;
    Settings[2] = 42;
    Settings[3] = QString("slow");
    Settings[13] = QString("Fastest");
    Settings[20] = QString("12");
    SaveSettings();

    Ini expected;
    expected.general = {"Ignore read only attribute=True", "Max folders in slow logging=42", "Folder logging =slow",
                        "Show system and hidden files=False", "Automatic file overwrite=False",
                        "File date format=dd-mm-yy", "File columns=3", "Program folder=c:\\quorl"};
    expected.compression = {"Archives overwrite =True", "Compress with paths=False", "Extract with paths=True",
                            "ARJ volume size=1440 KB", "Compression method=Fastest", "ARJ.exe=c:\\quorl\\arj.exe",
                            "Pkzip.exe=c:\\quorl\\pkzip.exe", "Pkunzip.exe=c:\\quorl\\pkunzip.exe"};
    expected.fonts = {"Tree font name=ms sans serif", "Tree font size=8", "File list font name=courier new",
                      "File list font size=12"};
    EXPECT_EQ(B(file()), B(expected.text()));
    EXPECT_FALSE(tmpExists());
}

TEST_F(SettingsFile, SavedFileReadsBackToTheSameSettings) {
    load(Ini());
    Settings[7] = 1;
    Settings[12] = QString("360 KB");
    const auto saved = Settings;
    SaveSettings();
    Settings.fill(QVariant());
    ASSERT_TRUE(LoadSettings());
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(Settings[i], saved[i]) << i;
}

TEST_F(SettingsFile, SavingALineFeedFileWritesCarriageReturnsToo) {
    Ini ini;
    ini.tail.replace("\r\n", "\n");
    write(ini.text("\n"));
    ASSERT_TRUE(LoadSettings());
    SaveSettings();
    EXPECT_EQ(file().count("\r\n"), file().count('\n'));
    EXPECT_TRUE(file().endsWith(Ini().tail)) << file().toStdString();
    EXPECT_TRUE(file().startsWith("[general]\r\nIgnore read only attribute=False\r\nMax folders in slow logging=10\r\n"));
}

TEST_F(SettingsFile, SavingWritesMissingSectionsWithDefaultKeys) {
    write("[general]\r\nIgnore=false\r\nMax=10\r\nMethod=fast\r\nShow=true\r\nOverwrite=true\r\nDate=mm-dd-yy\r\n"
          "Columns=2\r\nFolder=c:\\quorl\r\n[fonts]\r\nA=arial\r\nB=9\r\nC=courier\r\nD=10\r\nextra line\r\n"
          "[supportedfiletypes]\r\n.txt,text\r\n");
    ASSERT_TRUE(LoadSettings());
    SaveSettings();
    EXPECT_EQ(file(), QByteArray("[general]\r\nIgnore=False\r\nMax=10\r\nMethod=fast\r\nShow=True\r\nOverwrite=True\r\n"
                                 "Date=mm-dd-yy\r\nColumns=2\r\nFolder=c:\\quorl\r\n\r\n"
                                 "[compression]\r\nArchives overwrite=True\r\nCompress with paths=True\r\n"
                                 "Extract with paths=True\r\nARJ volume size=Available\r\n"
                                 "Compression method=fastest\r\nARJ.exe=\r\nPkzip.exe=\r\nPkunzip.exe=\r\n\r\n"
                                 "[fonts]\r\nA=arial\r\nB=9\r\nC=courier\r\nD=10\r\nextra line\r\n\r\n"
                                 "[supportedfiletypes]\r\n.txt,text\r\n"));
    ASSERT_TRUE(LoadSettings());
}

TEST_F(SettingsFile, SavingWithoutFileTypesSectionKeepsEveryOtherLine) {
    Ini ini;
    ini.tail = "[associations]\r\n.doc,Word,c:\\w.exe\r\n[desktop]\r\nWindowState = Maximized\r\nx\r\n";
    load(ini);
    SaveSettings();
    EXPECT_TRUE(file().endsWith("\r\n\r\n[associations]\r\n.doc,Word,c:\\w.exe\r\n[desktop]\r\n"
                                "WindowState = Maximized\r\nx\r\n"))
        << file().toStdString();
    EXPECT_EQ(file().count("[fonts]"), 1);
}

TEST_F(SettingsFile, OddBytesAndVeryLongLinesSurvive) {
    Ini ini;
    const QByteArray odd = ".doc,R\xe9sum\xe9 \xff\xfe,c:\\w.exe";
    const QByteArray accented = ".txt,R\xc3\xa9sum\xc3\xa9,c:\\notepad.exe";
    const QByteArray longLine = ".zip," + QByteArray(2 * 1024 * 1024, 'z');
    ini.fonts[0] = "Tree font name=\xc3\x89l\xe9gant";
    ini.fonts[2] = "File list font name=" + QByteArray(100000, 'f');
    ini.tail = "[supportedfiletypes]\r\n" + longLine + "\r\n[associations]\r\n" + odd + "\r\n" + accented +
               "\r\n[desktop]\r\n";
    load(ini);
    EXPECT_EQ(Settings[19].toString().size(), 100000);
    EXPECT_EQ(ReadSection("[associations]"),
              (QStringList{QString::fromLatin1(odd), QString::fromUtf8(accented), ""}));

    SaveSettings();
    EXPECT_TRUE(file().endsWith(ini.tail)) << "tail changed";
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(Settings[19].toString().size(), 100000);
    EXPECT_EQ(ReadSection("[supportedfiletypes]")[0].size(), longLine.size());
}

TEST_F(SettingsFile, ReplacingTheFileWritesCarriageReturnLineFeedAndKeepsNoTemporaryFile) {
    write("old\r\n");
    // A read-only leftover of an interrupted run must not stand in the way.
    prefix.writeFile(TmpPath, "leftover");
    ASSERT_EQ(::chmod(QFile::encodeName(prefix.host(TmpPath)).constData(), 0444), 0);
    ASSERT_TRUE(ReplaceSettingsFile({"[desktop]", "WindowState = Normal", "", "caf\u00e9"}));
    EXPECT_EQ(file(), QByteArray("[desktop]\r\nWindowState = Normal\r\n\r\ncaf\xc3\xa9\r\n"));
    EXPECT_FALSE(tmpExists());

    QStringList lines;
    ASSERT_TRUE(ReadSettingsLines(&lines));
    EXPECT_EQ(lines, (QStringList{"[desktop]", "WindowState = Normal", "", "caf\u00e9"}));
}

TEST_F(SettingsFile, SavingKeepsTheFilePermissions) {
    load(Ini());
    const QByteArray host = QFile::encodeName(prefix.host(IniPath));
    ASSERT_EQ(::chmod(host.constData(), 0640), 0);
    SaveSettings();
    struct stat st {};
    ASSERT_EQ(::stat(host.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(SettingsFile, ReadingAMissingFileFailsAndSavingThenWritesNothing) {
    QStringList lines{"x"};
    EXPECT_FALSE(ReadSettingsLines(&lines));
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(ReadSection("[general]"), QStringList{QString()});
    Settings[1] = true;
    SaveSettings();
    EXPECT_FALSE(QFileInfo::exists(prefix.host(IniPath)));
}
