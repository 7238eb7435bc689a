// Links as entries of their own, for the commands that remove a tree and must
// never reach through a link into what it points at.
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/files.h"
#include "platform/hostfs.h"
#include "platform/paths.h"

namespace platform {

bool IsLink(const QString& dosPath) {
    QString hostPath;
    if (DosToHost(dosPath, &hostPath) != err::None) return false;
    struct stat st;
    return ::lstat(host::Encode(hostPath).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

ErrorCode DeleteLink(const QString& dosPath) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    const QByteArray path = host::Encode(hostPath);
    struct stat st;
    if (::lstat(path.constData(), &st) != 0) return host::ErrorAt(errno, hostPath);
    if (!S_ISLNK(st.st_mode)) return err::PathFileConflict;
    const host::FolderStamp before = host::StampOfFolderOf(hostPath);
    if (::unlink(path.constData()) != 0) return host::ErrorAt(errno, hostPath);
    host::ForgetBatchFolders();
    host::NoteEntryChanged(hostPath, before);
    return err::None;
}

}  // namespace platform
