#include <QWindow>
#include "ops_fixture.h"

namespace {

class DratTest : public OpsTest {
public:
    // d:\docs holds five files of distinct sizes.
    void openDocs() {
        put("d:\\docs\\a.txt", "a");
        put("d:\\docs\\b.txt", "bb");
        put("d:\\docs\\c.txt", "ccc");
        put("d:\\docs\\d.txt", "dddd");
        put("d:\\docs\\e.txt", "eeeee");
        start();
        openFolder("d:");
        openFolder("d:\\docs");
        for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) ASSERT_GE(row(n), 0) << n;
        focusList();
    }
    // Presses Esc in the progress window once the given number of files is done.
    void escapeAfter(int files) {
        QObject::connect(GraphForm()->ProgressBar, &QProgressBar::valueChanged, GraphForm(), [files](int value) {
            if (value == files) QTest::keyClick(GraphForm(), Qt::Key_Escape);
        });
    }
    void stopEscaping() { QObject::disconnect(GraphForm()->ProgressBar, nullptr, GraphForm(), nullptr); }
};

TEST_F(DratTest, DeletingTheCurrentFileAsksNothingTakesReadOnlyFilesAndKeepsOtherTags) {
    openDocs();
    setAttributes("d:\\docs\\a.txt", platform::attr::ReadOnly | platform::attr::Archive);
    tag({"c.txt", "d.txt"});
    keepFocusInListDuringRuns();
    current("a.txt");
    key(Qt::Key_Delete);
    EXPECT_FALSE(exists("d:\\docs\\a.txt"));
    EXPECT_EQ(names(), QStringList({"b.txt", "c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"c.txt", "d.txt"}));
    expectListMatchesLines();
    EXPECT_EQ(panel(1), "Matching files : 4");
    EXPECT_EQ(panel(2), "Matching bytes : 14");
    EXPECT_EQ(panel(4), "Tagged files : 2");
    EXPECT_EQ(panel(5), "Tagged bytes : 7");
    // D deletes the current file too; the menu item as well.
    current("b.txt");
    key(Qt::Key_D);
    EXPECT_FALSE(exists("d:\\docs\\b.txt"));
    current("e.txt");
    main->item("mnuDeleteFile")->trigger();
    EXPECT_FALSE(exists("d:\\docs\\e.txt"));
    EXPECT_EQ(names(), QStringList({"c.txt", "d.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"c.txt", "d.txt"}));
    expectPictureMatchesDisk();
    reactivate();
    EXPECT_EQ(QApplication::focusWidget(), w->FileList);
}

TEST_F(DratTest, ConfirmingEachDeleteAsksForEveryTaggedFileAndNoKeepsTheFile) {
    openDocs();
    tag({"a.txt", "b.txt", "c.txt"});
    prompts.expect("Confirm delete for each file ?", Yes, "Deleting files...")
        .expect("Delete : a.txt ?", Yes, "Deleting files...")
        .expect("Delete : b.txt ?", No)
        .expect("Delete : c.txt ?", Yes);
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"b.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(names(), QStringList({"b.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"b.txt"}));
    EXPECT_EQ(panel(4), "Tagged files : 1");
    EXPECT_EQ(panel(5), "Tagged bytes : 2");
    // Without confirmation, every tagged file goes without another question.
    tag({"d.txt"});
    prompts.expect("Confirm delete for each file ?", No);
    main->item("mnuTaggedDelete")->trigger();
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"e.txt"}));
    EXPECT_EQ(panel(1), "Matching files : 1");
    EXPECT_EQ(panel(4), "Tagged files : 0");
    expectPictureMatchesDisk();
}

TEST_F(DratTest, EscBetweenFilesStopsTheRunAndWhatWasDoneIsShown) {
    openDocs();
    key(Qt::Key_T, Qt::ControlModifier);
    ASSERT_EQ(selectedNames().size(), 5);
    escapeAfter(2);
    prompts.expect("Confirm delete for each file ?", No);
    key(Qt::Key_D, Qt::ControlModifier);
    stopEscaping();
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(names(), QStringList({"c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(panel(1), "Matching files : 3");
    EXPECT_EQ(panel(5), "Tagged bytes : 12");
    EXPECT_EQ(AbortFlag, 0);
    EXPECT_FALSE(GraphForm()->isVisible());
    expectPictureMatchesDisk();
    // The close box stops the run the same way, and the window still closes itself.
    QObject::connect(GraphForm()->ProgressBar, &QProgressBar::valueChanged, GraphForm(), [](int value) {
        if (value == 1) GraphForm()->windowHandle()->close();
    });
    prompts.expect("Confirm delete for each file ?", No);
    key(Qt::Key_D, Qt::ControlModifier);
    stopEscaping();
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"d.txt", "e.txt"}));
    EXPECT_EQ(names(), QStringList({"d.txt", "e.txt"}));
    EXPECT_FALSE(GraphForm()->isVisible());
    expectPictureMatchesDisk();
}

