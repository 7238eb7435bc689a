// Whether a file can be reached: read, held by another program, or beyond
// the system's path limit.
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/files.h"
#include "platform/hostfs.h"
#include "platform/paths.h"
#include "platform/userfile.h"

namespace platform {

using host::Encode;
using host::ErrorAt;

int EntriesBeyondPathLimit(const FolderContents& folder) {
    const qsizetype length = Encode(host::Join(folder.hostFolder, QString())).size();
    // Most folders are far from the limit.
    if (!host::BeyondPathLimit(length, NAME_MAX)) return 0;
    int count = 0;
    for (const QString& n : folder.names)
        if (host::BeyondPathLimit(length, Encode(NameToHost(n)).size())) ++count;
    return count;
}

namespace {
// A write-lock probe over the whole file reports any lock another open file
// description holds on it, read or write: the file is in use.
bool LockedByAnother(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;
    return ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}
}  // namespace

ErrorCode OpenForReading(const QString& dosPath) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    int fd = -1;
    if (const ErrorCode e = LookIntoUserHostFile(hostPath, &fd)) return e;
    const bool locked = LockedByAnother(fd);
    ::close(fd);
    return locked ? err::AccessDenied : err::None;
}

bool HeldByAnother(const QString& dosPath) {
    QString hostPath;
    if (DosToHost(dosPath, &hostPath) != err::None) return false;
    const QByteArray path = Encode(hostPath);
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // A file this user may not read may still be opened for writing to look for locks.
    int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && (errno == EACCES || errno == EPERM)) fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    const bool held = LockedByAnother(fd);
    ::close(fd);
    return held;
}

}  // namespace platform
