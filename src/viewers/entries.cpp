#include "viewers/entries.h"
#include "browse/freespace.h"
#include "browse/views.h"
#include "fileops/operations.h"
#include "model/slots.h"
#include "ui/errors.h"

QString EntryFolder(const DriveSlot& slot, int row) {
    if (!slot.GlobalView) return slot.CurrentPath;
    int header = -1;
    if (row < 0 || row >= slot.GlobalList.size() || !GlobalLinePositions(slot.GlobalList[row], nullptr, &header))
        return QString();
    FolderHeader folder;
    if (header < 0 || header >= slot.LineCount || !ParseFolderHeader(slot.Lines[header], &folder)) return QString();
    return folder.path;
}

QString EntryPath(const DriveSlot& slot, int row, const QString& name) {
    return JoinPath(EntryFolder(slot, row), name);
}

bool CheckViewerFile(const QString& path) {
    AbortFlag = -1;
    const ErrorCode drive = TestDrive(path.left(2));
    RestoreWindowFolder();
    if (drive != 0) {
        ShowFileError(drive);
        return false;
    }
    if (!FileExists(path)) {
        ShowMessage("Disk has been changed", MsgStyle::Critical, "Error");
        return false;
    }
    if (IsFileInUse(path)) {
        ShowMessage("Sharing violation", MsgStyle::Critical, "Error");
        return false;
    }
    AbortFlag = 0;
    return true;
}
