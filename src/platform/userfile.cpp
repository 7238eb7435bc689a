#include "platform/userfile.h"
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/hostfs.h"
#include "platform/paths.h"

namespace platform {

namespace {
ErrorCode NotAFile(mode_t mode) { return S_ISDIR(mode) ? err::PathFileConflict : err::DiskChanged; }
}  // namespace

ErrorCode LookIntoUserHostFile(const QString& hostPath, int* fd) {
    const QByteArray path = host::Encode(hostPath);
    struct stat st;
    // A look first: a pipe or device is never opened at all.
    if (::stat(path.constData(), &st) != 0) return host::ErrorAt(errno, hostPath);
    if (!S_ISREG(st.st_mode)) return NotAFile(st.st_mode);
    const int opened = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (opened < 0) return host::ErrorAt(errno, hostPath);
    ErrorCode e = err::None;
    if (::fstat(opened, &st) != 0) e = ErrorFromErrno(errno);
    else if (!S_ISREG(st.st_mode)) e = NotAFile(st.st_mode);
    if (e) {
        ::close(opened);
        return e;
    }
    *fd = opened;
    return err::None;
}

ErrorCode OpenUserHostFile(const QString& hostPath, int* fd) {
    if (const ErrorCode e = LookIntoUserHostFile(hostPath, fd)) return e;
    // A regular file reads the same either way; readers expect a blocking one.
    ::fcntl(*fd, F_SETFL, ::fcntl(*fd, F_GETFL) & ~O_NONBLOCK);
    return err::None;
}

ErrorCode OpenUserFile(const QString& dosPath, int* fd) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    return OpenUserHostFile(hostPath, fd);
}

ErrorCode OpenUserHostFile(const QString& hostPath, QFile* file) {
    int fd = -1;
    if (const ErrorCode e = OpenUserHostFile(hostPath, &fd)) return e;
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return err::IoError;
    }
    return err::None;
}

ErrorCode OpenUserFile(const QString& dosPath, QFile* file) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    return OpenUserHostFile(hostPath, file);
}

bool IsRegularFile(const QString& dosPath) {
    QString hostPath;
    struct stat st;
    return DosToHost(dosPath, &hostPath) == err::None && ::stat(host::Encode(hostPath).constData(), &st) == 0 &&
           S_ISREG(st.st_mode);
}

ErrorCode GetFileMode(const QString& dosPath, unsigned* mode) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    struct stat st;
    if (::stat(host::Encode(hostPath).constData(), &st) != 0) return host::ErrorAt(errno, hostPath);
    *mode = st.st_mode & 07777;
    return err::None;
}

ErrorCode SetFileMode(const QString& dosPath, unsigned mode) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    if (::chmod(host::Encode(hostPath).constData(), mode_t(mode & 07777)) != 0) return host::ErrorAt(errno, hostPath);
    return err::None;
}

}  // namespace platform
