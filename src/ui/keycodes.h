#pragma once
#include <QKeyEvent>

// Key codes of the classic keyboard: letters 65-90, Tab 9, Enter 13, Esc 27, Space 32,
// Delete 46, F1-F12 112-123, keypad * 106, + 107, - 109, / 111, and 226 for the
// extra key beside left Shift on 102-key keyboards. 0 for keys without a code.
constexpr int VK_TAB = 9, VK_RETURN = 13, VK_ESCAPE = 27, VK_SPACE = 32, VK_DELETE = 46;
constexpr int VK_MULTIPLY = 106, VK_ADD = 107, VK_SUBTRACT = 109, VK_DIVIDE = 111;
constexpr int VK_F1 = 112, VK_F3 = 114, VK_F5 = 116, VK_F9 = 120;
constexpr int VK_OEM_102 = 226;
int VirtualKeyCode(const QKeyEvent* event);
int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode = 0);
// 1 Shift, 2 Ctrl, 4 Alt, added up.
int ShiftState(Qt::KeyboardModifiers modifiers);
