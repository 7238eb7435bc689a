#include "platform/files.h"
#include <QFile>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <csignal>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>
#include "platform/copyfile.h"
#include "platform/hostfs.h"
#include "platform/paths.h"
#include "platform/userfile.h"

namespace platform {

using host::Encode;
using host::ErrorAt;
using copying::CopyHostFile;
using copying::DestinationErrorAt;

namespace {
constexpr int kHsa = attr::Hidden | attr::System | attr::Archive;

// Host path and DOS name of the entry a DOS path stands for (the name is empty for a root).
ErrorCode Resolve(const QString& dosPath, QString* hostPath, QString* dosName, LastName last = LastName::AnyCase) {
    QString full, drive;
    QStringList components;
    if (const ErrorCode e = FullDosPath(dosPath, &full)) return e;
    SplitDosPath(full, &drive, &components);
    if (const ErrorCode e = DosToHost(full, hostPath, last)) return e;
    if (dosName) *dosName = components.isEmpty() ? QString() : host::DosNameOf(*hostPath);
    return err::None;
}

ErrorCode StatAt(const QString& hostPath, struct stat* st) {
    if (::stat(Encode(hostPath).constData(), st) == 0) return err::None;
    return ErrorAt(errno, hostPath);
}

// A folder operation on a folder that is not there reports the path, not a file.
ErrorCode FolderErrorAt(int e, const QString& hostPath) {
    return e == ENOENT ? err::PathNotFound : ErrorAt(e, hostPath);
}

bool IsUnsupported(int e) { return e == ENOTSUP || e == EOPNOTSUPP; }

// The permissions or Samba's record: either makes a file read-only.
bool IsReadOnlyAt(const QString& hostPath, const struct stat& st) {
    return (host::ReadAttributes(hostPath, QString(), st) & attr::ReadOnly) != 0;
}

// A file's time as the user's clock shows it. Qt's own local time reads the
// zone file's state again for every value (a look at /etc/localtime per file
// of a big folder); the C library reads it once.
QDateTime ModifiedTime(const struct stat& st) {
    const qint64 ms = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    struct tm local {};
    if (::localtime_r(&st.st_mtim.tv_sec, &local))
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, int(local.tm_gmtoff));
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
}

FileEntry MakeEntry(const QString& name, const struct stat& st, int attributes) {
    FileEntry e;
    e.name = name;
    e.size = S_ISDIR(st.st_mode) ? 0 : qint64(st.st_size);
    e.modified = ModifiedTime(st);
    e.attributes = attributes;
    return e;
}

FileEntry MakeEntry(const QString& name, const QString& hostPath, const struct stat& st) {
    return MakeEntry(name, st, host::ReadAttributes(hostPath, name, st));
}

// An open folder whose entries are looked at by name, one name for the kernel
// to walk instead of the whole path; closed with the scope.
class OpenFolder {
public:
    explicit OpenFolder(const QString& hostFolder)
        : fd_(::open(Encode(hostFolder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}
    ~OpenFolder() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

// A "?" at the end of the pattern or just before a dot of it, and the "?"s
// right before such a one, match one character other than a dot, or none, so
// that "ab?" takes "ab" and "ab1" as DOS's listing does. Any other "?" is one
// character. A "*" of the pattern is always a wildcard, even where the name
// holds one.
bool WildMatch(const QString& name, const QString& pattern) {
    const qsizetype m = pattern.size();
    std::vector<bool> optional(size_t(m + 1), false);
    for (qsizetype j = m - 1; j >= 0; --j)
        optional[size_t(j)] = pattern[j] == u'?' && (j + 1 == m || pattern[j + 1] == u'.' || optional[size_t(j + 1)]);
    // The pattern positions reached so far, each followed by what may match nothing.
    std::vector<bool> reached(size_t(m + 1), false), next(size_t(m + 1), false);
    const auto close = [&](std::vector<bool>& at) {
        for (qsizetype j = 0; j < m; ++j)
            if (at[size_t(j)] && (pattern[j] == u'*' || optional[size_t(j)])) at[size_t(j + 1)] = true;
    };
    reached[0] = true;
    close(reached);
    for (const QChar c : name) {
        std::fill(next.begin(), next.end(), false);
        bool any = false;
        for (qsizetype j = 0; j < m; ++j) {
            if (!reached[size_t(j)]) continue;
            const QChar p = pattern[j];
            if (p == u'*') next[size_t(j)] = true;
            else if (p == c || (p == u'?' && !(optional[size_t(j)] && c == u'.'))) next[size_t(j + 1)] = true;
            else continue;
            any = true;
        }
        if (!any) return false;
        close(next);
        reached.swap(next);
    }
    return reached[size_t(m)];
}

bool MatchesOne(const QString& foldedName, const QString& foldedPattern) {
    // "name." asks for a name without an extension.
    if (foldedPattern.size() > 1 && foldedPattern.endsWith(u'.'))
        return !foldedName.contains(u'.') && WildMatch(foldedName, foldedPattern.chopped(1));
    if (WildMatch(foldedName, foldedPattern)) return true;
    // "name.*" also takes the name without any extension, so "*.*" takes every name.
    return foldedPattern.endsWith(u".*") && WildMatch(foldedName, foldedPattern.chopped(2));
}

void ListEntries(const FolderContents& folder, bool folders, const QString& patterns, bool includeHiddenSystem,
                 QList<FileEntry>* out) {
    out->clear();
    QHash<QString, int> sharing;   // how many entries share a lower-case form
    for (const QString& n : folder.names) ++sharing[host::Fold(n)];
    // What the folder itself says is a file or a folder (no link) needs no look
    // to be left out of the other listing: a folder of many files lists its
    // subfolders without a stat per file.
    const unsigned char otherKind = folders ? DT_REG : DT_DIR;
    const OpenFolder open(folder.hostFolder);
    const qsizetype folderLength = Encode(host::Join(folder.hostFolder, QString())).size();
    for (const QString& n : folder.names) {
        if (folder.kinds.value(n) == otherKind) continue;
        if (!folders && !MatchesFileSpec(n, patterns)) continue;
        const QString hostName = NameToHost(n);
        const QByteArray name = Encode(hostName);
        // What no call reaches by its whole path stays out, as in every other listing.
        if (host::BeyondPathLimit(folderLength, name.size())) continue;
        const QString path = host::Join(folder.hostFolder, hostName);
        struct stat st;
        const int found = open.fd() >= 0 ? ::fstatat(open.fd(), name.constData(), &st, 0)
                                         : ::stat(Encode(path).constData(), &st);
        if (found != 0) continue;   // dangling link
        if (folders ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode)) continue;
        FileEntry entry = MakeEntry(n, st, host::ReadAttributesAt(open.fd(), name, path, n, st));
        entry.listName = sharing.value(host::Fold(n)) > 1 ? n : n.toLower();
        if (!includeHiddenSystem && (entry.attributes & (attr::Hidden | attr::System))) continue;
        out->append(entry);
    }
    std::sort(out->begin(), out->end(), [](const FileEntry& a, const FileEntry& b) {
        const QString la = a.name.toLower(), lb = b.name.toLower();
        return la != lb ? la < lb : a.name < b.name;
    });
}

// A pipe, socket or device is no file to the program (the listings leave them
// out): it is not found, and it is never opened, which for a device could act.
ErrorCode SourceKind(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return err::PathFileConflict;
    return S_ISREG(st.st_mode) ? err::None : err::FileNotFound;
}

ErrorCode OpenSource(const QString& src, int* fd, struct stat* st) {
    if (::stat(Encode(src).constData(), st) != 0) return ErrorAt(errno, src);
    if (const ErrorCode e = SourceKind(*st)) return e;
    // Non-blocking, so that a named pipe put in its place meanwhile cannot hang the program.
    *fd = ::open(Encode(src).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (*fd < 0) return ErrorAt(errno, src);
    ErrorCode e = ::fstat(*fd, st) != 0 ? ErrorFromErrno(errno) : SourceKind(*st);
    if (e) ::close(*fd);
    return e;
}
}  // namespace

ErrorCode GetAttributes(const QString& dosPath, int* attributes) {
    QString hostPath, name;
    if (const ErrorCode e = Resolve(dosPath, &hostPath, &name)) return e;
    struct stat st;
    if (const ErrorCode e = StatAt(hostPath, &st)) return e;
    *attributes = host::ReadAttributes(hostPath, name, st);
    return err::None;
}

namespace {
QByteArray ReadDosAttrib(const QByteArray& path, bool follow) {
    char buf[256];
    const ssize_t n = follow ? ::getxattr(path.constData(), host::DosAttribName, buf, sizeof buf)
                             : ::lgetxattr(path.constData(), host::DosAttribName, buf, sizeof buf);
    return n > 0 ? QByteArray(buf, int(n)) : QByteArray();
}

int ChangeMode(const QByteArray& path, bool follow, mode_t mode) {
    return follow ? ::chmod(path.constData(), mode) : ::fchmodat(AT_FDCWD, path.constData(), mode, AT_SYMLINK_NOFOLLOW);
}

// R through the permissions, H/S/A through user.DOSATTRIB, on the entry itself
// (follow false: a link is never written through) or on what a link points at.
// A record of Samba's keeps R too and every field but its attribute bits: R is
// written to both, so that Samba's clients and the program agree after every change.
ErrorCode WriteAttributes(const QString& hostPath, const QString& name, bool follow, int attributes) {
    const QByteArray path = Encode(hostPath);
    struct stat st;
    if ((follow ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st)) != 0) return ErrorAt(errno, hostPath);
    if (S_ISLNK(st.st_mode)) return err::None;
    const mode_t original = st.st_mode & 07777;
    const mode_t wanted = (attributes & attr::ReadOnly) ? original & ~mode_t(0222) : original | S_IWUSR;
    mode_t current = original;
    const int wantedOwn = attributes & (kHsa | attr::ReadOnly);
    QByteArray value = ReadDosAttrib(path, follow);
    int recorded = 0;
    const bool record = host::DosAttribRecordField(value) >= 0 && host::ParseDosAttrib(value, &recorded);
    const bool changes = record ? recorded != wantedOwn
                                : (host::ReadAttributes(hostPath, name, st) & kHsa) != (attributes & kHsa);
    if (changes) {
        // The attribute of a read-only file can only be written while it may be written.
        if (!(current & S_IWUSR)) {
            if (ChangeMode(path, follow, current | S_IWUSR) != 0) return ErrorFromErrno(errno);
            current |= S_IWUSR;
        }
        if (!record || !host::UpdateDosAttribRecord(&value, wantedOwn)) value = host::FormatDosAttrib(wantedOwn & kHsa);
        const int r = follow ? ::setxattr(path.constData(), host::DosAttribName, value.constData(), size_t(value.size()), 0)
                             : ::lsetxattr(path.constData(), host::DosAttribName, value.constData(),
                                           size_t(value.size()), 0);
        if (r != 0 && !IsUnsupported(errno)) {
            const int e = errno;
            if (current != original) ChangeMode(path, follow, original);
            return ErrorFromErrno(e);
        }
    }
    if (current != wanted && ChangeMode(path, follow, wanted) != 0) return ErrorFromErrno(errno);
    return err::None;
}
}  // namespace

ErrorCode SetAttributes(const QString& dosPath, int attributes) {
    QString hostPath, name;
    if (const ErrorCode e = Resolve(dosPath, &hostPath, &name)) return e;
    return WriteAttributes(hostPath, name, true, attributes);
}

ErrorCode SetEntryAttributes(const QString& dosPath, int attributes) {
    QString hostPath, name;
    if (const ErrorCode e = Resolve(dosPath, &hostPath, &name)) return e;
    return WriteAttributes(hostPath, name, false, attributes);
}

ErrorCode FindEntry(const QString& dosPath, bool* folder) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    struct stat st;
    if (const ErrorCode e = StatAt(hostPath, &st)) return e;
    *folder = S_ISDIR(st.st_mode);
    return err::None;
}

ErrorCode DiskSpelling(const QString& dosPath, QString* name) {
    QString hostPath;
    return Resolve(dosPath, &hostPath, name);
}

ErrorCode GetFileInfo(const QString& dosPath, FileEntry* entry, LastName last) {
    QString hostPath, name;
    if (const ErrorCode e = Resolve(dosPath, &hostPath, &name, last)) return e;
    struct stat st;
    if (const ErrorCode e = StatAt(hostPath, &st)) return e;
    *entry = MakeEntry(name, hostPath, st);
    return err::None;
}

bool MatchesFileSpec(const QString& name, const QString& patterns) {
    // The usual file specification takes every name; a big folder asks for each.
    if (patterns == u"*.*" || patterns == u"*") return true;
    const QString folded = host::Fold(name);
    bool anyPattern = false;
    for (const QString& p : patterns.split(u';')) {
        const QString pattern = p.trimmed();
        if (pattern.isEmpty()) continue;
        anyPattern = true;
        if (MatchesOne(folded, host::Fold(pattern))) return true;
    }
    // No pattern at all leaves nothing to filter.
    return !anyPattern;
}

ErrorCode ReadFolder(const QString& dosFolder, FolderContents* out) {
    out->names.clear();
    out->kinds.clear();
    if (const ErrorCode e = DosToHost(dosFolder, &out->hostFolder)) return e;
    return host::ReadFolderNames(out->hostFolder, &out->names, &out->kinds);
}

void ListFolders(const FolderContents& folder, bool includeHiddenSystem, QList<FileEntry>* out) {
    ListEntries(folder, true, QString(), includeHiddenSystem, out);
}

void ListFiles(const FolderContents& folder, const QString& patterns, bool includeHiddenSystem,
               QList<FileEntry>* out) {
    ListEntries(folder, false, patterns, includeHiddenSystem, out);
}

ErrorCode ListFolders(const QString& dosFolder, bool includeHiddenSystem, QList<FileEntry>* out) {
    out->clear();
    FolderContents folder;
    if (const ErrorCode e = ReadFolder(dosFolder, &folder)) return e;
    ListFolders(folder, includeHiddenSystem, out);
    return err::None;
}

ErrorCode ListFiles(const QString& dosFolder, const QString& patterns, bool includeHiddenSystem,
                    QList<FileEntry>* out) {
    out->clear();
    FolderContents folder;
    if (const ErrorCode e = ReadFolder(dosFolder, &folder)) return e;
    ListFiles(folder, patterns, includeHiddenSystem, out);
    return err::None;
}

ErrorCode CopyFileTo(const QString& from, const QString& to, const CopyProgress& progress, LastName toName,
                     int attributes) {
    QString src, dst;
    if (const ErrorCode e = DosToHost(from, &src)) return e;
    if (const ErrorCode e = DosToHost(to, &dst, toName)) return e;
    int in;
    struct stat source;
    if (const ErrorCode e = OpenSource(src, &in, &source)) return e;
    ErrorCode result = err::None;
    const QByteArray dstBytes = Encode(dst);
    struct stat target;
    const bool there = ::lstat(dstBytes.constData(), &target) == 0;
    if (!there && errno != ENOENT) result = ErrorAt(errno, dst);
    // A link at the destination is replaced by the copy; what it points at
    // stays as it was, so its read-only attribute does not stand in the way.
    const bool link = there && S_ISLNK(target.st_mode);
    if (there && (!link || ::stat(dstBytes.constData(), &target) == 0)) {
        if (S_ISDIR(target.st_mode)) result = err::PathFileConflict;
        else if (target.st_dev == source.st_dev && target.st_ino == source.st_ino) {
            ::close(in);
            // A file copied onto itself is already there.
            if (attributes == kSourceAttributes) return err::None;
            return WriteAttributes(dst, host::DosNameOf(dst), false, attributes);
        } else if (!link && IsReadOnlyAt(dst, target)) result = err::AccessDenied;
    }
    if (result == err::None) result = CopyHostFile(in, source, dst, progress, attributes);
    ::close(in);
    return result;
}

ErrorCode RenamePath(const QString& from, const QString& to, LastName toName) {
    QString src, srcName, dst, fullTo;
    if (const ErrorCode e = Resolve(from, &src, &srcName)) return e;
    if (const ErrorCode e = FullDosPath(to, &fullTo)) return e;
    if (const ErrorCode e = DosToHost(fullTo, &dst, toName)) return e;
    struct stat s, d, followed;
    if (::lstat(Encode(src).constData(), &s) != 0) return ErrorAt(errno, src);
    if (srcName.isEmpty()) return err::PathFileConflict;   // a drive's root keeps its name
    const struct stat entry = s;
    if (::stat(Encode(src).constData(), &followed) == 0) s = followed;
    // The new name finds the entry itself: a change of case only (on a disk
    // that ignores case, also a spelling taken as given).
    const bool itself = dst == src || (::lstat(Encode(dst).constData(), &d) == 0 && d.st_dev == entry.st_dev &&
                                       d.st_ino == entry.st_ino && host::ParentOf(dst) == host::ParentOf(src));
    if (itself) {
        dst = host::Join(host::ParentOf(src), NameToHost(fullTo.mid(fullTo.lastIndexOf(u'\\') + 1)));
        if (dst == src) return err::None;
    } else if (::lstat(Encode(dst).constData(), &d) == 0) {
        if (::stat(Encode(dst).constData(), &followed) == 0) d = followed;
        return S_ISDIR(d.st_mode) == S_ISDIR(s.st_mode) ? err::FileExists : err::PathFileConflict;
    }
    const QByteArray srcBytes = Encode(src), dstBytes = Encode(dst);
    const host::FolderStamp srcBefore = host::StampOfFolderOf(src), dstBefore = host::StampOfFolderOf(dst);
    const bool oneFolder = host::ParentOf(src) == host::ParentOf(dst);
    int r = ::renameat2(AT_FDCWD, srcBytes.constData(), AT_FDCWD, dstBytes.constData(), RENAME_NOREPLACE);
    // File systems without the no-replace rename: the check above has to do.
    if (r != 0 && (errno == EINVAL || IsUnsupported(errno)))
        r = ::rename(srcBytes.constData(), dstBytes.constData());
    if (r == 0) {
        if (!S_ISREG(entry.st_mode)) host::ForgetBatchFolders();
        if (oneFolder) {
            host::NoteEntriesChanged(src, dst, srcBefore);
        } else {
            host::NoteEntryChanged(src, srcBefore);
            host::NoteEntryChanged(dst, dstBefore);
        }
        return err::None;
    }
    if (errno == EEXIST) return err::FileExists;
    if (errno != EXDEV || !S_ISREG(s.st_mode)) return DestinationErrorAt(errno, dst);
    // Another file system: a file moves by copy and delete.
    int in;
    struct stat source;
    if (const ErrorCode e = OpenSource(src, &in, &source)) return e;
    const ErrorCode e = CopyHostFile(in, source, dst, CopyProgress());
    ::close(in);
    if (e) return e;
    const host::FolderStamp copied = host::StampOfFolderOf(dst);
    if (::unlink(srcBytes.constData()) != 0) {
        const int ue = errno;
        ::unlink(dstBytes.constData());
        host::NoteEntryChanged(dst, copied);
        return ErrorFromErrno(ue);
    }
    host::NoteEntryChanged(src, srcBefore);
    return err::None;
}

ErrorCode DeleteFile(const QString& dosPath) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    struct stat st;
    if (::lstat(Encode(hostPath).constData(), &st) != 0) return ErrorAt(errno, hostPath);
    // A link goes as a link: what it points at decides nothing and is not touched.
    if (!S_ISLNK(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) return err::PathFileConflict;
        // DOS refuses to delete a read-only file.
        if (IsReadOnlyAt(hostPath, st)) return err::AccessDenied;
    } else if (::stat(Encode(hostPath).constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return err::PathFileConflict;
    }
    const host::FolderStamp before = host::StampOfFolderOf(hostPath);
    if (::unlink(Encode(hostPath).constData()) != 0) return ErrorAt(errno, hostPath);
    if (!S_ISREG(st.st_mode)) host::ForgetBatchFolders();
    host::NoteEntryChanged(hostPath, before);
    return err::None;
}

ErrorCode MakeFolder(const QString& dosPath) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    const host::FolderStamp before = host::StampOfFolderOf(hostPath);
    if (::mkdir(Encode(hostPath).constData(), 0777) == 0) {
        host::ForgetBatchFolders();
        host::NoteEntryChanged(hostPath, before);
        return err::None;
    }
    const int e = errno;
    // A name already taken, by a file or a folder, is the DOS path/file access error.
    if (e == EEXIST) return err::PathFileConflict;
    if (e == ENOENT) return err::PathNotFound;
    return DestinationErrorAt(e, hostPath);
}

