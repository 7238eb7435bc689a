#include "fileops/frmInput.h"
#include "shell_fixture.h"

namespace {

using FileListTest = ShellTest;

TEST_F(FileListTest, CountersAndTagsOfFoldersNeverLoggedCollapsedAndRelogged) {
    const QString d = drive('d');
    files(d, {{"/three/a.txt", 100}, {"/three/b.txt", 200}, {"/three/c.txt", 300}, {"/docs/a.txt", 5}});
    files(d, {{"/root.txt", 7}, {"/proj/p.txt", 5}, {"/proj/q.txt", 6}});
    mkdir(d + "/proj/sub");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    // The root itself is collapsed after logging and has subfolders: no names.
    EXPECT_EQ(w->FileList->count(), 0);
    expand(w, "d:");

    // A folder never logged, reached with the arrow keys, shows placeholders.
    key(w->DirList, Qt::Key_Down);
    EXPECT_EQ(panels(w, {1, 2, 4, 5}), QStringList({"Matching files : ###", "Matching bytes : ###",
                                                    "Tagged files : ###", "Tagged bytes : ###"}));
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(slotOf(w).CurrentPath, "d:\\docs");
    // The root, logged and now expanded, lists its file.
    clickNode(w, "d:");
    EXPECT_EQ(listed(w), QStringList({"root.txt"}));
    EXPECT_EQ(panel(w, 1), "Matching files : 1");

    // A collapsed folder with subfolders shows its counters but no names.
    logFolder(w, "d:\\proj");
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(panels(w, {1, 2, 4, 5}), QStringList({"Matching files : 2", "Matching bytes : 11", "Tagged files : 0",
                                        "Tagged bytes : 0"}));
    key(w->DirList, Qt::Key_Right);
    EXPECT_EQ(listed(w), QStringList({"p.txt", "q.txt"}));
    key(w->DirList, Qt::Key_T);   // tags the folder's files
    ASSERT_EQ(tagged(w), QStringList({"p.txt", "q.txt"}));
    key(w->DirList, Qt::Key_Left);   // collapsing it again empties the list and keeps the path
    ASSERT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(w->Path3D->text(), " Path : d:\\proj");
    // Relog keeps the tags of the files that still exist, also those of a collapsed
    // folder whose names are not listed.
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);
    const int h = FindFolderLine(slotOf(w), "d:\\proj", 0);
    EXPECT_EQ(lines(w).mid(h + 1, 2), QStringList({"p.txt/T/5" + stamp, "q.txt/T/6" + stamp}));
    EXPECT_EQ(panels(w, {4, 5}), QStringList({"Tagged files : 2", "Tagged bytes : 11"}));
    key(w->DirList, Qt::Key_Right);
    EXPECT_EQ(tagged(w), QStringList({"p.txt", "q.txt"}));
    QFile::remove(d + "/proj/q.txt");
    file(d + "/proj/pa.txt", 4000);   // sorted between the two tagged files
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);
    ASSERT_EQ(FindFolderLine(slotOf(w), "d:\\proj", 0), h);
    EXPECT_EQ(lines(w).mid(h + 1, 2), QStringList({"p.txt/T/5" + stamp, "pa.txt/U/4000" + stamp}));
    EXPECT_TRUE(lines(w).value(h + 3, ">").startsWith('>'));   // no other file
    EXPECT_EQ(listed(w), QStringList({"p.txt", "pa.txt"}));
    EXPECT_EQ(tagged(w), QStringList({"p.txt"}));
    EXPECT_EQ(panels(w, {1, 4, 5}), QStringList({"Matching files : 2", "Tagged files : 1", "Tagged bytes : 5"}));

    // Three files with the second tagged: the click logs the leaf, Enter moves to the list.
    clickNode(w, "d:\\three");
    ASSERT_TRUE(IsFolderLogged(slotOf(w), "d:\\three"));
    key(w->DirList, Qt::Key_Return);
    ASSERT_EQ(slotOf(w).FocusPane, Pane::Files);
    key(w->FileList, Qt::Key_Down);
    key(w->FileList, Qt::Key_Space);
    // Drawn again from the lines: away to the root and back.
    key(w->FileList, Qt::Key_Return);
    ASSERT_EQ(slotOf(w).FocusPane, Pane::Tree);
    clickNode(w, "d:");
    clickNode(w, "d:\\three");
    EXPECT_EQ(listed(w), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(panels(w, {1, 2, 4, 5}), QStringList({"Matching files : 3", "Matching bytes : 600", "Tagged files : 1",
                                        "Tagged bytes : 200"}));
    EXPECT_EQ(tagged(w), QStringList({"b.txt"}));
    EXPECT_TRUE(lines(w)[FindFolderLine(slotOf(w), "d:\\three", 0) + 2].startsWith("b.txt/T/200:"));
}

TEST_F(FileListTest, TwoPatternsSeparatedByABlankAreStoredWithASemicolon) {
    const QString d = drive('d');
    files(d, {{"/a.txt", 1}, {"/b.doc", 2}, {"/c.bin", 4}, {"/more/d.doc", 8}, {"/more/e.bin", 16}});
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    // The command of the F key, with the patterns the user types.
    auto filePatterns = [&](const QString& typed) {
        forms.expect("frmInput", [typed](QWidget* form) {
            auto* in = static_cast<frmInput*>(form);
            EXPECT_EQ(in->windowTitle(), "File specification");
            in->txtBox->setText(typed);
            QTest::keyClick(in->txtBox, Qt::Key_Return);
        });
        key(w->DirList, Qt::Key_F);
    };
    expand(w, "d:");
    logFolder(w, "d:\\more");
    clickNode(w, "d:");

    filePatterns(" *.TXT *.doc ");
    EXPECT_EQ(slotOf(w).FileSpec, "*.txt;*.doc");
    EXPECT_EQ(panel(w, 0), "File specification : *.txt;*.doc");
    EXPECT_EQ(listed(w), QStringList({"a.txt", "b.doc"}));
    EXPECT_EQ(panel(w, 2), "Matching bytes : 3");
    // Every logged folder is relogged with it; the unlogged ones stay as they were.
    const QStringList picture = lines(w);
    EXPECT_EQ(picture, QStringList({">d:/1/L", "a.txt/U/1" + stamp, "b.doc/U/2" + stamp, ">d:\\more/2/L",
                                    "d.doc/U/8" + stamp}));
    EXPECT_EQ(LookupFolderLine(slotOf(w), "d:\\more"), 3);

    // The same patterns again, with ";" this time, relog nothing.
    file(d + "/new.txt", 32);
    filePatterns("*.txt;*.doc");
    EXPECT_EQ(lines(w), picture);

    // One that matches nothing leaves an empty list with counters of 0.
    filePatterns("*.xyz");
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(panels(w, {1, 2, 4, 5}), QStringList({"Matching files : 0", "Matching bytes : 0", "Tagged files : 0",
                                        "Tagged bytes : 0"}));
    EXPECT_EQ(lines(w), QStringList({">d:/1/L", ">d:\\more/2/L"}));
}

}  // namespace
