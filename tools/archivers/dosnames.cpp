#include "dosnames.h"
#include <QDir>
#include <QFile>
#include "platform/curdir.h"
#include "platform/paths.h"
#include "platform/prefix.h"

namespace archivers {

bool EnterStartFolder() {
    const QString dos = platform::HostToDos(QDir::currentPath());
    if (dos.isEmpty()) return false;
    if (platform::ChangeDrive(dos[0]) != err::None) return false;
    return platform::ChangeFolder(dos) == err::None;
}

bool PrefixHasDrives(QTextStream& out) {
    if (!platform::DriveLetters().isEmpty()) return true;
    out << "No drives in " << platform::DosDevicesFolder() << "; run quorl-setup first\n";
    return false;
}

QString Unquoted(const QString& text) {
    QString t = text.trimmed();
    if (t.size() >= 2 && t.startsWith(u'"') && t.endsWith(u'"')) t = t.mid(1, t.size() - 2);
    return t;
}

bool HasWildcard(const QString& text) { return text.contains(u'*') || text.contains(u'?'); }

bool IsHostPath(const QString& argument) {
    return argument.startsWith(u'/') || (argument.contains(u'/') && !argument.contains(u'\\'));
}

ErrorCode ArgumentToDos(const QString& argument, QString* dosPath) {
    // Wildcards are no DOS name characters; they ride through the path rules
    // as stand-ins and come back afterwards.
    const QChar star(0xE000), question(0xE001);
    QString text = argument;
    text.replace(u'*', star).replace(u'?', question);
    QString dos;
    if (IsHostPath(text)) {
        dos = platform::HostToDos(QDir::cleanPath(QDir::current().absoluteFilePath(text)));
        if (dos.isEmpty()) return err::PathNotFound;
    } else if (const ErrorCode e = platform::FullDosPath(text, &dos)) {
        return e;
    }
    *dosPath = dos.replace(star, u'*').replace(question, u'?');
    return err::None;
}

QStringList WrittenComponents(const QString& argument, const QString& fullDosPath) {
    QString rest = argument;
    if (IsHostPath(argument)) rest.replace(u'/', u'\\');
    if (rest.size() >= 2 && rest[1] == u':') rest = rest.mid(2);
    const bool climbs = argument.startsWith(u'/') ||
                        rest.split(u'\\', Qt::SkipEmptyParts).contains(QStringLiteral(".."));
    if (climbs) {
        QString drive;
        QStringList components;
        platform::SplitDosPath(fullDosPath, &drive, &components);
        return components;
    }
    QStringList out;
    for (const QString& c : rest.split(u'\\', Qt::SkipEmptyParts))
        if (c != u".") out << c;
    return out;
}

QStringList OnDiskTail(const QString& dosPath, qsizetype count) {
    if (count <= 0) return {};
    QString host;
    QString drive;
    QStringList components;
    platform::SplitDosPath(dosPath, &drive, &components);
    if (platform::DosToHost(dosPath, &host) != err::None) return components.mid(components.size() - count);
    const QStringList parts = host.split(u'/', Qt::SkipEmptyParts);
    return parts.mid(parts.size() - count);
}

void SplitLast(const QString& dosPath, QString* folder, QString* name) {
    const qsizetype slash = dosPath.lastIndexOf(u'\\');
    if (slash < 0) {
        *folder = dosPath.left(2);
        *name = dosPath.mid(2);
        return;
    }
    *folder = dosPath.left(slash);
    *name = dosPath.mid(slash + 1);
}

QStringList ReadListFile(const QString& hostPath, bool* ok) {
    QFile f(hostPath);
    QStringList lines;
    *ok = f.open(QIODevice::ReadOnly);
    if (!*ok) return lines;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = Unquoted(QString::fromUtf8(raw).remove(u'\r'));
        if (!line.isEmpty()) lines << line;
    }
    return lines;
}

QString ErrorText(ErrorCode code) {
    switch (code) {
    case err::FileNotFound: return QStringLiteral("file not found");
    case err::PathNotFound: return QStringLiteral("path not found");
    case err::AccessDenied: return QStringLiteral("access denied");
    case err::DiskNotReady: return QStringLiteral("disk not ready");
    case err::DeviceUnavailable: return QStringLiteral("device unavailable");
    case err::BadFileName: return QStringLiteral("bad file name");
    case err::DiskFull: return QStringLiteral("disk full");
    case err::IoError: return QStringLiteral("device I/O error");
    case err::FileExists: return QStringLiteral("file already exists");
    case err::PathFileConflict: return QStringLiteral("path/file access error");
    case err::DiskChanged: return QStringLiteral("not a file (a pipe or a device)");
    default: return QStringLiteral("error %1").arg(code);
    }
}

}  // namespace archivers
