#include <QDateTime>
#include <utime.h>
#include "fileops/frmInput.h"
#include "model/filelist.h"
#include "shell_fixture.h"

namespace {

class FileListTest : public ShellTest {
protected:
    static void stampedFile(const QString& hostPath, qint64 size) {
        file(hostPath, size);
        const QDateTime t(QDate(1997, 3, 15), QTime(10, 4, 0));
        utimbuf times{t.toSecsSinceEpoch(), t.toSecsSinceEpoch()};
        ASSERT_EQ(::utime(QFile::encodeName(hostPath).constData(), &times), 0);
    }
    static void select(frmBrws* w, const QString& path) { clickNode(w, node(w, path)); }
    // The folder selected and logged, and the focus in its list (Enter twice:
    // the first logs the leaf, the second moves to the list).
    static void openLeaf(frmBrws* w, const QString& path) {
        select(w, path);
        key(w->DirList, Qt::Key_Return);
        key(w->DirList, Qt::Key_Return);
        ASSERT_EQ(slotOf(w).FocusPane, 2);
    }
    // The command of the F key, with the patterns the user types.
    void filePatterns(frmBrws* w, const QString& typed) {
        forms.expect("frmInput", [typed](QWidget* form) {
            auto* in = static_cast<frmInput*>(form);
            EXPECT_EQ(in->windowTitle(), "File specification");
            in->txtBox->setText(typed);
            QTest::keyClick(in->txtBox, Qt::Key_Return);
        });
        key(w->DirList, Qt::Key_F);
    }
    static QStringList counters(const frmBrws* w) {
        return {panel(w, 1), panel(w, 2), panel(w, 4), panel(w, 5)};
    }
};

TEST(FormatCount, PlainDecimalWithoutLeadingZeros) {
    EXPECT_EQ(FormatCount(0), "0");
    EXPECT_EQ(FormatCount(7), "7");
    EXPECT_EQ(FormatCount(100), "100");
    EXPECT_EQ(FormatCount(1500), "1500");
    EXPECT_EQ(FormatCount(5000000000LL), "5000000000");
}

TEST_F(FileListTest, ThreeFilesWithTheSecondTaggedGiveTheirCountsAndTheSelection) {
    const QString d = drive('d');
    file(d + "/three/a.txt", 100);
    file(d + "/three/b.txt", 200);
    file(d + "/three/c.txt", 300);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w);
    openLeaf(w, "d:\\three");
    key(w->FileList, Qt::Key_Down);
    key(w->FileList, Qt::Key_Space);
    // Drawn again from the lines: away to the root and back.
    key(w->FileList, Qt::Key_Return);
    ASSERT_EQ(slotOf(w).FocusPane, 1);
    select(w, "d:");
    select(w, "d:\\three");
    EXPECT_EQ(listed(w), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(counters(w), QStringList({"Matching files : 3", "Matching bytes : 600", "Tagged files : 1",
                                        "Tagged bytes : 200"}));
    EXPECT_EQ(selectedRows(w), QList<int>({1}));
    EXPECT_TRUE(lines(w)[FindFolderLine(slotOf(w), "d:\\three", 0) + 2].startsWith("b.txt/T/200:"));
}

TEST_F(FileListTest, TheCurrentFilePanelsShowItsLine) {
    const QString d = drive('d');
    stampedFile(d + "/files/empty.dat", 0);
    stampedFile(d + "/files/full.dat", 1234);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w);
    openLeaf(w, "d:\\files");
    EXPECT_EQ(panel(w, 6), "File bytes :  0");
    EXPECT_EQ(panel(w, 7), "File date : 03-15-97");
    EXPECT_EQ(panel(w, 8), "File time : 10:04:00");
    EXPECT_EQ(panel(w, 9), "File attributes : A");
    EXPECT_EQ(panel(w, 10), "File : empty.dat");
    key(w->FileList, Qt::Key_Down);
    EXPECT_EQ(panel(w, 6), "File bytes :  1234");
    EXPECT_EQ(panel(w, 10), "File : full.dat");
    // The tree taking the focus leaves the bare captions.
    key(w->FileList, Qt::Key_Return);
    EXPECT_EQ(panel(w, 6), "File bytes :");
    EXPECT_EQ(panel(w, 10), "File :");
    // The date format setting applies to files logged from then on.
    Settings[6] = "dd-mm-yy";
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);
    key(w->DirList, Qt::Key_Return);
    EXPECT_EQ(panel(w, 7), "File date : 15-03-97");
}

TEST_F(FileListTest, AFolderNeverLoggedShowsPlaceholders) {
    const QString d = drive('d');
    file(d + "/docs/a.txt", 5);
    file(d + "/root.txt", 7);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w);
    select(w, "d:\\docs");
    EXPECT_EQ(counters(w), QStringList({"Matching files : ###", "Matching bytes : ###", "Tagged files : ###",
                                        "Tagged bytes : ###"}));
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(w->Path3D->text(), " Path : d:\\docs");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:\\docs");
    // The root, logged and now expanded, lists its file.
    select(w, "d:");
    EXPECT_EQ(listed(w), QStringList({"root.txt"}));
    EXPECT_EQ(panel(w, 1), "Matching files : 1");
}

