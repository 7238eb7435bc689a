#pragma once
#include <QString>
#include <QStringList>
#include "platform/errors.h"

namespace platform {

// The folder that holds the program's whole "PC": $XDG_DATA_HOME/quorl (default
// ~/.local/share/quorl). SetPrefixFolder overrides it (tests, setup with --prefix).
QString PrefixFolder();
void SetPrefixFolder(const QString& hostFolder);   // empty: back to the default
QString DosDevicesFolder();

// The drive letters of the drive map, lower case with colon ("c:"), sorted.
QStringList DriveLetters();

// Host folder a drive letter points at. 68 when the letter has no link,
// 71 when the link's target is missing (a drive without a disk).
ErrorCode DriveRoot(QChar letter, QString* hostRoot);

// The host folder a letter's link names, made absolute, whether or not it is
// there; empty when the letter has no link.
QString DriveTarget(QChar letter);
// Points a letter at a host folder: its link is made, or replaced in one step.
// Only the link changes; the folder is never touched.
ErrorCode MapDrive(QChar letter, const QString& hostFolder);
// Removes a letter's link, never what it leads to; an entry that is not a link
// is refused (access denied).
ErrorCode UnmapDrive(QChar letter);

// A run over many files resolves paths on the same few drives and folders
// thousands of times. While a DriveMapBatch lives, each drive's link is read
// once and each folder's host path is looked up once; a drive's disk is still
// looked at in every test of the drive, so one that went away is seen. Mapping
// a drive, and making, renaming or removing a folder or a link through this
// layer, drop what was kept. Batches nest; the outermost one's end drops it all.
class DriveMapBatch {
public:
    DriveMapBatch();
    ~DriveMapBatch();
    DriveMapBatch(const DriveMapBatch&) = delete;
    DriveMapBatch& operator=(const DriveMapBatch&) = delete;
};

// Windows folder, system folder and program folder of the prefix, as DOS paths.
QString WindowsDirectory();   // "c:\windows"
QString SystemDirectory();    // "c:\windows\system"
QString ProgramDirectory();   // "c:\quorl"

}  // namespace platform
