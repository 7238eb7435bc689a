#include <QMenu>
#include <QStatusBar>
#include "ui/errors.h"
#include "platform/curdir.h"
#include "shell_fixture.h"

namespace {

using DriveWindowTest = ShellTest;

// Below 640 pixels the drive window keeps the design widths (twips) of its groups, lists and
// eleven status panels; above, they share the extra width equally, the panels within their row.
TEST_F(DriveWindowTest, TheLayoutKeepsTheBaseWidthsBelow640PixelsAndSharesTheExtraAbove) {
    constexpr int PanelTwips[11] = {2655, 1935, 2535, 2535, 1815, 2415, 2055, 1815, 1575, 1695, 7935};
    constexpr int PanelRow[11] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2};
    auto px = [](int twips) { return twips / TwipsPerPixelX(); };
    frmBrws* w = windowOf('c');
    ASSERT_TRUE(w);
    for (int width : {500, 840}) {
        SCOPED_TRACE(width);
        QMdiSubWindow* sub = w->SubWindow();   // the frame follows the window's own area
        sub->showNormal();
        sub->resize(sub->width() + width - w->width(), 500);
        QApplication::processEvents();
        ASSERT_EQ(w->width(), width);
        const int extra = std::max(0, width - 640);
        EXPECT_EQ(QList<int>({w->GroupDirList->width(), w->DirList->width(), w->GroupFileList->width(),
                              w->FileList->width()}),
                  QList<int>({px(3375) + extra / 2, px(3135) + extra / 2, px(6255) + extra / 2, px(6015) + extra / 2}));
        EXPECT_EQ(w->GroupFileList->x(), w->GroupDirList->x() + w->GroupDirList->width());
        const int share[3] = {extra / 4, extra / 5, extra / 2};   // four, five and two panels a row
        for (int i = 0; i < 11; ++i) EXPECT_EQ(w->stsFileInfo[i]->width(), px(PanelTwips[i]) + share[PanelRow[i]]) << i;
        // The DOS box spans the window, just above the status panels.
        EXPECT_EQ(w->picTxtDos->width(), width);
        EXPECT_EQ(w->picTxtDos->y() + w->picTxtDos->height(), w->GroupStatus->y());
        EXPECT_EQ(w->Path3D->width(), width);
    }
}

