#include "pkunzip.h"
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <zip.h>
#include "dosnames.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/hostfs.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "zipdirectory.h"
#include "ziplisting.h"

namespace archivers {

namespace {

QString ErrnoText(int e) { return QString::fromLocal8Bit(std::strerror(e)).toLower(); }

// A file descriptor closed when it goes out of scope.
struct Fd {
    int fd = -1;
    explicit Fd(int f = -1) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& o) noexcept : fd(o.fd) { o.fd = -1; }
    Fd& operator=(Fd&& o) noexcept {
        std::swap(fd, o.fd);
        return *this;
    }
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// The spelling a name already has in a folder, so that a DOS name never gets
// a second file that differs from it only in case; a name the archive also
// holds in another spelling (exactCase) is taken as it is. Each folder's names
// are read once, when first asked, and kept up to date with what the
// extraction makes there: an archive costs one read per folder, not one per
// entry.
class FolderNames {
public:
    QString onDisk(int dirFd, const QString& folderHost, const QString& name, bool exactCase) {
        struct stat st;
        if (exactCase || ::fstatat(dirFd, platform::host::Encode(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            return name;
        return namesOf(folderHost).value(platform::host::Fold(name), name);
    }
    void made(const QString& folderHost, const QString& name) {
        namesOf(folderHost).insert(platform::host::Fold(name), name);
    }
    void madeFolder(const QString& folderHost) { byFolder_.insert(folderHost, {}); }

private:
    // By folded name; the first in sorted order, as a lookup picks it.
    QHash<QString, QString>& namesOf(const QString& folderHost) {
        auto it = byFolder_.find(folderHost);
        if (it != byFolder_.end()) return *it;
        QHash<QString, QString> names;
        QStringList all;
        platform::host::ReadFolderNames(folderHost, &all);
        // Backwards, so that the first spelling of a name is the one kept.
        for (auto n = all.crbegin(); n != all.crend(); ++n) names.insert(platform::host::Fold(*n), *n);
        return *byFolder_.insert(folderHost, names);
    }
    QHash<QString, QHash<QString, QString>> byFolder_;
};

struct Entry {
    zip_uint64_t index = 0;
    QString name;          // as stored, its bytes as a host path (names.h)
    zip_stat_t stat{};
    bool isFolder = false;
    bool isLink = false;
    quint8 opsys = 0;
    zip_uint32_t external = 0;
    bool dosMade = false;     // "\\" separates folders as "/" does
    bool exactCase = false;   // the archive holds the name in another case too
};

QByteArray Bytes(const QString& hostPath) { return platform::host::Encode(hostPath); }

// What stands at a host path, its name's bytes as they are (Qt's own calls
// would misread a name that is no UTF-8); links followed.
enum class Kind { Missing, File, Folder, Other };
Kind KindAt(const QString& hostPath) {
    struct stat st;
    if (::stat(Bytes(hostPath).constData(), &st) != 0) return Kind::Missing;
    return S_ISREG(st.st_mode) ? Kind::File : S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other;
}

// Makes a folder and the folders above it that are missing.
void MakeFolders(const QString& hostPath) {
    if (hostPath.isEmpty() || KindAt(hostPath) != Kind::Missing) return;
    const QString up = platform::host::ParentOf(hostPath);
    if (up != hostPath) MakeFolders(up);
    ::mkdir(Bytes(hostPath).constData(), 0777);
}

Entry ReadEntry(zip_t* za, zip_uint64_t i) {
    Entry e;
    e.index = i;
    zip_stat_init(&e.stat);
    zip_stat_index(za, i, 0, &e.stat);
    // The name's bytes as they are: an archive made on Linux holds its names
    // so, whatever their encoding.
    const char* raw = zip_get_name(za, i, ZIP_FL_ENC_RAW);
    e.name = platform::host::Decode(QByteArray(raw ? raw : ""));
    zip_file_get_external_attributes(za, i, 0, &e.opsys, &e.external);
    const mode_t mode = mode_t(e.external >> 16);
    e.isLink = e.opsys == ZIP_OPSYS_UNIX && S_ISLNK(mode);
    e.dosMade = e.opsys != ZIP_OPSYS_UNIX;
    e.isFolder = e.name.endsWith(u'/') || (e.dosMade && e.name.endsWith(u'\\'));
    return e;
}

class Extractor {
public:
    Extractor(zip_t* za, const PkunzipOptions& o, QTextStream& out) : za_(za), o_(o), out_(out) {
        const mode_t m = ::umask(0);
        ::umask(m);
        umask_ = m;
    }

    bool openDestination(const QString& host) {
        destHost_ = host;
        dest_ = Fd(::open(Bytes(host).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        return dest_.fd >= 0;
    }

    void extract(const Entry& e) {
        const QString shown = DosEntryName(e.name);
        if (const QString why = UnsafeEntryReason(e.name, e.isLink); !why.isEmpty()) {
            out_ << "Refused: " << shown << " (" << why << ")\n";
            ++problems_;
            return;
        }
        QStringList parts = EntryComponents(e.name, e.dosMade);
        if (!o_.withPaths) {
            if (e.isFolder) return;
            parts = QStringList{parts.last()};
        }
        const QStringList folders = e.isFolder ? parts : parts.mid(0, parts.size() - 1);
        QString why;
        QString folderHost = destHost_;
        Fd folder = enterFolders(folders, e.exactCase, &folderHost, &why);
        if (folder.fd < 0) {
            out_ << "Refused: " << shown << " (" << why << ")\n";
            ++problems_;
            return;
        }
        if (e.isFolder) {
            if (e.stat.valid & ZIP_STAT_MTIME) folderDates_.append({parts, e.stat.mtime});
            return;
        }
        bool skipped = false;
        if (!writeFile(e, folder.fd, folderHost, parts.last(), &skipped, &why)) {
            out_ << (skipped ? "Skipped: " : "Can't extract ") << shown << " (" << why << ")\n";
            if (!skipped) ++problems_;
            return;
        }
        out_ << (e.stat.comp_method == ZIP_CM_STORE ? " Extracting: " : "  Inflating: ") << shown << "\n";
        ++done_;
    }

    // Writing into a folder changes its date, so the archive's folder dates
    // are put back once every file is in.
    void restoreFolderDates() {
        for (const auto& [parts, mtime] : folderDates_) {
            QString folderHost = destHost_, why;
            const Fd folder = enterFolders(parts, false, &folderHost, &why);
            const struct timespec times[2] = {{0, UTIME_NOW}, {mtime, 0}};
            if (folder.fd >= 0) ::futimens(folder.fd, times);
        }
    }

    int problems() const { return problems_; }
    int done() const { return done_; }

private:
    // Walks down the folders below the destination, making those that are
    // missing. A link in the way is never followed: it could lead anywhere.
    Fd enterFolders(const QStringList& folders, bool exactCase, QString* folderHost, QString* why) {
        Fd current(::dup(dest_.fd));
        for (const QString& f : folders) {
            const QString name = names_.onDisk(current.fd, *folderHost, f, exactCase);
            const QByteArray raw = Bytes(name);
            int fd = ::openat(current.fd, raw.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0 && errno == ENOENT) {
                if (::mkdirat(current.fd, raw.constData(), 0777) == 0) {
                    names_.made(*folderHost, name);
                    names_.madeFolder(platform::host::Join(*folderHost, platform::NameToHost(name)));
                } else if (errno != EEXIST) {
                    *why = "can't make folder " + name + ": " + ErrnoText(errno);
                    return Fd();
                }
                fd = ::openat(current.fd, raw.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            }
            if (fd < 0) {
                struct stat st;
                const bool link = ::fstatat(current.fd, raw.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                                  S_ISLNK(st.st_mode);
                *why = link ? "a link named " + name + " stands in its path"
                            : errno == ENOTDIR ? "a file named " + name + " stands in its path"
                                               : "can't open folder " + name + ": " + ErrnoText(errno);
                return Fd();
            }
            current = Fd(fd);
            *folderHost = platform::host::Join(*folderHost, platform::NameToHost(name));
        }
        return current;
    }

    mode_t modeOf(const Entry& e) const {
        mode_t mode = 0666;
        if (e.opsys == ZIP_OPSYS_UNIX && (e.external >> 16) != 0) mode = mode_t(e.external >> 16) & 0777;
        if (e.external & platform::attr::ReadOnly) mode &= ~mode_t(0222);
        return mode & ~umask_;
    }

    // The data goes to a temporary name beside the target, which is renamed
    // over the target only when complete: a failure never leaves half a file,
    // and an existing link is replaced, never written through.
    bool writeFile(const Entry& e, int dirFd, const QString& dirHost, const QString& wanted, bool* skipped,
                   QString* why) {
        const QString name = names_.onDisk(dirFd, dirHost, wanted, e.exactCase);
        const QByteArray target = Bytes(name);
        struct stat existing;
        if (::fstatat(dirFd, target.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISDIR(existing.st_mode)) {
                *why = "a folder of that name exists";
                return false;
            }
            if (!o_.overwrite) {
                *skipped = true;
                *why = "already exists; use -o to overwrite";
                return false;
            }
            if (S_ISREG(existing.st_mode) && (existing.st_mode & 0222) == 0) {
                *why = "the existing file is read-only";
                return false;
            }
        }
        QByteArray temp;
        Fd out;
        for (int attempt = 0; attempt < 16 && out.fd < 0; ++attempt) {
            temp = QByteArray(".pkunzip-") + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            out = Fd(::openat(dirFd, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (out.fd < 0 && errno != EEXIST) break;
        }
        if (out.fd < 0) {
            *why = "can't create it: " + ErrnoText(errno);
            return false;
        }
        bool ok = copyData(e, out.fd, why) && finish(e, out.fd, why);
        if (::close(out.fd) != 0 && ok) {
            ok = false;
            *why = "can't write it: " + ErrnoText(errno);
        }
        out.fd = -1;
        if (ok && ::renameat(dirFd, temp.constData(), dirFd, target.constData()) != 0) {
            ok = false;
            *why = "can't write it: " + ErrnoText(errno);
        }
        if (ok) names_.made(dirHost, name);
        else ::unlinkat(dirFd, temp.constData(), 0);
        return ok;
    }

    bool copyData(const Entry& e, int fd, QString* why) {
        zip_file_t* zf = zip_fopen_index(za_, e.index, 0);
        if (!zf) {
            *why = QString::fromUtf8(zip_strerror(za_)).toLower();
            return false;
        }
        QByteArray buffer(1 << 16, Qt::Uninitialized);
        // The size the archive declares is what the free space was checked
        // against: data that runs past it stops there.
        const zip_uint64_t declared = (e.stat.valid & ZIP_STAT_SIZE) ? e.stat.size : ~zip_uint64_t(0);
        for (zip_uint64_t written = 0;;) {
            const zip_int64_t n = zip_fread(zf, buffer.data(), zip_uint64_t(buffer.size()));
            if (n < 0) {
                *why = QString::fromUtf8(zip_file_strerror(zf)).toLower();
                zip_fclose(zf);
                return false;
            }
            if (n == 0) break;
            if (zip_uint64_t(n) > declared - written) {
                *why = "its data grows past the size the archive declares";
                zip_fclose(zf);
                return false;
            }
            written += zip_uint64_t(n);
            for (zip_int64_t off = 0; off < n;) {
                const ssize_t w = ::write(fd, buffer.constData() + off, size_t(n - off));
                if (w < 0) {
                    if (errno == EINTR) continue;
                    *why = "can't write it: " + ErrnoText(errno);
                    zip_fclose(zf);
                    return false;
                }
                off += w;
            }
        }
        if (const int rc = zip_fclose(zf); rc != 0) {
            zip_error_t err;
            zip_error_init_with_code(&err, rc);
            *why = QString::fromUtf8(zip_error_strerror(&err)).toLower();
            zip_error_fini(&err);
            return false;
        }
        return true;
    }

    bool finish(const Entry& e, int fd, QString* why) {
        if (::fchmod(fd, modeOf(e)) != 0) {
            *why = "can't set its permissions: " + ErrnoText(errno);
            return false;
        }
        // Hidden and system files stay so; the file system may not keep the mark.
        const int dosBits = int(e.external) & (platform::attr::Hidden | platform::attr::System);
        if (dosBits) {
            const QByteArray value = platform::host::FormatDosAttrib(dosBits | platform::attr::Archive);
            ::fsetxattr(fd, platform::host::DosAttribName, value.constData(), size_t(value.size()), 0);
        }
        if (e.stat.valid & ZIP_STAT_MTIME) {
            const struct timespec times[2] = {{0, UTIME_NOW}, {e.stat.mtime, 0}};
            ::futimens(fd, times);
        }
        return true;
    }

    zip_t* za_;
    const PkunzipOptions& o_;
    QTextStream& out_;
    mode_t umask_ = 022;
    Fd dest_;
    QString destHost_;
    FolderNames names_;
    int problems_ = 0;
    int done_ = 0;
    QList<std::pair<QStringList, time_t>> folderDates_;
};

int TestArchive(zip_t* za, const QStringList& masks, QTextStream& out) {
    int problems = 0, tested = 0;
    const zip_int64_t n = zip_get_num_entries(za, 0);
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (zip_int64_t i = 0; i < n; ++i) {
        const Entry e = ReadEntry(za, zip_uint64_t(i));
        if (e.isFolder || !EntryMatches(e.name, masks)) continue;
        ++tested;
        out << "    Testing: " << DosEntryName(e.name);
        zip_file_t* zf = zip_fopen_index(za, e.index, 0);
        QString why;
        if (!zf) why = QString::fromUtf8(zip_strerror(za));
        while (zf) {
            const zip_int64_t r = zip_fread(zf, buffer.data(), zip_uint64_t(buffer.size()));
            if (r > 0) continue;
            if (r < 0) why = QString::fromUtf8(zip_file_strerror(zf));
            zip_fclose(zf);
            zf = nullptr;
        }
        if (why.isEmpty()) {
            out << "  OK\n";
        } else {
            out << "  FAILED: " << why.toLower() << "\n";
            ++problems;
        }
    }
    if (tested == 0) {
        out << "No file(s) found\n";
        return status::Warning;
    }
    out << (problems ? QString("%1 file(s) failed the test\n").arg(problems) : QStringLiteral("No errors detected\n"));
    return problems ? status::Warning : status::Ok;
}

// Empty when every entry's bytes are its own; else why the archive is refused.
// Entries that share their data let a small archive expand without bound, and
// libzip does not notice them.
QString OverlapReason(zip_t* za, const QString& archiveHost) {
    QList<DirectoryRecord> records;
    if (!ReadCentralDirectory(archiveHost, &records) || records.size() != zip_get_num_entries(za, 0))
        return QStringLiteral("its directory can't be read");
    int first = 0, second = 0;
    if (!FindOverlap(ReadEntryExtents(archiveHost, records), &first, &second)) return QString();
    const auto name = [za](int i) { return DosEntryName(QString::fromUtf8(zip_get_name(za, zip_uint64_t(i), 0))); };
    return "the data of " + name(first) + " and " + name(second) + " overlap";
}

// The file an entry becomes, as the destination's names compare (case
// ignored unless the archive holds the name in another case too); empty for a
// folder or a name that will be refused.
QString TargetKey(const Entry& e, bool withPaths) {
    if (e.isFolder || !UnsafeEntryReason(e.name, e.isLink).isEmpty()) return QString();
    const QStringList parts = EntryComponents(e.name, e.dosMade);
    const QString key = withPaths ? parts.join(u'/') : parts.last();
    return e.exactCase ? key : key.toLower();
}

// The free bytes and block size where a folder is, or will be once made.
bool SpaceAt(QString hostFolder, quint64* free, quint64* block) {
    struct statvfs vs {};
    while (::statvfs(Bytes(hostFolder).constData(), &vs) != 0) {
        const QString up = platform::host::ParentOf(hostFolder);
        if (errno != ENOENT || up == hostFolder) return false;
        hostFolder = up;
    }
    *free = quint64(vs.f_bavail) * vs.f_frsize;
    *block = vs.f_frsize ? vs.f_frsize : 1;
    return true;
}

quint64 AddClamped(quint64 a, quint64 b) { return b > ~quint64(0) - a ? ~quint64(0) : a + b; }

struct Planned {
    Entry entry;
    bool duplicate = false;   // a later entry for a file an earlier one makes
};

// The entries the masks take, in archive order, and the bytes their files
// need on a disk of the given block size (each file takes whole blocks).
QList<Planned> PlanExtraction(zip_t* za, const PkunzipOptions& o, const QStringList& masks, quint64 block,
                              quint64* needed) {
    QList<Planned> plan;
    const zip_int64_t n = zip_get_num_entries(za, 0);
    // Names that differ only in case are files of their own in an archive made
    // on Linux; on DOS they were one name.
    QHash<QString, QSet<QString>> spellings;
    for (zip_int64_t i = 0; i < n; ++i) {
        Planned p{ReadEntry(za, zip_uint64_t(i))};
        if (!EntryMatches(p.entry.name, masks)) continue;
        p.entry.exactCase = true;
        const QString exact = TargetKey(p.entry, o.withPaths);
        if (!exact.isEmpty()) spellings[exact.toLower()].insert(exact);
        plan.append(p);
    }
    QSet<QString> targets;
    for (Planned& p : plan) {
        const QString exact = TargetKey(p.entry, o.withPaths);
        p.entry.exactCase = !p.entry.dosMade && !exact.isEmpty() && spellings.value(exact.toLower()).size() > 1;
        if (const QString key = TargetKey(p.entry, o.withPaths); !key.isEmpty()) {
            p.duplicate = targets.contains(key);
            targets.insert(key);
            const quint64 size = (p.entry.stat.valid & ZIP_STAT_SIZE) ? p.entry.stat.size : 0;
            if (!p.duplicate) *needed = AddClamped(*needed, AddClamped(size, block - 1) / block * block);
        }
    }
    return plan;
}

int ExtractEntries(zip_t* za, const PkunzipOptions& o, const QStringList& masks, const QString& destDos,
                   bool makeDest, QTextStream& out) {
    QString destHost;
    platform::DosToHost(destDos, &destHost);
    quint64 needed = 0, free = 0, block = 1;
    const bool spaceKnown = SpaceAt(destHost, &free, &block);
    const QList<Planned> plan = PlanExtraction(za, o, masks, block, &needed);
    if (plan.isEmpty()) {
        out << "No file(s) found\n";
        return status::Warning;
    }
    // Nothing is written when the files can't all fit.
    if (spaceKnown && needed > free) {
        out << "Insufficient disk space: " << needed << " bytes to extract, " << free << " bytes free on " << destDos
            << "\n";
        return status::Failed;
    }

    if (makeDest) MakeFolders(destHost);
    Extractor x(za, o, out);
    if (!x.openDestination(destHost)) {
        out << "Can't use destination " << destDos << ": " << ErrnoText(errno) << "\n";
        return status::Failed;
    }
    int duplicates = 0;
    for (const Planned& p : plan) {
        if (p.duplicate) {
            out << "Skipped: " << DosEntryName(p.entry.name) << " (duplicate name)\n";
            ++duplicates;
            continue;
        }
        x.extract(p.entry);
    }
    x.restoreFolderDates();
    if (duplicates) out << DuplicateNamesNote << "\n";
    return x.problems() || duplicates ? status::Warning : status::Ok;
}

}  // namespace

int RunPkunzip(const QStringList& arguments, QTextStream& out) {
    PkunzipOptions o;
    QString error;
    if (!ParsePkunzipArguments(arguments, &o, &error)) {
        out << error << "\nusage: pkunzip [-e|-d] [-o] [-v|-t] zipfile [destination\\] [files...]\n";
        return status::BadUsage;
    }
    QString archiveDos, archiveHost;
    ErrorCode e = ArgumentToDos(o.archive, &archiveDos);
    if (e == err::None) e = platform::DosToHost(archiveDos, &archiveHost);
    if (e == err::None && KindAt(archiveHost) != Kind::File) {
        QString folder, last;
        SplitLast(archiveDos, &folder, &last);
        if (!last.contains(u'.')) {
            QString withExtension;
            if (platform::DosToHost(archiveDos + ".zip", &withExtension) == err::None &&
                KindAt(withExtension) == Kind::File) {
                archiveDos += ".zip";
                archiveHost = withExtension;
            }
        }
    }
    if (e != err::None || KindAt(archiveHost) != Kind::File) {
        out << "ZIP file not found: " << o.archive << "\n";
        return status::Failed;
    }

    QStringList masks = o.rest;
    if (o.action == PkunzipOptions::Action::View) return ListArchive(archiveHost, archiveDos, masks, out);

    // The first name after the archive is the destination when it is written as a
    // folder (ending in "\" or a bare drive) or names an existing folder.
    QString destDos = platform::CurrentFolder(platform::CurrentDrive()[0]);
    bool makeDest = false;
    if (o.action == PkunzipOptions::Action::Extract && !masks.isEmpty()) {
        const QString& first = masks.first();
        const bool written = first.endsWith(u'\\') || first.endsWith(u'/') || (first.size() == 2 && first[1] == u':');
        QString dos, host;
        if (ArgumentToDos(first, &dos) == err::None && platform::DosToHost(dos, &host) == err::None &&
            (written || KindAt(host) == Kind::Folder)) {
            destDos = dos;
            makeDest = written;
            masks.removeFirst();
        } else if (written) {
            out << "Can't use destination " << first << "\n";
            return status::Failed;
        }
    }

    zip_t* za = OpenArchive(archiveHost, &error);
    if (!za) {
        out << "Can't read " << archiveDos << ": " << error << "\n";
        return status::Failed;
    }
    out << "Searching ZIP: " << archiveDos << "\n";
    int code = status::Failed;
    if (const QString why = OverlapReason(za, archiveHost); !why.isEmpty())
        out << "Refused: " << archiveDos << " (" << why << ")\n";
    else if (o.action == PkunzipOptions::Action::Test)
        code = TestArchive(za, masks, out);
    else
        code = ExtractEntries(za, o, masks, destDos, makeDest, out);
    zip_discard(za);
    return code;
}

}  // namespace archivers
