#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include "config/more.h"
#include "config/settings.h"
#include "fixture.h"
#include "model/slots.h"

namespace {

QString NotInstalled(const QString& folder) {
    return "Disk Rorediva is not installed in : " + folder + "\r\nProbably you renamed the folder which was "
           "containing the program. Run setup program again from the original disks. Execution aborted";
}

QList<QByteArray> Lines(const char* joined) { return QByteArray(joined).split('|'); }

// The parts of a settings file; each test changes what it is about. One empty line closes each setting section.
struct Ini {
    QList<QByteArray> general = Lines("Ignore read only attribute=false|Max folders in slow logging=10|"
                                      "Folder logging method=slow|Show system and hidden files=false|"
                                      "Automatic file overwrite=false|File date format=dd-mm-yy|File columns=3|"
                                      "Program folder=c:\\quorl");
    QList<QByteArray> compression = Lines("Archives overwrite=false|Compress with paths=false|Extract with paths=true|"
                                          "ARJ volume size=1440 KB|Compression method=Store|ARJ.exe=c:\\quorl\\arj.exe|"
                                          "Pkzip.exe=c:\\quorl\\pkzip.exe|Pkunzip.exe=c:\\quorl\\pkunzip.exe");
    QList<QByteArray> fonts = Lines("Tree font name=MS Sans Serif|Tree font size=8|File list font name=Courier New|"
                                    "File list font size=10");
    QByteArray between;   // after "[fonts]", before "[supportedfiletypes]"
    QByteArray tail = "[supportedfiletypes]\r\n.txt,text\r\n.BMP,Picture\r\n\r\n[associations]\r\n"
                      ".doc,Word document,c:\\office\\winword.exe\r\n[desktop]\r\nWindowState = Normal\r\n"
                      "WindowCoordinates = 1200,900,9600,7200\r\n";

    QByteArray text(const QByteArray& eol = "\r\n") const {
        QByteArray out;
        for (const auto& [header, lines] : {std::pair{"[general]", general}, {"[compression]", compression},
                                            {"[fonts]", fonts}}) {
            out += header + eol;
            for (const QByteArray& line : lines) out += line + eol;
            out += eol;
        }
        return out + between + tail;
    }
};

class SettingsFile : public ::testing::Test {
protected:
    TempPrefix prefix;
    void SetUp() override { prefix.addDrive('c'); prefix.writeFile("c:\\quorl\\Quorl.exe", "program"); }
    void write(const QByteArray& bytes) { prefix.writeFile("c:\\windows\\quorl.ini", bytes); }
    QByteArray file() const { return prefix.readFile("c:\\windows\\quorl.ini"); }
};

}  // namespace

TEST(SettingsText, ValuesFollowTheLastEqualsAndOutOfRangeOnesTakeTheirFallbacks) {
    EXPECT_EQ(ValueOf("Folder logging method =  Slow "), "slow");
    EXPECT_EQ(ValueOf("a=b=C:\\Quorl"), "c:\\quorl");
    EXPECT_EQ(ValueOf("no equals sign"), "");
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
        {13, "quick", QString("fastest")}, {8, "C:\\Quorl", QString("c:\\quorl")}, {14, "", QString()},
    };
    for (const Case& c : cases) {
        const QVariant got = CheckedSetting(c.index, c.value);
        EXPECT_EQ(got.typeId(), c.expected.typeId()) << c.index << " " << c.value;
        EXPECT_EQ(got, c.expected) << c.index << " " << c.value << " gave " << got.toString().toStdString();
    }
}

