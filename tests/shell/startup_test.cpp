#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <memory>
#include "fileops/errors.h"
#include "fixture.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "shell/MDIQuorl.h"
#include "shell/frmShowUp.h"
#include "shell/startup.h"

namespace {

TEST(DesktopSection, MaximizedInAnyCaseIgnoresTheCoordinates) {
    const SavedDesktop d = ParseDesktopSection({"WindowState = MAXIMIZED", "WindowCoordinates = 1,2,3,4", ""});
    EXPECT_TRUE(d.maximized);
    EXPECT_FALSE(d.hasGeometry);
}

TEST(DesktopSection, CoordinatesTakeTheFirstFourLeadingNumbers) {
    SavedDesktop d = ParseDesktopSection({"WindowState = Normal", "WindowCoordinates = 0, 0,12000 ,9000,77,88", ""});
    EXPECT_FALSE(d.maximized);
    ASSERT_TRUE(d.hasGeometry);
    EXPECT_EQ(d.left, 0);
    EXPECT_EQ(d.top, 0);
    EXPECT_EQ(d.width, 12000);
    EXPECT_EQ(d.height, 9000);
    // Pieces without a number count 0; a trailing text after the number is ignored.
    d = ParseDesktopSection({"WindowState = Normal", "x = 15px,abc,  300 twips", ""});
    EXPECT_EQ(d.left, 15);
    EXPECT_EQ(d.top, 0);
    EXPECT_EQ(d.width, 300);
    EXPECT_EQ(d.height, 0);
}

TEST(DesktopSection, AMissingOrShortSectionIsANormalWindowWithoutSavedGeometry) {
    EXPECT_FALSE(ParseDesktopSection({""}).hasGeometry);
    EXPECT_FALSE(ParseDesktopSection({"WindowState = Normal", ""}).hasGeometry);
    EXPECT_FALSE(ParseDesktopSection({}).maximized);
}

TEST(DesktopSection, LeadingNumber) {
    EXPECT_EQ(LeadingNumber("  1200"), 1200);
    EXPECT_EQ(LeadingNumber("-45x"), -45);
    EXPECT_EQ(LeadingNumber("x45"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("99999999999999999999"), 0);
}

TEST(DesktopSection, ReplacingDropsEverythingFromTheOldSectionOn) {
    const QStringList in{"[general]", "a=1", " [Desktop] ", "WindowState = Normal", "junk", "[other]"};
    const QStringList out = ReplaceDesktopSection(in, true, QRect(1200, 900, 9600, 7200));
    EXPECT_EQ(out, QStringList({"[general]", "a=1", "[desktop]", "WindowState = Maximized",
                                "WindowCoordinates = 1200,900,9600,7200"}));
    // Without a section one is appended and nothing is lost.
    const QStringList out2 = ReplaceDesktopSection({"[general]", "a=1"}, false, QRect(1, 2, 3, 4));
    EXPECT_EQ(out2, QStringList({"[general]", "a=1", "[desktop]", "WindowState = Normal", "WindowCoordinates = 1,2,3,4"}));
}

TEST(DesktopSection, ASavedSizeNeverExceedsTheScreen) {
    EXPECT_EQ(FitToScreen(QSize(5000, 300), QSize(1024, 768)), QSize(1024, 300));
    EXPECT_EQ(FitToScreen(QSize(500, 3000), QSize(1024, 768)), QSize(500, 768));
    EXPECT_EQ(FitToScreen(QSize(500, 300), QSize(1024, 768)), QSize(500, 300));
}

// The whole start-up and exit on a prefix made by setup.
class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        prefix.setup();
        ResetShutdown();
        SetEndProgramHandler([this] { ended = true; });
    }
    void TearDown() override {
        SetEndProgramHandler(nullptr);
        main.reset();
        SetMainForm(nullptr);
        ResetShutdown();
    }
    void start() {
        frmShowUp splash;
        main.reset(splash.Form_Load());
    }
    QStringList iniLines() {
        return QString::fromUtf8(prefix.readFile("c:\\windows\\quorl.ini")).split("\r\n");
    }
    void setDesktop(const QString& state, const QString& coordinates) {
        QByteArray ini = prefix.readFile("c:\\windows\\quorl.ini");
        ini = ini.left(ini.indexOf("[desktop]"));
        ini += "[desktop]\r\nWindowState = " + state.toUtf8() + "\r\nWindowCoordinates = " + coordinates.toUtf8() + "\r\n";
        prefix.writeFile("c:\\windows\\quorl.ini", ini);
    }
    TempPrefix prefix;
    std::unique_ptr<MDIQuorl> main;
    bool ended = false;
};

TEST_F(StartUpTest, SettingsMakeTheProgramFolderCurrent) {
    ASSERT_TRUE(RunStartUp());
    EXPECT_EQ(platform::CurrentDrive(), "c:");
    EXPECT_EQ(platform::CurrentFolder('c'), "c:\\quorl");
    EXPECT_EQ(QDir::currentPath(), QDir(prefix.prefix() + "/drive_c/quorl").canonicalPath());
    EXPECT_EQ(Slot(1).FileSpec, "*.*");
    EXPECT_EQ(Settings[8].toString(), "c:\\quorl");
}

TEST_F(StartUpTest, StartsTheMainWindowWithTheProgramDriveLogged) {
    start();
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->windowTitle().startsWith("Disk Rorediva 1.0"));
    EXPECT_TRUE(main->isVisible());
    ASSERT_EQ(OpenDriveCount, 1);
    EXPECT_EQ(Slot(1).Drive, "c:");
    EXPECT_EQ(Slot(1).WindowKey, "Tree structure of c:");
    EXPECT_EQ(Slot(1).Lines[0], QString(">c:/1/L"));
    // The tree has the focus, so the folder menu is shown and the file menu is not.
    EXPECT_FALSE(main->menu("mnuFile")->menuAction()->isVisible());
    EXPECT_TRUE(main->menu("mnuFolder")->menuAction()->isVisible());
    EXPECT_EQ(Slot(1).FocusPane, 1);
    EXPECT_FALSE(ended);
}

