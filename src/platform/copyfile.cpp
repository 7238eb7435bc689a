#include "platform/copyfile.h"
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>
#include "platform/hostfs.h"

namespace platform::copying {

namespace {

using host::Encode;

// Chunks small enough that the window stays alive and Esc is seen within a
// moment, large enough that the kernel copy keeps its speed.
constexpr qint64 kChunk = qint64(8) << 20;
constexpr size_t kBuffer = size_t(1) << 20;
constexpr auto kInterval = std::chrono::milliseconds(50);
constexpr qint64 kToTheEnd = std::numeric_limits<qint64>::max();

bool IsUnsupported(int e) { return e == ENOTSUP || e == EOPNOTSUPP; }

// FAT and exFAT store every byte up to a file's length: a hole there is
// written out as zeros by the file system itself.
bool KeepsHoles(const struct statfs& fs) {
    constexpr unsigned long kMsdos = 0x4d44, kExfat = 0x2011BAB0;
    const auto type = static_cast<unsigned long>(fs.f_type);
    return type != kMsdos && type != kExfat;
}

// Takes fewer blocks than its length: it has holes, whatever its file system says.
bool LooksSparse(const struct stat& st) { return qint64(st.st_blocks) * 512 < qint64(st.st_size); }

// The space the copy will take against the space the destination has. A file
// system that reports no size at all (some network and user-space ones) is
// not judged by it.
ErrorCode CheckSpace(const struct statfs& fs, const struct stat& source, bool holes) {
    const quint64 block = quint64(fs.f_frsize ? fs.f_frsize : fs.f_bsize);
    if (block == 0 || fs.f_blocks == 0) return err::None;
    const quint64 whole = (quint64(source.st_size) + block - 1) / block * block;
    const quint64 taken = quint64(source.st_blocks) * 512;
    const quint64 needed = holes ? std::min(whole, taken) : whole;
    return needed > quint64(fs.f_bavail) * block ? err::DiskFull : err::None;
}

// Tells how far into the source's length the copy is: after a chunk's worth
// of it or a twentieth of a second, whichever comes first, and at the end.
class Progress {
public:
    Progress(const CopyProgress& tell, qint64 total) : tell_(tell), total_(total) {}
    bool at(qint64 position) {
        if (!tell_) return true;
        const auto now = std::chrono::steady_clock::now();
        if (position - told_ < kChunk && now - when_ < kInterval) return true;
        return tell(position, now);
    }
    bool end(qint64 position) {
        return !tell_ || (told_ == position && position > 0) || tell(position, std::chrono::steady_clock::now());
    }

private:
    bool tell(qint64 position, std::chrono::steady_clock::time_point now) {
        told_ = position;
        when_ = now;
        return tell_(position, std::max(total_, position));
    }
    const CopyProgress& tell_;
    qint64 total_;
    qint64 told_ = 0;
    std::chrono::steady_clock::time_point when_ = std::chrono::steady_clock::now();
};

struct Copier {
    int in;
    int out;
    qint64 block;             // the destination's block, the unit of a hole
    Progress& progress;
    bool scanZeros = false;   // blocks of zeros are left as holes
    bool kernel = true;       // the kernel copies until the file systems refuse it
    bool kernelCopied = false; // and it has copied bytes
    qint64 written = 0;       // the end of the last bytes written
    qint64 length = 0;        // the source's length when the copy began
    std::vector<char> buffer;
};

// A small file is read through a buffer of its own size: a mebibyte filled
// with zeros for each of many small files costs more than their copies.
size_t BufferFor(const Copier& c, qint64 at, size_t want) {
    const auto rest = size_t(std::max<qint64>(c.length - at, c.block));
    return std::min({want, kBuffer, rest});
}

bool IsZero(const char* p, qint64 n) { return n == 0 || (p[0] == 0 && std::memcmp(p, p + 1, size_t(n - 1)) == 0); }

bool WriteAt(Copier& c, const char* p, qint64 n, qint64 at) {
    c.written = std::max(c.written, at + n);
    while (n > 0) {
        const ssize_t w = ::pwrite(c.out, p, size_t(n), at);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= w;
        at += w;
    }
    return true;
}

// Reads a part and writes its runs of blocks that are not all zeros.
ssize_t ReadAndWrite(Copier& c, qint64 at, size_t want) {
    const size_t size = BufferFor(c, at, want);
    if (c.buffer.size() < size) c.buffer.resize(size);
    const ssize_t n = ::pread(c.in, c.buffer.data(), size, at);
    if (n <= 0) return n;
    const char* data = c.buffer.data();
    qint64 run = -1;   // where the bytes still to be written start
    for (qint64 p = 0; p < n;) {
        const qint64 len = std::min<qint64>(n - p, c.block - (at + p) % c.block);
        const bool hole = c.scanZeros && IsZero(data + p, len);
        if (hole && run >= 0) {
            if (!WriteAt(c, data + run, p - run, at + run)) return -1;
            run = -1;
        } else if (!hole && run < 0) {
            run = p;
        }
        p += len;
    }
    if (run >= 0 && !WriteAt(c, data + run, n - run, at + run)) return -1;
    return n;
}

// One step at `at`: the bytes carried over, 0 at the source's end, -1 with errno.
ssize_t Step(Copier& c, qint64 at, size_t want) {
    if (c.kernel && !c.scanZeros) {
        loff_t from = at, to = at;
        const ssize_t n = ::copy_file_range(c.in, &from, c.out, &to, want, 0);
        if (n > 0) {
            c.written = std::max(c.written, at + n);
            c.kernelCopied = true;
            return n;
        }
        // Once the kernel copied bytes, none more is the source's end.
        if (n == 0 && c.kernelCopied) return 0;
        // Other disks, old kernels, and pseudo file systems that report no
        // bytes to the kernel copy: reading tells.
        if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && !IsUnsupported(errno)) return n;
        c.kernel = false;
    }
    return ReadAndWrite(c, at, want);
}

// [from, to) of the source to the same place in the copy; *end is where it
// stopped, before `to` when the source ended first.
ErrorCode CopyRange(Copier& c, qint64 from, qint64 to, qint64* end) {
    while (from < to) {
        const ssize_t n = Step(c, from, size_t(std::min(kChunk, to - from)));
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrorFromErrno(errno);
        }
        if (n == 0) break;
        from += n;
        if (!c.progress.at(from)) return err::Cancelled;
    }
    *end = from;
    return err::None;
}

