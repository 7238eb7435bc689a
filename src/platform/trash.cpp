#include "platform/trash.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/hostfs.h"
#include "platform/paths.h"

// Qt's QFile::moveToTrash (Qt 6.4) is not used: when the home trash cannot be
// made it moves the file into a "files" folder of the process's current folder,
// and it never returns when the information file cannot be made (a full disk,
// a name too long for ".trashinfo", an info folder that may not be written).
// The steps below are the freedesktop trash layout's, each failure a result.

namespace platform {

namespace {

using host::Encode;

QByteArray Parent(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray HomeTrash() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid by the XDG rules and is ignored.
    if (data.isEmpty() || QDir::isRelativePath(data)) data = QDir::homePath() + QStringLiteral("/.local/share");
    return Encode(data) + "/Trash";
}

// The folder, made (owner only) when it is missing, is one this user may fill:
// a folder of the user's own on the file's file system. A folder of a trash at
// the top of a shared disk is not followed when it is a link: whoever planted
// it would receive what the user deletes.
bool UsableFolder(const QByteArray& path, dev_t device, bool followLink) {
    ::mkdir(path.constData(), 0700);
    struct stat st;
    if ((followLink ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st)) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && st.st_dev == device &&
           ::access(path.constData(), W_OK | X_OK) == 0;
}

bool UsableTrash(const QByteArray& trash, dev_t device, bool followLink) {
    return UsableFolder(trash, device, followLink) && UsableFolder(trash + "/files", device, false) &&
           UsableFolder(trash + "/info", device, false);
}

// The highest folder above `folder` on the same file system: where the file
// system is mounted.
QByteArray TopFolder(QByteArray folder, dev_t device) {
    for (;;) {
        const QByteArray parent = Parent(folder);
        struct stat st;
        if (parent == folder || ::stat(parent.constData(), &st) != 0 || st.st_dev != device) return folder;
        folder = parent;
    }
}

struct TrashPlace {
    QByteArray folder;   // holds files/ and info/
    QByteArray top;      // where the paths in the information files start; empty: they are absolute
};

// The trash for a file in `folder` (a canonical host folder on `device`).
bool FindTrash(const QByteArray& folder, dev_t device, TrashPlace* place) {
    const QByteArray home = HomeTrash();
    struct stat st;
    // The home trash serves its own file system, and only that one; a link to
    // it is the user's own choice.
    if (::stat(Parent(home).constData(), &st) == 0 && st.st_dev == device) {
        *place = {home, QByteArray()};
        return UsableTrash(home, device, true);
    }
    const QByteArray top = TopFolder(folder, device);
    const QByteArray base = top == "/" ? QByteArray() : top;
    const QByteArray uid = QByteArray::number(uint(::geteuid()));
    const QByteArray shared = base + "/.Trash";
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) &&
        UsableTrash(shared + "/" + uid, device, false)) {
        *place = {shared + "/" + uid, top};
        return true;
    }
    *place = {base + "/.Trash-" + uid, top};
    return UsableTrash(place->folder, device, false);
}

// The n-th name tried in the trash: the name, then "name.2.ext" and so on,
// short enough that its information file's name fits the file system.
QByteArray TrashName(QByteArray name, int n) {
    constexpr qsizetype kInfo = 10;   // ".trashinfo"
    constexpr qsizetype kNumber = 8;  // room for ".N"
    if (name.size() > NAME_MAX - kInfo - kNumber) {
        name.truncate(NAME_MAX - kInfo - kNumber);
        // Not in the middle of a UTF-8 character.
        while (!name.isEmpty() && (uchar(name.back()) & 0xC0) == 0x80) name.chop(1);
        if (!name.isEmpty() && uchar(name.back()) >= 0xC0) name.chop(1);
    }
    if (n == 1) return name;
    const qsizetype dot = name.indexOf('.', 1);
    const QByteArray number = "." + QByteArray::number(n);
    return dot < 0 ? name + number : name.left(dot) + number + name.mid(dot);
}

QByteArray PercentEncoded(const QByteArray& path) {
    QByteArray out;
    for (const char c : path) {
        const uchar u = uchar(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~' || c == '/') {
            out += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", unsigned(u));
            out += hex;
        }
    }
    return out;
}

bool WriteAll(int fd, const QByteArray& data) {
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// Makes the information file of a free name in the trash and returns the name;
// 0 or the error of the making.
ErrorCode ClaimName(const TrashPlace& place, const QByteArray& name, const QByteArray& info, QByteArray* claimed) {
    for (int n = 1; n < 10000; ++n) {
        const QByteArray candidate = TrashName(name, n);
        struct stat st;
        if (::lstat((place.folder + "/files/" + candidate).constData(), &st) == 0) continue;
        const QByteArray infoPath = place.folder + "/info/" + candidate + ".trashinfo";
        // Made only when the name is free, so that two deletes never share one.
        const int fd = ::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return ErrorFromErrno(errno);
        }
        const bool written = WriteAll(fd, info);
        const int e = errno;
        if (::close(fd) != 0 || !written) {
            ::unlink(infoPath.constData());
            return ErrorFromErrno(written ? errno : e);
        }
        *claimed = candidate;
        return err::None;
    }
    return err::TooManyFiles;
}

}  // namespace

ErrorCode MoveToTrash(const QString& dosPath, QString* trashed) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    const QByteArray source = Encode(hostPath);
    struct stat st;
    if (::lstat(source.constData(), &st) != 0) return host::ErrorAt(errno, hostPath);
    if (S_ISDIR(st.st_mode)) return err::PathFileConflict;
    char resolved[PATH_MAX];
    if (!::realpath(Parent(source).constData(), resolved)) return host::ErrorAt(errno, hostPath);
    const QByteArray folder = resolved;
    const QByteArray name = source.mid(source.lastIndexOf('/') + 1);
    struct stat folderStat;
    if (::stat(folder.constData(), &folderStat) != 0) return ErrorFromErrno(errno);

    TrashPlace place;
    if (!FindTrash(folder, folderStat.st_dev, &place)) return err::NoTrash;
    const QByteArray original = (folder == "/" ? QByteArray() : folder) + "/" + name;
    // Paths in a trash at the top of a disk start there, so the disk may be
    // mounted elsewhere later.
    const QByteArray recorded = place.top.isEmpty() ? original
                              : original.mid(place.top == "/" ? 1 : place.top.size() + 1);
    const QByteArray info = "[Trash Info]\nPath=" + PercentEncoded(recorded) + "\nDeletionDate=" +
                            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toUtf8() + "\n";
    QByteArray claimed;
    if (const ErrorCode e = ClaimName(place, name, info, &claimed)) return e;
    const QByteArray target = place.folder + "/files/" + claimed;
    const host::FolderStamp before = host::StampOfFolderOf(hostPath);
    int r = ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    // A file system without the no-replace rename: the name was claimed a moment ago.
    if (r != 0 && (errno == EINVAL || errno == ENOSYS)) r = ::rename(source.constData(), target.constData());
    if (r != 0) {
        const int e = errno;
        ::unlink((place.folder + "/info/" + claimed + ".trashinfo").constData());
        if (e == EXDEV) return err::NoTrash;
        return host::ErrorAt(e, hostPath);
    }
    if (!S_ISREG(st.st_mode)) host::ForgetBatchFolders();
    host::NoteEntryChanged(hostPath, before);
    if (trashed) *trashed = host::Decode(target);
    return err::None;
}

}  // namespace platform