TEST_F(FileListTest, ACollapsedFolderWithSubfoldersShowsItsCountersButNoNames) {
    const QString d = drive('d');
    file(d + "/proj/p.txt", 5);
    file(d + "/proj/q.txt", 6);
    mkdir(d + "/proj/sub");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    // The root itself is collapsed after logging and has a subfolder.
    EXPECT_EQ(w->FileList->count(), 0);
    expand(w);
    select(w, "d:\\proj");
    key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    ASSERT_TRUE(IsFolderLogged(slotOf(w), "d:\\proj"));
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(counters(w), QStringList({"Matching files : 2", "Matching bytes : 11", "Tagged files : 0",
                                        "Tagged bytes : 0"}));
    key(w->DirList, Qt::Key_Right);
    EXPECT_EQ(listed(w), QStringList({"p.txt", "q.txt"}));
    // Collapsing it again empties the list and keeps the path.
    key(w->DirList, Qt::Key_Left);
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(w->Path3D->text(), " Path : d:\\proj");
}

TEST_F(FileListTest, TwoPatternsSeparatedByABlankAreStoredWithASemicolon) {
    const QString d = drive('d');
    file(d + "/a.txt", 1);
    file(d + "/b.doc", 2);
    file(d + "/c.bin", 4);
    file(d + "/more/d.doc", 8);
    file(d + "/more/e.bin", 16);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    EXPECT_EQ(panel(w, 0), "File specification : *.*");
    expand(w);
    select(w, "d:\\more");
    key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    select(w, "d:");

    filePatterns(w, " *.TXT *.doc ");
    EXPECT_EQ(slotOf(w).FileSpec, "*.txt;*.doc");
    EXPECT_EQ(panel(w, 0), "File specification : *.txt;*.doc");
    EXPECT_EQ(listed(w), QStringList({"a.txt", "b.doc"}));
    EXPECT_EQ(panel(w, 2), "Matching bytes : 3");
    // Every logged folder is relogged with it; the unlogged ones stay as they were.
    const QStringList picture = lines(w);
    EXPECT_EQ(picture.size(), 5);
    EXPECT_TRUE(picture[4].startsWith("d.doc/U/8:"));
    EXPECT_EQ(picture[3], ">d:\\more/2/L");
    EXPECT_EQ(LookupFolderLine(slotOf(w), "d:\\more"), 3);

    // The same patterns again, with ";" this time, relog nothing.
    file(d + "/new.txt", 32);
    filePatterns(w, "*.txt;*.doc");
    EXPECT_EQ(lines(w), picture);

    // One that matches nothing leaves an empty list with counters of 0.
    filePatterns(w, "*.xyz");
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(counters(w), QStringList({"Matching files : 0", "Matching bytes : 0", "Tagged files : 0",
                                        "Tagged bytes : 0"}));
    EXPECT_EQ(lines(w), QStringList({">d:/1/L", ">d:\\more/2/L"}));
}

TEST_F(FileListTest, OddCharactersInThePatternsAreTakenLiterally) {
    const QString d = drive('d');
    file(d + "/[x]1.txt", 1);
    file(d + "/x1.txt", 2);
    file(d + "/a+b.txt", 4);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    filePatterns(w, "[x]*");
    EXPECT_EQ(listed(w), QStringList({"[x]1.txt"}));
    filePatterns(w, "a+b.*  x?.txt");
    EXPECT_EQ(listed(w), QStringList({"a+b.txt", "x1.txt"}));
    filePatterns(w, "*.*");
    EXPECT_EQ(w->FileList->count(), 3);
}

TEST_F(FileListTest, NewPatternsKeepTheCountersOfACollapsedFolder) {
    const QString d = drive('d');
    file(d + "/a.txt", 1);
    file(d + "/b.txt", 2);
    file(d + "/c.bin", 4);
    mkdir(d + "/sub");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    // The root is collapsed with a subfolder: counters, no names.
    ASSERT_EQ(w->FileList->count(), 0);
    ASSERT_EQ(panel(w, 1), "Matching files : 3");
    filePatterns(w, "*.txt");
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(counters(w), QStringList({"Matching files : 2", "Matching bytes : 3", "Tagged files : 0",
                                        "Tagged bytes : 0"}));
    // A folder never logged has nothing to count either way.
    expand(w);
    clickNode(w, node(w, "d:\\sub"));
    filePatterns(w, "*.bin");
    EXPECT_EQ(counters(w), QStringList({"Matching files : 0", "Matching bytes : 0", "Tagged files : 0",
                                        "Tagged bytes : 0"}));
    clickNode(w, w->Node(1));
    EXPECT_EQ(listed(w), QStringList({"c.bin"}));
}

}  // namespace
