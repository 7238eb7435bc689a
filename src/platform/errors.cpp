#include "platform/errors.h"
#include <cerrno>

namespace platform {

ErrorCode ErrorFromErrno(int e) {
    switch (e) {
    case 0: return err::None;
    case ENOENT: return err::FileNotFound;
    case ENOTDIR: return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return err::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return err::DiskFull;   // no room for a file of that size
    case EEXIST: return err::FileExists;
    case ENOTEMPTY:
    case EISDIR:
    case EBUSY: return err::PathFileConflict;
    case EMFILE:
    case ENFILE: return err::TooManyFiles;
    case ENAMETOOLONG: return err::BadFileName;
    case EIO: return err::IoError;
    case ENXIO:
    case ENODEV: return err::DeviceUnavailable;
    case EXDEV: return err::RenameAcrossDisks;
    default: return err::IoError;
    }
}

}  // namespace platform
