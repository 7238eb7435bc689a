#include <QClipboard>
#include "drives/frmDInfo.h"
#include "platform/volume.h"
#include "shell/keys.h"
#include "shell_fixture.h"

namespace {

class KeysTest : public ShellTest {
protected:
    // A drive with a few files in its root and nothing else, its list focused.
    frmBrws* listOf(const QStringList& names) {
        const QString d = drive('d');
        for (const QString& n : names) file(d + "/" + n, 10);
        frmBrws* w = logDrive('d');
        if (!w) return nullptr;
        key(w->DirList, Qt::Key_Return);
        return w;
    }
    static frmBrws* active(const MDIQuorl* m) {
        QMdiSubWindow* sub = m->MdiArea->activeSubWindow();
        return sub ? qobject_cast<frmBrws*>(sub->widget()) : nullptr;
    }
    void expectDriveInfo() {
        forms.expect("frmDInfo", [this](QWidget* form) {
            ++infoShown;
            static_cast<frmDInfo*>(form)->btnOk->click();
        });
    }
    int infoShown = 0;
    // The window manager gives the main window back its activation when a
    // dialog closes; the offscreen platform has none.
    void backToMain() {
        main->activateWindow();
        QApplication::processEvents();
    }
};

TEST(KeyCodes, QtKeysBecomeTheClassicCodes) {
    EXPECT_EQ(VirtualKeyCode(Qt::Key_A, {}), 65);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Z, Qt::ShiftModifier), 90);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Return, {}), 13);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Enter, Qt::KeypadModifier), 13);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Escape, {}), 27);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Space, {}), 32);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Delete, {}), 46);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_F1, {}), 112);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_F12, {}), 123);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Asterisk, Qt::KeypadModifier), 106);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Plus, Qt::KeypadModifier), 107);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Minus, Qt::KeypadModifier), 109);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Slash, Qt::KeypadModifier), 111);
    // The same characters from the main block are not the keypad's keys.
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Slash, {}), 0);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Asterisk, Qt::ShiftModifier), 0);
    // The key beside left Shift is known by its place, whatever it types.
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Less, {}, 94), 226);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Bar, Qt::ShiftModifier, 94), 226);
    EXPECT_EQ(ShiftState(Qt::ShiftModifier | Qt::ControlModifier), 3);
    EXPECT_EQ(ShiftState(Qt::AltModifier), 4);
    EXPECT_EQ(ShiftState(Qt::KeypadModifier), 0);
}

TEST_F(KeysTest, EnterLogsAnUnloggedLeafAndMovesFromALoggedOneToTheList) {
    const QString d = drive('d');
    file(d + "/leaf/a.txt", 3);
    file(d + "/branch/b.txt", 4);
    mkdir(d + "/branch/inner");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w);
    clickNode(w, node(w, "d:\\branch"));
    key(w->DirList, Qt::Key_Return);   // a folder with children: nothing
    EXPECT_FALSE(IsFolderLogged(slotOf(w), "d:\\branch"));
    EXPECT_EQ(slotOf(w).FocusPane, 1);

    clickNode(w, node(w, "d:\\leaf"));
    key(w->DirList, Qt::Key_Return);
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\leaf"));
    EXPECT_EQ(listed(w), QStringList({"a.txt"}));
    EXPECT_EQ(slotOf(w).FocusPane, 1);
    EXPECT_TRUE(w->DirList->hasFocus());

    key(w->DirList, Qt::Key_Return);
    EXPECT_EQ(slotOf(w).FocusPane, 2);
    EXPECT_TRUE(w->FileList->hasFocus());
    EXPECT_TRUE(main->menu("mnuFile")->menuAction()->isVisible());
    EXPECT_FALSE(main->menu("mnuFolder")->menuAction()->isVisible());
    EXPECT_EQ(panel(w, 10), "File : a.txt");

    // From the list Enter goes back to the tree.
    key(w->FileList, Qt::Key_Return);
    EXPECT_EQ(slotOf(w).FocusPane, 1);
    EXPECT_TRUE(w->DirList->hasFocus());
    EXPECT_EQ(panel(w, 10), "File :");
}

