#pragma once
// A user's file, opened so that whatever lies on the drive cannot hang the
// program: a named pipe blocks an ordinary open until a writer comes, and a
// device's open can act on the device. Every read of a user's file goes
// through here.
#include <QFile>
#include <QString>
#include "platform/errors.h"

namespace platform {

// Opens a file for reading. Only a regular file (or a link to one) is opened:
// a folder gives err::PathFileConflict, and a pipe, socket or device in the
// file's place err::DiskChanged, without being opened. The open itself never
// waits, and the descriptor is checked again after it, so an entry swapped
// between the look and the open is refused too. The caller owns *fd.
ErrorCode OpenUserFile(const QString& dosPath, int* fd);
ErrorCode OpenUserHostFile(const QString& hostPath, int* fd);
// The same, left non-blocking: for a look at the file (its locks) that reads nothing.
ErrorCode LookIntoUserHostFile(const QString& hostPath, int* fd);
// The same, handed to Qt: the QFile owns the descriptor and closes it.
ErrorCode OpenUserFile(const QString& dosPath, QFile* file);
ErrorCode OpenUserHostFile(const QString& hostPath, QFile* file);

// True when a regular file (or a link to one) stands at the path: what a
// user's file must still be when the program comes to open it.
bool IsRegularFile(const QString& dosPath);

// The permission bits of a file (links followed), for a file that is made
// again and must keep them.
ErrorCode GetFileMode(const QString& dosPath, unsigned* mode);
ErrorCode SetFileMode(const QString& dosPath, unsigned mode);

}  // namespace platform
