#include <QScreen>
#include "platform/files.h"
#include "shell_fixture.h"

namespace {

TEST(DesktopSection, ASavedSizeNeverExceedsTheScreen) {
    EXPECT_EQ(FitToScreen(QSize(5000, 300), QSize(1024, 768)), QSize(1024, 300));
    EXPECT_EQ(FitToScreen(QSize(500, 3000), QSize(1024, 768)), QSize(500, 768));
    EXPECT_EQ(FitToScreen(QSize(500, 300), QSize(1024, 768)), QSize(500, 300));
}

struct StartUpTest : ShellTest { StartUpTest() : ShellTest(false) {} };

// Replaces the [desktop] section of quorl.ini; returns the text before it.
QByteArray setDesktop(const TempPrefix& prefix, const QByteArray& state, const QByteArray& coords,
                      const QByteArray& rest = "") {
    QByteArray ini = prefix.readFile("c:\\windows\\quorl.ini");
    ini = ini.left(ini.indexOf("[desktop]"));
    prefix.writeFile("c:\\windows\\quorl.ini",
                     ini + "[desktop]\r\nWindowState = " + state + "\r\nWindowCoordinates = " + coords + "\r\n" + rest);
    return ini;
}

TEST_F(StartUpTest, AMissingSettingsFileEndsTheProgramWithItsMessageButAMissingPrefixIsMadeFirst) {
    QFile::remove(prefix.host("c:\\windows\\quorl.ini"));
    prompts.expect("Quorl.ini is invalid or can't be found on your windows directory", PromptAnswer::Ok, "Error");
    start();
    EXPECT_FALSE(main);
    EXPECT_FALSE(QFile::exists(prefix.prefix() + "/drive_c/windows/quorl.ini"));
    // A first start: setup makes the prefix and the program folder's drive opens.
    ASSERT_TRUE(QDir(prefix.prefix()).removeRecursively());
    start();
    ASSERT_TRUE(main);
    EXPECT_TRUE(QFile::exists(prefix.prefix() + "/drive_c/windows/quorl.ini"));
    EXPECT_TRUE(QFileInfo(prefix.prefix() + "/drive_c/command.com").isExecutable());
    EXPECT_TRUE(windowOf('c'));
}

TEST_F(StartUpTest, ExitRewritesOnlyTheDesktopSectionAndDeletesTheTemporaryFiles) {
    const QByteArray before = setDesktop(prefix, "maximized", "1,2,3,4", "[stray]\r\nleft over\r\n");
    prefix.writeFile("c:\\dosdump.tmp", "output");
    prefix.writeFile("c:\\shelling.bat", "@echo off");
    ASSERT_EQ(platform::SetAttributes("c:\\dosdump.tmp", platform::attr::ReadOnly), 0);
    start();
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->isMaximized());
    main->mnuExit_Click();
    EXPECT_TRUE(ended);
    const QByteArray after = prefix.readFile("c:\\windows\\quorl.ini");
    EXPECT_TRUE(after.startsWith(before));
    const QStringList lines = QString::fromUtf8(after.mid(before.size())).split("\r\n");
    // The desktop's three lines, the section after it as it was, and the empty text after the last CR LF.
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "[desktop]");
    EXPECT_EQ(lines[1], "WindowState = Maximized");
    EXPECT_TRUE(lines[2].startsWith("WindowCoordinates = "));
    EXPECT_EQ(lines[2].mid(20).split(',').size(), 4);
    EXPECT_EQ(lines.mid(3), QStringList({"[stray]", "left over", ""}));
    for (const char* name : {"/windows/quorl.tmp", "/dosdump.tmp", "/shelling.bat"})
        EXPECT_FALSE(QFile::exists(prefix.prefix() + "/drive_c" + name)) << name;
}

TEST_F(StartUpTest, ASavedSizeLargerThanTheScreenIsCutToItAndAltQInTheDosBoxEndsWithoutSaving) {
    setDesktop(prefix, "Normal", "0,0,99999999,99999999");
    start();
    ASSERT_TRUE(main);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_LE(main->width(), screen.width());
    EXPECT_LE(main->height(), screen.height());
    const QByteArray saved = prefix.readFile("c:\\windows\\quorl.ini");
    frmBrws* w = windowOf('c');
    ASSERT_TRUE(w);
    w->txtDos->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(slotOf(w).FocusPane, Pane::Dos);
    // Letters in the DOS box are typed, not commands.
    QTest::keyClicks(w->txtDos, "tag");
    EXPECT_EQ(w->txtDos->text(), "tag");
    EXPECT_FALSE(ended);
    key(w->txtDos, Qt::Key_Q, Qt::AltModifier);
    EXPECT_TRUE(ended);
    EXPECT_EQ(prefix.readFile("c:\\windows\\quorl.ini"), saved);
}

TEST_F(StartUpTest, AnOversizedDesktopFitsTheScreenFrameAndAllAndAnUnmovedWindowWritesBackItsOwnNumbers) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    setDesktop(prefix, "Normal", "100,100,30000,30000");
    start();
    ASSERT_TRUE(main);
    // Frame, status bar and bottom panels all lie on the screen.
    EXPECT_TRUE(area.contains(main->frameGeometry())) << main->frameGeometry().height();
    const QRect status(main->StatusBar->mapToGlobal(QPoint(0, 0)), main->StatusBar->size());
    EXPECT_TRUE(main->StatusBar->isVisible());
    EXPECT_TRUE(area.contains(status));
    frmBrws* w = windowOf('c');
    ASSERT_TRUE(w);
    const QRect panels(w->GroupStatus->mapToGlobal(QPoint(0, 0)), w->GroupStatus->size());
    EXPECT_TRUE(area.contains(panels));
    main.reset();
    SetMainForm(nullptr);
    ResetShutdown();

    // A window that fits keeps its numbers to the twip through a start and an exit.
    setDesktop(prefix, "Normal", "100,100,9000,6000");
    start();
    ASSERT_TRUE(main);
    SaveDesktopAndExit();
    EXPECT_TRUE(ended);
    const QByteArray ini = prefix.readFile("c:\\windows\\quorl.ini");
    EXPECT_TRUE(ini.contains("WindowCoordinates = 100,100,9000,6000")) << ini.right(80).toStdString();
}

}  // namespace
