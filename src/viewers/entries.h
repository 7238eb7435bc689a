#pragma once
#include <QString>

class frmBrws;
struct DriveSlot;

// The files of a drive window's list as the viewers take them.

// The folder of a list row: the entry's own folder in a global or branch
// view, else the window's current folder.
QString EntryFolder(const DriveSlot& slot, int row);
// The folder, "\" and the name of the row's entry.
QString EntryPath(const DriveSlot& slot, int row, const QString& name);
// The checks every viewer makes before it loads a file, in this order: the
// drive, the file still there as a file ("Disk has been changed"), not held by
// another program ("Sharing violation"). The walk's stop flag is raised first
// and lowered only when all pass.
bool CheckViewerFile(const QString& path);