TEST(SettingsText, ByteOrderMarksOpeningLinesAreNoTextForTheReaderAndTheDesktopSplice) {
    // A file put together from two, each with its byte order mark.
    const QByteArray file("\xEF\xBB\xBF[general]\r\nA=1\n\xEF\xBB\xBF[desktop]\r\nWindows=0\r\n"
                          "Tree font name=Caf\xE9\r\n\xC3\xA9t\xC3\xA9=2");
    const QList<QByteArray> raw = SplitSettingsBytes(file);
    ASSERT_EQ(raw.size(), 6);
    EXPECT_EQ(raw[0], "[general]");
    const QStringList text = DecodeSettingsLines(raw);
    ASSERT_EQ(text.size(), raw.size());
    EXPECT_EQ(text[2], "[desktop]");
    EXPECT_EQ(text[4], QString::fromLatin1("Tree font name=Caf\xE9"));   // not UTF-8: one character per byte
    EXPECT_EQ(text[5], QString::fromUtf8("\xC3\xA9t\xC3\xA9=2"));
    EXPECT_EQ(SectionLines(text, "[general]"), QStringList({"A=1"}));
    // The splice replaces the section the reader reads, instead of adding a second one.
    const QByteArray spliced = SpliceDesktopSection(file, {"Windows=1"});
    EXPECT_EQ(spliced, QByteArray("\xEF\xBB\xBF[general]\r\nA=1\n\xEF\xBB\xBF[desktop]\r\nWindows=1\r\n"));
    EXPECT_EQ(SectionLines(DecodeSettingsLines(SplitSettingsBytes(spliced)), "[desktop]"), QStringList({"Windows=1"}));
}

TEST(MoreSection, LinesAreReadByNameAndWrittenBackKeepingWhatTheProgramDoesNotKnow) {
    const MoreSetting& trash = MoreSettings().at(0);
    ASSERT_EQ(trash.name, more::DeleteToTrash);
    // The limits of logging; without a line, the values the program always had.
    const MoreSetting& number = MoreSettings().at(1);
    ASSERT_EQ(number.name, more::FilesPerFolder);
    ReadMoreSection({});
    EXPECT_EQ(MoreNumber(more::FilesPerFolder), 1500);
    EXPECT_EQ(MoreNumber(more::LinesPerDrive), 8000);
    for (const auto& [setting, value, held] : {std::tuple{&trash, "TRUE", "true"}, {&trash, " false ", "false"},
                                               {&trash, "yes", "false"}, {&number, "20000 files", "20000"},
                                               {&number, "99999999999999999999", "1500"}, {&number, "0", "1"},
                                               {&number, "40000000", "10000000"}, {&number, "many", "1500"}})
        EXPECT_EQ(CheckedMoreValue(*setting, value), held) << value;

    // Read by name wherever the line stands and however it is spelt; no line keeps the old behaviour.
    ReadMoreSection({"Colour=blue", " delete TO trash = TRUE ", ""});
    EXPECT_TRUE(MoreSwitch(more::DeleteToTrash));
    ReadMoreSection({"Colour=blue"});
    EXPECT_FALSE(MoreSwitch(more::DeleteToTrash));

    // Written back: the key as found, other lines byte for byte, no line while nothing asks for one.
    const QList<QByteArray> withAssociations = Lines("[fonts]|A=1||[associations]|.x,y,c:\\z|[desktop]|W=1");
    EXPECT_EQ(SpliceMoreSection(withAssociations), withAssociations);
    EXPECT_EQ(SpliceMoreSection(Lines("[more]|Colour=blue|delete to trash =true|||[desktop]")),
              Lines("[more]|Colour=blue|delete to trash =False||[desktop]"));
    SetMoreValue(more::DeleteToTrash, "true");
    EXPECT_EQ(SpliceMoreSection(withAssociations),
              Lines("[fonts]|A=1||[more]|Delete to trash=True||[associations]|.x,y,c:\\z|[desktop]|W=1"));
    EXPECT_EQ(SpliceMoreSection(Lines("[fonts]|A=1")), Lines("[fonts]|A=1||[more]|Delete to trash=True"));
    EXPECT_EQ(SpliceMoreSection(Lines("[more]|Caf\xe9=1|DELETE TO TRASH=no|delete to trash=true")),
              Lines("[more]|Caf\xe9=1|DELETE TO TRASH=True"));
}