ErrorCode RemoveFolder(const QString& dosPath) {
    QString hostPath, name;
    if (const ErrorCode e = Resolve(dosPath, &hostPath, &name)) return e;
    if (name.isEmpty()) return err::PathFileConflict;   // a drive's root stays
    const host::FolderStamp before = host::StampOfFolderOf(hostPath);
    if (::rmdir(Encode(hostPath).constData()) == 0) {
        host::ForgetBatchFolders();
        host::NoteEntryChanged(hostPath, before);
        return err::None;
    }
    const int e = errno;
    return e == EEXIST ? err::PathFileConflict : FolderErrorAt(e, hostPath);
}

ErrorCode CreateEmptyFile(const QString& dosPath) {
    QString hostPath;
    if (const ErrorCode e = DosToHost(dosPath, &hostPath)) return e;
    const QByteArray path = Encode(hostPath);
    struct stat st;
    // A read-only file is not truncated, even for a user the permissions would let through.
    if (::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && IsReadOnlyAt(hostPath, st))
        return err::AccessDenied;
    const host::FolderStamp before = host::StampOfFolderOf(hostPath);
    // A link of that name is refused rather than its target emptied.
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0666);
    if (fd < 0) return errno == ELOOP ? err::AccessDenied : DestinationErrorAt(errno, hostPath);
    const int closed = ::close(fd);
    host::NoteEntryChanged(hostPath, before);
    if (closed != 0) return ErrorFromErrno(errno);
    return err::None;
}

