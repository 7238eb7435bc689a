#pragma once
#include <QString>
#include <QStringList>

class frmBrws;

// Reading drives and folders into the slot's picture and the window's tree.

// Opens a new drive window for the drive ("c:") and logs it.
void LogDrive(const QString& drive);
void LogDriveTree(frmBrws* w);
// False when the line limit stopped it.
bool AddSubfolders(frmBrws* w, int nodeIndex);
// Refill: fill the file list when the node is the selected one. Returns false
// when the drive or folder could not be read.
bool LogFolderFiles(frmBrws* w, const QString& path, const QString& pattern, int nodeIndex, bool refill,
                    bool refreshIndex = true);
void LogFolder(frmBrws* w, int nodeIndex, bool quiet, bool endBusy);
void UnlogFolder(frmBrws* w, const QString& path, bool quiet, bool batch = false, bool keepIndex = false);
void RelogFolder(frmBrws* w);
void RelogDrive(frmBrws* w);
void ExpandFolder(frmBrws* w, int nodeIndex);
bool FolderExists(const QString& path);

// Folders whose copies or moves changed them while their drive window was not
// active; the window relogs those of its drive when it is activated.
// The message when the picture holds its 8000 lines.
const QString& NoMemoryMessage();

extern QStringList FoldersToRelog;
void HandleFoldersToRelog(frmBrws* w);
