#pragma once
#include <QString>
#include <QStringList>
#include "platform/volume.h"

// What the drive information dialog shows, worked out without the dialog.

// "Hard disk", "Diskette", "CDROM" or "Unknown drive type" for a drive-type number.
QString DiskTypeText(int driveType);

struct DriveInfoTexts {
    QStringList general;     // disk type, available, total, used bytes, disk name
    QStringList technical;   // free and total clusters, bytes per sector, sectors per
                             // cluster, total sectors, cluster size
};
DriveInfoTexts DescribeDrive(const platform::DiskSpace& space, int driveType, const QString& label);
