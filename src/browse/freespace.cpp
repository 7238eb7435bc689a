#include "browse/freespace.h"
#include "browse/filelist.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/volume.h"
#include "ui/errors.h"
#include "ui/prompter.h"

qint64 FreeBytes(const QString& root) {
    if (root.isEmpty()) return -1;
    platform::DiskSpace space;
    if (platform::DiskFreeSpace(root.at(0), &space) != 0) return -1;
    // Today's disks hold more than a signed 32-bit count of bytes.
    return qint64(space.sectorsPerCluster) * space.bytesPerSector * space.freeClusters;
}

bool WaitForDrive(const QString& drive) {
    while (TestDrive(drive) != 0) {
        // A drive without a disk may never come back; the user, not the loop,
        // decides when to stop waiting for it.
        const PromptAnswer answer =
            Prompt(ErrorMessage(LastError), PromptIcon::Critical, PromptButtons::RetryCancel, "Error");
        LastError = 0;
        if (answer != PromptAnswer::Retry) return false;
    }
    return true;
}

void ShowAvailableBytes(frmBrws* w) {
    const QString drive = CurrentDriveSlot().Drive;
    if (!WaitForDrive(drive)) {
        SetAvailableBytes(w, "###");
        return;
    }
    platform::ChangeDrive(drive.at(0));
    platform::ChangeFolder(drive + '\\');
    const qint64 bytes = FreeBytes(drive);
    SetAvailableBytes(w, bytes < 0 ? QStringLiteral("###") : FormatCount(bytes));
}

QString ActiveDrive() {
    return OpenDriveCount > 0 ? CurrentDriveSlot().Drive : platform::CurrentDrive();
}

void RestoreWindowFolder() {
    if (OpenDriveCount <= 0) return;
    const DriveSlot& slot = CurrentDriveSlot();
    if (slot.Drive.isEmpty()) return;
    platform::ChangeDrive(slot.Drive.at(0));
    platform::ChangeFolder(slot.CurrentPath.size() == 2 ? slot.CurrentPath + '\\' : slot.CurrentPath);
}
