#pragma once
#include <QMdiSubWindow>

// The frame of a drive window inside the main window. Bringing a drive window
// forward never moves the keyboard to another control of any window: each one
// keeps the pane the user left it on.
class DriveFrame : public QMdiSubWindow {
public:
    DriveFrame();

protected:
    bool focusNextPrevChild(bool next) override;
};
