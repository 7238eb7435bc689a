#pragma once
#include <cstdint>

// The classic file-error numbers every file-system call reports. 0 is success.
using ErrorCode = int16_t;

namespace err {
constexpr ErrorCode None = 0;
constexpr ErrorCode FileNotFound = 53;
constexpr ErrorCode IoError = 57;
constexpr ErrorCode FileExists = 58;
constexpr ErrorCode DiskFull = 61;
constexpr ErrorCode PastEnd = 62;
constexpr ErrorCode BadFileName = 64;
constexpr ErrorCode TooManyFiles = 67;
constexpr ErrorCode DeviceUnavailable = 68;
constexpr ErrorCode AccessDenied = 70;
constexpr ErrorCode DiskNotReady = 71;
constexpr ErrorCode RenameAcrossDisks = 74;   // a folder cannot move to another file system by renaming
constexpr ErrorCode PathFileConflict = 75;
constexpr ErrorCode PathNotFound = 76;
constexpr ErrorCode DiskChanged = 1000;
// A copy stopped by the user: no failure to report.
constexpr ErrorCode Cancelled = -1;
// No trash can take a file of that file system; the file stays where it was.
constexpr ErrorCode NoTrash = -2;
}  // namespace err

namespace platform {
// The one place where a host errno becomes a file-error number.
ErrorCode ErrorFromErrno(int e);
}