// The data regions only; *end is the copy's length.
ErrorCode CopyRegions(Copier& c, const struct stat& source, qint64* end) {
    for (qint64 at = 0;;) {
        const off_t data = ::lseek(c.in, at, SEEK_DATA);
        if (data < 0) {
            if (errno != ENXIO) {
                if (at > 0 || (errno != EINVAL && !IsUnsupported(errno))) return ErrorFromErrno(errno);
                // The file system cannot tell: the zeros do.
                c.scanZeros = c.scanZeros || LooksSparse(source);
                return CopyRange(c, 0, kToTheEnd, end);
            }
            // Only a hole is left, up to the source's length as it is now.
            struct stat now;
            if (::fstat(c.in, &now) != 0) return ErrorFromErrno(errno);
            *end = std::max(at, qint64(now.st_size));
            return err::None;
        }
        const off_t hole = ::lseek(c.in, data, SEEK_HOLE);
        if (hole < 0) return ErrorFromErrno(errno);
        if (data == 0 && hole >= source.st_size && LooksSparse(source)) c.scanZeros = true;
        if (!c.progress.at(data)) return err::Cancelled;
        qint64 reached = data;
        if (const ErrorCode e = CopyRange(c, data, hole, &reached)) return e;
        if (reached < hole) {
            *end = reached;   // the source ended early
            return err::None;
        }
        at = hole;
    }
}

}  // namespace

ErrorCode CopyContents(int in, int out, const struct stat& source, HoleSearch search, const CopyProgress& progress) {
    Progress told(progress, source.st_size);
    // A clone shares the source's blocks until either file is written.
    if (search == HoleSearch::FileSystem && source.st_size > 0 && ::ioctl(out, FICLONE, in) == 0)
        return told.end(source.st_size) ? err::None : err::Cancelled;
    // A small file that takes all its blocks has no hole to keep, and a disk
    // without room for it says so as it is written: its disk is not asked.
    constexpr qint64 kSmallFile = qint64(1) << 20;
    const bool small = source.st_size <= kSmallFile && !LooksSparse(source);
    struct statfs fs {};
    const bool known = !small && ::fstatfs(out, &fs) == 0;
    const bool holes = known && KeepsHoles(fs);
    if (known)
        if (const ErrorCode e = CheckSpace(fs, source, holes)) return e;
    const qint64 block = fs.f_bsize > 0 ? qint64(fs.f_bsize) : 4096;
    Copier c{in, out, block, told, holes && search == HoleSearch::ZeroBlocks, true, false, 0, qint64(source.st_size), {}};
    // A file within one block that takes its block has no hole to keep; pseudo
    // files report no length and have bytes all the same: they are read to their end.
    const bool regions = holes && source.st_size > 0 && (source.st_size > block || LooksSparse(source));
    qint64 end = 0;
    if (const ErrorCode e = regions ? CopyRegions(c, source, &end) : CopyRange(c, 0, kToTheEnd, &end)) return e;
    // A hole at the end is the length without data.
    if (end != c.written && ::ftruncate(out, end) != 0) return ErrorFromErrno(errno);
    return told.end(end) ? err::None : err::Cancelled;
}