TEST_F(KeysTest, KeypadStarLogsOnlyALeaf) {
    const QString d = drive('d');
    file(d + "/leaf/a.txt", 3);
    file(d + "/branch/inner/b.txt", 4);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w);
    clickNode(w, node(w, "d:\\branch"));
    key(w->DirList, Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_FALSE(IsFolderLogged(slotOf(w), "d:\\branch"));
    // Without the swallowing the tree would open the whole branch.
    EXPECT_FALSE(node(w, "d:\\branch")->isExpanded());
    clickNode(w, node(w, "d:\\leaf"));
    key(w->DirList, Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\leaf"));
}

TEST_F(KeysTest, ShiftLetterFindsTheNextFileWithThatLetterAndWraps) {
    frmBrws* w = listOf({"apple.txt", "banana.txt", "berry.txt", "cherry.txt"});
    ASSERT_TRUE(w);
    ASSERT_EQ(w->FileList->currentRow(), 0);
    key(w->FileList, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(w->FileList->currentRow(), 1);
    EXPECT_EQ(panel(w, 10), "File : banana.txt");
    key(w->FileList, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(w->FileList->currentRow(), 2);
    key(w->FileList, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(w->FileList->currentRow(), 1);
    key(w->FileList, Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_EQ(w->FileList->currentRow(), 1);
    key(w->FileList, Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(w->FileList->currentRow(), 0);
    // Searching moves, it never tags.
    EXPECT_TRUE(selectedRows(w).isEmpty());
    EXPECT_EQ(panel(w, 4), "Tagged files : 0");
}

TEST_F(KeysTest, ShiftLetterInTheTreeSkipsFoldersInCollapsedBranches) {
    const QString d = drive('d');
    mkdir(d + "/alpha/bee");
    mkdir(d + "/bravo");
    file(d + "/charlie/c.txt", 1);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w);
    ASSERT_TRUE(node(w, "d:\\alpha\\bee"));
    key(w->DirList, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(w->DirList->currentItem(), node(w, "d:\\bravo"));
    EXPECT_EQ(slotOf(w).CurrentPath, "d:\\bravo");
    EXPECT_EQ(w->Path3D->text(), " Path : d:\\bravo");
    // bee lies inside the collapsed alpha: bravo stays the only match.
    key(w->DirList, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(w->DirList->currentItem(), node(w, "d:\\bravo"));
    key(w->DirList, Qt::Key_Q, Qt::ShiftModifier);
    EXPECT_EQ(w->DirList->currentItem(), node(w, "d:\\bravo"));

    expand(w, "d:\\alpha");
    clickNode(w, node(w, "d:\\bravo"));
    key(w->DirList, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(w->DirList->currentItem(), node(w, "d:\\alpha\\bee"));
    key(w->DirList, Qt::Key_C, Qt::ShiftModifier);
    EXPECT_EQ(w->DirList->currentItem(), node(w, "d:\\charlie"));
    EXPECT_EQ(slotOf(w).CurrentPath, "d:\\charlie");
}

TEST_F(KeysTest, CombinedShiftStatesAreNoCommand) {
    frmBrws* w = listOf({"a.txt", "b.txt"});
    ASSERT_TRUE(w);
    key(w->FileList, Qt::Key_T, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_TRUE(selectedRows(w).isEmpty());
    key(w->FileList, Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(w->FileColumns(), Settings[7].toInt());
    key(w->FileList, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(selectedRows(w), QList<int>({0, 1}));
    EXPECT_EQ(panel(w, 4), "Tagged files : 2");
    key(w->FileList, Qt::Key_U, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(selectedRows(w), QList<int>({0, 1}));
    key(w->FileList, Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(selectedRows(w).isEmpty());
}

TEST_F(KeysTest, GuardedCommandsWithoutTaggedFilesDoNothingAndTheKeyIsSwallowed) {
    frmBrws* w = listOf({"a.txt", "b.txt"});
    ASSERT_TRUE(w);
    QGuiApplication::clipboard()->setText("before");
    // The list's own Ctrl+A would select, and so tag, every file; its Ctrl+C
    // would copy the current name.
    key(w->FileList, Qt::Key_A, Qt::ControlModifier);
    key(w->FileList, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(selectedRows(w).isEmpty());
    EXPECT_EQ(panel(w, 4), "Tagged files : 0");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    // With the tree focused even a tagged file does not make them run.
    key(w->FileList, Qt::Key_Space);
    ASSERT_EQ(selectedRows(w), QList<int>({0}));
    key(w->FileList, Qt::Key_Return);
    ASSERT_EQ(slotOf(w).FocusPane, 1);
    key(w->DirList, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST_F(KeysTest, TTagsTheFolderFromTheTreeAndTheCurrentFileFromTheList) {
    frmBrws* w = listOf({"a.txt", "b.txt", "c.txt"});
    ASSERT_TRUE(w);
    key(w->FileList, Qt::Key_T);
    EXPECT_EQ(selectedRows(w), QList<int>({0}));
    EXPECT_EQ(w->FileList->currentRow(), 1);
    EXPECT_TRUE(lines(w)[1].startsWith("a.txt/T/"));
    EXPECT_TRUE(lines(w)[2].startsWith("b.txt/U/"));
    key(w->FileList, Qt::Key_Return);
    key(w->DirList, Qt::Key_T);
    EXPECT_EQ(selectedRows(w), QList<int>({0, 1, 2}));
    EXPECT_EQ(panel(w, 4), "Tagged files : 3");
    EXPECT_EQ(panel(w, 5), "Tagged bytes : 30");
    key(w->DirList, Qt::Key_U);
    EXPECT_TRUE(selectedRows(w).isEmpty());
    EXPECT_TRUE(lines(w)[1].startsWith("a.txt/U/"));
}

TEST_F(KeysTest, TheExtraKeyOf102KeyboardsSwitchesWindowsOnlyWhenThereAreTwo) {
    frmBrws* c = windowOf('c');
    ASSERT_TRUE(c);
    key(c->DirList, Qt::Key_Less);
    EXPECT_EQ(active(main.get()), c);
    EXPECT_EQ(CurrentSlot, 1);
    EXPECT_EQ(OpenDriveCount, 1);

    drive('d');
    drive('e');
    frmBrws* d = logDrive('d');
    frmBrws* e = logDrive('e');
    ASSERT_TRUE(d && e);
    ASSERT_EQ(active(main.get()), e);
    key(e->DirList, Qt::Key_Less);
    EXPECT_EQ(active(main.get()), d);
    EXPECT_EQ(CurrentSlot, 2);
    EXPECT_TRUE(d->DirList->hasFocus());
    key(d->DirList, Qt::Key_Less);
    EXPECT_EQ(active(main.get()), c);
    key(c->DirList, Qt::Key_Less);   // from the first slot to the last
    EXPECT_EQ(active(main.get()), e);
    EXPECT_EQ(CurrentSlot, 3);
    key(e->DirList, Qt::Key_Less, Qt::ShiftModifier);   // from the last slot to the first
    EXPECT_EQ(active(main.get()), c);
    key(c->DirList, Qt::Key_Less, Qt::ShiftModifier);
    EXPECT_EQ(active(main.get()), d);
    EXPECT_EQ(CurrentSlot, 2);
}

TEST_F(KeysTest, AQuestionMarkOpensTheDriveInformationAndOtherCharactersAreSwallowed) {
    const QString d = drive('d');
    for (const char* n : {"1st.txt", "a.txt", "zz.txt"}) file(d + "/" + n, 1);
    mkdir(d + "/9lives");
    mkdir(d + "/zeta");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w);
    clickNode(w, node(w, "d:\\zeta"));
    expectDriveInfo();
    key(w->DirList, Qt::Key_Question);
    ASSERT_EQ(infoShown, 1);
    backToMain();
    EXPECT_EQ(slotOf(w).FocusPane, 1);
    // Typed characters do not search the tree.
    for (int k : {int(Qt::Key_9), int(Qt::Key_Z), int(Qt::Key_Comma)}) {
        key(w->DirList, k);
        EXPECT_EQ(w->DirList->currentItem(), node(w, "d:\\zeta")) << k;
    }
    clickNode(w, node(w, "d:"));
    ASSERT_EQ(listed(w), QStringList({"1st.txt", "a.txt", "zz.txt"}));
    clickRow(w, 1);
    clickRow(w, 1);   // tagged and untagged again: the current item is a.txt
    ASSERT_EQ(w->FileList->currentRow(), 1);
    for (int k : {int(Qt::Key_1), int(Qt::Key_Z), int(Qt::Key_Period)}) {
        key(w->FileList, k);
        EXPECT_EQ(w->FileList->currentRow(), 1) << k;
    }
    EXPECT_TRUE(selectedRows(w).isEmpty());
    expectDriveInfo();
    key(w->FileList, Qt::Key_Question);
    ASSERT_EQ(infoShown, 2);
    backToMain();
    EXPECT_EQ(slotOf(w).FocusPane, 2);
    EXPECT_TRUE(w->FileList->hasFocus());
    expectDriveInfo();
    key(w->FileList, Qt::Key_Slash, Qt::KeypadModifier);
    EXPECT_EQ(infoShown, 3);
}

TEST_F(KeysTest, AltFCyclesTheFileColumns) {
    frmBrws* w = listOf({"a.txt"});
    ASSERT_TRUE(w);
    w->SetFileColumns(1);
    QList<int> seen;
    for (int i = 0; i < 5; ++i) {
        key(w->FileList, Qt::Key_F, Qt::AltModifier);
        seen << w->FileColumns();
    }
    EXPECT_EQ(seen, QList<int>({2, 3, 4, 1, 2}));
    key(w->FileList, Qt::Key_Return);
    key(w->DirList, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(w->FileColumns(), 3);
    EXPECT_TRUE(w->FileList->isWrapping());
}

TEST_F(KeysTest, KeypadPlusAndMinusOpenAndCloseTheFolderInTheTree) {
    const QString d = drive('d');
    file(d + "/docs/a.txt", 3);
    file(d + "/docs/+plus.txt", 4);
    mkdir(d + "/docs/inner");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    key(w->DirList, Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_TRUE(w->Node(1)->isExpanded());
    // Expanding reads the next level, as any expansion does.
    EXPECT_EQ(childTexts(node(w, "d:\\docs")), QStringList({"inner"}));
    clickNode(w, node(w, "d:\\docs"));
    key(w->DirList, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_TRUE(node(w, "d:\\docs")->isExpanded());
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\docs"));
    EXPECT_EQ(listed(w), QStringList({"+plus.txt", "a.txt"}));
    key(w->DirList, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_FALSE(node(w, "d:\\docs")->isExpanded());
    EXPECT_EQ(w->FileList->count(), 0);
    // In the list they are typed characters like any other.
    key(w->DirList, Qt::Key_Plus, Qt::KeypadModifier);
    focus(w->FileList);
    ASSERT_EQ(slotOf(w).FocusPane, 2);
    key(w->FileList, Qt::Key_Down);
    key(w->FileList, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(w->FileList->currentRow(), 1);
    EXPECT_TRUE(selectedRows(w).isEmpty());
}

TEST_F(KeysTest, LettersOfTheTreeOpenTheirDialogs) {
    const QString d = drive('d');
    ASSERT_EQ(platform::SetVolumeLabel('d', "Backup"), 0);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    QStringList shown;
    auto leave = [&shown](QWidget* form) {
        shown << form->objectName() + ": " + form->windowTitle();
        if (auto* in = form->findChild<QLineEdit*>("txtBox")) shown << in->text();
        QTest::keyClick(form, Qt::Key_Escape);
    };
    forms.expect("frmDrive", leave).expect("frmInput", leave).expect("frmInput", leave).expect("frmDrive", leave);
    key(w->DirList, Qt::Key_A);
    key(w->DirList, Qt::Key_V);
    key(w->DirList, Qt::Key_F);
    key(w->DirList, Qt::Key_L);
    EXPECT_EQ(shown, QStringList({"frmDrive: Available space", "frmInput: Disk volume", "backup",
                                  "frmInput: File specification", "*.*", "frmDrive: Log drive"}));
    // Every dialog gave the tree its pane back.
    EXPECT_EQ(slotOf(w).FocusPane, 1);
    EXPECT_EQ(OpenDriveCount, 2);
}

class ExitKeysTest : public KeysTest {
protected:
    void SetUp() override {
        KeysTest::SetUp();
        QByteArray ini = prefix.readFile("c:\\windows\\quorl.ini");
        ini = ini.left(ini.indexOf("[desktop]")) + "[desktop]\r\nWindowState = Normal\r\nWindowCoordinates = 1,2,3,4\r\n";
        prefix.writeFile("c:\\windows\\quorl.ini", ini);
        saved = ini;
    }
    QByteArray saved;
};

TEST_F(ExitKeysTest, AltQInTheDosBoxEndsAtOnceWithoutSavingTheDesktop) {
    frmBrws* w = windowOf('c');
    ASSERT_TRUE(w);
    focus(w->txtDos);
    EXPECT_EQ(slotOf(w).FocusPane, 3);
    // Letters in the DOS box are typed, not commands.
    QTest::keyClicks(w->txtDos, "tag");
    EXPECT_EQ(w->txtDos->text(), "tag");
    EXPECT_FALSE(ended);
    key(w->txtDos, Qt::Key_Q, Qt::AltModifier);
    EXPECT_TRUE(ended);
    EXPECT_EQ(prefix.readFile("c:\\windows\\quorl.ini"), saved);
}

TEST_F(ExitKeysTest, AltQInTheTreeSavesTheDesktopAndEnds) {
    frmBrws* w = windowOf('c');
    ASSERT_TRUE(w);
    key(w->DirList, Qt::Key_Q, Qt::AltModifier);
    EXPECT_TRUE(ended);
    const QByteArray after = prefix.readFile("c:\\windows\\quorl.ini");
    EXPECT_NE(after, saved);
    EXPECT_TRUE(after.contains("[desktop]\r\nWindowState = "));
    EXPECT_FALSE(after.contains("WindowCoordinates = 1,2,3,4"));
}

}  // namespace
