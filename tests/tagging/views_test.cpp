#include "fileops/frmInput.h"
#include "tagging_fixture.h"

namespace {

class ViewsTest : public DriveWindowTest {
public:
    // The same name in two folders, a branch whose name begins another
    // (dos and dos2), and a folder that stays unlogged.
    void arrange() {
        file("d:\\readme.txt", 10).file("d:\\root.bin", 20);
        file("d:\\dos\\readme.txt", 30).file("d:\\dos\\edit.com", 40);
        file("d:\\dos\\util\\sort.exe", 50);
        file("d:\\dos2\\zed.txt", 60);
        file("d:\\games\\pacman.exe", 70).file("d:\\games\\empty.dat", 0);
        file("d:\\unlogged\\hidden.txt", 80);
    }
    void logAll() {
        arrange();
        start();
        openFolder("d:");
        openFolder("d:\\dos");
        openFolder("d:\\dos\\util");
        openFolder("d:\\dos2");
        openFolder("d:\\games");
        clickFolder("d:");
    }
    // The folder of each listed item, from the mapping every command uses.
    QStringList listedPaths() const {
        QStringList out;
        for (int i = 0; i < w->FileList->count(); ++i) {
            int file = -1, header = -1;
            EXPECT_TRUE(GlobalLinePositions(slot().GlobalList[i], &file, &header));
            FolderHeader folder;
            EXPECT_TRUE(ParseFolderHeader(slot().Lines[header], &folder));
            EXPECT_EQ(FileLineOfItem(slot(), i), file);
            out << folder.path + "\\" + w->FileList->item(i)->text();
        }
        return out;
    }
    void expectFolderView() {
        EXPECT_FALSE(slot().GlobalView);
        EXPECT_FALSE(w->GroupDirList->isHidden());
        EXPECT_TRUE(w->DirList->isEnabled());
        EXPECT_EQ(slot().GlobalList, QStringList{QString()});
    }
};

TEST_F(ViewsTest, GlobalMatchingListsEveryLoggedFileSortedAcrossTheWindow) {
    logAll();
    key(Qt::Key_G);
    ASSERT_TRUE(slot().GlobalView);
    EXPECT_EQ(listedPaths(), QStringList({"d:\\dos\\edit.com", "d:\\games\\empty.dat", "d:\\games\\pacman.exe",
                                          "d:\\readme.txt", "d:\\dos\\readme.txt", "d:\\root.bin",
                                          "d:\\dos\\util\\sort.exe", "d:\\dos2\\zed.txt"}));
    EXPECT_EQ(panel(1), "Matching files : 8");
    EXPECT_EQ(panel(2), "Matching bytes : 280");
    EXPECT_EQ(panel(4), "Tagged files : 0");
    EXPECT_EQ(panel(5), "Tagged bytes : 0");
    // The tree gives way; the list takes the focus, its first line current.
    EXPECT_TRUE(w->GroupDirList->isHidden());
    EXPECT_FALSE(w->DirList->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), w->FileList);
    EXPECT_EQ(slot().FocusPane, 2);
    EXPECT_EQ(w->FileList->currentRow(), 0);
    EXPECT_EQ(w->GroupFileList->x(), 0);
    EXPECT_GE(w->GroupFileList->width(), w->width());
    EXPECT_GT(w->FileList->width(), w->width() * 9 / 10);
    // The current file's panels name its own folder.
    EXPECT_EQ(panel(10), "File : edit.com");
    EXPECT_EQ(w->Path3D->text(), " Path : d:\\dos");
    EXPECT_EQ(main->StatusBar->currentMessage(), "User");
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(ViewsTest, TagsMadeInAGlobalViewShowInTheirFolders) {
    logAll();
    key(Qt::Key_G);
    ASSERT_TRUE(slot().GlobalView);
    // The two readme.txt lines belong to two folders.
    clickRow(3);
    clickRow(4);
    key(Qt::Key_Down);
    key(Qt::Key_T);   // root.bin
    clickRow(1);      // the empty file
    EXPECT_EQ(panel(4), "Tagged files : 4");
    EXPECT_EQ(panel(5), "Tagged bytes : 60");
    EXPECT_TRUE(taggedInLines("d:", "readme.txt"));
    EXPECT_TRUE(taggedInLines("d:\\dos", "readme.txt"));
    EXPECT_TRUE(taggedInLines("d:", "root.bin"));
    EXPECT_TRUE(taggedInLines("d:\\games", "empty.dat"));
    EXPECT_FALSE(taggedInLines("d:\\games", "pacman.exe"));
    expectListMatchesLines();
    key(Qt::Key_Escape);
    expectFolderView();
    EXPECT_EQ(slot().FocusPane, 1);
    EXPECT_EQ(selectedNames(), QStringList({"readme.txt", "root.bin"}));
    EXPECT_EQ(panel(4), "Tagged files : 2");
    EXPECT_EQ(panel(5), "Tagged bytes : 30");
    clickFolder("d:\\dos");
    EXPECT_EQ(selectedNames(), QStringList({"readme.txt"}));
    clickFolder("d:\\games");
    EXPECT_EQ(selectedNames(), QStringList({"empty.dat"}));
    EXPECT_EQ(panel(4), "Tagged files : 1");
    EXPECT_EQ(panel(5), "Tagged bytes : 0");
    // Going back finds the same tags in the view.
    key(Qt::Key_G);
    EXPECT_EQ(selectedNames(), QStringList({"empty.dat", "readme.txt", "readme.txt", "root.bin"}));
    EXPECT_EQ(panel(4), "Tagged files : 4");
    EXPECT_EQ(panel(5), "Tagged bytes : 60");
}

TEST_F(ViewsTest, TagAllAndInvertInAViewWriteEveryListedFile) {
    logAll();
    clickFolder("d:\\dos");
    key(Qt::Key_B);
    ASSERT_TRUE(slot().GlobalView);
    key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(panel(4), "Tagged files : 4");
    EXPECT_EQ(panel(5), "Tagged bytes : 180");
    key(Qt::Key_I);
    EXPECT_EQ(panel(4), "Tagged files : 0");
    main->item("mnuInvertFileTags")->trigger();
    main->item("mnuUntagCurrentFile")->trigger();   // edit.com, the first line
    EXPECT_EQ(panel(4), "Tagged files : 3");
    EXPECT_EQ(panel(5), "Tagged bytes : 140");
    expectListMatchesLines();
    // Files outside the branch were not touched.
    EXPECT_FALSE(taggedInLines("d:", "readme.txt"));
    EXPECT_FALSE(taggedInLines("d:\\games", "pacman.exe"));
    main->item("mnuWinFolders")->trigger();
    expectFolderView();
    EXPECT_EQ(selectedNames(), QStringList({"readme.txt"}));
}

TEST_F(ViewsTest, EscInAFolderViewDoesNothing) {
    logAll();
    clickFolder("d:\\dos");
    key(Qt::Key_T);
    const QStringList lines = slot().Lines;
    const QStringList panels{panel(1), panel(2), panel(4), panel(5)};
    key(Qt::Key_Escape);
    focusList();
    key(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), w->FileList);
    EXPECT_EQ(slot().FocusPane, 2);
    expectFolderView();
    EXPECT_EQ(names(), QStringList({"edit.com", "readme.txt"}));
    EXPECT_EQ(selectedNames(), names());
    EXPECT_EQ(QStringList({panel(1), panel(2), panel(4), panel(5)}), panels);
    EXPECT_EQ(slot().Lines, lines);
}