TEST_F(DratTest, EscWhileAFileIsAskedForAnswersNoAndStopsTheRun) {
    openDocs();
    tag({"a.txt", "b.txt", "c.txt"});
    QStringList asked;
    // Plays the user pressing Esc while the window asks about b.txt.
    SetPromptHandler([&asked](const PromptRequest& r) {
        asked << r.text;
        if (r.text == "Delete : b.txt ?") {
            EXPECT_TRUE(GraphForm()->btnNo->isEnabled());
            QTest::keyClick(GraphForm(), Qt::Key_Escape);
            return PromptAnswer::No;
        }
        return PromptAnswer::Yes;
    });
    key(Qt::Key_D, Qt::ControlModifier);
    SetPromptHandler(nullptr);
    EXPECT_EQ(asked, QStringList({"Confirm delete for each file ?", "Delete : a.txt ?", "Delete : b.txt ?"}));
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"b.txt", "c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(names(), QStringList({"b.txt", "c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(AbortFlag, 0);
    expectPictureMatchesDisk();
}

TEST_F(DratTest, AFailingFileEndsTheBatchWithItsMessage) {
    openDocs();
    key(Qt::Key_T, Qt::ControlModifier);
    // Gone since logging: "File not found"; the picture forgets it.
    QFile::remove(prefix.host("d:\\docs\\b.txt"));
    prompts.expect("Confirm delete for each file ?", No).expect("File not found", Ok, "Error");
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(names(), QStringList({"c.txt", "d.txt", "e.txt"}));
    expectPictureMatchesDisk();
    // Held open by another program: "Sharing violation", nothing after it.
    {
        HeldLock lock(prefix.host("d:\\docs\\c.txt"));
        prompts.expect("Confirm delete for each file ?", No).expect("Sharing violation", Ok, "Error");
        key(Qt::Key_D, Qt::ControlModifier);
    }
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"c.txt", "d.txt", "e.txt"}));
    expectPictureMatchesDisk();
}

TEST_F(DratTest, NothingToActOnDoesNothing) {
    put("d:\\empty\\keep\\x.txt", "x");
    openDocs();
    // Tagged commands with nothing tagged.
    key(Qt::Key_D, Qt::ControlModifier);
    main->item("mnuTaggedThrash")->trigger();
    main->item("mnuTaggedDelete")->trigger();
    EXPECT_EQ(diskNames("d:\\docs").size(), 5);
    // A folder without files.
    clickFolder("d:\\empty");
    key(Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(w->FileList->count(), 0);
    main->item("mnuDeleteFile")->trigger();
    main->item("mnuThrashFile")->trigger();
    EXPECT_TRUE(exists("d:\\empty\\keep\\x.txt"));
    EXPECT_FALSE(GraphForm()->isVisible());
}

TEST_F(DratTest, ThrashingKeepsNameAndAttributesWithNoContent) {
    put("d:\\docs\\secret.dat", QByteArray(10000, 's'));
    openDocs();
    Settings[4] = QVariant(true);   // hidden files are listed
    setAttributes("d:\\docs\\secret.dat", platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::Archive);
    focusTree();
    key(Qt::Key_F3, Qt::AltModifier);
    focusList();
    tag({"a.txt"});
    current("secret.dat");
    main->item("mnuThrashFile")->trigger();
    EXPECT_EQ(QFileInfo(prefix.host("d:\\docs\\secret.dat")).size(), 0);
    EXPECT_EQ(attributes("d:\\docs\\secret.dat"),
              platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::Archive);
    FileLine line;
    ASSERT_TRUE(ParseFileLine(lineOf("d:\\docs", "secret.dat"), &line));
    EXPECT_EQ(line.size, 0);
    EXPECT_EQ(line.attributes, "RAH");
    EXPECT_EQ(selectedNames(), QStringList({"a.txt"}));
    // All tagged, confirming each.
    tag({"c.txt"});
    prompts.expect("Confirm thrash for each file ?", Yes, "Thrashing files...")
        .expect("Thrash : a.txt ?", No)
        .expect("Thrash : c.txt ?", Yes);
    main->item("mnuTaggedThrash")->trigger();
    EXPECT_EQ(content("d:\\docs\\a.txt"), "a");
    EXPECT_EQ(QFileInfo(prefix.host("d:\\docs\\c.txt")).size(), 0);
    EXPECT_TRUE(exists("d:\\docs\\c.txt"));
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "c.txt"}));
    EXPECT_EQ(panel(5), "Tagged bytes : 1");
    expectPictureMatchesDisk();
    // Gone since logging.
    QFile::remove(prefix.host("d:\\docs\\e.txt"));
    current("e.txt");
    prompts.expect("Disk has been changed", Ok, "Error");
    main->item("mnuThrashFile")->trigger();
    expectPictureMatchesDisk();
}

