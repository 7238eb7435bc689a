#pragma once
// Host-side helpers the platform layer's files share. The rest of the program
// talks DOS paths and goes through prefix.h, paths.h, files.h and volume.h.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <sys/stat.h>
#include "platform/errors.h"

namespace platform::host {

QByteArray Encode(const QString& hostPath);
QString Join(const QString& folder, const QString& name);
QString ParentOf(const QString& hostPath);

// The code of a failed call on hostPath: a missing entry whose folder is missing
// too is a missing path (76), not a missing file (53).
ErrorCode ErrorAt(int e, const QString& hostPath);

// The same case folding for lookups and listings, so that a listed name is the
// one a lookup finds.
QString Fold(const QString& name);

// A host name that can stand in a DOS path: valid UTF-8 and valid as a DOS component.
bool IsDosNameBytes(const QByteArray& raw, QString* name);

// The names of a folder that can stand in a DOS path, "." and ".." left out,
// sorted in one fixed order.
ErrorCode ReadFolderNames(const QString& hostFolder, QStringList* names);

// The entry of a sorted name list that a lookup of `wanted` finds: the exact
// name first, else the first that matches ignoring case; empty when none does.
QString PickCaseMatch(const QStringList& names, const QString& wanted);

// user.DOSATTRIB holds H, S and A as "0x" + hex digits.
bool ParseDosAttrib(const QByteArray& value, int* bits);
QByteArray FormatDosAttrib(int bits);
extern const char* const DosAttribName;

// DOS attributes of an entry: R from the owner's write permission, H/S/A from
// user.DOSATTRIB or, without it, A for files and H for names beginning with ".".
int ReadAttributes(const QString& hostPath, const QString& dosName, const struct stat& st);

// Mount table and udev label names, for the label of a drive whose root is a mount point.
QString UnescapeMountField(const QByteArray& field);
bool FindMountDevice(const QByteArray& mountinfo, const QString& mountPoint, unsigned* major,
                     unsigned* minor);
QString DecodeUdevName(const QString& name);

}  // namespace platform::host