namespace {
// Whether a folder takes a new file of a plain name: one is made and removed again.
bool FolderTakesFiles(const QString& hostFolder) {
    QByteArray probe = Encode(host::Join(hostFolder, CopyTempPrefix + QStringLiteral("probe-XXXXXX")));
    const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.constData());
    return true;
}

}  // namespace

ErrorCode DestinationErrorAt(int e, const QString& hostPath, bool folderTookAFile) {
    struct stat st;
    if ((e == EINVAL || e == EILSEQ || e == EPERM) && ::lstat(Encode(hostPath).constData(), &st) != 0 &&
        (folderTookAFile || FolderTakesFiles(host::ParentOf(hostPath))))
        return err::BadFileName;
    return host::ErrorAt(e, hostPath);
}


namespace {
constexpr int kOwnBits = attr::Hidden | attr::System | attr::Archive | attr::ReadOnly;

// What the copy's DOS attribute field and permissions become: the source's,
// or those of the attributes asked for. A record of Samba's keeps its other
// fields; without one, a field is written only where the bits differ from what
// the copy shows without it (a dot name is hidden, a file is archive).
struct CopyAttributes {
    QByteArray field;
    bool write = false;
    mode_t mode = 0;
};

CopyAttributes AttributesOfCopy(int in, const struct stat& source, const QString& dst, int attributes) {
    char value[256];
    const ssize_t n = ::fgetxattr(in, host::DosAttribName, value, sizeof value);
    CopyAttributes a{n >= 0 ? QByteArray(value, int(n)) : QByteArray(), n >= 0, mode_t(source.st_mode & 07777)};
    if (attributes == kSourceAttributes) return a;
    const int wanted = attributes & kOwnBits;
    int recorded = 0;
    if (host::DosAttribRecordField(a.field) >= 0 && host::ParseDosAttrib(a.field, &recorded)) {
        if (recorded != wanted && !host::UpdateDosAttribRecord(&a.field, wanted))
            a.field = host::FormatDosAttrib(wanted);
    } else {
        constexpr int kHsa = attr::Hidden | attr::System | attr::Archive;
        if ((host::AttributesFrom(value, n, host::DosNameOf(dst), source) & kHsa) != (wanted & kHsa)) {
            a.field = host::FormatDosAttrib(wanted);
            a.write = true;
        }
    }
    a.mode = (wanted & attr::ReadOnly) ? a.mode & ~mode_t(0222) : a.mode | S_IWUSR;
    return a;
}

// The temporary copy's name: its folder is the destination's, so the rename is within a disk.
QByteArray TemporaryNameBeside(const QString& dst) {
    return Encode(host::Join(host::ParentOf(dst), CopyTempPrefix + QString::number(::getpid()) +
                                                     QStringLiteral("-XXXXXX")));
}
}  // namespace

ErrorCode CopyHostFile(int in, const struct stat& source, const QString& dst, const CopyProgress& progress,
                       int attributes) {
    const host::FolderStamp before = host::StampOfFolderOf(dst);
    QByteArray tmpl = TemporaryNameBeside(dst);
    const int out = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (out < 0) return host::ErrorAt(errno, host::Decode(tmpl));
    auto fail = [&](ErrorCode code) {
        ::close(out);
        ::unlink(tmpl.constData());
        return code;
    };
    if (const ErrorCode e = CopyContents(in, out, source, HoleSearch::FileSystem, progress)) return fail(e);
    const CopyAttributes given = AttributesOfCopy(in, source, dst, attributes);
    // Before the permissions: a read-only copy would refuse the attribute.
    if (given.write && ::fsetxattr(out, host::DosAttribName, given.field.constData(), size_t(given.field.size()), 0) != 0 &&
        !IsUnsupported(errno))
        return fail(ErrorFromErrno(errno));
    if (::fchmod(out, given.mode) != 0) {
        // A disk without Unix permissions (a FAT stick) holds read-only and no
        // more: that much travels, and the copy goes on.
        const int e = errno;
        if (e != EPERM && e != ENOSYS && !IsUnsupported(e)) return fail(ErrorFromErrno(e));
        struct stat made;
        if (!(given.mode & S_IWUSR) && ::fstat(out, &made) == 0) ::fchmod(out, made.st_mode & 07555);
    }
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    if (::futimens(out, times) != 0) return fail(ErrorFromErrno(errno));
    if (::close(out) != 0) {
        const int e = errno;
        ::unlink(tmpl.constData());
        return ErrorFromErrno(e);
    }
    if (::rename(tmpl.constData(), Encode(dst).constData()) != 0) {
        const ErrorCode e = DestinationErrorAt(errno, dst, true);
        ::unlink(tmpl.constData());
        return e;
    }
    host::NoteEntryChanged(dst, before);
    return err::None;
}

}  // namespace platform::copying