TEST_F(DratTest, ThrashingKeepsTheNameAsTheDiskSpellsIt) {
    put("d:\\docs\\README.TXT", "read me first");
    openDocs();
    current("readme.txt");
    key(Qt::Key_T);
    current("readme.txt");
    prompts.expect("Confirm thrash for each file ?", No);
    main->item("mnuTaggedThrash")->trigger();
    const QStringList onDisk = QDir(driveRoot + "/docs").entryList(QDir::Files);
    EXPECT_TRUE(onDisk.contains("README.TXT"));
    EXPECT_FALSE(onDisk.contains("readme.txt"));
    EXPECT_EQ(QFileInfo(driveRoot + "/docs/README.TXT").size(), 0);
    EXPECT_EQ(selectedNames(), QStringList({"readme.txt"}));
    expectPictureMatchesDisk();
}

TEST_F(DratTest, RenamingTheCurrentFileChangesTheRecordOnlyWithTheDisk) {
    openDocs();
    current("a.txt");
    expectInputDialog("Rename file", "new a.txt");
    key(Qt::Key_R);
    EXPECT_EQ(content("d:\\docs\\new a.txt"), "a");
    EXPECT_FALSE(exists("d:\\docs\\a.txt"));
    EXPECT_FALSE(lineOf("d:\\docs", "new a.txt").isEmpty());
    EXPECT_TRUE(lineOf("d:\\docs", "a.txt").isEmpty());
    // A name that is taken.
    current("b.txt");
    expectInputDialog("Rename file", "c.txt");
    prompts.expect("Unable to rename file", Ok, "Error");
    key(Qt::Key_R);
    EXPECT_EQ(content("d:\\docs\\b.txt"), "bb");
    EXPECT_EQ(content("d:\\docs\\c.txt"), "ccc");
    // A name the disk refuses: the record keeps the old name.
    current("b.txt");
    expectInputDialog("Rename file", QString(300, 'n'));
    prompts.expect("Sharing violation", Ok, "Error");
    key(Qt::Key_R);
    EXPECT_EQ(content("d:\\docs\\b.txt"), "bb");
    EXPECT_FALSE(lineOf("d:\\docs", "b.txt").isEmpty());
    // Characters no name may hold are refused in the dialog.
    current("b.txt");
    forms.expect("frmInput", [](QWidget* f) {
        auto* in = static_cast<frmInput*>(f);
        QTest::keyClick(in->txtBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(in->txtBox, "b?.txt");
        QTest::keyClick(in->txtBox, Qt::Key_Return);
        EXPECT_TRUE(in->isVisible());
        QTest::keyClick(in->txtBox, Qt::Key_Escape);
    });
    prompts.expect(InvalidCharactersMessage, Ok, "Error");
    key(Qt::Key_R);
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"b.txt", "c.txt", "d.txt", "e.txt", "new a.txt"}));
    // Gone since logging.
    QFile::remove(prefix.host("d:\\docs\\d.txt"));
    current("d.txt");
    expectInputDialog("Rename file", "dd.txt");
    prompts.expect("Disk has been changed", Ok, "Error");
    key(Qt::Key_R);
    EXPECT_FALSE(exists("d:\\docs\\dd.txt"));
    expectPictureMatchesDisk();
    expectListMatchesLines();
}

