#include <QMenu>
#include <QStatusBar>
#include "fileops/errors.h"
#include "platform/curdir.h"
#include "shell_fixture.h"

namespace {

// Design widths of the drive window in twips: tree group, tree, list group,
// list, and the eleven status panels with their rows.
constexpr int GroupDirTwips = 3375, DirListTwips = 3135, GroupFileTwips = 6255, FileListTwips = 6015;
constexpr int PanelTwips[11] = {2655, 1935, 2535, 2535, 1815, 2415, 2055, 1815, 1575, 1695, 7935};
constexpr int PanelRow[11] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2};

class DriveWindowTest : public ShellTest {
protected:
    // Gives the window's own area the width, the frame around it following.
    static void setWidth(frmBrws* w, int width) {
        QMdiSubWindow* sub = w->SubWindow();
        sub->showNormal();
        sub->resize(sub->width() + width - w->width(), 500);
        QApplication::processEvents();
        ASSERT_EQ(w->width(), width);
    }
    static int px(int twips) { return twips / TwipsPerPixelX(); }
    static bool popupShown() { return QApplication::activePopupWidget() != nullptr; }
    // The window manager gives the main window its activation back when a
    // pop-up menu closes; the offscreen platform has none.
    void closePopup() {
        if (QWidget* p = QApplication::activePopupWidget()) p->close();
        main->activateWindow();
        QApplication::processEvents();
    }
    QList<int> enabledButtons() const {
        QList<int> on;
        for (int i = 1; i <= 23; ++i)
            if (QAction* b = main->button(i); b && !b->isSeparator() && b->isEnabled()) on << i;
        return on;
    }
};

TEST_F(DriveWindowTest, ANarrowWindowKeepsTheBaseWidths) {
    const QString d = drive('d');
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    setWidth(w, 500);
    EXPECT_EQ(w->GroupDirList->width(), px(GroupDirTwips));
    EXPECT_EQ(w->DirList->width(), px(DirListTwips));
    EXPECT_EQ(w->GroupFileList->width(), px(GroupFileTwips));
    EXPECT_EQ(w->FileList->width(), px(FileListTwips));
    EXPECT_EQ(w->GroupFileList->x(), w->GroupDirList->x() + w->GroupDirList->width());
    for (int i = 0; i < 11; ++i) EXPECT_EQ(w->stsFileInfo[i]->width(), px(PanelTwips[i])) << i;
}

TEST_F(DriveWindowTest, AWideWindowSharesTheExtraWidthEqually) {
    const QString d = drive('d');
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    const int extra = 200;
    setWidth(w, 640 + extra);
    EXPECT_EQ(w->GroupDirList->width(), px(GroupDirTwips) + extra / 2);
    EXPECT_EQ(w->DirList->width(), px(DirListTwips) + extra / 2);
    EXPECT_EQ(w->GroupFileList->width(), px(GroupFileTwips) + extra / 2);
    EXPECT_EQ(w->FileList->width(), px(FileListTwips) + extra / 2);
    EXPECT_EQ(w->GroupFileList->x(), w->GroupDirList->x() + w->GroupDirList->width());
    // Row 0 has four panels, row 1 five, row 2 two; each takes its share.
    const int share[3] = {extra / 4, extra / 5, extra / 2};
    int left[3] = {0, 0, 0};
    int top[3] = {-1, -1, -1};
    for (int i = 0; i < 11; ++i) {
        const int row = PanelRow[i];
        const QLabel* p = w->stsFileInfo[i];
        EXPECT_EQ(p->width(), px(PanelTwips[i]) + share[row]) << i;
        // Neighbours share one pixel of border.
        EXPECT_EQ(p->x(), left[row]) << i;
        left[row] = p->x() + p->width() - 1;
        if (top[row] < 0) top[row] = p->y();
        EXPECT_EQ(p->y(), top[row]) << i;
    }
    EXPECT_LT(top[0], top[1]);
    EXPECT_LT(top[1], top[2]);
    // The status panels sit at the bottom under the DOS box, which spans the window.
    EXPECT_EQ(w->picTxtDos->width(), 640 + extra);
    EXPECT_EQ(w->picTxtDos->y() + w->picTxtDos->height(), w->GroupStatus->y());
    EXPECT_EQ(w->Path3D->width(), 640 + extra);
}

