#pragma once
#include <QString>
#include <QStringList>
#include "platform/errors.h"

namespace platform {

// DOS path -> host path. Each existing component is looked up case-insensitively
// (an exact match first); components that do not exist are appended as written,
// so a caller can create them. A path without a drive is taken relative to the
// current drive and folder. 68/71 for a missing or not-ready drive, 64 for a
// component that cannot be a DOS name.
ErrorCode DosToHost(const QString& dosPath, QString* hostPath);

// Host path -> DOS path: the drive whose target is the longest prefix of the
// canonical host path. Empty when no drive holds it.
QString HostToDos(const QString& hostPath);

// The characters that never stand in a DOS name component.
bool IsValidDosComponent(const QString& name);

// Splits "c:\a\b" into drive "c:" and components {"a","b"}; false when the
// text is not an absolute DOS path. "." and ".." are resolved by the text, as
// DOS does ("c:\a\..\b" gives {"b"}; ".." at the root stays at the root).
bool SplitDosPath(const QString& dosPath, QString* drive, QStringList* components);

// The full form of a DOS path: the drive and its current folder filled in where
// the path leaves them out ("c:" alone is the root, "c:name" is in c:'s current
// folder, "name" in the current drive's), "." and ".." resolved, no trailing backslash
// ("c:\a\b", or "c:" for a root). Case is kept. 64 for a component that
// cannot be a DOS name, 76 for an empty path.
ErrorCode FullDosPath(const QString& dosPath, QString* fullPath);

}  // namespace platform
