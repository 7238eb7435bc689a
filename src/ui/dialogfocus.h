#pragma once
#include <cstdint>

// While a drive dialog is up, the active slot's focus pane is 0 so that the
// keyboard commands of the drive window stay idle; it is put back on closing.
struct HeldFocusPane {
    int slot = 0;          // 0: nothing held
    int16_t pane = 0;
};

// Saves the active slot's focus pane and sets it to 0, when a drive window is open.
HeldFocusPane HoldFocusPane();
// Puts the saved value back into the slot it came from, once.
void ReleaseFocusPane(HeldFocusPane& held);

// Gives the keyboard back to the control that had it in the main window.
void ReturnFocusToMainWindow();