TEST_F(DriveWindowTest, ClosingTheMiddleOfThreeWindowsKeepsTheOthersInOrder) {
    const QString d = drive('d');
    const QString e = drive('e');
    file(d + "/d.txt", 1);
    file(e + "/e1.txt", 2);
    file(e + "/e2.txt", 3);
    frmBrws* wd = logDrive('d');
    frmBrws* we = logDrive('e');
    ASSERT_TRUE(wd && we);
    ASSERT_EQ(OpenDriveCount, 3);
    const QStringList linesOfE = lines(we);
    wd->SubWindow()->close();
    QApplication::processEvents();
    EXPECT_EQ(OpenDriveCount, 2);
    EXPECT_EQ(Slot(1).Drive, "c:");
    EXPECT_EQ(Slot(2).Drive, "e:");
    EXPECT_EQ(Slot(2).WindowKey, "Tree structure of e:");
    EXPECT_EQ(Slot(2).Lines.mid(0, Slot(2).LineCount), linesOfE);
    EXPECT_EQ(Slot(3).Drive, "");
    EXPECT_EQ(Slot(3).WindowKey, "");
    EXPECT_EQ(Slot(3).LineCount, 0);
    EXPECT_EQ(Slot(3).FocusPane, 1);
    EXPECT_EQ(DriveWindows().size(), 2);
    EXPECT_EQ(we->GetFormNumber(), 2);
    // The window that moved down still works on its own picture.
    main->MdiArea->setActiveSubWindow(we->SubWindow());
    QApplication::processEvents();
    EXPECT_EQ(CurrentSlot, 2);
    focus(we->FileList);
    key(we->FileList, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(Slot(2).Lines[1].startsWith("e1.txt/T/"));
    EXPECT_EQ(panel(we, 4), "Tagged files : 2");
    // A drive that was closed may be opened again.
    EXPECT_TRUE(logDrive('d'));
    EXPECT_EQ(OpenDriveCount, 3);
    EXPECT_EQ(Slot(3).Drive, "d:");
}

TEST_F(DriveWindowTest, ClosingTheLastWindowHidesTheFileAndFolderMenusAndLeavesOnlyDriveButtons) {
    frmBrws* c = windowOf('c');
    ASSERT_TRUE(c);
    // The list with a tagged file enables the tagged-file buttons first.
    clickNode(c, node(c, "c:"));
    expand(c);
    clickNode(c, node(c, "c:\\quorl"));
    key(c->DirList, Qt::Key_L, Qt::ControlModifier);
    key(c->DirList, Qt::Key_Right);
    ASSERT_GT(c->FileList->count(), 0);
    clickRow(c, 0);
    ASSERT_EQ(enabledButtons().mid(0, 4), QList<int>({1, 2, 3, 4}));

    c->SubWindow()->close();
    QApplication::processEvents();
    EXPECT_EQ(OpenDriveCount, 0);
    EXPECT_EQ(CurrentSlot, 0);
    EXPECT_EQ(Slot(0).FileSpec, "*.*");
    EXPECT_FALSE(main->menu("mnuFile")->menuAction()->isVisible());
    EXPECT_FALSE(main->menu("mnuFolder")->menuAction()->isVisible());
    EXPECT_FALSE(main->StatusBar->isVisible());
    EXPECT_EQ(enabledButtons(), QList<int>({9, 11, 18, 19, 20, 21, 22, 23}));
    EXPECT_EQ(platform::CurrentDrive(), "c:");
    EXPECT_EQ(platform::CurrentFolder('c'), "c:\\quorl");

    // A drive logged afterwards brings the menus and the buttons back.
    const QString d = drive('d');
    ASSERT_TRUE(logDrive('d'));
    EXPECT_EQ(OpenDriveCount, 1);
    EXPECT_EQ(CurrentSlot, 1);
    EXPECT_TRUE(main->menu("mnuFolder")->menuAction()->isVisible());
    EXPECT_TRUE(main->StatusBar->isVisible());
    EXPECT_EQ(enabledButtons(), QList<int>({6, 7, 9, 10, 11, 13, 14, 15, 16, 18, 19, 20, 21, 22, 23}));
}

TEST_F(DriveWindowTest, ThePaneWithTheFocusChoosesTheMenusAndTheToolbar) {
    const QString d = drive('d');
    file(d + "/a.txt", 1);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    auto enabled = [this](const char* name) { return main->item(name)->isEnabled(); };
    EXPECT_TRUE(w->DirList->hasFocus());
    EXPECT_TRUE(main->menu("mnuFolder")->menuAction()->isVisible());
    EXPECT_FALSE(main->menu("mnuFile")->menuAction()->isVisible());
    EXPECT_TRUE(enabled("mnuGlobalMatching") && enabled("mnuBranchTagged") && enabled("mnuWinFiles"));
    EXPECT_FALSE(enabled("mnuWinFolders"));
    EXPECT_EQ(enabledButtons(), QList<int>({6, 7, 9, 10, 11, 13, 14, 15, 16, 18, 19, 20, 21, 22, 23}));

    clickRow(w, 0);   // focus and a tag
    EXPECT_EQ(slotOf(w).FocusPane, 2);
    EXPECT_TRUE(main->menu("mnuFile")->menuAction()->isVisible());
    EXPECT_FALSE(main->menu("mnuFolder")->menuAction()->isVisible());
    EXPECT_FALSE(enabled("mnuGlobalMatching") || enabled("mnuBranchTagged") || enabled("mnuWinFiles"));
    EXPECT_TRUE(enabled("mnuWinFolders"));
    EXPECT_EQ(enabledButtons(), QList<int>({1, 2, 3, 4, 9, 10, 11, 18, 19, 20, 21, 22, 23}));
    // The tree taking the focus empties the current-file panels.
    EXPECT_EQ(panel(w, 10), "File : a.txt");
    key(w->FileList, Qt::Key_Return);
    EXPECT_EQ(panel(w, 10), "File :");
    EXPECT_EQ(enabledButtons().mid(0, 4), QList<int>({6, 7, 9, 10}));
}

TEST_F(DriveWindowTest, ARightClickPopsUpOnlyTheMenuOfThePaneThatHasTheFocus) {
    const QString d = drive('d');
    file(d + "/a.txt", 1);
    file(d + "/b.txt", 1);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    ASSERT_EQ(slotOf(w).FocusPane, 1);
    clickRow(w, 1, Qt::RightButton);
    EXPECT_FALSE(popupShown());
    EXPECT_EQ(slotOf(w).FocusPane, 1);
    EXPECT_TRUE(selectedRows(w).isEmpty());
    clickNode(w, w->Node(1));
    QTest::mouseClick(w->DirList->viewport(), Qt::RightButton, {}, w->DirList->visualItemRect(w->Node(1)).center());
    EXPECT_EQ(QApplication::activePopupWidget(), main->menu("mnuFolder"));
    closePopup();

    clickRow(w, 0);
    ASSERT_EQ(slotOf(w).FocusPane, 2);
    QTest::mouseClick(w->DirList->viewport(), Qt::RightButton, {}, w->DirList->visualItemRect(w->Node(1)).center());
    EXPECT_FALSE(popupShown());
    EXPECT_EQ(slotOf(w).FocusPane, 2);
    clickRow(w, 1, Qt::RightButton);
    EXPECT_EQ(QApplication::activePopupWidget(), main->menu("mnuFile"));
    closePopup();
    // Neither right click tags anything.
    EXPECT_EQ(selectedRows(w), QList<int>({0}));
}

TEST_F(DriveWindowTest, TheRootFolderCannotBeRenamedAndAnEditLeftWithEscEndsQuietly) {
    const QString d = drive('d');
    mkdir(d + "/docs");
    file(d + "/docs/a.txt", 1);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    prompts.expect("Can't remove / rename root folder", PromptAnswer::Ok, "Error");
    key(w->DirList, Qt::Key_R);
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(slotOf(w).LabelEdit, 0);

    expand(w);
    clickNode(w, node(w, "d:\\docs"));
    key(w->DirList, Qt::Key_R);
    EXPECT_NE(slotOf(w).LabelEdit, 0);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor);
    key(editor, Qt::Key_Escape);
    EXPECT_EQ(slotOf(w).LabelEdit, 0);
    EXPECT_EQ(node(w, "d:\\docs")->text(0), "docs");
    // Keys are commands again.
    key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\docs"));
}

