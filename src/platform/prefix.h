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

// Windows folder, system folder and program folder of the prefix, as DOS paths.
QString WindowsDirectory();   // "c:\windows"
QString SystemDirectory();    // "c:\windows\system"
QString ProgramDirectory();   // "c:\quorl"

}  // namespace platform
