#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include "platform/errors.h"

namespace platform {

// DOS attribute bits.
namespace attr {
constexpr int ReadOnly = 1, Hidden = 2, System = 4, Directory = 16, Archive = 32;
}

struct FileEntry {
    QString name;        // as on disk (not lower-cased)
    qint64 size = 0;
    QDateTime modified;  // local time
    int attributes = 0;  // attr bits, Directory for folders
};

// Attributes of a file or folder (Directory set for folders).
ErrorCode GetAttributes(const QString& dosPath, int* attributes);
// Sets R (permissions) and H/S/A (user.DOSATTRIB); the Directory bit is ignored.
ErrorCode SetAttributes(const QString& dosPath, int attributes);
ErrorCode GetFileInfo(const QString& dosPath, FileEntry* entry);

// DOS wildcard match of one name against a list of patterns separated by ";".
// "*.*" matches every name, also names without a dot.
bool MatchesFileSpec(const QString& name, const QString& patterns);

// Subfolders and files of a folder, sorted by lower-case name. Names that differ
// only in case are listed once (the one the path lookup finds); names that cannot
// be DOS names are left out. Hidden and system entries are left out unless
// includeHiddenSystem is set.
ErrorCode ListFolders(const QString& dosFolder, bool includeHiddenSystem, QList<FileEntry>* out);
ErrorCode ListFiles(const QString& dosFolder, const QString& patterns, bool includeHiddenSystem,
                    QList<FileEntry>* out);

// Copies a file with its permissions, modification time and DOS attributes. The
// data goes to a temporary name in the destination folder which is renamed over
// the destination only when complete, so a failed copy never leaves a
// half-written destination. 61 when the disk is full.
ErrorCode CopyFileTo(const QString& from, const QString& to);
ErrorCode RenamePath(const QString& from, const QString& to);
ErrorCode DeleteFile(const QString& dosPath);
ErrorCode MakeFolder(const QString& dosPath);
ErrorCode RemoveFolder(const QString& dosPath);
// Creates or truncates a file and closes it at once.
ErrorCode CreateEmptyFile(const QString& dosPath);
// Opens for reading and closes again: 70 when permission is refused or another
// open file description holds a conflicting lock, else the open's code.
ErrorCode OpenForReading(const QString& dosPath);

}  // namespace platform
