#include "platform/hostfs.h"
#include <QFile>
#include <QHash>
#include <ctime>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <unistd.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <atomic>
#include "platform/files.h"
#include "platform/paths.h"

namespace platform::host {

const char* const DosAttribName = "user.DOSATTRIB";

QString Join(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString CurrentHostFolder() {
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? Decode(buf) : QString();
}

QString ParentOf(const QString& hostPath) {
    QString p = hostPath;
    while (p.size() > 1 && p.endsWith(u'/')) p.chop(1);
    const qsizetype slash = p.lastIndexOf(u'/');
    if (slash < 0) return QStringLiteral(".");
    if (slash == 0) return QStringLiteral("/");
    return p.left(slash);
}

QString DosNameOf(const QString& hostPath) { return NameFromHost(hostPath.mid(hostPath.lastIndexOf(u'/') + 1)); }

ErrorCode ErrorAt(int e, const QString& hostPath) {
    if (e == ENOENT) {
        struct stat st;
        const QByteArray parent = Encode(ParentOf(hostPath));
        if (::stat(parent.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return err::PathNotFound;
    }
    return ErrorFromErrno(e);
}

QString Fold(const QString& name) { return name.toLower().toCaseFolded(); }

namespace {
quint64 folderReads = 0;
quint64 writeProbes = 0;
quint64 driveLinkReads = 0;
quint64 folderWalks = 0;
quint64 entryLookups = 0;
quint64 driveLooks = 0;
}  // namespace

quint64 DriveLinkReadCount() { return driveLinkReads; }
quint64 FolderWalkCount() { return folderWalks; }
void CountDriveLinkRead() { ++driveLinkReads; }
void CountFolderWalk() { ++folderWalks; }
quint64 EntryLookupCount() { return entryLookups; }
void CountEntryLookup() { ++entryLookups; }
quint64 DriveLookCount() { return driveLooks; }
void CountDriveLook() { ++driveLooks; }

quint64 FolderReadCount() { return folderReads; }
quint64 WriteProbeCount() { return writeProbes; }
void CountWriteProbe() { ++writeProbes; }

ErrorCode ReadFolderNames(const QString& hostFolder, QStringList* names, QHash<QString, unsigned char>* kinds) {
    names->clear();
    if (kinds) kinds->clear();
    ++folderReads;
    DIR* d = ::opendir(Encode(hostFolder).constData());
    if (!d) {
        const int e = errno;
        // A folder that is not there is a missing path, whatever the cause.
        return (e == ENOENT || e == ENOTDIR) ? err::PathNotFound : ErrorFromErrno(e);
    }
    for (;;) {
        errno = 0;
        const dirent* ent = ::readdir(d);
        if (!ent) break;
        const QByteArray raw(ent->d_name);
        if (raw == "." || raw == "..") continue;
        names->append(NameFromHost(Decode(raw)));
        if (kinds) kinds->insert(names->last(), ent->d_type);
    }
    const int e = errno;
    ::closedir(d);
    if (e != 0) return ErrorFromErrno(e);
    std::sort(names->begin(), names->end());
    return err::None;
}

QString ListedName(const QString& name, const QStringList& folderNames) {
    const QString key = Fold(name);
    int sharing = 0;
    for (const QString& n : folderNames)
        if (Fold(n) == key) ++sharing;
    return sharing > 1 ? name : name.toLower();
}

QString PickCaseMatch(const QStringList& names, const QString& wanted) {
    if (names.contains(wanted)) return wanted;
    const QString key = Fold(wanted);
    for (const QString& n : names)
        if (Fold(n) == key) return n;
    return QString();
}

namespace {
// The names of one folder as a lookup sees them, and the state of the folder they were read in.
struct FolderNames {
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified {};
    // Read after the folder's last change had its time stamp: a change made
    // while the folder was read would have a later stamp, so nothing was missed.
    bool settled = false;
    QHash<QString, QString> byFold;
    // How many spellings of each folded name the folder holds, never fewer:
    // when the kept one goes and it was the only one, the names stay complete.
    QHash<QString, int> spellings;
};

QHash<QString, FolderNames>& NameCache() {
    static QHash<QString, FolderNames> cache;
    return cache;
}

bool SameState(const FolderNames& f, const struct stat& st) {
    return f.device == st.st_dev && f.inode == st.st_ino && f.modified.tv_sec == st.st_mtim.tv_sec &&
           f.modified.tv_nsec == st.st_mtim.tv_nsec;
}

void TakeState(FolderNames* f, const struct stat& st) {
    f->device = st.st_dev;
    f->inode = st.st_ino;
    f->modified = st.st_mtim;
}

bool Earlier(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

bool ReadIntoCache(const QString& hostFolder, FolderNames* f) {
    // File systems stamp changes with the coarse clock; read before the folder.
    timespec before {};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &before);
    QStringList names;
    if (ReadFolderNames(hostFolder, &names) != err::None) return false;
    struct stat st;
    if (::stat(Encode(hostFolder).constData(), &st) != 0) return false;
    f->byFold.clear();
    f->spellings.clear();
    for (const QString& n : names) {
        const QString key = Fold(n);
        if (!f->byFold.contains(key)) f->byFold.insert(key, n);
        ++f->spellings[key];
    }
    TakeState(f, st);
    f->settled = Earlier(st.st_mtim, before);
    return true;
}

// name: the program's name of the entry.
bool StillThere(const QString& hostFolder, const QString& name) {
    struct stat st;
    return ::lstat(Encode(Join(hostFolder, NameToHost(name))).constData(), &st) == 0;
}
}  // namespace

QString FindCaseMatch(const QString& hostFolder, const QString& wanted) {
    constexpr int kFoldersKept = 32;
    struct stat st;
    if (::stat(Encode(hostFolder).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return QString();
    QHash<QString, FolderNames>& cache = NameCache();
    const QString key = Fold(wanted);
    auto it = cache.find(hostFolder);
    if (it != cache.end() && SameState(*it, st)) {
        const auto found = it->byFold.constFind(key);
        if (found != it->byFold.constEnd() && StillThere(hostFolder, *found)) return *found;
        if (found == it->byFold.constEnd() && it->settled) return QString();
    }
    if (it == cache.end()) {
        if (cache.size() >= kFoldersKept) cache.clear();
        it = cache.insert(hostFolder, FolderNames());
    }
    if (!ReadIntoCache(hostFolder, &*it)) {
        cache.erase(it);
        return QString();
    }
    return it->byFold.value(key);
}

FolderStamp StampOfFolderOf(const QString& hostPath) {
    FolderStamp stamp;
    struct stat st;
    if (::stat(Encode(ParentOf(hostPath)).constData(), &st) != 0) return stamp;
    stamp.known = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.modified = st.st_mtim;
    return stamp;
}

namespace {
// One changed name of a kept folder: there now, or gone. False when the kept
// names may no longer be complete.
bool TakeChange(const QString& folder, FolderNames* f, const QString& hostPath) {
    const QString name = DosNameOf(hostPath);
    const QString key = Fold(name);
    if (StillThere(folder, name)) {
        const auto kept = f->byFold.constFind(key);
        if (kept == f->byFold.constEnd()) {
            f->byFold.insert(key, name);
            f->spellings[key] = 1;
        } else if (*kept != name) {
            // The kept spelling went unseen: the count is no longer known.
            if (!StillThere(folder, *kept)) {
                f->byFold.insert(key, name);
                return false;
            }
            // Another spelling (or the same one written again, counted twice:
            // too many only costs a read of the folder).
            ++f->spellings[key];
        }
        return true;
    }
    const int left = f->spellings.value(key) - 1;
    if (left > 0) f->spellings[key] = left;
    else f->spellings.remove(key);
    if (f->byFold.value(key) != name) return true;
    f->byFold.remove(key);
    // Another spelling of the same name is still there: which one is read again.
    return left <= 0;
}

void NoteChanges(const QString& hostPath, const QString& otherHostPath, const FolderStamp& before) {
    ForgetBatchEntries();
    const QString folder = ParentOf(hostPath);
    QHash<QString, FolderNames>& cache = NameCache();
    const auto it = cache.find(folder);
    if (it == cache.end()) return;
    struct stat st;
    // Names kept for another state of the folder than the one just changed are
    // read again when next needed.
    const bool current = before.known && it->device == before.device && it->inode == before.inode &&
                         it->modified.tv_sec == before.modified.tv_sec &&
                         it->modified.tv_nsec == before.modified.tv_nsec;
    if (!current || ::stat(Encode(folder).constData(), &st) != 0) {
        cache.erase(it);
        return;
    }
    bool complete = TakeChange(folder, &*it, hostPath);
    if (!otherHostPath.isEmpty()) complete = TakeChange(folder, &*it, otherHostPath) && complete;
    TakeState(&*it, st);
    // The names were the folder's just before; with the change they are its names now.
    it->settled = complete;
}
}  // namespace

void NoteEntryChanged(const QString& hostPath, const FolderStamp& before) { NoteChanges(hostPath, QString(), before); }

void NoteEntriesChanged(const QString& hostPath, const QString& otherHostPath, const FolderStamp& before) {
    NoteChanges(hostPath, otherHostPath, before);
}

namespace {
quint32 ReadLe32(const QByteArray& v, qsizetype at) {
    quint32 n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | quint8(v[at + i]);
    return n;
}
quint16 ReadLe16(const QByteArray& v, qsizetype at) { return quint16(quint8(v[at]) | (quint8(v[at + 1]) << 8)); }

bool ParseDosAttribText(const QByteArray& value, int* bits) {
    QByteArray v = value;
    while (v.endsWith('\0')) v.chop(1);
    if (v.size() < 3 || v[0] != '0' || (v[1] != 'x' && v[1] != 'X')) return false;
    quint64 n = 0;
    int digits = 0;
    for (qsizetype i = 2; i < v.size() && digits < 16; ++i, ++digits) {
        const char c = v[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else break;
        n = n * 16 + quint64(d);
    }
    if (digits == 0) return false;
    *bits = int(n & quint64(attr::Hidden | attr::System | attr::Archive));
    return true;
}

// The minimum size of each version's body after its header: attributes (v1);
// flags and attributes (v2); and the 64-bit creation time from v3 on.
qsizetype RecordBodySize(int version) { return version == 1 ? 4 : version == 2 ? 8 : 16; }
}  // namespace

namespace {
qsizetype RecordField(const QByteArray& value, int* versionOut) {
    // A NUL-ended text, padding to an even offset, the version twice as uint16,
    // padding to a multiple of four, then the version's fields.
    const qsizetype nul = value.indexOf('\0');
    if (nul < 0) return -1;
    qsizetype at = nul + 1;
    at += at % 2;
    if (at + 4 > value.size()) return -1;
    const int version = ReadLe16(value, at);
    if (version < 1 || version > 5 || ReadLe16(value, at + 2) != version) return -1;
    at = (at + 4 + 3) & ~qsizetype(3);
    if (at + RecordBodySize(version) > value.size()) return -1;
    *versionOut = version;
    return version == 1 ? at : at + 4;
}
}  // namespace

qsizetype DosAttribRecordField(const QByteArray& value) {
    int version = 0;
    return RecordField(value, &version);
}

bool ParseDosAttrib(const QByteArray& value, int* bits) {
    const qsizetype field = DosAttribRecordField(value);
    if (field < 0) return ParseDosAttribText(value, bits);
    *bits = int(ReadLe32(value, field) & quint32(attr::ReadOnly | attr::Hidden | attr::System | attr::Archive));
    return true;
}

bool UpdateDosAttribRecord(QByteArray* value, int bits) {
    int version = 0;
    const qsizetype field = RecordField(*value, &version);
    if (field < 0) return false;
    constexpr quint32 kOwned = attr::ReadOnly | attr::Hidden | attr::System | attr::Archive;
    const quint32 n = (ReadLe32(*value, field) & ~kOwned) | (quint32(bits) & kOwned);
    for (int i = 0; i < 4; ++i) (*value)[field + i] = char((n >> (8 * i)) & 0xFF);
    // From version 2 on, the flags say which fields hold a value; the attributes now do.
    if (version >= 2) (*value)[field - 4] = char((*value)[field - 4] | 0x1);
    return true;
}

QByteArray FormatDosAttrib(int bits) {
    return "0x" + QByteArray::number(bits & (attr::Hidden | attr::System | attr::Archive), 16);
}

int AttributesFrom(const char* value, ssize_t n, const QString& dosName, const struct stat& st) {
    int a = 0;
    if (S_ISDIR(st.st_mode)) a |= attr::Directory;
    if (!(st.st_mode & S_IWUSR)) a |= attr::ReadOnly;
    int bits = 0;
    if (n >= 0 && ParseDosAttrib(QByteArray(value, int(n)), &bits)) {
        a |= bits;
    } else {
        if (S_ISREG(st.st_mode)) a |= attr::Archive;
        if (dosName.startsWith(u'.')) a |= attr::Hidden;
    }
    return a;
}

namespace {
// getxattrat (Linux 6.13): the same number on every architecture.
constexpr long kGetXattrAt = 464;
struct XattrArgs {
    quint64 value;
    quint32 size;
    quint32 flags;
};
std::atomic<bool> xattrAtWorks{true};
}  // namespace

int ReadAttributes(const QString& hostPath, const QString& dosName, const struct stat& st) {
    char buf[256];
    const ssize_t n = ::getxattr(Encode(hostPath).constData(), DosAttribName, buf, sizeof buf);
    return AttributesFrom(buf, n, dosName, st);
}

int ReadAttributesAt(int folder, const QByteArray& name, const QString& hostPath, const QString& dosName,
                     const struct stat& st) {
    char buf[256];
    if (folder >= 0 && xattrAtWorks.load(std::memory_order_relaxed)) {
        XattrArgs args{quint64(reinterpret_cast<quintptr>(buf)), sizeof buf, 0};
        const long n = ::syscall(kGetXattrAt, folder, name.constData(), 0, DosAttribName, &args, sizeof args);
        // An older kernel, or a sandbox that refuses calls it does not know.
        if (n >= 0 || (errno != ENOSYS && errno != EPERM)) return AttributesFrom(buf, n, dosName, st);
        xattrAtWorks = false;
    }
    return ReadAttributes(hostPath, dosName, st);
}

QString UnescapeMountField(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const QByteArray oct = field.mid(i + 1, 3);
            bool ok = oct.size() == 3;
            for (char c : oct) ok = ok && c >= '0' && c <= '7';
            if (ok) {
                out.append(char(oct.toInt(nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return Decode(out);
}

bool FindMountDevice(const QByteArray& mountinfo, const QString& mountPoint, unsigned* major,
                     unsigned* minor) {
    bool found = false;
    // Later lines mount over earlier ones at the same point; the last one counts.
    for (const QByteArray& line : mountinfo.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 5) continue;
        if (UnescapeMountField(f[4]) != mountPoint) continue;
        const QList<QByteArray> mm = f[2].split(':');
        if (mm.size() != 2) continue;
        bool ok1 = false, ok2 = false;
        const unsigned ma = mm[0].toUInt(&ok1), mi = mm[1].toUInt(&ok2);
        if (!ok1 || !ok2) continue;
        *major = ma;
        *minor = mi;
        found = true;
    }
    return found;
}

QString MountTypeAt(const QByteArray& mountinfo, const QString& hostPath) {
    QString type;
    qsizetype best = -1;
    for (const QByteArray& line : mountinfo.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        // The optional fields end with "-"; the file-system type follows it.
        const qsizetype dash = f.indexOf("-", 6);
        if (f.size() < 5 || dash < 0 || dash + 1 >= f.size()) continue;
        const QString point = UnescapeMountField(f[4]);
        const bool holds = point == "/" || hostPath == point || hostPath.startsWith(point + u'/');
        if (!holds || point.size() < best) continue;
        best = point.size();
        type = QString::fromUtf8(f[dash + 1]);
    }
    return type;
}

QString DecodeUdevName(const QString& name) {
    QByteArray raw = Encode(name), out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x') {
            bool ok = false;
            const int v = raw.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(v));
                i += 3;
                continue;
            }
        }
        out.append(raw[i]);
    }
    return QString::fromUtf8(out);
}

}  // namespace platform::host
