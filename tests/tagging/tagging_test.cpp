#include "tagging_fixture.h"

namespace {

class TaggingTest : public DriveWindowTest {
public:
    // The same name in two folders, a branch whose name begins another (dos and dos2), a folder left unlogged.
    void logTree() {
        file("d:\\readme.txt", 10).file("d:\\root.bin", 20).file("d:\\dos\\readme.txt", 30);
        file("d:\\dos\\edit.com", 40).file("d:\\dos\\util\\sort.exe", 50).file("d:\\dos2\\zed.txt", 60);
        file("d:\\games\\pacman.exe", 70).file("d:\\games\\empty.dat", 0).file("d:\\unlogged\\hidden.txt", 80);
        start({"d:", "d:\\dos", "d:\\dos\\util", "d:\\dos2", "d:\\games"});
    }
    void expectFolderView() {
        EXPECT_FALSE(slot().GlobalView);
        EXPECT_FALSE(w->GroupDirList->isHidden());
        EXPECT_TRUE(w->DirList->isEnabled());
        EXPECT_EQ(slot().GlobalList, QStringList{QString()});
    }
    QStringList panels() const { return {panel(1), panel(2), panel(4), panel(5)}; }
};

TEST_F(TaggingTest, TagsMadeInAFolderInvertTwiceBackAndSurviveFolderSwitches) {
    file("d:\\docs\\a.txt", 100).file("d:\\docs\\b.txt", 200).file("d:\\docs\\c.txt", 0).file("d:\\docs\\d.txt", 400);
    file("d:\\other\\o.txt", 7);
    start({"d:", "d:\\docs"});
    main->item("mnuWinFiles")->trigger();   // Window, Files
    // T tags the current file and walks down, but stays on the last; the empty c.txt adds a file and no bytes.
    key(Qt::Key_T);
    key(Qt::Key_T);
    expectTotals(2, 300);
    key(Qt::Key_T);
    expectTotals(3, 300);
    key(Qt::Key_T);
    EXPECT_EQ(w->FileList->currentRow(), 3);
    key(Qt::Key_T);   // tagging a tagged file again changes no total
    EXPECT_EQ(w->FileList->currentRow(), 3);
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "b.txt", "c.txt", "d.txt"}));
    expectTotals(4, 700);
    key(Qt::Key_U);
    EXPECT_EQ(w->FileList->currentRow(), 3);
    expectTotals(3, 300);
    expectListMatchesLines();

    // Inverting twice, by any route, gives back the tags and the totals.
    const QStringList before = selectedNames();
    key(Qt::Key_I);
    EXPECT_EQ(selectedNames(), QStringList({"d.txt"}));
    expectTotals(1, 400);
    key(Qt::CTRL | Qt::Key_I);
    EXPECT_EQ(selectedNames(), before);
    expectTotals(3, 300);
    key(Qt::Key_Return);   // from the tree, I inverts the folder's files, as the folder menu's item does
    ASSERT_EQ(slot().FocusPane, Pane::Tree);
    key(Qt::Key_I);
    EXPECT_EQ(selectedNames(), QStringList({"d.txt"}));
    main->item("mnuInvertFolder")->trigger();
    EXPECT_EQ(selectedNames(), before);
    expectTotals(3, 300);
    expectListMatchesLines();

    // Tags stay with their folders when the user switches between them.
    openFolder("d:\\other");
    key(Qt::Key_T);
    clickFolder("d:\\docs");
    EXPECT_EQ(selectedNames(), before);
    clickFolder("d:\\other");
    EXPECT_EQ(selectedNames(), QStringList({"o.txt"}));
    expectTotals(1, 7);
    clickFolder("d:\\docs");
    EXPECT_EQ(selectedNames(), before);
    expectTotals(3, 300);
}

