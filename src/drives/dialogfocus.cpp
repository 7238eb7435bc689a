#include "drives/dialogfocus.h"
#include "model/slots.h"
#include "shell/MDIQuorl.h"
#include "shell/frmBrws.h"

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
    MDIQuorl* main = MainForm();
    if (!main || !main->isVisible()) return;
    main->activateWindow();
    if (frmBrws* w = ActiveDriveWindow())
        if (QWidget* control = w->focusWidget()) control->setFocus();
}
