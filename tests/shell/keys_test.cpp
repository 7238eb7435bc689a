#include "drives/frmDInfo.h"
#include "shell/keys.h"
#include "shell_fixture.h"

namespace {

using KeysTest = ShellTest;

TEST(KeyCodes, QtKeysBecomeTheClassicCodes) {
    const Qt::KeyboardModifiers none, shift = Qt::ShiftModifier, pad = Qt::KeypadModifier;
    // The keypad's characters have codes of their own, those of the main block none; the
    // key beside left Shift (scan code 94) is known by its place, whatever it types.
    const struct { int key; Qt::KeyboardModifiers mods; quint32 scan; int code; } table[] = {
        {Qt::Key_A, none, 0, 65},          {Qt::Key_Z, shift, 0, 90},     {Qt::Key_Return, none, 0, 13},
        {Qt::Key_Enter, pad, 0, 13},       {Qt::Key_Escape, none, 0, 27}, {Qt::Key_Space, none, 0, 32},
        {Qt::Key_Delete, none, 0, 46},     {Qt::Key_F1, none, 0, 112},    {Qt::Key_F12, none, 0, 123},
        {Qt::Key_Asterisk, pad, 0, 106},   {Qt::Key_Plus, pad, 0, 107},   {Qt::Key_Minus, pad, 0, 109},
        {Qt::Key_Slash, pad, 0, 111},      {Qt::Key_Slash, none, 0, 0},   {Qt::Key_Asterisk, shift, 0, 0},
        {Qt::Key_Less, none, 94, 226},     {Qt::Key_Bar, shift, 94, 226}};
    for (const auto& row : table) EXPECT_EQ(VirtualKeyCode(row.key, row.mods, row.scan), row.code) << row.key;
    EXPECT_EQ(QList<int>({ShiftState(shift | Qt::ControlModifier), ShiftState(Qt::AltModifier), ShiftState(pad)}),
              QList<int>({3, 4, 0}));
}

TEST_F(KeysTest, EnterOnLeavesAndAQuestionMarkThatOpensTheDriveInformationWhileOtherCharactersAreSwallowed) {
    const QString d = drive('d');
    files(d, {{"/leaf/a.txt", 3}, {"/branch/b.txt", 4}, {"/1st.txt", 1}, {"/a.txt", 1}, {"/zz.txt", 1}});
    for (const char* folder : {"/branch/inner", "/9lives", "/zeta"}) mkdir(d + folder);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    auto inPane = [&](Pane pane, QWidget* widget) { return slotOf(w).FocusPane == pane && widget->hasFocus(); };
    expand(w, "d:");
    // The arrow keys reach folders without logging them (9lives, branch, leaf, zeta).
    key(w->DirList, Qt::Key_Down);
    key(w->DirList, Qt::Key_Down);
    ASSERT_EQ(slotOf(w).CurrentPath, "d:\\branch");
    key(w->DirList, Qt::Key_Return);   // a folder with children: nothing
    EXPECT_FALSE(IsFolderLogged(slotOf(w), "d:\\branch"));
    EXPECT_EQ(slotOf(w).FocusPane, Pane::Tree);
    // Enter logs an unlogged leaf, and from a logged one moves to the list.
    key(w->DirList, Qt::Key_Down);
    ASSERT_EQ(slotOf(w).CurrentPath, "d:\\leaf");
    ASSERT_FALSE(IsFolderLogged(slotOf(w), "d:\\leaf"));
    key(w->DirList, Qt::Key_Return);
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\leaf"));
    EXPECT_EQ(listed(w), QStringList({"a.txt"}));
    EXPECT_TRUE(inPane(Pane::Tree, w->DirList));
    key(w->DirList, Qt::Key_Return);
    EXPECT_TRUE(inPane(Pane::Files, w->FileList));
    EXPECT_TRUE(main->menu("mnuFile")->menuAction()->isVisible());
    EXPECT_FALSE(main->menu("mnuFolder")->menuAction()->isVisible());
    EXPECT_EQ(panel(w, 10), "File : a.txt");
    // From the list Enter goes back to the tree.
    key(w->FileList, Qt::Key_Return);
    EXPECT_TRUE(inPane(Pane::Tree, w->DirList));
    EXPECT_EQ(panel(w, 10), "File :");

    int infoShown = 0;
    // The drive information, closed with OK; the main window is given back its activation.
    auto driveInfo = [&](QWidget* target, int k, Qt::KeyboardModifiers mods = {}) {
        forms.expect("frmDInfo", [&infoShown](QWidget* form) {
            ++infoShown;
            static_cast<frmDInfo*>(form)->btnOk->click();
        });
        key(target, k, mods);
        main->activateWindow();
        QApplication::processEvents();
    };
    clickNode(w, "d:\\zeta");
    driveInfo(w->DirList, Qt::Key_Question);
    ASSERT_EQ(infoShown, 1);
    EXPECT_EQ(slotOf(w).FocusPane, Pane::Tree);
    // Typed characters do not search the tree.
    for (int k : {'9', 'Z', ','}) {   // Qt's keys of these characters
        key(w->DirList, k);
        EXPECT_EQ(w->DirList->currentItem(), node(w, "d:\\zeta")) << k;
    }
    clickNode(w, "d:");
    ASSERT_EQ(listed(w), QStringList({"1st.txt", "a.txt", "zz.txt"}));
    clickRow(w, 1);
    clickRow(w, 1);   // tagged and untagged again: the current item is a.txt
    ASSERT_EQ(w->FileList->currentRow(), 1);
    for (int k : {'1', 'Z', '.'}) {
        key(w->FileList, k);
        EXPECT_EQ(w->FileList->currentRow(), 1) << k;
    }
    EXPECT_TRUE(tagged(w).isEmpty());
    driveInfo(w->FileList, Qt::Key_Question);
    ASSERT_EQ(infoShown, 2);
    EXPECT_TRUE(inPane(Pane::Files, w->FileList));
    driveInfo(w->FileList, Qt::Key_Slash, Qt::KeypadModifier);
    EXPECT_EQ(infoShown, 3);
}

TEST_F(KeysTest, ShiftLetterFindsTheNextFileAndCombinedShiftStatesAreNoCommand) {
    const QString d = drive('d');
    for (const char* n : {"apple.txt", "banana.txt", "berry.txt", "cherry.txt"}) file(d + "/" + n, 10);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    key(w->DirList, Qt::Key_Return);
    ASSERT_EQ(w->FileList->currentRow(), 0);
    // The next file with the letter, wrapping; none leaves the current one.
    const std::pair<int, int> steps[] = {{'B', 1}, {'B', 2}, {'B', 1}, {'Z', 1}, {'A', 0}};   // Qt's letter keys
    for (auto [letter, row] : steps) {
        key(w->FileList, letter, Qt::ShiftModifier);
        EXPECT_EQ(w->FileList->currentRow(), row) << char(letter);
        EXPECT_EQ(panel(w, 10), "File : " + listed(w)[row]);
    }
    // Searching moves, it never tags.
    EXPECT_TRUE(tagged(w).isEmpty());
    EXPECT_EQ(panel(w, 4), "Tagged files : 0");

    key(w->FileList, Qt::Key_T, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_TRUE(tagged(w).isEmpty());
    key(w->FileList, Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(w->FileColumns(), Settings[7].toInt());
    key(w->FileList, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(tagged(w), listed(w));
    EXPECT_EQ(panel(w, 4), "Tagged files : 4");
    key(w->FileList, Qt::Key_U, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(tagged(w), listed(w));
    key(w->FileList, Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(tagged(w).isEmpty());
}

}  // namespace
