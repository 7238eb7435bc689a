#include "viewers/entries.h"
#include "browse/freespace.h"
#include "browse/views.h"
#include "fileops/operations.h"
#include "model/slots.h"
#include "platform/userfile.h"
#include "ui/errors.h"

QString EntryFolder(const DriveSlot& slot, int row) { return FolderOfListRow(slot, row); }

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
    // A pipe, socket or device in the file's place is not the file that was logged.
    if (!FileExists(path) || !platform::IsRegularFile(path)) {
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