TEST_F(DratTest, RenamingTaggedFilesByMaskStopsAtTheFirstNameThatIsTaken) {
    put("d:\\docs\\c.bak", "old backup");
    openDocs();
    // c.bak is listed between c.txt and d.txt
    tag({"a.txt", "b.txt", "c.txt", "d.txt"});
    expectInputDialog("Rename all tagged files", "*.bak");
    prompts.expect("Unable to rename file", Ok, "Error");
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"a.bak", "b.bak", "c.bak", "c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(content("d:\\docs\\c.bak"), "old backup");
    EXPECT_EQ(content("d:\\docs\\a.bak"), "a");
    expectPictureMatchesDisk();
    expectListMatchesLines();
    EXPECT_EQ(selectedNames(), QStringList({"a.bak", "b.bak", "c.txt", "d.txt"}));
}

TEST_F(DratTest, AttributeChangesFollowTheSignsAndTheRecordFollowsTheDisk) {
    openDocs();
    setAttributes("d:\\docs\\a.txt", platform::attr::ReadOnly | platform::attr::Archive);
    focusTree();
    key(Qt::Key_F3, Qt::AltModifier);
    focusList();
    const QString before = lineOf("d:\\docs", "a.txt");
    ASSERT_EQ(FileAttributesOf(before), "RA");
    current("a.txt");
    expectInputDialog("Attributes of file", "+r");
    key(Qt::Key_A);
    EXPECT_EQ(lineOf("d:\\docs", "a.txt"), before);
    EXPECT_EQ(attributes("d:\\docs\\a.txt"), platform::attr::ReadOnly | platform::attr::Archive);
    current("a.txt");
    expectInputDialog("Attributes of file", "-a");
    key(Qt::Key_A);
    EXPECT_EQ(attributes("d:\\docs\\a.txt"), platform::attr::ReadOnly);
    EXPECT_EQ(FileAttributesOf(lineOf("d:\\docs", "a.txt")), "R");
    // All tagged files; the file that is shown as current gets its panel.
    tag({"b.txt", "c.txt"});
    expectInputDialog("Attributes of all tagged files", "+R+S");
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(attributes("d:\\docs\\b.txt"), platform::attr::ReadOnly | platform::attr::System | platform::attr::Archive);
    EXPECT_EQ(FileAttributesOf(lineOf("d:\\docs", "c.txt")), "RAS");
    // A change the dialog refuses.
    current("d.txt");
    forms.expect("frmInput", [](QWidget* f) {
        auto* in = static_cast<frmInput*>(f);
        QTest::keyClicks(in->txtBox, "+x");
        QTest::keyClick(in->txtBox, Qt::Key_Return);
        EXPECT_TRUE(in->isVisible());
        QTest::keyClick(in->txtBox, Qt::Key_Escape);
    });
    prompts.expect("Invalid file attributes", Ok, "Error");
    key(Qt::Key_A);
    EXPECT_EQ(attributes("d:\\docs\\d.txt"), platform::attr::Archive);
    // Gone since logging.
    QFile::remove(prefix.host("d:\\docs\\e.txt"));
    current("e.txt");
    expectInputDialog("Attributes of file", "+h");
    prompts.expect("Disk has been changed", Ok, "Error");
    key(Qt::Key_A);
    expectPictureMatchesDisk();
    expectListMatchesLines();
}

TEST_F(DratTest, DeletingFromAGlobalViewRemovesTheFilesOfSeveralFolders) {
    put("d:\\docs\\sub\\s.txt", "sss");
    openDocs();
    openFolder("d:\\docs\\sub");
    focusTree();
    key(Qt::Key_G);
    ASSERT_TRUE(slot().GlobalView);
    QTest::keyClick(w->FileList, Qt::Key_T, Qt::ControlModifier);
    // Untag one so it stays.
    w->FileList->setCurrentRow(row("c.txt"), QItemSelectionModel::NoUpdate);
    QTest::keyClick(w->FileList, Qt::Key_U);
    prompts.expect("Confirm delete for each file ?", No);
    QTest::keyClick(w->FileList, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"c.txt", "sub"}));
    EXPECT_EQ(diskNames("d:\\docs\\sub"), QStringList());
    expectPictureMatchesDisk();
    if (slot().GlobalView) EXPECT_EQ(names(), QStringList({"c.txt"}));
}

}  // namespace
