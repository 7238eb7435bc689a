#include "browse/driveframe.h"
#include <QMenu>

DriveFrame::DriveFrame() {
    // The main window's keys close and switch drive windows, tiled or maximised;
    // the frame's own menu would claim Ctrl+F4 a second time while it is tiled.
    if (QMenu* menu = systemMenu())
        for (QAction* action : menu->actions()) action->setShortcuts({});
}

// Switching maximised windows hides the one left behind for a moment, and a
// hidden window hands its focus on to its next control: the tree to the list,
// the list to the DOS box. Coming back, D would then delete a file instead of
// the folder. The window keeps its control; the one brought forward takes the
// keyboard anyway.
bool DriveFrame::focusNextPrevChild(bool next) {
    if (!isVisible()) return false;
    return QMdiSubWindow::focusNextPrevChild(next);
}
