#include "ops_fixture.h"

namespace {

const QString Exists = QStringLiteral(", does'nt exist. Do you want to create it ?");
QString overwriteQuestion(const QString& path) { return "The file : " + path + " already exist. Overwrite it anyway ?"; }
QString readOnlyQuestion(const QString& path) {
    return "The file : " + path + " has read-only attrribute. Overwrite it anyway ?";
}

class CopyMoveTest : public OpsTest {
public:
    // d:\src holds three files of distinct content; d:\dst exists and is empty.
    void arrange() {
        put("d:\\src\\a.txt", "alpha");
        put("d:\\src\\b.txt", "bravo!");
        put("d:\\src\\c.txt", "charlie");
        folder("d:\\dst");
    }
    void openSrc() {
        arrange();
        start();
        automaticOverwrite(false);
        ignoreReadOnly(false);
        openFolder("d:");
        openFolder("d:\\dst");
        openFolder("d:\\src");
        ASSERT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
        focusList();
    }
};

TEST_F(CopyMoveTest, CopyingTheCurrentFileWithCIntoANewFolderAsksToCreateItAndKeepsTheSource) {
    openSrc();
    current("b.txt");
    expectCopyDialog("Copy file", "d:\\new", "b2.txt");
    prompts.expect("d:\\new" + Exists, Yes, "Question");
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\new\\b2.txt"), "bravo!");
    EXPECT_EQ(content("d:\\src\\b.txt"), "bravo!");
    // The new folder joins the tree below the root; the source folder is unchanged.
    ASSERT_TRUE(node("d:\\new"));
    EXPECT_EQ(node("d:\\new")->parent(), node("d:"));
    EXPECT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(w->FileList->currentRow(), row("b.txt"));
    expectPictureMatchesDisk();
    reactivate();
    EXPECT_EQ(QApplication::focusWidget(), w->FileList);
    EXPECT_FALSE(GraphForm()->isVisible());
    EXPECT_EQ(AbortFlag, 0);
}

TEST_F(CopyMoveTest, NoToTheCreationQuestionLeavesNoNewFolderAndKeepsFoldersThatWereThere) {
    folder("d:\\keep");
    openSrc();
    const QStringList before = lines(slot());
    current("a.txt");
    expectCopyDialog("Copy file", "d:\\keep\\one\\two");
    prompts.expect("d:\\keep\\one\\two" + Exists, No);
    key(Qt::Key_C);
    EXPECT_TRUE(isFolder("d:\\keep"));
    EXPECT_FALSE(exists("d:\\keep\\one"));
    EXPECT_EQ(diskNames("d:"), QStringList({"dst", "keep", "src"}));
    EXPECT_EQ(lines(slot()), before);
    // Yes makes every missing level and copies.
    expectCopyDialog("Copy file", "d:\\keep\\one\\two");
    prompts.expect("d:\\keep\\one\\two" + Exists, Yes);
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\keep\\one\\two\\a.txt"), "alpha");
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, MovingOntoADifferentFileOfTheSameLengthKeepsTheDataWhateverTheAnswer) {
    put("d:\\dst\\b.txt", "BRAVO?");   // same length as d:\src\b.txt, other bytes
    openSrc();
    current("b.txt");
    // No: both files stay as they were.
    expectCopyDialog("Move file", "d:\\dst");
    prompts.expect(overwriteQuestion("d:\\dst\\b.txt"), No, "Warning");
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\src\\b.txt"), "bravo!");
    EXPECT_EQ(content("d:\\dst\\b.txt"), "BRAVO?");
    EXPECT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    expectPictureMatchesDisk();
    // Yes: the destination holds the source's bytes, and only then is the source gone.
    current("b.txt");
    expectCopyDialog("Move file", "d:\\dst");
    prompts.expect(overwriteQuestion("d:\\dst\\b.txt"), Yes, "Warning");
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\dst\\b.txt"), "bravo!");
    EXPECT_FALSE(exists("d:\\src\\b.txt"));
    EXPECT_EQ(names(), QStringList({"a.txt", "c.txt"}));
    EXPECT_EQ(panel(1), "Matching files : 2");
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, CopyingAFileOntoADifferentSameLengthFileOverwritesItAfterYes) {
    put("d:\\dst\\c.txt", "CHARLIE");
    openSrc();
    current("c.txt");
    expectCopyDialog("Copy file", "d:\\dst");
    prompts.expect(overwriteQuestion("d:\\dst\\c.txt"), Yes);
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\dst\\c.txt"), "charlie");
    EXPECT_EQ(content("d:\\src\\c.txt"), "charlie");
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, CopyingOrMovingAFileOntoItselfCopiesAndDeletesNothing) {
    openSrc();
    current("a.txt");
    expectCopyDialog("Copy file", "d:\\src");
    prompts.expect(overwriteQuestion("d:\\src\\a.txt"), Yes);
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\src\\a.txt"), "alpha");
    current("a.txt");
    expectCopyDialog("Move file", "d:\\src");
    prompts.expect(overwriteQuestion("d:\\src\\a.txt"), Yes);
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\src\\a.txt"), "alpha");
    EXPECT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    // Spelled another way, and with overwriting automatic, it is still the same file.
    automaticOverwrite(true);
    current("a.txt");
    expectCopyDialog("Move file", "d:\\dst\\..\\src");
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\src\\a.txt"), "alpha");
    // All tagged files moved into their own folder stay where they are.
    tag({"a.txt", "b.txt", "c.txt"});
    expectCopyDialog("Move all tagged files", "d:\\src");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\src"), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(content("d:\\src\\b.txt"), "bravo!");
    EXPECT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, ReadOnlyDestinationsFollowTheTwoSettings) {
    put("d:\\dst\\a.txt", "old-a");
    put("d:\\dst\\b.txt", "old-b");
    put("d:\\dst\\c.txt", "old-c");
    openSrc();
    for (const char* n : {"d:\\dst\\a.txt", "d:\\dst\\b.txt", "d:\\dst\\c.txt"})
        setAttributes(n, platform::attr::ReadOnly | platform::attr::Archive);
    // Both settings off: two questions; No to the second keeps the file.
    current("a.txt");
    expectCopyDialog("Copy file", "d:\\dst");
    prompts.expect(overwriteQuestion("d:\\dst\\a.txt"), Yes).expect(readOnlyQuestion("d:\\dst\\a.txt"), No, "Warning");
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\dst\\a.txt"), "old-a");
    EXPECT_TRUE(attributes("d:\\dst\\a.txt") & platform::attr::ReadOnly);
    // Yes to both overwrites; the copy takes the source's attributes.
    current("a.txt");
    expectCopyDialog("Copy file", "d:\\dst");
    prompts.expect(overwriteQuestion("d:\\dst\\a.txt"), Yes).expect(readOnlyQuestion("d:\\dst\\a.txt"), Yes);
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\dst\\a.txt"), "alpha");
    EXPECT_FALSE(attributes("d:\\dst\\a.txt") & platform::attr::ReadOnly);
    // Ignoring read-only: one question.
    ignoreReadOnly(true);
    current("b.txt");
    expectCopyDialog("Copy file", "d:\\dst");
    prompts.expect(overwriteQuestion("d:\\dst\\b.txt"), Yes);
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\dst\\b.txt"), "bravo!");
    // Automatic overwrite with read-only not ignored: no question at all.
    ignoreReadOnly(false);
    automaticOverwrite(true);
    current("c.txt");
    expectCopyDialog("Copy file", "d:\\dst");
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\dst\\c.txt"), "charlie");
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, AttributesTravelWithTheCopy) {
    openSrc();
    setAttributes("d:\\src\\a.txt", platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::Archive);
    // The record is read again so the copy carries what the disk says.
    focusTree();
    key(Qt::Key_F3, Qt::AltModifier);
    Settings[4] = QVariant(true);
    focusTree();
    key(Qt::Key_F3, Qt::AltModifier);
    focusList();
    ASSERT_EQ(FileAttributesOf(lineOf("d:\\src", "a.txt")), "RAH");
    current("a.txt");
    expectCopyDialog("Move file", "d:\\dst");
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\dst\\a.txt"), "alpha");
    EXPECT_EQ(attributes("d:\\dst\\a.txt"), platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::Archive);
    EXPECT_FALSE(exists("d:\\src\\a.txt"));
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, TaggedCopyWithAMaskRenamesTheCopiesAndRelogsTheLoggedDestination) {
    openSrc();
    tag({"a.txt", "c.txt"});
    keepFocusInListDuringRuns();
    expectCopyDialog("Copy all tagged files", "d:\\dst", "*.bak");
    main->item("mnuTaggedCopy")->trigger();
    EXPECT_EQ(diskNames("d:\\dst"), QStringList({"a.bak", "c.bak"}));
    EXPECT_EQ(content("d:\\dst\\c.bak"), "charlie");
    EXPECT_EQ(lineOf("d:\\dst", "a.bak").section('/', 0, 0), "a.bak");
    // The tags stay on the copied files.
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "c.txt"}));
    expectListMatchesLines();
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, TaggedMoveTakesEveryTaggedFileAndTheCountsFollow) {
    openSrc();
    tag({"a.txt", "b.txt"});
    expectCopyDialog("Move all tagged files", "d:\\dst");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\src"), QStringList({"c.txt"}));
    EXPECT_EQ(content("d:\\dst\\a.txt"), "alpha");
    EXPECT_EQ(content("d:\\dst\\b.txt"), "bravo!");
    EXPECT_EQ(names(), QStringList({"c.txt"}));
    EXPECT_EQ(panel(1), "Matching files : 1");
    EXPECT_EQ(panel(2), "Matching bytes : 7");
    EXPECT_EQ(panel(4), "Tagged files : 0");
    EXPECT_EQ(panel(5), "Tagged bytes : 0");
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, DestinationsThatCannotTakeTheFileAreRefusedBeforeAnythingIsCopied) {
    put("d:\\plain", "i am a file");
    prefix.linkDrive('q', prefix.base() + "/missing");
    openSrc();
    current("a.txt");
    // A letter without a drive, a drive without its disk.
    expectCopyDialog("Copy file", "r:\\x");
    prompts.expect("Disk not ready", Ok, "Error");
    key(Qt::Key_C);
    expectCopyDialog("Copy file", "q:\\x");
    prompts.expect("Disk not ready", Ok, "Error");
    key(Qt::Key_C);
    // A file where the folder should be, also further up the path.
    expectCopyDialog("Copy file", "d:\\plain");
    prompts.expect("The specified path conflicts with an existing file / folder name", Ok, "Error");
    key(Qt::Key_C);
    expectCopyDialog("Copy file", "d:\\plain\\sub");
    prompts.expect("The specified path conflicts with an existing file / folder name", Ok, "Error");
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\plain"), "i am a file");
    // A folder where the file should go.
    folder("d:\\dst\\a.txt");
    automaticOverwrite(true);
    expectCopyDialog("Move file", "d:\\dst");
    prompts.expect("The specified path conflicts with an existing file / folder name", Ok, "Error");
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\src\\a.txt"), "alpha");
    EXPECT_TRUE(isFolder("d:\\dst\\a.txt"));
    // Characters no path may hold.
    forms.expect("frmCopy", [](QWidget* f) {
        auto* c = static_cast<frmCopy*>(f);
        QTest::keyClick(c->txtAs, Qt::Key_Return);
        c->txtTo->setText("d:\\a|b");
        QTest::keyClick(c->txtTo, Qt::Key_Return);
        EXPECT_TRUE(c->isVisible());
        QTest::keyClick(c->txtTo, Qt::Key_Escape);
    });
    prompts.expect(InvalidCharactersMessage, Ok, "Error");
    key(Qt::Key_C);
    EXPECT_EQ(diskNames("d:"), QStringList({"dst", "plain", "src"}));
    EXPECT_EQ(diskNames("d:\\dst"), QStringList({"a.txt"}));
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, ASourceGoneOrLockedSinceLoggingIsReportedAndTheBatchGoesOn) {
    openSrc();
    tag({"a.txt", "b.txt", "c.txt"});
    QFile::remove(prefix.host("d:\\src\\a.txt"));
    HeldLock lock(prefix.host("d:\\src\\b.txt"));
    expectCopyDialog("Move all tagged files", "d:\\dst");
    prompts.expect("File not found", Ok, "Error").expect("Sharing violation", Ok, "Error");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\dst"), QStringList({"c.txt"}));
    EXPECT_EQ(content("d:\\src\\b.txt"), "bravo!");
    EXPECT_FALSE(exists("d:\\src\\c.txt"));
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, DuplicatingPathsRecreatesTheSourceFoldersBelowTheDestination) {
    put("d:\\a\\b\\f.txt", "deep");
    put("d:\\r.txt", "root");
    arrange();
    start();
    automaticOverwrite(false);
    openFolder("d:");
    openFolder("d:\\a");
    openFolder("d:\\a\\b");
    focusList();
    key(Qt::Key_T);
    expectCopyDialog("Copy all tagged files, and duplicate paths", "d:\\x");
    prompts.expect("d:\\x" + Exists, Yes);
    expectDuplicateDialog(true);
    key(Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(content("d:\\x\\a\\b\\f.txt"), "deep");
    // A file of the root goes straight into the destination.
    clickFolder("d:");
    focusList();
    current("r.txt");
    key(Qt::Key_T);
    expectCopyDialog("Move all tagged files, and duplicate paths", "d:\\x");
    expectDuplicateDialog(true);
    key(Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(content("d:\\x\\r.txt"), "root");
    EXPECT_FALSE(exists("d:\\r.txt"));
    // Partial duplication in a folder's own view keeps no path at all.
    openFolder("d:\\src");
    focusList();
    tag({"b.txt"});
    expectCopyDialog("Copy all tagged files, and duplicate paths", "d:\\x");
    expectDuplicateDialog(false);
    key(Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(content("d:\\x\\b.txt"), "bravo!");
    EXPECT_FALSE(exists("d:\\x\\src"));
    // The next time the dialog opens with full duplication chosen, and Enter takes it.
    expectCopyDialog("Copy all tagged files, and duplicate paths", "d:\\x");
    forms.expect("frmDPath", [](QWidget* f) {
        auto* d = static_cast<frmDPath*>(f);
        activate(d);
        EXPECT_TRUE(d->optFull->isChecked());
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : f, Qt::Key_Return);
    });
    key(Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(content("d:\\x\\src\\b.txt"), "bravo!");
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, PartialDuplicationInABranchViewKeepsThePathsBelowTheCurrentFolder) {
    put("d:\\top\\one\\x.txt", "one-x");
    put("d:\\top\\two\\deep\\y.txt", "two-y");
    put("d:\\top\\z.txt", "top-z");
    start();
    automaticOverwrite(false);
    openFolder("d:");
    openFolder("d:\\top");
    openFolder("d:\\top\\one");
    openFolder("d:\\top\\two");
    openFolder("d:\\top\\two\\deep");
    clickFolder("d:\\top");
    key(Qt::Key_B);
    ASSERT_TRUE(slot().GlobalView);
    ASSERT_EQ(names(), QStringList({"x.txt", "y.txt", "z.txt"}));
    QTest::keyClick(w->FileList, Qt::Key_T, Qt::ControlModifier);
    ASSERT_EQ(selectedNames().size(), 3);
    expectCopyDialog("Move all tagged files, and duplicate paths", "d:\\out");
    prompts.expect("d:\\out" + Exists, Yes);
    expectDuplicateDialog(false);
    QTest::keyClick(w->FileList, Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(content("d:\\out\\one\\x.txt"), "one-x");
    EXPECT_EQ(content("d:\\out\\two\\deep\\y.txt"), "two-y");
    EXPECT_EQ(content("d:\\out\\z.txt"), "top-z");
    EXPECT_FALSE(exists("d:\\top\\one\\x.txt"));
    EXPECT_FALSE(exists("d:\\top\\z.txt"));
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, CancellingTheDuplicateDialogStartsNothing) {
    openSrc();
    tag({"a.txt"});
    expectCopyDialog("Move all tagged files, and duplicate paths", "d:\\dst");
    forms.expect("frmDPath", [](QWidget* f) { QTest::keyClick(f, Qt::Key_Escape); });
    key(Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(diskNames("d:\\dst"), QStringList());
    EXPECT_EQ(content("d:\\src\\a.txt"), "alpha");
    EXPECT_EQ(AbortFlag, 0);
}

TEST_F(CopyMoveTest, PathsWithBlanksSurviveEveryStep) {
    put("d:\\my docs\\old report.txt", "quarterly");
    put("d:\\my docs\\note a.txt", "n-a");
    start();
    automaticOverwrite(false);
    openFolder("d:");
    openFolder("d:\\my docs");
    focusList();
    current("old report.txt");
    expectCopyDialog("Copy file", "d:\\new folder\\sub dir", "new report.txt");
    prompts.expect("d:\\new folder\\sub dir" + Exists, Yes);
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\new folder\\sub dir\\new report.txt"), "quarterly");
    tag({"note a.txt", "old report.txt"});
    expectCopyDialog("Move all tagged files, and duplicate paths", "d:\\back up");
    prompts.expect("d:\\back up" + Exists, Yes);
    expectDuplicateDialog(true);
    key(Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(content("d:\\back up\\my docs\\note a.txt"), "n-a");
    EXPECT_EQ(content("d:\\back up\\my docs\\old report.txt"), "quarterly");
    EXPECT_EQ(diskNames("d:\\my docs"), QStringList());
    expectPictureMatchesDisk();
}

QByteArray pattern(int size, char seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = char(seed + i * 7 + i / 251);
    return bytes;
}

TEST_F(CopyMoveTest, AFullDiskAsksWhetherToAbortAndLosesNoByte) {
    const QString e = prefix.addDrive('e');
    PrivateMount disk(e, "size=64k");
    if (!disk.mounted()) GTEST_SKIP() << "no small disk for this test: " << disk.reason();
    const QByteArray big = pattern(100 * 1024, 'b');
    const QByteArray old = pattern(20 * 1024, 'o');
    put("d:\\src\\big.bin", big);
    put("d:\\src\\small.txt", "small one");
    put("d:\\src\\zz.txt", "last one");
    put("e:\\big.bin", old);
    start();
    automaticOverwrite(true);
    openFolder("d:");
    openFolder("d:\\src");
    focusList();
    tag({"big.bin", "small.txt", "zz.txt"});
    // No goes on with the next file, which fits.
    expectCopyDialog("Move all tagged files", "e:\\");
    prompts.expect("Insuficient disk space. Abort copying process ?", No, "Question");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(content("d:\\src\\big.bin"), big);
    EXPECT_EQ(content("e:\\big.bin"), old);
    EXPECT_EQ(content("e:\\small.txt"), "small one");
    EXPECT_EQ(content("e:\\zz.txt"), "last one");
    EXPECT_FALSE(exists("d:\\src\\small.txt"));
    // Nothing half-written is left on the full disk.
    EXPECT_EQ(diskNames("e:"), QStringList({"big.bin", "small.txt", "zz.txt"}));
    EXPECT_EQ(names(), QStringList({"big.bin"}));
    expectPictureMatchesDisk();
    // Yes stops the batch before the next file.
    put("d:\\src\\next.txt", "next");
    focusTree();
    key(Qt::Key_F3, Qt::AltModifier);
    focusList();
    tag({"big.bin", "next.txt"});
    ASSERT_EQ(selectedNames(), QStringList({"big.bin", "next.txt"}));
    expectCopyDialog("Copy all tagged files", "e:\\");
    prompts.expect("Insuficient disk space. Abort copying process ?", Yes, "Question");
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(exists("e:\\next.txt"));
    EXPECT_EQ(content("e:\\big.bin"), old);
    EXPECT_EQ(content("d:\\src\\big.bin"), big);
    EXPECT_EQ(AbortFlag, 0);
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, AWriteProtectedDriveOrFolderTakesNothingAndSaysSo) {
    const QString e = prefix.addDrive('e');
    PrivateMount protectedDrive(e, "size=64k", true);
    if (!protectedDrive.mounted()) GTEST_SKIP() << "no read-only disk for this test: " << protectedDrive.reason();
    folder("d:\\ro");
    PrivateMount protectedFolder(prefix.host("d:\\ro"), "size=64k", true);
    ASSERT_TRUE(protectedFolder.mounted()) << protectedFolder.reason();
    openSrc();
    current("a.txt");
    expectCopyDialog("Move file", "e:\\");
    prompts.expect("Access denied / write-protected disk", Ok, "Error");
    key(Qt::Key_M);
    // The drive itself is writable, the folder is not: the move reports it and keeps the source.
    current("a.txt");
    expectCopyDialog("Move file", "d:\\ro");
    prompts.expect("Access denied / write-protected disk", Ok, "Error");
    key(Qt::Key_M);
    EXPECT_EQ(content("d:\\src\\a.txt"), "alpha");
    EXPECT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(diskNames("d:\\ro"), QStringList());
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, ADestinationTypedWithDotsReachesTheSameFolderAndItsPictureIsRenewed) {
    openSrc();
    current("a.txt");
    expectCopyDialog("Copy file", "d:\\src\\..\\dst\\.");
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\dst\\a.txt"), "alpha");
    expectPictureMatchesDisk();
    tag({"b.txt", "c.txt"});
    expectCopyDialog("Move all tagged files", "d:\\dst\\\\");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\dst"), QStringList({"a.txt", "b.txt", "c.txt"}));
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, CopiesIntoTheShownFolderJoinItsListAndTheTagsStay) {
    openSrc();
    tag({"a.txt", "c.txt"});
    expectCopyDialog("Copy all tagged files", "d:\\src", "*.bak");
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(names(), QStringList({"a.bak", "a.txt", "b.txt", "c.bak", "c.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "c.txt"}));
    EXPECT_EQ(panel(1), "Matching files : 5");
    EXPECT_EQ(panel(2), "Matching bytes : 30");
    expectListMatchesLines();
    expectPictureMatchesDisk();
    // A single copy under a new name into the same folder.
    current("b.txt");
    expectCopyDialog("Copy file", "d:\\src", "b copy.txt");
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\src\\b copy.txt"), "bravo!");
    EXPECT_GE(row("b copy.txt"), 0);
    EXPECT_EQ(selectedNames(), QStringList({"a.txt", "c.txt"}));
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, ADestinationLoggedInAnotherDriveWindowIsRenewedWhenThatWindowComesForward) {
    const QString e = prefix.addDrive('e');
    put("e:\\in\\old.txt", "old");
    arrange();
    start();
    automaticOverwrite(false);
    LogDrive("e:");
    frmBrws* other = ActiveDriveWindow();
    ASSERT_EQ(slot().Drive, "e:");
    w = other;
    w->DirList->setFocus();
    openFolder("e:");
    openFolder("e:\\in");
    LogDrive("d:");   // brings the d: window forward
    w = ActiveDriveWindow();
    ASSERT_EQ(slot().Drive, "d:");
    w->DirList->setFocus();
    openFolder("d:");
    openFolder("d:\\src");
    focusList();
    tag({"a.txt", "b.txt"});
    expectCopyDialog("Move all tagged files", "e:\\in");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(diskNames("e:\\in"), QStringList({"a.txt", "b.txt", "old.txt"}));
    EXPECT_EQ(names(), QStringList({"c.txt"}));
    LogDrive("e:");
    w = ActiveDriveWindow();
    ASSERT_EQ(slot().Drive, "e:");
    QApplication::processEvents();
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, TheFolderPickerFillsTheDestination) {
    folder("d:\\dst\\picked");
    openSrc();
    current("c.txt");
    forms.expect("frmCopy", [](QWidget* f) {
        auto* c = static_cast<frmCopy*>(f);
        activate(c);
        EXPECT_EQ(QApplication::focusWidget(), c->txtAs);
        EXPECT_FALSE(c->btnBrowse->isEnabled());
        QTest::keyClick(c->txtAs, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), c->txtTo);
        ASSERT_TRUE(c->btnBrowse->isEnabled());
        QTest::mouseClick(c->btnBrowse, Qt::LeftButton);
    });
    forms.expect("frmDirs", [](QWidget* f) {
        auto* d = static_cast<frmDirs*>(f);
        activate(d);
        // A drive whose disk is missing is refused and the list stays.
        const QString before = d->Path();
        d->drvBox->setCurrentIndex(d->drvBox->findText("q:"));
        d->drvbox_Change();
        EXPECT_EQ(d->Path(), before);
        d->drvBox->setCurrentIndex(d->drvBox->findText("d:"));
        d->drvbox_Change();
        EXPECT_EQ(d->Path(), "d:");
        for (int i = 0; i < d->dirBox->count(); ++i)
            if (d->dirBox->item(i)->text().trimmed() == "dst") d->SetPath(d->dirBox->item(i)->data(Qt::UserRole).toString());
        for (int i = 0; i < d->dirBox->count(); ++i)
            if (d->dirBox->item(i)->text().trimmed() == "picked") d->dirBox->setCurrentRow(i);
        QTest::mouseClick(d->btnOk, Qt::LeftButton);
    });
    forms.expect("frmCopy", [](QWidget* f) {
        auto* c = static_cast<frmCopy*>(f);
        activate(c);
        EXPECT_EQ(c->txtTo->text(), "d:\\dst\\picked");
        // Back from the picker the name keeps its place and the folder has the focus.
        EXPECT_EQ(c->txtAs->text(), "c.txt");
        QTest::mouseClick(c->btnOk, Qt::LeftButton);
    });
    prefix.linkDrive('q', prefix.base() + "/no disk");
    prompts.expect("Disk not ready", Ok, "Error");
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\dst\\picked\\c.txt"), "charlie");
}

TEST_F(CopyMoveTest, AMaskOrNameWithForbiddenCharactersIsRefusedInTheDialog) {
    openSrc();
    tag({"a.txt", "b.txt"});
    forms.expect("frmCopy", [](QWidget* f) {
        auto* c = static_cast<frmCopy*>(f);
        activate(c);
        c->txtAs->selectAll();
        QTest::keyClicks(c->txtAs, "a*b.txt");
        QTest::keyClick(c->txtAs, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), c->txtAs);
        EXPECT_FALSE(c->btnOk->isEnabled());
        c->txtAs->selectAll();
        QTest::keyClicks(c->txtAs, "*.new");
        QTest::keyClick(c->txtAs, Qt::Key_Return);
        QTest::keyClicks(c->txtTo, "d:\\dst");
        QTest::keyClick(c->txtTo, Qt::Key_Return);
    });
    prompts.expect("Invalid file mask", Ok, "Error");
    // The toolbar's copy button.
    main->button("tbCopy")->trigger();
    EXPECT_EQ(diskNames("d:\\dst"), QStringList({"a.new", "b.new"}));
    // A single file's new name with a character no name may hold.
    current("c.txt");
    forms.expect("frmCopy", [](QWidget* f) {
        auto* c = static_cast<frmCopy*>(f);
        activate(c);
        c->txtAs->selectAll();
        QTest::keyClicks(c->txtAs, "c>d.txt");
        QTest::keyClick(c->txtAs, Qt::Key_Return);
        EXPECT_TRUE(c->isVisible());
        QTest::keyClick(c->txtAs, Qt::Key_Escape);
    });
    prompts.expect(InvalidCharactersMessage, Ok, "Error");
    key(Qt::Key_C);
    EXPECT_EQ(diskNames("d:\\dst"), QStringList({"a.new", "b.new"}));
    EXPECT_EQ(diskNames("d:\\src"), QStringList({"a.txt", "b.txt", "c.txt"}));
    // The keys reach the list again after the dialog.
    EXPECT_EQ(slot().FocusPane, 2);
    expectPictureMatchesDisk();
}

TEST_F(CopyMoveTest, ANewFolderBelowTheShownFolderLeavesItsListInPlace) {
    openSrc();
    tag({"b.txt"});
    current("a.txt");
    expectCopyDialog("Copy file", "d:\\src\\inner");
    prompts.expect("d:\\src\\inner" + Exists, Yes);
    key(Qt::Key_C);
    EXPECT_EQ(content("d:\\src\\inner\\a.txt"), "alpha");
    ASSERT_TRUE(node("d:\\src\\inner"));
    EXPECT_EQ(node("d:\\src\\inner")->parent(), node("d:\\src"));
    EXPECT_EQ(names(), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"b.txt"}));
    reactivate();
    EXPECT_EQ(QApplication::focusWidget(), w->FileList);
    expectPictureMatchesDisk();
}

}  // namespace
