#pragma once
#include <QString>
#include <QStringList>
#include "platform/errors.h"

namespace platform {

// How the last component of a path is looked up. AnyCase: as DOS does, the
// exact spelling, else the first entry that matches ignoring case. AsSpelled:
// only the spelling given, for a destination that keeps a source's spelling
// (on a disk that tells case apart, another spelling is another file; on one
// that does not, the disk itself finds the entry).
enum class LastName { AnyCase, AsSpelled };

// DOS path -> host path. Each component is the program's name of an entry
// (names.h); each existing one is looked up case-insensitively (the exact
// spelling first); components that do not exist are appended as written, so a
// caller can create them. A path without a drive is taken relative to the
// current drive and folder. The host path holds the real characters (":" for
// its stand-in). 68/71 for a missing or not-ready drive, 64 for a component
// that cannot be a DOS name.
ErrorCode DosToHost(const QString& dosPath, QString* hostPath, LastName last = LastName::AnyCase);

// Host path -> DOS path: the drive whose target is the longest prefix of the
// canonical host path, each component spelled as the folder listings spell it
// (files.h). Empty when no drive holds it.
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

// A word of a command line that is a DOS path: it holds "\\" or begins with a
// drive ("c:x", "c:\\x"), also behind a leading "@" or "!" (list files); a
// network name ("\\\\server") and a lone "\\" are not.
bool IsDosPathWord(const QString& word);
// A word handed to a Linux program: a DOS path becomes its host path,
// absolute (a relative one taken in the current folder of its drive), so that
// a name that begins with "-" is never an option. A path with a drive letter
// always does; one without only when its folder exists, so that a pattern
// such as "a\\.b" (or "x\\" where x is no folder) stays as typed, as does
// every other word.
QString HostWord(const QString& word);

}  // namespace platform
