#include "platform/hostfs.h"
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/xattr.h>
#include "platform/files.h"
#include "platform/paths.h"

namespace platform::host {

const char* const DosAttribName = "user.DOSATTRIB";

QByteArray Encode(const QString& hostPath) { return QFile::encodeName(hostPath); }

QString Join(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString ParentOf(const QString& hostPath) {
    QString p = hostPath;
    while (p.size() > 1 && p.endsWith(u'/')) p.chop(1);
    const qsizetype slash = p.lastIndexOf(u'/');
    if (slash < 0) return QStringLiteral(".");
    if (slash == 0) return QStringLiteral("/");
    return p.left(slash);
}

ErrorCode ErrorAt(int e, const QString& hostPath) {
    if (e == ENOENT) {
        struct stat st;
        const QByteArray parent = Encode(ParentOf(hostPath));
        if (::stat(parent.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return err::PathNotFound;
    }
    return ErrorFromErrno(e);
}

QString Fold(const QString& name) { return name.toCaseFolded(); }

bool IsDosNameBytes(const QByteArray& raw, QString* name) {
    const QString decoded = QFile::decodeName(raw);
    if (QFile::encodeName(decoded) != raw) return false;
    if (!IsValidDosComponent(decoded)) return false;
    *name = decoded;
    return true;
}

ErrorCode ReadFolderNames(const QString& hostFolder, QStringList* names) {
    names->clear();
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
        QString name;
        if (IsDosNameBytes(raw, &name)) names->append(name);
    }
    const int e = errno;
    ::closedir(d);
    if (e != 0) return ErrorFromErrno(e);
    std::sort(names->begin(), names->end());
    return err::None;
}

QString PickCaseMatch(const QStringList& names, const QString& wanted) {
    if (names.contains(wanted)) return wanted;
    const QString key = Fold(wanted);
    for (const QString& n : names)
        if (Fold(n) == key) return n;
    return QString();
}

bool ParseDosAttrib(const QByteArray& value, int* bits) {
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

QByteArray FormatDosAttrib(int bits) {
    return "0x" + QByteArray::number(bits & (attr::Hidden | attr::System | attr::Archive), 16);
}

int ReadAttributes(const QString& hostPath, const QString& dosName, const struct stat& st) {
    int a = 0;
    if (S_ISDIR(st.st_mode)) a |= attr::Directory;
    if (!(st.st_mode & S_IWUSR)) a |= attr::ReadOnly;
    char buf[256];
    const ssize_t n = ::getxattr(Encode(hostPath).constData(), DosAttribName, buf, sizeof buf);
    int bits = 0;
    if (n >= 0 && ParseDosAttrib(QByteArray(buf, int(n)), &bits)) {
        a |= bits;
    } else {
        if (S_ISREG(st.st_mode)) a |= attr::Archive;
        if (dosName.startsWith(u'.')) a |= attr::Hidden;
    }
    return a;
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
    return QFile::decodeName(out);
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

QString DecodeUdevName(const QString& name) {
    QByteArray raw = QFile::encodeName(name), out;
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
