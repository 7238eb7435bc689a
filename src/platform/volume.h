#pragma once
#include <QString>
#include <cstdint>
#include "platform/errors.h"

namespace platform {

// Classic drive-type numbers.
namespace drivetype {
constexpr int Unknown = 0, NoRoot = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6;
}

struct DiskSpace {
    int64_t sectorsPerCluster = 0;
    int64_t bytesPerSector = 0;
    int64_t freeClusters = 0;
    int64_t totalClusters = 0;
};

// Label from .windows-label at the drive root, else the file system's label
// when the root is a mount point, else empty.
QString VolumeLabel(QChar letter);
// Writes .windows-label (label + line feed); an empty label removes it.
ErrorCode SetVolumeLabel(QChar letter, const QString& label);
int DriveType(QChar letter);
// The type a drive root gets from its file system: the magic number statfs
// reports and the type the mount table names (all FUSE mounts share one magic
// number; the desktop's network mounts differ only by that name). Fixed when
// neither says more.
int FileSystemDriveType(unsigned long magic, const QString& mountType);
ErrorCode DiskFreeSpace(QChar letter, DiskSpace* space);

}  // namespace platform