TEST_F(ViewsTest, TaggedViewsWithNothingTaggedLeaveTheFolderViewAsItWas) {
    logAll();
    clickFolder("d:\\games");
    const QStringList panels{panel(1), panel(2), panel(4), panel(5)};
    key(Qt::Key_G, Qt::ControlModifier);
    key(Qt::Key_B, Qt::ControlModifier);
    main->item("mnuGlobalTagged")->trigger();
    main->item("mnuBranchTagged")->trigger();
    main->button("tbBTagged")->trigger();
    expectFolderView();
    EXPECT_EQ(QApplication::focusWidget(), w->DirList);
    EXPECT_EQ(slot().FocusPane, 1);
    EXPECT_EQ(names(), QStringList({"empty.dat", "pacman.exe"}));
    EXPECT_EQ(QStringList({panel(1), panel(2), panel(4), panel(5)}), panels);
    EXPECT_EQ(main->StatusBar->currentMessage(), "User");
    EXPECT_FALSE(QApplication::overrideCursor());
    // A tag elsewhere on the drive is enough for the global one, not for the branch.
    clickFolder("d:\\dos2");
    key(Qt::Key_T);
    clickFolder("d:\\games");
    key(Qt::Key_B, Qt::ControlModifier);
    expectFolderView();
    key(Qt::Key_G, Qt::ControlModifier);
    ASSERT_TRUE(slot().GlobalView);
    EXPECT_EQ(listedPaths(), QStringList({"d:\\dos2\\zed.txt"}));
    EXPECT_EQ(selectedNames(), names());
    EXPECT_EQ(panel(1), "Matching files : 1");
    EXPECT_EQ(panel(5), "Tagged bytes : 60");
}

TEST_F(ViewsTest, BranchMatchingOnTheRootListsEveryLoggedFile) {
    logAll();
    key(Qt::Key_G);
    const QStringList global = listedPaths();
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
}