ErrorCode ProbeWritable(const QString& dosFolder, const QString& probeName) {
    host::CountWriteProbe();
    QString folder;
    if (const ErrorCode e = DosToHost(dosFolder, &folder)) return e;
    struct stat st;
    while (::stat(Encode(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        const QString parent = host::ParentOf(folder);
        if (parent == folder) return err::PathNotFound;
        folder = parent;
    }
    QString first = probeName;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const qsizetype dot = first.lastIndexOf(u'.');
        const QString stem = dot > 0 ? first.left(dot) : first;
        const QString extension = dot > 0 ? first.mid(dot) : QString();
        const QString name = attempt == 0 ? first : stem + u'-' + QString::number(attempt) + extension;
        const QByteArray path = Encode(host::Join(folder, name));
        const host::FolderStamp before = host::StampOfFolderOf(host::Join(folder, name));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK,
                              0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            // A disk that refuses the name itself (a FAT stick and a character
            // it cannot hold) may still take files: a plain name asks again.
            const QString plain = QStringLiteral("quorl-probe.tmp");
            if ((errno == EINVAL || errno == EILSEQ || errno == EPERM) && first != plain) {
                first = plain;
                attempt = -1;
                continue;
            }
            return ErrorAt(errno, host::Join(folder, name));
        }
        struct stat mine, now;
        const bool known = ::fstat(fd, &mine) == 0;
        ::close(fd);
        // Only the file this probe made goes, never whatever took its name since.
        if (known && ::lstat(path.constData(), &now) == 0 && now.st_dev == mine.st_dev && now.st_ino == mine.st_ino)
            ::unlink(path.constData());
        host::NoteEntryChanged(host::Join(folder, name), before);
        return err::None;
    }
    return err::TooManyFiles;
}

