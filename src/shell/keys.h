#pragma once
#include <QKeyEvent>

class frmBrws;

// Key codes of the classic keyboard: letters 65-90, Enter 13, Esc 27, Space 32,
// Delete 46, F1-F12 112-123, keypad * 106, + 107, - 109, / 111, and 226 for the
// extra key beside left Shift on 102-key keyboards. 0 for keys without a code.
int VirtualKeyCode(const QKeyEvent* event);
int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode = 0);
// 1 Shift, 2 Ctrl, 4 Alt, added up.
int ShiftState(Qt::KeyboardModifiers modifiers);

// The main key table, then the keys that belong to one pane. A swallowed key
// has both its code and its shift state set to 0.
void KeyDispatcher(frmBrws* w, int& keyCode, int& shift);
void PaneKeyHandler(frmBrws* w, int& keyCode, int& shift);
void LetterSearch(frmBrws* w, int keyCode);
