#include "tagging_fixture.h"

namespace {

class TaggingTest : public DriveWindowTest {
public:
    // d:\docs holds four files; one of them is empty.
    void arrange() {
        file("d:\\docs\\a.txt", 100).file("d:\\docs\\b.txt", 200).file("d:\\docs\\c.txt", 0).file("d:\\docs\\d.txt", 400);
        file("d:\\other\\o.txt", 7);
        folder("d:\\empty");
    }
    void openDocs() {
        arrange();
        start();
        openFolder("d:");
        openFolder("d:\\docs");
        ASSERT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt", "d.txt"}));
    }
    void expectTotals(int files, qint64 bytes) {
        EXPECT_EQ(panel(4), QString("Tagged files : %1").arg(files));
        EXPECT_EQ(panel(5), QString("Tagged bytes : %1").arg(bytes));
    }
};

TEST_F(TaggingTest, TInTheListTagsTheCurrentFileAndWalksDownButStaysOnTheLast) {
    openDocs();
    focusList();
    ASSERT_EQ(w->FileList->currentRow(), 0);
    key(Qt::Key_T);
    EXPECT_EQ(selectedNames(), QStringList({"a.txt"}));
    EXPECT_EQ(w->FileList->currentRow(), 1);
    expectTotals(1, 100);
    key(Qt::Key_T);
    key(Qt::Key_T);
    EXPECT_EQ(w->FileList->currentRow(), 3);
    key(Qt::Key_T);   // the last item: tagged, and it stays current
    EXPECT_EQ(w->FileList->currentRow(), 3);
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "b.txt", "c.txt", "d.txt"}));
    expectTotals(4, 700);
    // Tagging a tagged file again changes no total.
    key(Qt::Key_T);
    expectTotals(4, 700);
    key(Qt::Key_U);
    EXPECT_EQ(w->FileList->currentRow(), 3);
    EXPECT_FALSE(taggedInLines("d:\\docs", "d.txt"));
    expectTotals(3, 300);
    // The current file's panels follow the item the walk stops on.
    EXPECT_EQ(panel(10), "File : d.txt");
    expectListMatchesLines();
}

TEST_F(TaggingTest, AnEmptyFileAddsOneFileAndNoBytesByEveryRoute) {
    openDocs();
    focusList();
    const int empty = row("c.txt");
    w->FileList->setCurrentRow(empty, QItemSelectionModel::NoUpdate);
    key(Qt::Key_Space);
    EXPECT_TRUE(taggedInLines("d:\\docs", "c.txt"));
    EXPECT_EQ(w->FileList->currentRow(), empty);   // Space does not move on
    expectTotals(1, 0);
    EXPECT_EQ(panel(6), "File bytes :  0");
    key(Qt::Key_Space);
    expectTotals(0, 0);
    clickRow(empty);
    expectTotals(1, 0);
    main->item("mnuUntagCurrentFile")->trigger();
    expectTotals(0, 0);
    EXPECT_EQ(w->FileList->currentRow(), empty + 1);   // the menu item walks down as U does
    key(Qt::Key_Up);
    main->item("mnuTagCurrentFile")->trigger();
    expectTotals(1, 0);
    expectListMatchesLines();
}

TEST_F(TaggingTest, InvertingTwiceRestoresTagsAndTotalsByEveryRoute) {
    openDocs();
    focusList();
    clickRow(1);
    clickRow(2);
    const QStringList before = selectedNames();
    expectTotals(2, 200);
    key(Qt::Key_I);
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "d.txt"}));
    expectTotals(2, 500);
    EXPECT_TRUE(taggedInLines("d:\\docs", "a.txt"));
    EXPECT_FALSE(taggedInLines("d:\\docs", "b.txt"));
    key(Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(selectedNames(), before);
    expectTotals(2, 200);
    main->item("mnuInvertFileTags")->trigger();
    main->item("mnuInvertFileTags")->trigger();
    EXPECT_EQ(selectedNames(), before);
    expectTotals(2, 200);
    // From the tree, I inverts the folder's files, as the folder menu's item does.
    key(Qt::Key_Return);
    ASSERT_EQ(slot().FocusPane, 1);
    key(Qt::Key_I);
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "d.txt"}));
    main->item("mnuInvertFolder")->trigger();
    EXPECT_EQ(selectedNames(), before);
    expectTotals(2, 200);
    expectListMatchesLines();
}

