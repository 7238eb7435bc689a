#pragma once
#include <QString>

class frmBrws;
struct DriveSlot;

// The global and branch views: flat lists of the logged files of a drive or a branch.

// The file line position of a list item of the window: the global mapping while
// a view is shown, else the folder's first file line plus the item's row.
int FileLineOfItem(const DriveSlot& slot, int row);
// The folder of a list entry: its own folder while a view is shown, else the
// window's folder; empty when a view's entry no longer maps to a folder.
QString FolderOfListRow(const DriveSlot& slot, int row);

enum class ViewSelection { GlobalMatching, GlobalTagged, BranchMatching, BranchTagged };

// Builds the chosen view into the slot's GlobalList and shows it; an empty
// selection leaves the folder view as it was.
void ShowView(frmBrws* w, ViewSelection selection);
// Fills GlobalList with the chosen lines of every logged folder, sorted by name.
void BuildGlobalList(DriveSlot& slot, ViewSelection selection);
// Builds the shown view again with the selection it was made with, after its
// lines moved (a new file specification relogs every folder); with nothing left
// to list, the folder view comes back.
void RebuildView(frmBrws* w);
// Back to the folder view.
void LeaveView(frmBrws* w);
