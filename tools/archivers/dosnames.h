#pragma once
// How the archivers read the names they are given: DOS paths as the program
// writes them (c:\x\y.txt, \x, x\y, y.txt) or, typed by hand, host paths that
// use "/". Everything is turned into a full DOS path first, so that the
// drive map, case-insensitive lookup and DOS attributes apply as they do in
// the program itself.
#include <QString>
#include <QStringList>
#include <QTextStream>
#include "platform/errors.h"

namespace archivers {

// Makes the host folder the tool was started in the current DOS drive and
// folder, so that a relative name means the same file in both worlds. False
// when no drive of the prefix holds that folder (relative names then start at
// the current drive's root).
bool EnterStartFolder();

// False with a message when the prefix has no drives at all (setup never ran,
// or XDG_DATA_HOME points elsewhere): no DOS name could be found then.
bool PrefixHasDrives(QTextStream& out);

// Surrounding double quotes removed (a name with blanks may arrive quoted).
QString Unquoted(const QString& text);

bool HasWildcard(const QString& text);

// A name typed the host's way: it begins with "/", or uses "/" and no "\".
bool IsHostPath(const QString& argument);

// The full DOS path an argument stands for. 64 for a name that can't be a DOS
// name, 68/71 for a drive that is missing or not ready, 76 for a host path that
// no drive holds.
ErrorCode ArgumentToDos(const QString& argument, QString* dosPath);

// The components of an argument as written, without drive and root, "." left
// out; a name that climbs with ".." gives the components of its full path
// instead, so nothing stored ever leads out of the archive.
QStringList WrittenComponents(const QString& argument, const QString& fullDosPath);

// The last `count` components of a DOS path spelled as they are on disk.
QStringList OnDiskTail(const QString& dosPath, qsizetype count);

// "c:\a\b" -> "c:\a" and "b"; "c:\b" -> "c:" and "b".
void SplitLast(const QString& dosPath, QString* folder, QString* name);

// One line of a list file: trimmed, quotes removed; empty for a blank line.
QStringList ReadListFile(const QString& hostPath, bool* ok);

// A message line's spelling of a file-error number.
QString ErrorText(ErrorCode code);

}  // namespace archivers