TEST_F(DriveWindowTest, ActivatingAWindowWhoseDiskWentAwayAsksAndCanBeLeft) {
    const QString e = drive('e');
    frmBrws* we = logDrive('e');
    frmBrws* c = windowOf('c');
    ASSERT_TRUE(we && c);
    main->MdiArea->setActiveSubWindow(c->SubWindow());
    QApplication::processEvents();
    ASSERT_EQ(CurrentSlot, 1);
    ASSERT_TRUE(QDir().rename(e, e + "-away"));
    prompts.expect("Disk not ready", PromptAnswer::Retry, "Error");
    prompts.expect("Disk not ready", PromptAnswer::Cancel, "Error");
    main->MdiArea->setActiveSubWindow(we->SubWindow());
    QApplication::processEvents();
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(CurrentSlot, 2);
    // Back in its place, the disk is found without a question.
    ASSERT_TRUE(QDir().rename(e + "-away", e));
    main->MdiArea->setActiveSubWindow(c->SubWindow());
    main->MdiArea->setActiveSubWindow(we->SubWindow());
    QApplication::processEvents();
    EXPECT_EQ(CurrentSlot, 2);
}

TEST_F(DriveWindowTest, TheAvailableBytesPanelShowsTheFreeSpaceOrPlaceholdersWhenTheDiskIsGone) {
    const QString d = drive('d');
    file(d + "/docs/a.txt", 1);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    const QRegularExpression number("^Available bytes : [1-9][0-9]*$");
    EXPECT_TRUE(number.match(panel(w, 3)).hasMatch()) << panel(w, 3).toStdString();
    expand(w);
    clickNode(w, node(w, "d:\\docs"));
    key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    ASSERT_TRUE(QDir().rename(d, d + "-away"));
    // The question repeats until the user gives up; the panel then shows it cannot tell.
    prompts.expect("Disk not ready", PromptAnswer::Retry, "Error");
    prompts.expect("Disk not ready", PromptAnswer::Cancel, "Error");
    key(w->DirList, Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(panel(w, 3), "Available bytes : ###");
    ASSERT_TRUE(QDir().rename(d + "-away", d));
    key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(number.match(panel(w, 3)).hasMatch()) << panel(w, 3).toStdString();
    EXPECT_EQ(listed(w), QStringList({"a.txt"}));
}

TEST_F(DriveWindowTest, LThenADriveLetterOpensTheDriveInANewWindowThatTakesTheFocus) {
    const QString d = drive('d');
    file(d + "/x.txt", 5);
    frmBrws* c = windowOf('c');
    ASSERT_TRUE(c);
    forms.expect("frmDrive", [](QWidget* form) {
        EXPECT_EQ(form->windowTitle(), "Log drive");
        QTest::keyClick(form->findChild<QWidget*>("Drive1"), Qt::Key_D);
    });
    key(c->DirList, Qt::Key_L);
    frmBrws* w = windowOf('d');
    ASSERT_TRUE(w);
    EXPECT_EQ(OpenDriveCount, 2);
    EXPECT_EQ(CurrentSlot, 2);
    EXPECT_EQ(main->MdiArea->activeSubWindow(), w->SubWindow());
    EXPECT_TRUE(w->SubWindow()->isMaximized());
    EXPECT_EQ(lines(w), QStringList({">d:/1/L", lines(w)[1]}));
    EXPECT_TRUE(lines(w)[1].startsWith("x.txt/U/5:"));
    EXPECT_EQ(slotOf(w).FocusPane, 1);
    EXPECT_EQ(w->FileColumns(), Settings[7].toInt());
    // The window that asked is unchanged.
    EXPECT_EQ(Slot(1).Drive, "c:");
    EXPECT_EQ(Slot(1).WindowKey, "Tree structure of c:");
}

TEST_F(DriveWindowTest, FolderButtonsAndMenuItemsActOnTheSelectedFolder) {
    const QString d = drive('d');
    file(d + "/docs/a.txt", 1);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w);
    clickNode(w, node(w, "d:\\docs"));
    main->button("tbLogFolder")->trigger();
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\docs"));
    EXPECT_EQ(listed(w), QStringList({"a.txt"}));
    main->button("tbUnlogFolder")->trigger();
    EXPECT_FALSE(IsFolderLogged(slotOf(w), "d:\\docs"));
    EXPECT_EQ(slotOf(w).LineCount, 2);
    main->item("mnuLogFolder")->trigger();
    file(d + "/docs/b.txt", 2);
    main->button("tbRelogFolder")->trigger();
    EXPECT_EQ(listed(w), QStringList({"a.txt", "b.txt"}));
    main->item("mnuUnlogFolder")->trigger();
    EXPECT_EQ(panel(w, 1), "Matching files : ###");
    EXPECT_EQ(slotOf(w).LineCount, 2);
}