TEST_F(TaggingTest, CtrlIWithNothingTaggedDoesNothing) {
    openDocs();
    focusList();
    key(Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(selectedNames().isEmpty());
    expectTotals(0, 0);
}

TEST_F(TaggingTest, TreeKeysAndFolderItemsTagTheWholeFolderAndListKeysTagAll) {
    openDocs();
    openFolder("d:\\other");
    clickFolder("d:\\docs");
    key(Qt::Key_T);   // tree focus: the selected folder's files
    EXPECT_EQ(selectedNames().size(), 4);
    expectTotals(4, 700);
    key(Qt::Key_U);
    expectTotals(0, 0);
    main->item("mnuTagFolderFiles")->trigger();
    expectTotals(4, 700);
    main->item("mnuUntagFolderFiles")->trigger();
    expectTotals(0, 0);
    key(Qt::Key_T, Qt::ControlModifier);
    expectTotals(4, 700);
    focusList();
    key(Qt::Key_U, Qt::ControlModifier);
    expectTotals(0, 0);
    key(Qt::Key_T, Qt::ControlModifier);
    expectTotals(4, 700);
    main->item("mnuUntagAllFiles")->trigger();
    expectTotals(0, 0);
    main->item("mnuTagAllFiles")->trigger();
    expectTotals(4, 700);
    expectListMatchesLines();
    // Only the folder shown is touched.
    EXPECT_FALSE(taggedInLines("d:\\other", "o.txt"));
}

TEST_F(TaggingTest, TagCommandsOnAFolderWithoutFilesDoNothing) {
    openDocs();
    openFolder("d:\\empty");
    ASSERT_EQ(w->FileList->count(), 0);
    const QStringList lines = slot().Lines;
    expectTotals(0, 0);
    key(Qt::Key_T);
    key(Qt::Key_T, Qt::ControlModifier);
    key(Qt::Key_I);
    main->item("mnuTagFolderFiles")->trigger();
    main->item("mnuInvertFolder")->trigger();
    expectTotals(0, 0);
    EXPECT_EQ(slot().Lines, lines);
    // A folder never logged keeps its placeholders.
    clickFolder("d:\\other");
    ASSERT_FALSE(IsFolderLogged(slot(), "d:\\other"));
    EXPECT_EQ(panel(4), "Tagged files : ###");
    key(Qt::Key_T);
    key(Qt::Key_I);
    key(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(panel(4), "Tagged files : ###");
    EXPECT_EQ(panel(5), "Tagged bytes : ###");
    EXPECT_EQ(slot().Lines, lines);
}

TEST_F(TaggingTest, AClickTogglesOneFileAndAShiftClickGivesTheRangeTheClickedState) {
    openDocs();
    clickRow(1);   // the first click also gives the list the focus
    EXPECT_EQ(slot().FocusPane, 2);
    EXPECT_EQ(selectedNames(), QStringList({"b.txt"}));
    EXPECT_EQ(w->FileList->currentRow(), 1);
    expectTotals(1, 200);
    clickRow(3, Qt::ShiftModifier);
    EXPECT_EQ(selectedNames(), QStringList({"b.txt", "c.txt", "d.txt"}));
    expectTotals(3, 600);
    clickRow(0, Qt::ShiftModifier);   // from row 3 up to row 0, all tagged as row 0 now is
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "b.txt", "c.txt", "d.txt"}));
    expectTotals(4, 700);
    clickRow(2);
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "b.txt", "d.txt"}));
    clickRow(0, Qt::ShiftModifier);   // row 0 is tagged: the range from row 2 up is untagged
    EXPECT_EQ(selectedNames(), QStringList({"d.txt"}));
    expectTotals(1, 400);
    expectListMatchesLines();
    EXPECT_EQ(panel(10), "File : a.txt");
}

TEST_F(TaggingTest, SelectionChangedByTheListItselfReachesTheLines) {
    openDocs();
    focusList();
    w->FileList->setCurrentRow(3, QItemSelectionModel::NoUpdate);
    // Ctrl+Space is no command; the list toggles its current item itself.
    key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(selectedNames(), QStringList({"d.txt"}));
    EXPECT_TRUE(taggedInLines("d:\\docs", "d.txt"));
    expectTotals(1, 400);
    expectListMatchesLines();
}