TEST_F(DriveWindowTest, ClosingTheMiddleOfThreeWindowsKeepsTheOthersInOrder) {
    file(drive('d') + "/d.txt", 1);
    files(drive('e'), {{"/e1.txt", 2}, {"/e2.txt", 3}});
    frmBrws* wd = logDrive('d');
    frmBrws* we = logDrive('e');
    ASSERT_TRUE(wd && we);
    const QStringList linesOfE = lines(we);
    wd->SubWindow()->close();
    QApplication::processEvents();
    EXPECT_EQ(openDrives(), QStringList({"c:", "e:", "", "", "", "2", "2"}));
    EXPECT_EQ(Slot(2).WindowKey, "Tree structure of e:");
    EXPECT_EQ(Slot(2).Lines.mid(0, Slot(2).LineCount), linesOfE);
    EXPECT_EQ(Slot(3).WindowKey, "");
    EXPECT_EQ(Slot(3).LineCount, 0);
    EXPECT_EQ(Slot(3).FocusPane, Pane::Tree);
    EXPECT_EQ(we->GetFormNumber(), 2);
    // The window that moved down still works on its own picture.
    main->MdiArea->setActiveSubWindow(we->SubWindow());
    QApplication::processEvents();
    EXPECT_EQ(CurrentSlot, 2);
    we->FileList->setFocus();
    QApplication::processEvents();
    key(we->FileList, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(Slot(2).Lines[1].startsWith("e1.txt/T/"));
    EXPECT_EQ(panel(we, 4), "Tagged files : 2");
    // A drive that was closed may be opened again.
    EXPECT_TRUE(logDrive('d'));
    EXPECT_EQ(openDrives(), QStringList({"c:", "e:", "d:", "", "", "3", "3"}));
}

TEST_F(DriveWindowTest, ClosingTheLastWindowHidesTheFileAndFolderMenusAndLeavesOnlyDriveButtons) {
    auto enabledButtons = [this] {
        QList<int> on;
        for (int i = 1; i <= 23; ++i)
            if (QAction* b = main->button(i); b && !b->isSeparator() && b->isEnabled()) on << i;
        return on;
    };
    frmBrws* c = windowOf('c');
    ASSERT_TRUE(c);
    // The list with a tagged file enables the tagged-file buttons first.
    expand(c, "c:");
    logFolder(c, "c:\\quorl");
    key(c->DirList, Qt::Key_Right);
    clickRow(c, 0);
    ASSERT_EQ(enabledButtons().mid(0, 4), QList<int>({1, 2, 3, 4}));

    c->SubWindow()->close();
    QApplication::processEvents();
    EXPECT_EQ(openDrives(), QStringList({"", "", "", "", "", "0", "0"}));
    EXPECT_EQ(CurrentSlot, 0);
    EXPECT_EQ(Slot(0).FileSpec, "*.*");
    EXPECT_FALSE(main->menu("mnuFile")->menuAction()->isVisible());
    EXPECT_FALSE(main->menu("mnuFolder")->menuAction()->isVisible());
    EXPECT_FALSE(main->StatusBar->isVisible());
    EXPECT_EQ(enabledButtons(), QList<int>({9, 11, 18, 19, 20, 21, 22, 23}));
    EXPECT_EQ(platform::CurrentDrive(), "c:");
    EXPECT_EQ(platform::CurrentFolder('c'), "c:\\quorl");
    // A drive logged afterwards brings the menus and the buttons back.
    drive('d');
    ASSERT_TRUE(logDrive('d'));
    EXPECT_EQ(openDrives(), QStringList({"d:", "", "", "", "", "1", "1"}));
    EXPECT_EQ(CurrentSlot, 1);
    EXPECT_TRUE(main->menu("mnuFolder")->menuAction()->isVisible());
    EXPECT_TRUE(main->StatusBar->isVisible());
    EXPECT_EQ(enabledButtons(), QList<int>({6, 7, 9, 10, 11, 13, 14, 15, 16, 18, 19, 20, 21, 22, 23}));
}

// Whatever brings a drive window forward, each window keeps the pane it had: D on
// the tree of a root is refused, never a delete of the file current in the list.
TEST_F(DriveWindowTest, BringingAWindowForwardLeavesEveryWindowItsOwnPane) {
    const QString d = drive('d');
    files(d, {{"/ab.txt", 1}, {"/sub/s.txt", 1}});
    file(drive('e') + "/e.txt", 1);
    frmBrws* wd = logDrive('d');
    frmBrws* we = logDrive('e');
    frmBrws* wc = windowOf('c');
    ASSERT_TRUE(wc && wd && we);
    struct Pane { frmBrws* w; QWidget* control; int16_t pane; };
    const Pane panes[] = {{wc, wc->txtDos, 3}, {wd, wd->DirList, 1}, {we, we->FileList, 2}};
    for (const Pane& p : {panes[2], panes[1], panes[0]}) {
        main->MdiArea->setActiveSubWindow(p.w->SubWindow());
        p.control->setFocus();
        QApplication::processEvents();
    }
    // The window in front, the control with the keyboard and the pane its slot names.
    auto front = [] {
        const QWidget* f = QApplication::focusWidget();
        return QString("%1 %2 %3").arg(ActiveDriveWindow()->Caption().right(2), f ? f->objectName() : "none")
            .arg(int(CurrentDriveSlot().FocusPane)).toStdString();
    };
    auto expected = [](const Pane& p) {
        return QString("%1 %2 %3").arg(p.w->Caption().right(2), p.control->objectName()).arg(p.pane).toStdString();
    };
    QMenu* windowMenu = main->menu("mnuWindow");
    for (int i : {1, 2, 1, 0, 2}) {
        emit windowMenu->aboutToShow();
        for (QAction* a : windowMenu->actions())
            if (a->text().endsWith(panes[i].w->Caption())) a->trigger();
        QApplication::processEvents();
        EXPECT_EQ(front(), expected(panes[i])) << "Window menu";
    }
    // Ctrl+F6 and Ctrl+Tab go round the windows in the order they were opened.
    for (int k : {Qt::Key_F6, Qt::Key_Tab})
        for (int i : {0, 1, 2}) {
            key(QApplication::focusWidget(), k, Qt::ControlModifier);
            EXPECT_EQ(front(), expected(panes[i])) << "key " << k;
        }
    key(QApplication::focusWidget(), Qt::Key_F8);
    EXPECT_EQ(front(), expected(panes[2])) << "tiled";
    // Ctrl+F4 closes e:, also tiled; the window that comes forward keeps its pane.
    key(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
    EXPECT_EQ(openDrives(), QStringList({"c:", "d:", "", "", "", "2", "2"}));
    EXPECT_EQ(front(), expected(panes[ActiveDriveWindow() == wc ? 0 : 1]));
    if (ActiveDriveWindow() != wd) key(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(front(), expected(panes[1]));
    prompts.expect(RootFolderMessage);
    key(wd->DirList, Qt::Key_D);
    EXPECT_TRUE(QFileInfo::exists(d + "/ab.txt"));
    EXPECT_TRUE(prompts.done());
}

}  // namespace
