#pragma once
#include <QPointer>
#include <QWidget>
#include "model/slots.h"

// While a dialog is up over a drive window, the active slot's focus pane is
// Pane::Dialog so that the window's keyboard commands stay idle; the value it
// had comes back when the dialog goes. The dialog owns its hold: it lasts
// from the event that shows the dialog to the one that puts it away.
class HeldFocusPane {
public:
    // Saves the active slot's pane and sets it to Pane::Dialog, when a drive
    // window is open; while held, a second call changes nothing.
    void Hold();
    // Saves the active slot's pane and leaves it as it is: a window that is
    // no dialog (the media player) gives the value back all the same.
    void Note();
    // Puts the saved value back into the slot it came from, once.
    void Release();
    // A drive window closed while the dialog is up: the slots above its own
    // moved down by one, and its own value has nowhere to go.
    void SlotClosed(int slot);
    bool IsHeld() const { return slot_ != 0; }

private:
    int slot_ = 0;   // 0: nothing held
    Pane pane_ = Pane::Dialog;
};

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
