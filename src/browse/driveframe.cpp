#include "browse/driveframe.h"
#include <QMdiArea>
#include <QMenu>
#include "browse/frmBrws.h"
#include "model/slots.h"
#include "ui/mainwindow.h"

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

QList<frmBrws*> DriveWindows() {
    QList<frmBrws*> result;
    QMdiArea* area = DriveWindowArea();
    if (!area) return result;
    for (QMdiSubWindow* sub : area->subWindowList())
        if (auto* w = qobject_cast<frmBrws*>(sub->widget())) result << w;
    return result;
}

frmBrws* ActiveDriveWindow() {
    QMdiArea* area = DriveWindowArea();
    if (!area) return nullptr;
    if (QMdiSubWindow* sub = area->activeSubWindow())
        if (auto* w = qobject_cast<frmBrws*>(sub->widget())) return w;
    // Between activations the current slot names the window commands act on.
    return DriveWindowOfSlot(CurrentSlot);
}

frmBrws* DriveWindowOfSlot(int slot) {
    if (slot < 1 || slot > OpenDriveCount) return nullptr;
    for (frmBrws* w : DriveWindows())
        if (w->Caption() == Slot(slot).WindowKey) return w;
    return nullptr;
}

void SwitchToWindow(const QString& caption) {
    QMdiArea* area = DriveWindowArea();
    if (!area) return;
    for (QMdiSubWindow* sub : area->subWindowList()) {
        auto* w = qobject_cast<frmBrws*>(sub->widget());
        if (!w || w->Caption() != caption) continue;
        area->setActiveSubWindow(sub);
        if (w->DirList->isVisible()) w->GiveFocus(w->DirList);
        else w->GiveFocus(w->FileList);
        return;
    }
}