TEST_F(SettingsFile, MissingOrWrongPartsOfTheFileAreReportedOrTakeTheirFallbacks) {
    ScriptedPrompter prompts;
    prompts.expect("Quorl.ini is invalid or can't be found on your windows directory", PromptAnswer::Ok, "Error");
    EXPECT_FALSE(LoadSettings());

    Ini ini;
    ini.general[7] = "Program folder=C:\\Gone";
    write(ini.text());
    prompts.expect(NotInstalled("c:\\gone"), PromptAnswer::Ok, "Error");
    EXPECT_FALSE(LoadSettings());

    // Missing sections and lines take their fallbacks; an empty program folder is as wrong as a bad one.
    ResetProgramState();
    write("[general]\r\nIgnore=false\r\nMax=5\r\n\r\n[fonts]\r\nTree font name=Arial\r\n[desktop]\r\n");
    prompts.expect(NotInstalled(""), PromptAnswer::Ok, "Error");
    EXPECT_FALSE(LoadSettings());
    const QVariant want[21] = {{}, false, 5, QString("fast"), true, {}, QString("mm-dd-yy"), 1, {}, true, true, true,
                               QString("Available"), QString("fastest"), QString(), QString(), QString(),
                               QString("arial"), QString(), QString(), QString()};
    for (int i = 1; i <= 20; ++i) {
        if (want[i].isValid()) { EXPECT_EQ(Settings[i], want[i]) << i; }
    }

    // Saving writes missing sections with their default keys.
    const QByteArray general = "[general]\r\nIgnore=false\r\nMax=10\r\nMethod=fast\r\nShow=true\r\nOverwrite=true\r\n"
                               "Date=mm-dd-yy\r\nColumns=2\r\nFolder=c:\\quorl\r\n";
    write(general + "[fonts]\r\nA=arial\r\nB=9\r\nC=courier\r\nD=10\r\nextra line\r\n"
                    "[supportedfiletypes]\r\n.txt,text\r\n");
    ASSERT_TRUE(LoadSettings());
    SaveSettings();
    EXPECT_EQ(file(), QByteArray(general).replace("=false", "=False").replace("=true", "=True") +
                          "\r\n[compression]\r\nArchives overwrite=True\r\nCompress with paths=True\r\nExtract with "
                          "paths=True\r\nARJ volume size=Available\r\nCompression method=fastest\r\nARJ.exe=\r\n"
                          "Pkzip.exe=\r\nPkunzip.exe=\r\n\r\n[fonts]\r\nA=arial\r\nB=9\r\nC=courier\r\nD=10\r\n"
                          "extra line\r\n\r\n[supportedfiletypes]\r\n.txt,text\r\n");
    ASSERT_TRUE(LoadSettings());
}

TEST_F(SettingsFile, SavingRewritesTheSettingSectionsKeepsTheRestByteForByteAndReadsBack) {
    Ini ini;
    ini.general[2] = "Folder logging =fast";
    ini.general[7] = "Program folder=C:\\QUORL";   // found whatever the letter case
    ini.compression[0] = "  Archives overwrite = true  ";
    ini.between = "[mine]\r\nlost=line\r\n";
    write("; written by hand\r\n" + ini.text());
    ASSERT_TRUE(LoadSettings());
    Settings[1] = true;
    Settings[2] = 42;
    Settings[3] = QString("slow");
    Settings[13] = QString("Fastest");
    Settings[20] = QString("12");
    const auto saved = Settings;
    EXPECT_FALSE(MoreSwitch(more::DeleteToTrash)) << "a file written before deletes as it always did";
    SetMoreValue(more::DeleteToTrash, "true");
    SaveSettings();

    Ini expected;
    expected.general = Lines("Ignore read only attribute=True|Max folders in slow logging=42|Folder logging =slow|"
                             "Show system and hidden files=False|Automatic file overwrite=False|"
                             "File date format=dd-mm-yy|File columns=3|Program folder=c:\\quorl");
    expected.compression = Lines("Archives overwrite =True|Compress with paths=False|Extract with paths=True|"
                                 "ARJ volume size=1440 KB|Compression method=Fastest|ARJ.exe=c:\\quorl\\arj.exe|"
                                 "Pkzip.exe=c:\\quorl\\pkzip.exe|Pkunzip.exe=c:\\quorl\\pkunzip.exe");
    expected.fonts = Lines("Tree font name=ms sans serif|Tree font size=8|File list font name=courier new|"
                           "File list font size=12");
    expected.tail.replace("[associations]", "[more]\r\nDelete to trash=True\r\n\r\n[associations]");
    EXPECT_EQ(file().toStdString(), expected.text().toStdString());   // lines before [general] go too
    EXPECT_FALSE(QFileInfo::exists(prefix.host("c:\\windows\\quorl.tmp")));
    Settings.fill(QVariant());
    ReadMoreSection({});
    ASSERT_TRUE(LoadSettings());
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(Settings[i], saved[i]) << i;
    EXPECT_TRUE(MoreSwitch(more::DeleteToTrash));
}

