#include "ui/keycodes.h"

namespace {
// X11 key code of the key beside left Shift on 102-key keyboards.
constexpr quint32 ScanCodeLessGreater = 94;
}  // namespace

int ShiftState(Qt::KeyboardModifiers modifiers) {
    int s = 0;
    if (modifiers & Qt::ShiftModifier) s |= 1;
    if (modifiers & Qt::ControlModifier) s |= 2;
    if (modifiers & Qt::AltModifier) s |= 4;
    return s;
}

int VirtualKeyCode(int key, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode) {
    if (nativeScanCode == ScanCodeLessGreater) return VK_OEM_102;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;   // the same 65-90
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return VK_F1 + (key - Qt::Key_F1);
    const bool keypad = modifiers & Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Plus: return keypad ? VK_ADD : 0;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : 0;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : 0;
    case Qt::Key_Less:
    case Qt::Key_Greater:
    case Qt::Key_Bar: return nativeScanCode == 0 ? VK_OEM_102 : 0;
    default: return 0;
    }
}

int VirtualKeyCode(const QKeyEvent* event) {
    return VirtualKeyCode(event->key(), event->modifiers(), event->nativeScanCode());
}