TEST_F(TaggingTest, ViewsListWhatTheySelectAndLeaveTheFolderViewAsItWasWhenNothingIsTagged) {
    logTree();
    // Tagged views with nothing tagged leave the folder view as it was.
    clickFolder("d:\\games");
    const QStringList games = panels();
    key(Qt::CTRL | Qt::Key_G);
    key(Qt::CTRL | Qt::Key_B);
    main->item("mnuGlobalTagged")->trigger();
    main->item("mnuBranchTagged")->trigger();
    main->button("tbBTagged")->trigger();
    expectFolderView();
    EXPECT_EQ(QApplication::focusWidget(), w->DirList);
    EXPECT_EQ(slot().FocusPane, Pane::Tree);
    EXPECT_EQ(names(), QStringList({"empty.dat", "pacman.exe"}));
    EXPECT_EQ(panels(), games);
    EXPECT_EQ(main->StatusBar->currentMessage(), "User");
    EXPECT_FALSE(QApplication::overrideCursor());

    // The global view lists every logged file; tags made there show in their folders.
    key(Qt::Key_G);
    ASSERT_TRUE(slot().GlobalView);
    const QStringList global = listedPaths();
    EXPECT_EQ(global, QStringList({"d:\\dos\\edit.com", "d:\\games\\empty.dat", "d:\\games\\pacman.exe",
                                   "d:\\readme.txt", "d:\\dos\\readme.txt", "d:\\root.bin", "d:\\dos\\util\\sort.exe",
                                   "d:\\dos2\\zed.txt"}));
    EXPECT_EQ(panel(1), "Matching files : 8");
    EXPECT_EQ(panel(2), "Matching bytes : 280");
    clickRow(3);   // the two readme.txt lines belong to two folders
    clickRow(4);
    key(Qt::Key_Down);
    key(Qt::Key_T);   // root.bin
    clickRow(1);      // the empty file
    expectTotals(4, 60);
    expectListMatchesLines();
    key(Qt::Key_Escape);
    expectFolderView();
    EXPECT_EQ(slot().FocusPane, Pane::Tree);
    EXPECT_EQ(selectedNames(), QStringList({"empty.dat"}));
    expectTotals(1, 0);
    clickFolder("d:");
    EXPECT_EQ(selectedNames(), QStringList({"readme.txt", "root.bin"}));
    expectTotals(2, 30);
    clickFolder("d:\\dos");
    EXPECT_EQ(selectedNames(), QStringList({"readme.txt"}));

    // Tags elsewhere on the drive are enough for the global tagged view, not for the branch.
    clickFolder("d:\\dos2");
    key(Qt::CTRL | Qt::Key_B);
    expectFolderView();
    key(Qt::CTRL | Qt::Key_G);
    EXPECT_EQ(listedPaths(),
              QStringList({"d:\\games\\empty.dat", "d:\\readme.txt", "d:\\dos\\readme.txt", "d:\\root.bin"}));
    EXPECT_EQ(selectedNames(), names());
    expectTotals(4, 60);

    // Branch matching on the root lists every logged file, by key and by button.
    key(Qt::Key_Escape);
    clickFolder("d:");
    key(Qt::Key_B);
    ASSERT_TRUE(slot().GlobalView);
    EXPECT_EQ(listedPaths(), global);
    EXPECT_EQ(panel(1), "Matching files : 8");
    key(Qt::Key_Return);
    expectFolderView();
    main->button("tbBMatch")->trigger();
    EXPECT_EQ(listedPaths(), global);

    // Esc in a folder view does nothing, in the tree or in the list.
    key(Qt::Key_Escape);
    clickFolder("d:\\dos");
    const QStringList lines = slot().Lines, dos = panels();
    key(Qt::Key_Escape);
    main->item("mnuWinFiles")->trigger();   // Window, Files
    key(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), w->FileList);
    EXPECT_EQ(slot().FocusPane, Pane::Files);
    expectFolderView();
    EXPECT_EQ(names(), QStringList({"edit.com", "readme.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"readme.txt"}));
    EXPECT_EQ(panels(), dos);
    EXPECT_EQ(slot().Lines, lines);
}

}  // namespace
