#pragma once
#include <QPointer>
#include <QWidget>
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

// Gives the keyboard back to the control that had it in the main window (or
// to the modal dialog still up over it).
void ReturnFocusToMainWindow();

// The window the user worked in before a dialog or the progress window came
// up, and the control that had the keyboard in it.
struct HeldActivation {
    QPointer<QWidget> window;
    QPointer<QWidget> control;
};
HeldActivation HoldActivation();
// Makes that window active again with its control focused; when it is gone or
// hidden, the main window takes its place.
void ReturnActivation(const HeldActivation& held);

// A window manager may make a window active after the program has already
// hidden it again (the progress window of a short run); the keyboard would then
// go nowhere. From this call on, such an activation hands the keyboard back.
void KeepActivationOnVisibleWindows();

// Waits, for at most the given time, until the window manager has put a window
// that was just shown on the screen and given it the keyboard. A window hidden
// again before that leaves the window manager's answer to come afterwards,
// when the window is gone.
void WaitUntilShown(QWidget* window, int maxMs = 1000);