namespace {
// Taken when the program is loaded.
QDateTime programStart = QDateTime::currentDateTimeUtc();
QDateTime& ProgramStart() { return programStart; }

// The process a temporary copy's name tells of, when it is still running.
bool CopierRunning(const QString& name) {
    const QString rest = name.mid(CopyTempPrefix.size());
    bool ok = false;
    const qint64 pid = rest.left(rest.indexOf(u'-')).toLongLong(&ok);
    if (!ok || pid <= 0) return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// A temporary copy of the program's user, older than the program's start,
// whose process is gone: removed.
bool RemoveIfStale(const QString& hostFolder, const QString& name, qint64 start) {
    const QString path = host::Join(hostFolder, NameToHost(name));
    struct stat st;
    if (::lstat(Encode(path).constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) return false;
    const qint64 modified = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    if (modified >= start || CopierRunning(name)) return false;
    const host::FolderStamp before = host::StampOfFolderOf(path);
    if (::unlink(Encode(path).constData()) != 0) return false;
    host::NoteEntryChanged(path, before);
    return true;
}
}  // namespace

void MarkProgramStart() { ProgramStart() = QDateTime::currentDateTimeUtc(); }

int RemoveStaleCopies(FolderContents* folder) {
    const qint64 start = ProgramStart().toMSecsSinceEpoch();
    int removed = 0;
    for (qsizetype i = 0; i < folder->names.size();) {
        const QString name = folder->names[i];
        if (name.startsWith(CopyTempPrefix) && RemoveIfStale(folder->hostFolder, name, start)) {
            folder->kinds.remove(name);
            folder->names.removeAt(i);
            ++removed;
        } else {
            ++i;
        }
    }
    return removed;
}

int RemoveStaleCopies(const QString& dosFolder) {
    FolderContents folder;
    if (ReadFolder(dosFolder, &folder) != err::None) return 0;
    return RemoveStaleCopies(&folder);
}

}  // namespace platform