TEST_F(DriveWindowTest, AClickInTheListOfAnotherTiledWindowActivatesItAndTagsThere) {
    const QString d = drive('d');
    const QString e = drive('e');
    file(d + "/d1.txt", 1);
    file(e + "/e1.txt", 2);
    file(e + "/e2.txt", 3);
    frmBrws* wd = logDrive('d');
    frmBrws* we = logDrive('e');
    ASSERT_TRUE(wd && we);
    main->TileVertically();
    QApplication::processEvents();
    ASSERT_EQ(main->MdiArea->activeSubWindow(), we->SubWindow());
    clickRow(wd, 0);
    EXPECT_EQ(main->MdiArea->activeSubWindow(), wd->SubWindow());
    EXPECT_EQ(CurrentSlot, 2);
    EXPECT_EQ(slotOf(wd).FocusPane, 2);
    EXPECT_TRUE(Slot(2).Lines[1].startsWith("d1.txt/T/"));
    EXPECT_TRUE(Slot(3).Lines[1].startsWith("e1.txt/U/"));
    clickNode(we, we->Node(1));
    EXPECT_EQ(main->MdiArea->activeSubWindow(), we->SubWindow());
    EXPECT_EQ(CurrentSlot, 3);
    EXPECT_EQ(slotOf(we).FocusPane, 1);
    EXPECT_TRUE(main->menu("mnuFolder")->menuAction()->isVisible());
}

}  // namespace
