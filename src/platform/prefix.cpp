#include "platform/prefix.h"
#include <QDir>
#include <QFile>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/curdir.h"
#include "platform/hostfs.h"

namespace platform {

namespace {
QString& PrefixOverride() {
    static QString folder;
    return folder;
}

bool IsDriveLetter(QChar c) { return c >= u'a' && c <= u'z'; }

QString LinkOf(QChar letter) { return DosDevicesFolder() + u'/' + letter + u':'; }
}  // namespace

QString PrefixFolder() {
    if (!PrefixOverride().isEmpty()) return PrefixOverride();
    // A relative XDG_DATA_HOME is not valid and is ignored, as the desktop does.
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || QDir::isRelativePath(data)) data = QDir::homePath() + "/.local/share";
    return QDir::cleanPath(data + "/quorl");
}

void SetPrefixFolder(const QString& hostFolder) {
    PrefixOverride() = hostFolder.isEmpty() ? QString() : QDir::cleanPath(hostFolder);
}

QString DosDevicesFolder() { return PrefixFolder() + "/dosdevices"; }

QStringList DriveLetters() {
    QStringList letters;
    for (char c = 'a'; c <= 'z'; ++c) {
        struct stat st;
        // A dangling link is a drive too: one whose disk is not in.
        if (::lstat(host::Encode(LinkOf(QChar(c))).constData(), &st) == 0)
            letters << QString(QChar(c)) + u':';
    }
    return letters;
}

namespace {
QString ReadDriveLink(QChar l) {
    host::CountDriveLinkRead();
    const QString link = LinkOf(l);
    const QByteArray encoded = host::Encode(link);
    struct stat st;
    if (::lstat(encoded.constData(), &st) != 0) return QString();
    QString target = link;
    if (S_ISLNK(st.st_mode)) {
        QByteArray buf(4096, '\0');
        const ssize_t n = ::readlink(encoded.constData(), buf.data(), size_t(buf.size()));
        if (n < 0) return QString();
        target = host::Decode(buf.left(int(n)));
        if (QDir::isRelativePath(target)) target = DosDevicesFolder() + u'/' + target;
    }
    return QDir::cleanPath(target);
}

// The drive map changed: nothing kept about it holds.
void ForgetBatch() {
    if (host::BatchMemo* batch = host::Batch()) *batch = host::BatchMemo();
}
}  // namespace

QString DriveTarget(QChar letter) {
    const QChar l = letter.toLower();
    if (!IsDriveLetter(l)) return QString();
    host::BatchMemo* batch = host::Batch();
    if (batch) {
        const auto kept = batch->targets.constFind(l);
        if (kept != batch->targets.constEnd()) return *kept;
    }
    const QString target = ReadDriveLink(l);
    if (batch) batch->targets.insert(l, target);
    return target;
}

ErrorCode DriveRoot(QChar letter, QString* hostRoot) {
    const QChar l = letter.toLower();
    if (!IsDriveLetter(l)) return err::DeviceUnavailable;
    const QString target = DriveTarget(l);
    if (target.isEmpty()) return err::DeviceUnavailable;
    struct stat st;
    host::CountDriveLook();
    if (::stat(host::Encode(target).constData(), &st) != 0) {
        const int e = errno;
        if (e == EACCES || e == EPERM) return err::AccessDenied;
        return err::DiskNotReady;
    }
    if (!S_ISDIR(st.st_mode)) return err::DiskNotReady;
    *hostRoot = target;
    return err::None;
}

ErrorCode MapDrive(QChar letter, const QString& hostFolder) {
    const QChar l = letter.toLower();
    if (!IsDriveLetter(l)) return err::DeviceUnavailable;
    const QByteArray link = host::Encode(LinkOf(l));
    struct stat st;
    if (::lstat(link.constData(), &st) == 0 && !S_ISLNK(st.st_mode)) return err::AccessDenied;
    // The new link is made beside the old one and renamed over it, so the
    // letter always leads to one folder or the other.
    const QByteArray fresh = host::Encode(DosDevicesFolder() + "/." + l + ":.new");
    ::unlink(fresh.constData());
    if (::symlink(host::Encode(hostFolder).constData(), fresh.constData()) != 0) return ErrorFromErrno(errno);
    if (::rename(fresh.constData(), link.constData()) != 0) {
        const int e = errno;
        ::unlink(fresh.constData());
        return ErrorFromErrno(e);
    }
    ForgetBatch();
    ForgetCurrentFolder(l);
    return err::None;
}

ErrorCode UnmapDrive(QChar letter) {
    const QChar l = letter.toLower();
    if (!IsDriveLetter(l)) return err::DeviceUnavailable;
    const QByteArray link = host::Encode(LinkOf(l));
    struct stat st;
    if (::lstat(link.constData(), &st) != 0) return err::DeviceUnavailable;
    if (!S_ISLNK(st.st_mode)) return err::AccessDenied;
    if (::unlink(link.constData()) != 0) return ErrorFromErrno(errno);
    ForgetBatch();
    ForgetCurrentFolder(l);
    return err::None;
}

QString WindowsDirectory() { return QStringLiteral("c:\\windows"); }
QString SystemDirectory() { return QStringLiteral("c:\\windows\\system"); }
QString ProgramDirectory() { return QStringLiteral("c:\\quorl"); }

}  // namespace platform
