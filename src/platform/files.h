#pragma once
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include "platform/errors.h"
#include "platform/paths.h"

namespace platform {

// DOS attribute bits.
namespace attr {
constexpr int ReadOnly = 1, Hidden = 2, System = 4, Directory = 16, Archive = 32;
}

struct FileEntry {
    QString name;        // the program's name of the entry as on disk (names.h); empty for a drive's root
    QString listName;    // the spelling lists give it: lower case unless another entry shares that form
    qint64 size = 0;
    QDateTime modified;  // local time
    int attributes = 0;  // attr bits, Directory for folders
};

// Attributes of a file or folder (Directory set for folders).
ErrorCode GetAttributes(const QString& dosPath, int* attributes);
// Whether a path finds an entry (0) and whether that is a folder, without
// reading its attributes.
ErrorCode FindEntry(const QString& dosPath, bool* folder);
// The last name of a path as the disk spells the entry it finds (the name as
// written when there is none).
ErrorCode DiskSpelling(const QString& dosPath, QString* name);
// Sets R (permissions) and H/S/A (user.DOSATTRIB); the Directory bit is ignored.
ErrorCode SetAttributes(const QString& dosPath, int attributes);
// The same for the entry itself: a link is left as it is and what it points at
// is never changed. The steps of delete, move, copy and rename use this one.
ErrorCode SetEntryAttributes(const QString& dosPath, int attributes);
// The entry a path finds; with LastName::AsSpelled only its own spelling
// counts, as a destination that keeps a source's spelling asks.
ErrorCode GetFileInfo(const QString& dosPath, FileEntry* entry, LastName last = LastName::AnyCase);

// DOS wildcard match of one name against a list of patterns separated by ";",
// ignoring case. "*" is any run, "?" one character, but one or none at the end
// of a pattern or before its dot ("ab?" takes "ab" and "ab1"); "*.*" (and any
// "x.*") also takes names without a dot, "*." only names without one. A list
// with no pattern at all matches everything.
bool MatchesFileSpec(const QString& name, const QString& patterns);

// Subfolders and files of a folder, sorted by lower-case name: every folder and
// regular file, whatever its name holds, each named as names.h says; names
// that differ only in case are each listed, and the listName of each finds
// that entry alone. Hidden and system entries are left out unless
// includeHiddenSystem is set. Links are followed; dangling links, devices and
// pipes are not listed. 76 for a missing folder, 70 for one that may not be read.
ErrorCode ListFolders(const QString& dosFolder, bool includeHiddenSystem, QList<FileEntry>* out);
ErrorCode ListFiles(const QString& dosFolder, const QString& patterns, bool includeHiddenSystem,
                    QList<FileEntry>* out);
// The names of a folder as one read found them, sorted, with the kinds the
// folder itself gives its entries (DT_*): one logging step takes the
// subfolders, the files and the leftover copies of a folder from one read.
struct FolderContents {
    QString hostFolder;
    QStringList names;
    QHash<QString, unsigned char> kinds;
};
// 76 for a missing folder, 70 for one that may not be read.
ErrorCode ReadFolder(const QString& dosFolder, FolderContents* out);
// The same listings from a folder read before.
void ListFolders(const FolderContents& folder, bool includeHiddenSystem, QList<FileEntry>* out);
void ListFiles(const FolderContents& folder, const QString& patterns, bool includeHiddenSystem,
               QList<FileEntry>* out);
// How many entries of a folder no call can reach by name, their path being
// longer than the system allows; the listings leave them out.
int EntriesBeyondPathLimit(const FolderContents& folder);

// Copies a file with its permissions, modification time and DOS attributes. The
// data goes to a temporary name in the destination folder which is renamed over
// the destination only when complete, so a failed copy never leaves a
// half-written destination. 61 when the disk is full, 75 when the destination is
// a folder, 70 when it is read-only; 53 when the source is no file (a pipe,
// socket or device). Copying a file onto itself (the same file by
// another spelling or a hard link) does nothing and returns 0.
// Holes stay holes and a file system that clones shares the blocks; 61 comes
// before anything is written when the blocks the copy will take don't fit.
// The data goes in chunks; progress hears how far into the file's length the
// copy is (holes count) and the length, at least every 8 MiB or twentieth of a
// second and at the end, and false from it stops the copy: the temporary file
// goes, the destination stays as it was, and the result is err::Cancelled.
using CopyProgress = std::function<bool(qint64 copied, qint64 total)>;
// toName: how the destination's name is looked up (paths.h). A destination
// whose disk cannot hold the name (a FAT disk and ":") gives 64, a bad name.
// attributes: the copy's attributes (attr bits), set before it takes its name;
// kSourceAttributes gives it the source's.
constexpr int kSourceAttributes = -1;
ErrorCode CopyFileTo(const QString& from, const QString& to, const CopyProgress& progress = CopyProgress(),
                     LastName toName = LastName::AnyCase, int attributes = kSourceAttributes);

// Temporary files of copies are named this prefix, the copying process's id and
// a unique part, so that the program knows its own leftovers.
inline const QString CopyTempPrefix = QStringLiteral(".quorl-copy-");
// Removes the temporary files a killed copy left in a folder: those of the
// program's user, older than the program's start, whose process is gone.
// Returns how many went.
int RemoveStaleCopies(const QString& dosFolder);
// The same in a folder read before; the names of those that went leave it.
int RemoveStaleCopies(FolderContents* folder);
// From now on leftovers are what is older than this moment (the start; tests
// mark a new start after a run they killed).
void MarkProgramStart();
// Never replaces: 58 when the new name is taken by the same kind, 75 by the other
// kind. A new name that differs only in case renames to that case. A file moves
// to another file system by copy and delete; a folder cannot (74).
// 64 when the disk cannot hold the new name.
ErrorCode RenamePath(const QString& from, const QString& to, LastName toName = LastName::AnyCase);
// 70 for a read-only file, 75 for a folder.
ErrorCode DeleteFile(const QString& dosPath);
// 75 when the name is taken (by a folder or a file), 76 when the parent is
// missing, 64 when the disk cannot hold the name.
ErrorCode MakeFolder(const QString& dosPath);
// 75 when the folder is not empty or is a drive's root, 76 when it is missing.
ErrorCode RemoveFolder(const QString& dosPath);
// The entry itself, a link not followed: true for a symbolic link, whatever
// it points at (a folder, a file, nothing).
bool IsLink(const QString& dosPath);
// Removes a symbolic link as a link: what it points at is never entered or
// touched. 75 when the entry is no link.
ErrorCode DeleteLink(const QString& dosPath);
// Creates or truncates a file and closes it at once; 70 for a read-only file
// and for a link (nothing is written through one).
ErrorCode CreateEmptyFile(const QString& dosPath);
// True when both paths name one file on disk (same device and inode).
bool IsSameFile(const QString& a, const QString& b);
// True when both files exist and hold the same bytes.
bool HaveSameContent(const QString& a, const QString& b);

// Whether a file may be made in a folder: makes a new file of its own there
// (never opening, emptying or removing an entry that was there before, links
// included) and removes it again. A folder still to be made is probed at its
// nearest existing ancestor, since that is where the writing starts. probeName
// is tried first; when an entry of that name exists, a free variant of it is used.
ErrorCode ProbeWritable(const QString& dosFolder, const QString& probeName);

// Opens for reading and closes again: 70 when permission is refused or another
// open file description holds a conflicting lock, else the code of
// OpenUserFile (a pipe or device is not opened: err::DiskChanged).
ErrorCode OpenForReading(const QString& dosPath);
// True when another open file description holds a lock on the file: another
// program has it in use. A file that may not be read for its permissions is not
// held (as far as can be seen).
bool HeldByAnother(const QString& dosPath);

}  // namespace platform
