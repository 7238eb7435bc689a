#include "platform/volume.h"
#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include "platform/hostfs.h"
#include "platform/prefix.h"

namespace platform {

namespace {
constexpr const char* kLabelFile = ".windows-label";
constexpr int kMaxLabelBytes = 256;

// File-system magic numbers, as statfs reports them.
constexpr unsigned long kIso9660 = 0x9660, kUdf = 0x15013346;
constexpr unsigned long kNfs = 0x6969, kCifs = 0xFF534D42, kSmb2 = 0xFE534D42, kSmb = 0x517B;
constexpr unsigned long kTmpfs = 0x01021994, kRamfs = 0x858458F6;
constexpr unsigned long kFuse = 0x65735546;
// FUSE file systems of the desktop's network layer: shares the desktop has
// mounted (gvfs), SFTP folders and cloud remotes.
const char* const kNetworkFuseTypes[] = {"fuse.gvfsd-fuse", "fuse.sshfs", "fuse.rclone"};

QString LabelFileOf(const QString& root) { return host::Join(root, QString::fromLatin1(kLabelFile)); }

// Only a regular file of that name is a label: a link or a device there is not
// followed, so a planted link reveals nothing and a pipe cannot hang the program.
bool ReadLabelFile(const QString& root, QString* label) {
    const int fd = ::open(host::Encode(LabelFileOf(root)).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    QByteArray bytes(kMaxLabelBytes, '\0');
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        do n = ::read(fd, bytes.data(), size_t(bytes.size()));
        while (n < 0 && errno == EINTR);
    }
    ::close(fd);
    if (n < 0) return false;
    bytes.truncate(n);
    while (!bytes.isEmpty() && (bytes.endsWith(' ') || bytes.endsWith('\r') || bytes.endsWith('\n')))
        bytes.chop(1);
    *label = QString::fromUtf8(bytes);
    return true;
}

QString CanonicalOf(const QString& hostPath) {
    char buf[PATH_MAX];
    if (!::realpath(host::Encode(hostPath).constData(), buf)) return QString();
    return host::Decode(buf);
}

// The label udev knows for the device mounted at the drive's root, if the root is a mount point.
QString MountLabel(const QString& root) {
    const QString mountPoint = CanonicalOf(root);
    if (mountPoint.isEmpty()) return QString();
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly)) return QString();
    unsigned major = 0, minor = 0;
    if (!host::FindMountDevice(table.readAll(), mountPoint, &major, &minor)) return QString();
    const QDir labels(QStringLiteral("/dev/disk/by-label"));
    for (const QString& name : labels.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        struct stat st;
        if (::stat(host::Encode(labels.filePath(name)).constData(), &st) != 0 || !S_ISBLK(st.st_mode)) continue;
        if (::major(st.st_rdev) == major && ::minor(st.st_rdev) == minor) return host::DecodeUdevName(name);
    }
    return QString();
}

QByteArray ReadSmallFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.read(64).trimmed();
}

// A partition is removable when its disk is: the disk is the folder above the
// partition's folder in sysfs.
bool IsRemovableDevice(dev_t device) {
    const QString node = QStringLiteral("/sys/dev/block/%1:%2").arg(::major(device)).arg(::minor(device));
    if (ReadSmallFile(node + "/removable") == "1") return true;
    if (!QFile::exists(node + "/partition")) return false;
    const QString real = CanonicalOf(node);
    return !real.isEmpty() && ReadSmallFile(host::ParentOf(real) + "/removable") == "1";
}
}  // namespace

QString VolumeLabel(QChar letter) {
    QString root, label;
    if (DriveRoot(letter, &root) != err::None) return QString();
    if (ReadLabelFile(root, &label)) return label;
    return MountLabel(root);
}

