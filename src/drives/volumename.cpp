#include "drives/volumename.h"
#include "browse/freespace.h"
#include "fileops/frmInput.h"
#include "fileops/validate.h"
#include "platform/volume.h"

void VolumeCommand() {
    const QString drive = ActiveDrive();
    const QString label = drive.isEmpty() ? QString() : platform::VolumeLabel(drive.at(0));
    ShowInputDialog(InputCaption::DiskVolume, label.toLower());
}