// A file written with line feeds and without a file-type table: saving replaces it in
// one step (a reader holding the old file still reads it whole), with carriage returns,
// keeping every line outside the setting sections.
TEST_F(SettingsFile, ALineFeedFileIsReadWithoutChangeAndSavedInOneStepWithCarriageReturns) {
    Ini ini;
    ini.general[2] = "Folder logging method=NOT ALLOWED";
    ini.between = "stray line\n";
    ini.tail = "[mine]\nkey=Value\xE9\n" + ini.tail.mid(ini.tail.indexOf("[associations]")).replace("\r\n", "\n");
    const QByteArray before = ini.text("\n");
    write(before);
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(Settings[8], QVariant(QString("c:\\quorl")));
    EXPECT_EQ(Settings[20], QVariant(QString("10")));
    ReadSection("[desktop]");
    QStringList lines;
    ASSERT_TRUE(ReadSettingsLines(&lines));
    EXPECT_EQ(file(), before);
    EXPECT_FALSE(QFileInfo::exists(prefix.host("c:\\windows\\quorl.tmp")));

    QFile old(prefix.host("c:\\windows\\quorl.ini"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    SaveSettings();
    EXPECT_TRUE(old.readAll() == before) << "the old file was never written in place";
    EXPECT_EQ(file().count("\r\n"), file().count('\n'));
    // The stray line stays with the section it follows.
    const QByteArray kept = "stray line\r\n\r\n" + QByteArray(ini.tail).replace("\n", "\r\n");
    EXPECT_TRUE(file().endsWith(kept)) << file().toStdString();
    EXPECT_TRUE(file().startsWith("[general]\r\nIgnore read only attribute=False\r\nMax folders in slow logging=10\r\n"));
}

// A settings file kept with the user's dotfiles: the link stays, its target gets
// the new text with its permissions, and no file of the user's beside it is touched.
// The desktop section is replaced where it stands, every byte after it kept.
TEST_F(SettingsFile, ALinkedSettingsFileIsRewrittenThroughTheLinkAndItsFolderKeepsItsFiles) {
    const QString dotfiles = prefix.base() + "/dotfiles";
    QDir().mkpath(dotfiles);
    const auto put = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    const QString ini = prefix.host("c:\\windows\\quorl.ini"), target = dotfiles + "/quorl.ini";
    Ini text;   // the desktop section before the associations; a Latin-1 line and an LF one after it
    const qsizetype assoc = text.tail.indexOf("[associations]"), desk = text.tail.indexOf("[desktop]");
    const QByteArray after =
        text.tail.mid(assoc, desk - assoc) + ".caf,Caf\xE9,c:\\windows\\notepad.exe\r\n[extra]\nkept=1\r\n";
    text.tail = text.tail.left(assoc) + text.tail.mid(desk) + after;
    ASSERT_TRUE(put(target, text.text()) && put(dotfiles + "/quorl.tmp", "the user's own file"));
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(target, mode));
    write(QByteArray());
    QFile::remove(ini);
    ASSERT_TRUE(QFile::link(target, ini));

    ASSERT_TRUE(LoadSettings());
    ASSERT_TRUE(RewriteDesktopSection({"WindowState = Maximized", "WindowCoordinates = 0,0,100,100"}));
    const QByteArray before = text.text();
    const QByteArray desktop = "[desktop]\r\nWindowState = Maximized\r\nWindowCoordinates = 0,0,100,100\r\n";
    EXPECT_EQ(file(), before.left(before.indexOf("[desktop]")) + desktop + after);
    Settings[3] = QString("fast");
    SaveSettings();

    EXPECT_TRUE(QFileInfo(ini).isSymLink());
    EXPECT_TRUE(file().contains("Folder logging method=fast\r\n"));
    EXPECT_TRUE(file().contains(desktop));
    EXPECT_FALSE(QFileInfo::exists(prefix.host("c:\\windows\\quorl.tmp")));
    EXPECT_EQ(QFile::permissions(target), mode);
    QFile mine(dotfiles + "/quorl.tmp");
    EXPECT_TRUE(mine.open(QIODevice::ReadOnly) && mine.readAll() == "the user's own file");
    EXPECT_EQ(QDir(dotfiles).entryList(QDir::Files | QDir::Hidden), QStringList({"quorl.ini", "quorl.tmp"}));
}
