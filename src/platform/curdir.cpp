#include "platform/curdir.h"
#include <QHash>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/hostfs.h"
#include "platform/paths.h"
#include "platform/prefix.h"

namespace platform {

namespace {
struct CurrentState {
    QChar drive = u'c';
    QHash<QChar, QString> folders;   // lower-case full DOS paths, by drive letter
};

CurrentState& State() {
    static CurrentState state;
    return state;
}

ErrorCode EnterHostFolder(const QString& hostFolder) {
    if (::chdir(host::Encode(hostFolder).constData()) == 0) return err::None;
    const int e = errno;
    return (e == ENOENT || e == ENOTDIR) ? err::PathNotFound : ErrorFromErrno(e);
}
}  // namespace

QString CurrentDrive() { return QString(State().drive) + u':'; }

QString CurrentFolder(QChar letter) {
    const QChar l = letter.toLower();
    return State().folders.value(l, QString(l) + u':');
}

void ResetCurrentFolders() {
    State().drive = u'c';
    State().folders.clear();
}

void ForgetCurrentFolder(QChar letter) {
    const QChar l = letter.toLower();
    State().folders.remove(l);
    if (State().drive != l || l == u'c') return;
    State().drive = u'c';
    QString root;
    if (DriveRoot(u'c', &root) == err::None) EnterHostFolder(root);
}

ErrorCode ChangeDrive(QChar letter) {
    const QChar l = letter.toLower();
    QString root;
    if (const ErrorCode e = DriveRoot(l, &root)) return e;
    // At the root the root is the folder: no second look at the drive.
    const QString current = CurrentFolder(l);
    QString folder = root;
    if ((current.size() > 2 && DosToHost(current, &folder) != err::None) || EnterHostFolder(folder) != err::None) {
        // The drive's folder went away since it was made current (removed, or the
        // disk changed): like DOS, the drive starts again at its root.
        State().folders.remove(l);
        if (const ErrorCode e = EnterHostFolder(root)) return e;
    }
    State().drive = l;
    return err::None;
}

ErrorCode ChangeFolder(const QString& dosPath) {
    QString full;
    if (const ErrorCode e = FullDosPath(dosPath, &full)) return e;
    const QChar l = full[0];
    QString hostFolder;
    if (const ErrorCode e = DosToHost(full, &hostFolder)) return e;
    struct stat st;
    if (::stat(host::Encode(hostFolder).constData(), &st) != 0) {
        const int e = errno;
        return (e == ENOENT || e == ENOTDIR) ? err::PathNotFound : ErrorFromErrno(e);
    }
    if (!S_ISDIR(st.st_mode)) return err::PathNotFound;
    if (l == State().drive) {
        if (const ErrorCode e = EnterHostFolder(hostFolder)) return e;
    } else if (::access(host::Encode(hostFolder).constData(), X_OK) != 0) {
        return ErrorFromErrno(errno);
    }
    // Held lower case, as the program holds paths, unless that spelling finds
    // another folder (one of names that differ only in case).
    QString lower;
    const bool lowerFinds = DosToHost(full.toLower(), &lower) == err::None && lower == hostFolder;
    State().folders.insert(l, lowerFinds ? full.toLower() : full);
    return err::None;
}

}  // namespace platform