TEST_F(StartUpTest, AMissingSettingsFileEndsTheProgramWithItsMessage) {
    QFile::remove(prefix.host("c:\\windows\\quorl.ini"));
    ScriptedPrompter prompts;
    prompts.expect("Quorl.ini is invalid or can't be found on your windows directory", PromptAnswer::Ok, "Error");
    start();
    EXPECT_FALSE(main);
    EXPECT_FALSE(QFile::exists(prefix.prefix() + "/drive_c/windows/quorl.ini"));
}

TEST_F(StartUpTest, SavedCoordinatesPlaceANormalWindow) {
    const int tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
    setDesktop("Normal", QString("0,0,%1,%2").arg(400 * tx).arg(300 * ty));
    start();
    ASSERT_TRUE(main);
    EXPECT_FALSE(main->isMaximized());
    EXPECT_EQ(main->pos(), QPoint(0, 0));
    EXPECT_EQ(main->size(), QSize(400, 300));
}

TEST_F(StartUpTest, ASavedSizeLargerThanTheScreenIsCutToIt) {
    setDesktop("Normal", "0,0,99999999,99999999");
    start();
    ASSERT_TRUE(main);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_LE(main->width(), screen.width());
    EXPECT_LE(main->height(), screen.height());
}

TEST_F(StartUpTest, ExitWritesTheDesktopAsTheLastSectionAndKeepsTheRest) {
    setDesktop("maximized", "1,2,3,4");
    QByteArray ini = prefix.readFile("c:\\windows\\quorl.ini");
    ini += "[stray]\r\nleft over\r\n";
    prefix.writeFile("c:\\windows\\quorl.ini", ini);
    const QByteArray before = ini.left(ini.indexOf("[desktop]"));
    start();
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->isMaximized());
    main->mnuExit_Click();
    EXPECT_TRUE(ended);
    const QByteArray after = prefix.readFile("c:\\windows\\quorl.ini");
    EXPECT_TRUE(after.startsWith(before));
    const QStringList lines = QString::fromUtf8(after.mid(before.size())).split("\r\n");
    ASSERT_EQ(lines.size(), 4);   // three lines and the empty text after the last CR LF
    EXPECT_EQ(lines[0], "[desktop]");
    EXPECT_EQ(lines[1], "WindowState = Maximized");
    EXPECT_TRUE(lines[2].startsWith("WindowCoordinates = "));
    EXPECT_EQ(lines[2].mid(20).split(',').size(), 4);
    EXPECT_FALSE(after.contains("left over"));
    EXPECT_FALSE(QFile::exists(prefix.prefix() + "/drive_c/windows/quorl.tmp"));
}

TEST_F(StartUpTest, ExitFromANormalWindowSavesItsGeometryInTwipsAndTheNextStartRestoresIt) {
    const int tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
    setDesktop("Normal", QString("%1,%2,%3,%4").arg(30 * tx).arg(40 * ty).arg(500 * tx).arg(350 * ty));
    start();
    ASSERT_TRUE(main);
    main->close();   // closing the main window ends the program the same way
    EXPECT_TRUE(ended);
    const QStringList lines = iniLines();
    const int at = lines.indexOf("[desktop]");
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines[at + 1], "WindowState = Normal");
    EXPECT_EQ(lines[at + 2], QString("WindowCoordinates = %1,%2,%3,%4").arg(30 * tx).arg(40 * ty).arg(500 * tx).arg(350 * ty));
    // The exit is taken once even when the window's own close follows it.
    ended = false;
    SaveDesktopAndExit();
    EXPECT_FALSE(ended);
}

TEST_F(StartUpTest, ExitDeletesTheTemporaryFilesEvenReadOnlyOnes) {
    prefix.writeFile("c:\\dosdump.tmp", "output");
    prefix.writeFile("c:\\shelling.bat", "@echo off");
    ASSERT_EQ(platform::SetAttributes("c:\\dosdump.tmp", platform::attr::ReadOnly), 0);
    start();
    ASSERT_TRUE(main);
    SaveDesktopAndExit();
    EXPECT_FALSE(QFile::exists(prefix.prefix() + "/drive_c/dosdump.tmp"));
    EXPECT_FALSE(QFile::exists(prefix.prefix() + "/drive_c/shelling.bat"));
}

TEST_F(StartUpTest, ASettingsFileWithoutDesktopGetsOneAtExit) {
    QByteArray ini = prefix.readFile("c:\\windows\\quorl.ini");
    ini = ini.left(ini.indexOf("[desktop]"));
    prefix.writeFile("c:\\windows\\quorl.ini", ini);
    start();
    ASSERT_TRUE(main);
    EXPECT_FALSE(main->isMaximized());
    SaveDesktopAndExit();
    const QByteArray after = prefix.readFile("c:\\windows\\quorl.ini");
    EXPECT_TRUE(after.startsWith(ini));
    EXPECT_TRUE(after.mid(ini.size()).startsWith("[desktop]\r\nWindowState = Normal\r\nWindowCoordinates = "));
}

TEST_F(StartUpTest, ToolbarItemTogglesTheToolbar) {
    start();
    ASSERT_TRUE(main);
    QAction* item = main->item("mnuViewToolBar");
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(main->Toolbar->isVisible());
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(main->Toolbar->isVisible());
}

}  // namespace
