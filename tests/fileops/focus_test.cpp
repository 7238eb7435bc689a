// What the user sees after a run or a dialog: the pane that has the keyboard,
// the file panels and the picture of a folder just made.
#include "ops_fixture.h"

namespace {

class AfterRunTest : public OpsTest {
public:
    void openThree() {
        put("d:\\a.txt", "a");
        put("d:\\b.txt", "bb");
        put("d:\\c.txt", "ccc");
        start({"d:"});
        focusList();
        current("a.txt");
    }
    // Keys as they arrive while the main window is not the active one: they go
    // to the control that has the window's focus, and no focus event comes.
    void keyInactive(Qt::Key k) {
        QApplication::setActiveWindow(nullptr);
        QApplication::processEvents();
        QWidget* f = w->focusWidget();
        ASSERT_TRUE(f == w->DirList || f == w->FileList) << (f ? f->objectName().toStdString() : "none");
        QTest::keyClick(f, k);
        QApplication::processEvents();
    }
};

TEST_F(AfterRunTest, ThePaneThatTakesTheKeysIsThePaneTheCommandsActOnEvenWithoutActivation) {
    openThree();
    key(Qt::Key_D);
    ASSERT_FALSE(exists("d:\\a.txt"));
    EXPECT_EQ(w->focusWidget(), w->FileList);
    EXPECT_EQ(slot().FocusPane, Pane::Files);
    // Return moves the keyboard to the tree while the window is inactive: the
    // menus and the folder commands follow the tree, and D asks about the
    // folder instead of deleting the list's current file.
    keyInactive(Qt::Key_Return);
    EXPECT_EQ(w->focusWidget(), w->DirList);
    EXPECT_EQ(slot().FocusPane, Pane::Tree);
    EXPECT_TRUE(main->menu("mnuFolder")->menuAction()->isVisible());
    EXPECT_FALSE(main->menu("mnuFile")->menuAction()->isVisible());
    EXPECT_TRUE(main->item("mnuGlobalMatching")->isEnabled());
    prompts.expect("Can't remove / rename root folder", Ok, "Error");
    keyInactive(Qt::Key_D);
    EXPECT_TRUE(exists("d:\\b.txt"));
    EXPECT_TRUE(exists("d:\\c.txt"));
    EXPECT_TRUE(prompts.done());
    // A stale pane set behind the window's back is put right by the next key.
    slot().FocusPane = Pane::Files;
    prompts.expect("Can't remove / rename root folder", Ok, "Error");
    keyInactive(Qt::Key_D);
    EXPECT_TRUE(exists("d:\\b.txt"));
    EXPECT_EQ(slot().FocusPane, Pane::Tree);
    EXPECT_TRUE(prompts.done());
}

TEST_F(AfterRunTest, FilePanelsDescribeTheFileTheListShowsAfterARunAndANewFilePattern) {
    put("d:\\a.txt", "a");
    put("d:\\b.txt", "bb");
    put("d:\\c.txt", "ccc");
    put("d:\\m.mp3", "mmmm");
    put("d:\\z.doc", "zzzzz");
    start({"d:"});
    focusList();
    current("z.doc");
    EXPECT_EQ(panel(10), "File : z.doc");
    // The new pattern hides the current file: the panels speak of the one
    // the list now shows as current.
    expectInputDialog("File specification", "*.txt *.mp3");
    key(Qt::Key_F);
    ASSERT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt", "m.mp3"}));
    const QString shown = w->FileList->currentItem()->text();
    EXPECT_EQ(panel(10), "File : " + shown);
    EXPECT_EQ(panel(6), "File bytes :  " + QString::number(QFileInfo(prefix.host("d:\\" + shown)).size()));
    // Deleting the current file: the next one is current and described.
    current("b.txt");
    key(Qt::Key_D);
    ASSERT_FALSE(exists("d:\\b.txt"));
    ASSERT_TRUE(w->FileList->currentItem());
    EXPECT_EQ(panel(10), "File : " + w->FileList->currentItem()->text());
    EXPECT_EQ(w->FileList->currentItem()->text(), "c.txt");
    EXPECT_EQ(panel(6), "File bytes :  3");
    // Moving the current file away: again the panels follow the list.
    folder("d:\\away");
    expectCopyDialog("Move file", "d:\\away");
    key(Qt::Key_M);
    ASSERT_TRUE(exists("d:\\away\\c.txt"));
    ASSERT_TRUE(w->FileList->currentItem());
    EXPECT_EQ(panel(10), "File : " + w->FileList->currentItem()->text());
    EXPECT_NE(panel(10), "File : c.txt");
    // A pattern that hides every file leaves nothing to describe.
    expectInputDialog("File specification", "*.xyz");
    key(Qt::Key_F);
    ASSERT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(panel(10), "File :");
    EXPECT_EQ(panel(6), "File bytes :");
}

TEST_F(AfterRunTest, AFolderMadeWithMIsLoggedAndCanBeDeletedAtOnce) {
    put("d:\\a.txt", "a");
    start({"d:"});
    focusTree();
    expectInputDialog("Make folder", "new");
    key(Qt::Key_M);
    ASSERT_TRUE(isFolder("d:\\new"));
    EXPECT_TRUE(IsFolderLogged(slot(), "d:\\new"));
    EXPECT_EQ(slot().FocusPane, Pane::Tree);
    EXPECT_EQ(w->focusWidget(), w->DirList);
    // The arrow keys reach it without logging anything: it shows its counters.
    key(Qt::Key_Down);
    ASSERT_EQ(slot().CurrentPath, "d:\\new");
    EXPECT_EQ(panel(1), "Matching files : 0");
    prompts.expect("Are you sure you want to delete this folder ?", Yes, "Delete folder");
    key(Qt::Key_D);
    EXPECT_FALSE(exists("d:\\new"));
    EXPECT_TRUE(prompts.done());
    expectPictureMatchesDisk();
}

TEST_F(AfterRunTest, RenamingTaggedFilesByMaskGivesNoNameATrailingDot) {
    put("d:\\readme", "r");
    put("d:\\notes.txt", "n");
    start({"d:"});
    focusList();
    tag({"readme", "notes.txt"});
    expectInputDialog("Rename all tagged files", "*.*");
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:"), QStringList({"notes.txt", "readme"}));
    expectInputDialog("Rename all tagged files", "new*.*");
    current("readme");
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:"), QStringList({"newdme", "newes.txt"}));
    expectPictureMatchesDisk();
}

}  // namespace
