#pragma once
// Host-side helpers the platform layer's files share. The rest of the program
// talks DOS paths and goes through prefix.h, paths.h, files.h and volume.h.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <climits>
#include <sys/stat.h>
#include "platform/errors.h"
#include "platform/names.h"

namespace platform::host {

QString Join(const QString& folder, const QString& name);
// The process's folder, as getcwd gives it (Qt's would lose a name that is no UTF-8).
QString CurrentHostFolder();
QString ParentOf(const QString& hostPath);
// The program's name of the entry a host path ends in.
QString DosNameOf(const QString& hostPath);

// The code of a failed call on hostPath: a missing entry whose folder is missing
// too is a missing path (76), not a missing file (53).
ErrorCode ErrorAt(int e, const QString& hostPath);

// The same case folding for lookups and listings, so that a listed name is the
// one a lookup finds. It folds the lower-case form, so that the lower-case name
// the program holds always finds its file, also where lower-casing changes the
// name's length ("İ" becomes "i" and a combining dot).
QString Fold(const QString& name);

// The program's names of every entry of a folder (names.h), "." and ".." left
// out, sorted in one fixed order. kinds, when given, gets the kind of entry
// the folder itself tells for each name (a dirent's d_type: DT_REG, DT_DIR,
// DT_LNK, or DT_UNKNOWN where the file system does not say).
ErrorCode ReadFolderNames(const QString& hostFolder, QStringList* names, QHash<QString, unsigned char>* kinds = nullptr);

// The spelling the program's lists give an entry: lower case when no other
// entry of the folder has the same lower-case form, else its own, so that a
// lookup of the listed name finds that entry and no other.
QString ListedName(const QString& name, const QStringList& folderNames);

// The entry of a sorted name list that a lookup of `wanted` finds: the exact
// name first, else the first that matches ignoring case; empty when none does.
QString PickCaseMatch(const QStringList& names, const QString& wanted);

// The entry of a host folder that a lookup of `wanted` finds, as PickCaseMatch
// would pick it from the folder's names; empty when none does. A folder's names
// are read once and kept while the folder's modification time stays the same,
// so that a walk over a big folder costs one read, not one per file.
QString FindCaseMatch(const QString& hostFolder, const QString& wanted);
// The program changes an entry of a folder (makes, renames or removes it): the
// kept names take the change instead of being read again. The folder's state
// is taken before the change; names kept for that state stay valid after it.
struct FolderStamp {
    bool known = false;
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified {};
};
FolderStamp StampOfFolderOf(const QString& hostPath);
void NoteEntryChanged(const QString& hostPath, const FolderStamp& before);
// Two entries of one folder changed in one step (a rename within the folder).
void NoteEntriesChanged(const QString& hostPath, const QString& otherHostPath, const FolderStamp& before);
// How many times folders were read since the program started (tests and benchmarks).
quint64 FolderReadCount();
// How many times a drive's link was read, and a folder's host path looked up
// component by component (tests and benchmarks).
quint64 DriveLinkReadCount();
quint64 FolderWalkCount();
void CountDriveLinkRead();
void CountFolderWalk();
// How many times an entry's own name was looked up on its disk, and a drive's
// folder looked at (tests and benchmarks).
quint64 EntryLookupCount();
void CountEntryLookup();
quint64 DriveLookCount();
void CountDriveLook();
// What a living DriveMapBatch (prefix.h) keeps; null when none lives.
struct BatchMemo {
    QHash<QChar, QString> targets;   // drive letter -> what its link names (empty: no link)
    QHash<QString, QString> folders; // full DOS folder path -> its host path, every component found
    // The last entries found, by their absolute DOS path as written and how the
    // last name was looked up: a step of a run asks for its file several times.
    struct Entry {
        QString dosPath;
        int last = -1;
        QString hostPath;
    };
    Entry entries[2];
    int nextEntry = 0;
    const QString* EntryOf(const QString& dosPath, int last) const;
    void KeepEntry(const QString& dosPath, int last, const QString& hostPath);
};
BatchMemo* Batch();
// A folder or a link was made, renamed or removed: folder lookups are done again.
void ForgetBatchFolders();
// An entry was made, renamed or removed: entries are looked up again.
void ForgetBatchEntries();
// How many write probes were made since the program started (tests and benchmarks).
quint64 WriteProbeCount();
void CountWriteProbe();

// user.DOSATTRIB holds H, S and A either as "0x" + hex digits (Wine, old Samba)
// or as Samba's binary record (versions 1 to 5), which keeps R as well; the
// record is read when it parses, else the text.
bool ParseDosAttrib(const QByteArray& value, int* bits);
QByteArray FormatDosAttrib(int bits);
// Where a binary record keeps its attribute field: the byte offset of the
// little-endian uint32, or -1 when the value is no record.
qsizetype DosAttribRecordField(const QByteArray& value);
// The record with its R, H, S and A bits set to those of `bits`, every other
// byte kept (flags, creation time, the other attribute bits); false when the
// value is no record.
bool UpdateDosAttribRecord(QByteArray* value, int bits);
extern const char* const DosAttribName;

// DOS attributes of an entry: R from the owner's write permission or from
// Samba's record (either makes the file read-only), H/S/A from user.DOSATTRIB
// or, without it, A for files and H for names beginning with ".".
// The attributes of an entry whose DOS attribute field is the n bytes of value
// (n < 0: it has none).
int AttributesFrom(const char* value, ssize_t n, const QString& dosName, const struct stat& st);
int ReadAttributes(const QString& hostPath, const QString& dosName, const struct stat& st);
// An entry of a folder whose whole path (folder bytes with its "/", the name's
// bytes) is longer than the system lets any call reach by name.
inline bool BeyondPathLimit(qsizetype folderBytes, qsizetype nameBytes) {
    return folderBytes + nameBytes >= PATH_MAX;
}
// The same for an entry named relative to an open folder: the kernel walks one
// name instead of the whole path where it can (hostPath where it cannot, or
// when folder is not open).
int ReadAttributesAt(int folder, const QByteArray& name, const QString& hostPath, const QString& dosName,
                     const struct stat& st);

// Mount table and udev label names, for the label of a drive whose root is a mount point.
QString UnescapeMountField(const QByteArray& field);
bool FindMountDevice(const QByteArray& mountinfo, const QString& mountPoint, unsigned* major,
                     unsigned* minor);
QString DecodeUdevName(const QString& name);
// The file-system type the mount table names for the mount that holds a
// canonical host path ("ext4", "fuse.sshfs"): the mount with the longest mount
// point above it, the last one where several share it. Empty when none does.
QString MountTypeAt(const QByteArray& mountinfo, const QString& hostPath);

}  // namespace platform::host