TEST_F(ViewsTest, ABranchIsEveryFolderWhosePathContainsTheCurrentOne) {
    logAll();
    clickFolder("d:\\dos");
    main->item("mnuBranchMatching")->trigger();
    ASSERT_TRUE(slot().GlobalView);
    EXPECT_EQ(listedPaths(), QStringList({"d:\\dos\\edit.com", "d:\\dos\\readme.txt", "d:\\dos\\util\\sort.exe",
                                          "d:\\dos2\\zed.txt"}));
    EXPECT_EQ(panel(2), "Matching bytes : 180");
    // Tagged lines of the branch, by key and by button.
    clickRow(3);
    clickRow(1);
    key(Qt::Key_Escape);
    clickFolder("d:\\dos");
    key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(listedPaths(), QStringList({"d:\\dos\\readme.txt", "d:\\dos2\\zed.txt"}));
    EXPECT_EQ(panel(4), "Tagged files : 2");
    EXPECT_EQ(panel(5), "Tagged bytes : 90");
    key(Qt::Key_Escape);
    clickFolder("d:\\dos\\util");
    main->button("tbBTagged")->trigger();
    expectFolderView();   // nothing tagged below d:\dos\util
}

TEST_F(ViewsTest, ViewKeysNeedTheTreeAndLeavingWorksByEveryRoute) {
    logAll();
    focusList();
    key(Qt::Key_G);   // the view items are disabled while the list has the focus
    key(Qt::Key_B);
    expectFolderView();
    key(Qt::Key_Return);
    ASSERT_EQ(slot().FocusPane, 1);
    main->item("mnuGlobalMatching")->trigger();
    ASSERT_TRUE(slot().GlobalView);
    // In the view the list has the focus: G builds nothing new.
    key(Qt::Key_G);
    EXPECT_EQ(w->FileList->count(), 8);
    key(Qt::Key_Return);
    expectFolderView();
    EXPECT_EQ(QApplication::focusWidget(), w->DirList);
    EXPECT_EQ(names(), QStringList({"readme.txt", "root.bin"}));
    EXPECT_EQ(panel(1), "Matching files : 2");
    EXPECT_EQ(w->Path3D->text(), " Path : d:\\");
    // The layout gives the tree its place again.
    EXPECT_GT(w->GroupFileList->x(), 0);
    EXPECT_EQ(w->GroupFileList->x(), w->GroupDirList->x() + w->GroupDirList->width());
}

TEST_F(ViewsTest, UnloggedFoldersAreLeftOutAndUnloggingDropsTheirTags) {
    logAll();
    clickFolder("d:\\games");
    key(Qt::Key_T);
    key(Qt::Key_O, Qt::ControlModifier);
    key(Qt::Key_G);
    ASSERT_TRUE(slot().GlobalView);
    EXPECT_EQ(w->FileList->count(), 6);
    EXPECT_EQ(listedPaths().filter("games").size(), 0);
    EXPECT_EQ(listedPaths().filter("unlogged").size(), 0);
    key(Qt::Key_Escape);
    key(Qt::Key_G, Qt::ControlModifier);
    expectFolderView();
}

TEST_F(ViewsTest, ANewFileSpecificationInAViewListsTheMatchingFilesAgain) {
    logAll();
    clickFolder("d:\\dos");
    key(Qt::Key_B);
    ASSERT_TRUE(slot().GlobalView);
    ScriptedForms forms;
    auto typePatterns = [](const QString& patterns) {
        return [patterns](QWidget* form) {
            auto* input = static_cast<frmInput*>(form);
            QTest::keyClick(input->txtBox, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(input->txtBox, patterns);
            QTest::keyClick(input->txtBox, Qt::Key_Return);
        };
    };
    forms.expect("frmInput", typePatterns("*.txt *.com"));
    key(Qt::Key_F);
    // Still the branch, now of the files the new specification logged.
    ASSERT_TRUE(slot().GlobalView);
    EXPECT_EQ(listedPaths(), QStringList({"d:\\dos\\edit.com", "d:\\dos\\readme.txt", "d:\\dos2\\zed.txt"}));
    EXPECT_EQ(panel(1), "Matching files : 3");
    EXPECT_EQ(panel(2), "Matching bytes : 130");
    clickRow(2);
    EXPECT_TRUE(taggedInLines("d:\\dos2", "zed.txt"));
    EXPECT_EQ(panel(5), "Tagged bytes : 60");
    expectListMatchesLines();
    // A specification that leaves the branch empty brings the folder view back.
    forms.expect("frmInput", typePatterns("*.none"));
    main->item("mnuFilespec")->trigger();
    expectFolderView();
    EXPECT_EQ(w->FileList->count(), 0);
}

}  // namespace
