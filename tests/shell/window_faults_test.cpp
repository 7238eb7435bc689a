// What a new user meets in the first minute: cascaded windows, the idle status
// text and folders clicked in fast mode.
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include "config/settings.h"
#include "shell_fixture.h"

namespace {

using WindowFaultsTest = ShellTest;

TEST_F(WindowFaultsTest, CascadeLeavesEveryDriveWindowLargeEnoughToWorkIn) {
    drive('d');
    drive('e');
    ASSERT_TRUE(logDrive('d'));
    frmBrws* e = logDrive('e');
    ASSERT_TRUE(e);
    ASSERT_EQ(DriveWindows().size(), 3);
    key(e->DirList, Qt::Key_F8, Qt::ControlModifier);
    const QSize area = main->MdiArea->viewport()->size();
    QList<QPoint> corners;
    for (QMdiSubWindow* sub : main->MdiArea->subWindowList()) {
        EXPECT_FALSE(sub->isMaximized());
        EXPECT_FALSE(sub->isMinimized());
        EXPECT_GE(sub->width(), qMin(area.width(), 640) - 1) << sub->windowTitle().toStdString();
        EXPECT_GE(sub->height(), area.height() / 2) << sub->windowTitle().toStdString();
        EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(sub->geometry())) << sub->windowTitle().toStdString();
        corners << sub->pos();
    }
    // Each one lower and to the right of the one before, its caption in sight.
    for (int i = 1; i < corners.size(); ++i) {
        EXPECT_GT(corners[i].x(), corners[i - 1].x());
        EXPECT_GT(corners[i].y(), corners[i - 1].y());
    }
    // The window the user worked in is still the one commands act on.
    EXPECT_EQ(ActiveDriveWindow(), e);
    EXPECT_EQ(CurrentDriveSlot().Drive, "e:");
}

TEST_F(WindowFaultsTest, TheIdleStatusTextSurvivesThePointerPassingOverTheMenus) {
    ASSERT_EQ(main->StatusBar->currentMessage(), "User");
    for (const char* name : {"mnuExit", "mnuLog", "mnuAbout", "mnuCascade"}) {
        QAction* item = main->item(name);
        ASSERT_TRUE(item) << name;
        // What a menu sends to the main window while the pointer is on an item.
        item->showStatusText(main.get());
        QStatusTipEvent tip("");
        QApplication::sendEvent(main->menuBar(), &tip);
        EXPECT_EQ(main->StatusBar->currentMessage(), "User") << name;
    }
}

TEST_F(WindowFaultsTest, AClickOnAFolderLogsItsFilesWhileTheArrowKeysShowOnlyWhatIsLogged) {
    const QString d = drive('d');
    files(d + "/docs/", {{"a.txt", 10}, {"b.txt", 20}});
    files(d + "/music/", {{"x.mp3", 30}});
    files(d + "/zeta/", {{"z.txt", 40}});
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    ASSERT_EQ(Settings[3].toString().toLower(), "fast");
    key(w->DirList, Qt::Key_Right);
    // Down to a folder never logged: its counters are placeholders.
    key(w->DirList, Qt::Key_Down);
    ASSERT_EQ(slotOf(w).CurrentPath, "d:\\docs");
    EXPECT_EQ(panel(w, 1), "Matching files : ###");
    EXPECT_TRUE(listed(w).isEmpty());
    // A click on another folder logs it and lists its files.
    clickNode(w, "d:\\music");
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\music"));
    EXPECT_EQ(listed(w), QStringList({"x.mp3"}));
    EXPECT_EQ(panel(w, 1), "Matching files : 1");
    // A click on the folder the keys had reached logs it too.
    clickNode(w, "d:\\docs");
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\docs"));
    EXPECT_EQ(listed(w), QStringList({"a.txt", "b.txt"}));
    // The keys, again, leave the next folder unlogged.
    key(w->DirList, Qt::Key_Down);
    key(w->DirList, Qt::Key_Down);
    ASSERT_EQ(slotOf(w).CurrentPath, "d:\\zeta");
    EXPECT_FALSE(IsFolderLogged(slotOf(w), "d:\\zeta"));
    EXPECT_EQ(panel(w, 1), "Matching files : ###");
}

}  // namespace
