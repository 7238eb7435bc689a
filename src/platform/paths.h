#pragma once
#include <QString>
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
// text is not an absolute DOS path.
bool SplitDosPath(const QString& dosPath, QString* drive, QStringList* components);

}  // namespace platform