ErrorCode SetVolumeLabel(QChar letter, const QString& label) {
    QString root;
    if (const ErrorCode e = DriveRoot(letter, &root)) return e;
    const QString path = LabelFileOf(root);
    const QByteArray name = host::Encode(path);
    const host::FolderStamp before = host::StampOfFolderOf(path);
    if (label.isEmpty()) {
        if (::unlink(name.constData()) == 0 || errno == ENOENT) {
            host::NoteEntryChanged(path, before);
            return err::None;
        }
        return host::ErrorAt(errno, path);
    }
    // The label file is replaced as a file of its own: written beside it under a
    // temporary name and renamed over it, so whatever stood there (a link
    // included) is replaced and nothing it pointed at is written.
    QByteArray tmpl = host::Encode(host::Join(root, QStringLiteral(".windows-label.XXXXXX")));
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) return host::ErrorAt(errno, path);
    const QByteArray text = label.toUtf8() + '\n';
    int failure = 0;
    for (qsizetype done = 0; done < text.size() && !failure;) {
        const ssize_t n = ::write(fd, text.constData() + done, size_t(text.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failure = errno;
        else done += n;
    }
    // A new file made the usual way gets 0666 less the umask; mkostemp gives 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (!failure && ::fchmod(fd, 0666 & ~mask) != 0) failure = errno;
    if (::close(fd) != 0 && !failure) failure = errno;
    if (!failure && ::rename(tmpl.constData(), name.constData()) != 0) failure = errno;
    if (failure) {
        ::unlink(tmpl.constData());
        return ErrorFromErrno(failure);
    }
    host::NoteEntryChanged(path, before);
    return err::None;
}

int FileSystemDriveType(unsigned long magic, const QString& mountType) {
    switch (magic & 0xFFFFFFFFul) {
    case kIso9660:
    case kUdf: return drivetype::CdRom;
    case kNfs:
    case kCifs:
    case kSmb2:
    case kSmb: return drivetype::Remote;
    case kTmpfs:
    case kRamfs: return drivetype::RamDisk;
    case kFuse:
        for (const char* type : kNetworkFuseTypes)
            if (mountType == QLatin1String(type)) return drivetype::Remote;
        break;
    default: break;
    }
    return drivetype::Fixed;
}

int DriveType(QChar letter) {
    QString root;
    if (DriveRoot(letter, &root) != err::None) return drivetype::NoRoot;
    const QByteArray path = host::Encode(root);
    struct statfs fs;
    if (::statfs(path.constData(), &fs) != 0) return drivetype::NoRoot;
    const unsigned long magic = static_cast<unsigned long>(fs.f_type);
    QString mountType;
    if ((magic & 0xFFFFFFFFul) == kFuse) {
        QFile table(QStringLiteral("/proc/self/mountinfo"));
        if (table.open(QIODevice::ReadOnly)) mountType = host::MountTypeAt(table.readAll(), CanonicalOf(root));
    }
    const int type = FileSystemDriveType(magic, mountType);
    if (type != drivetype::Fixed) return type;
    struct stat st;
    if (::stat(path.constData(), &st) == 0 && IsRemovableDevice(st.st_dev)) return drivetype::Removable;
    return drivetype::Fixed;
}

ErrorCode DiskFreeSpace(QChar letter, DiskSpace* space) {
    QString root;
    if (const ErrorCode e = DriveRoot(letter, &root)) return e;
    struct statvfs vfs;
    if (::statvfs(host::Encode(root).constData(), &vfs) != 0) return host::ErrorAt(errno, root);
    const unsigned long block = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    constexpr int64_t sector = 512;
    const int64_t perCluster = std::max<int64_t>(1, int64_t(block) / sector);
    const unsigned __int128 cluster = unsigned(perCluster) * unsigned(sector);
    const auto clusters = [&](unsigned long long blocks) {
        const unsigned __int128 n = (unsigned __int128)blocks * block / cluster;
        return n > (unsigned __int128)std::numeric_limits<int64_t>::max() ? std::numeric_limits<int64_t>::max()
                                                                           : int64_t(n);
    };
    space->bytesPerSector = sector;
    space->sectorsPerCluster = perCluster;
    space->freeClusters = clusters(vfs.f_bavail);
    space->totalClusters = clusters(vfs.f_blocks);
    return err::None;
}

}  // namespace platform