TEST_F(TaggingTest, TagsSurviveSwitchingFoldersAndRelogging) {
    openDocs();
    openFolder("d:\\other");
    key(Qt::Key_T);
    clickFolder("d:\\docs");
    clickRow(0);
    clickRow(3);
    clickFolder("d:\\other");
    EXPECT_EQ(selectedNames(), QStringList({"o.txt"}));
    expectTotals(1, 7);
    clickFolder("d:\\docs");
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "d.txt"}));
    expectTotals(2, 500);
    // Relogging keeps the tags of the files still there and finds new ones untagged.
    QFile::remove(driveRoot + "/docs/a.txt");
    file("d:\\docs\\e.txt", 50);
    key(Qt::Key_F3, Qt::AltModifier);
    EXPECT_EQ(names(), QStringList({"b.txt", "c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"d.txt"}));
    expectTotals(1, 400);
    expectListMatchesLines();
    main->item("mnuReLogFolder")->trigger();
    EXPECT_EQ(selectedNames(), QStringList({"d.txt"}));
    expectTotals(1, 400);
    // The other folder's tag was not touched by either relog.
    EXPECT_TRUE(taggedInLines("d:\\other", "o.txt"));
    // Unlogging drops the folder's tags; logging it again finds them untagged.
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(panel(4), "Tagged files : ###");
    key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(selectedNames().isEmpty());
    expectTotals(0, 0);
    expectListMatchesLines();
}

TEST_F(TaggingTest, RelogKeepsTheTagsOfAClosedFolderThatListsNoNames) {
    file("d:\\p\\a.txt", 5).file("d:\\p\\b.txt", 6).file("d:\\p\\sub\\c.txt", 7);
    start();
    openFolder("d:");
    openFolder("d:\\p");
    clickRow(1);
    clickFolder("d:\\p");
    key(Qt::Key_Left);   // closed: the names go, the counters stay
    ASSERT_EQ(w->FileList->count(), 0);
    expectTotals(1, 6);
    key(Qt::Key_F3, Qt::AltModifier);
    EXPECT_TRUE(taggedInLines("d:\\p", "b.txt"));
    EXPECT_FALSE(taggedInLines("d:\\p", "a.txt"));
    expectTotals(1, 6);
    key(Qt::Key_Right);
    EXPECT_EQ(selectedNames(), QStringList({"b.txt"}));
}

TEST_F(TaggingTest, TaggedSubmenuAndTaggedButtonsFollowTheSelection) {
    openDocs();
    QAction* tagged = main->item("mnuTagged");
    focusList();
    openMenu("mnuFile");
    EXPECT_FALSE(tagged->isEnabled());
    for (int b = 1; b <= 4; ++b) EXPECT_FALSE(main->button(b)->isEnabled()) << b;
    key(Qt::Key_Space);
    openMenu("mnuFile");
    EXPECT_TRUE(tagged->isEnabled());
    for (int b = 1; b <= 4; ++b) EXPECT_TRUE(main->button(b)->isEnabled()) << b;
    key(Qt::Key_Space);   // nothing tagged any more
    openMenu("mnuFile");
    EXPECT_FALSE(tagged->isEnabled());
    for (int b = 1; b <= 4; ++b) EXPECT_FALSE(main->button(b)->isEnabled()) << b;
    clickRow(2);
    for (int b = 1; b <= 4; ++b) EXPECT_TRUE(main->button(b)->isEnabled()) << b;
    key(Qt::Key_U, Qt::ControlModifier);
    for (int b = 1; b <= 4; ++b) EXPECT_FALSE(main->button(b)->isEnabled()) << b;
    key(Qt::Key_T, Qt::ControlModifier);
    // The tree has no tagged-file commands, whatever the list holds.
    key(Qt::Key_Return);
    ASSERT_EQ(slot().FocusPane, 1);
    for (int b = 1; b <= 4; ++b) EXPECT_FALSE(main->button(b)->isEnabled()) << b;
}

TEST_F(TaggingTest, FolderTagSubmenuNeedsFilesAndTheFolderView) {
    openDocs();
    QAction* folderTags = main->item("mnuFolderTags");
    openMenu("mnuFolder");
    EXPECT_TRUE(folderTags->isEnabled());
    openFolder("d:\\empty");
    openMenu("mnuFolder");
    EXPECT_FALSE(folderTags->isEnabled());
    clickFolder("d:\\other");   // files on disk, but not logged
    openMenu("mnuFolder");
    EXPECT_FALSE(folderTags->isEnabled());
    clickFolder("d:\\docs");
    openMenu("mnuFolder");
    EXPECT_TRUE(folderTags->isEnabled());
    key(Qt::Key_G);
    ASSERT_TRUE(slot().GlobalView);
    openMenu("mnuFolder");
    EXPECT_FALSE(folderTags->isEnabled());
}

TEST_F(TaggingTest, EachDriveWindowTagsItsOwnDrive) {
    file("c:\\note.txt", 3).file("c:\\list.txt", 4);
    openDocs();
    key(Qt::Key_T);
    frmBrws* d = w;
    const QStringList dLines = Slot(2).Lines;
    key(Qt::Key_Less);   // the key beside left Shift: the window of the slot before
    w = ActiveDriveWindow();
    ASSERT_NE(w, d);
    ASSERT_EQ(slot().Drive, "c:");
    w->DirList->setFocus();
    clickFolder("c:");
    key(Qt::Key_Right);
    ASSERT_GT(w->FileList->count(), 0);
    key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(selectedNames().contains("note.txt"));
    EXPECT_EQ(selectedNames(), names());
    expectListMatchesLines();
    const QStringList cLines = Slot(1).Lines;
    EXPECT_EQ(Slot(2).Lines, dLines);
    key(Qt::Key_Less);
    w = ActiveDriveWindow();
    ASSERT_EQ(w, d);
    ASSERT_EQ(slot().Drive, "d:");
    EXPECT_EQ(selectedNames(), names());
    expectTotals(4, 700);
    key(Qt::Key_U);
    expectTotals(0, 0);
    // The other window's tags stay.
    EXPECT_EQ(Slot(1).Lines, cLines);
}

}  // namespace
