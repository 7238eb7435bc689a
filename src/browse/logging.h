#pragma once
#include <QString>
#include <QStringList>
#include "platform/prefix.h"

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

// The message when the picture holds as many lines as "Lines per drive" allows.
const QString& NoMemoryMessage();

// How much logging takes in: the files of one folder, and the lines of one
// drive's picture (the settings "Files per folder" and "Lines per drive").
int FilesPerFolder();
int LinesPerDrive();

// One logging action (a drive, a folder, the folders a slow expansion logs,
// a relog, a new file specification): the files it leaves out at a limit are
// told once, when the outermost action ends, with the setting that shows them;
// the free space, asked for by each folder it logs, is read once then too.
// Drives and folders are resolved once while it lasts.
class LoggingAction {
public:
    LoggingAction();
    ~LoggingAction();
    LoggingAction(const LoggingAction&) = delete;
    LoggingAction& operator=(const LoggingAction&) = delete;

private:
    platform::DriveMapBatch driveMap;
};
// The text that tells of files left out, by the limit that left them out.
QString LeftOutMessage(qint64 byFolderLimit, qint64 byDriveLimit);

// Folders whose copies or moves changed them while their drive window was not
// active; the window relogs those of its drive when it is activated.

extern QStringList FoldersToRelog;
void HandleFoldersToRelog(frmBrws* w);
