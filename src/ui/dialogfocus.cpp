#include "ui/dialogfocus.h"
#include "model/slots.h"
#include <QMdiSubWindow>
#include "ui/mainwindow.h"

HeldFocusPane HoldFocusPane() {
    if (OpenDriveCount <= 0) return {};
    HeldFocusPane held{CurrentSlot, CurrentDriveSlot().FocusPane};
    CurrentDriveSlot().FocusPane = 0;
    return held;
}

void ReleaseFocusPane(HeldFocusPane& held) {
    if (held.slot == 0) return;
    // Logging from the dialog may have made another slot active; the value
    // belongs to the slot that was active when the dialog opened.
    if (held.slot <= OpenDriveCount) Slot(held.slot).FocusPane = held.pane;
    held = {};
}

void ReturnFocusToMainWindow() {
    QMainWindow* main = MainWindow();
    if (!main || !main->isVisible()) return;
    main->activateWindow();
    if (QMdiSubWindow* sub = DriveWindowArea() ? DriveWindowArea()->activeSubWindow() : nullptr)
        if (QWidget* control = sub->widget()->focusWidget()) control->setFocus();
}
