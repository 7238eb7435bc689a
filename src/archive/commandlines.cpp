#include "archive/commandlines.h"
#include <QFile>
#include "model/slots.h"
#include "platform/paths.h"
#include "platform/userfile.h"

ArchiveKind ArchiveKindOf(const QByteArray& head, qint64 size) {
    if (size < 3 || head.size() < 2) return ArchiveKind::None;
    if (head[0] == 'P' && head[1] == 'K') return ArchiveKind::Zip;
    if (uchar(head[0]) == 0x60 && uchar(head[1]) == 0xEA) return ArchiveKind::Arj;
    return ArchiveKind::None;
}

ArchiveKind ArchiveKindOfFile(const QString& dosPath) {
    QFile file;
    if (platform::OpenUserFile(dosPath, &file) != err::None) return ArchiveKind::None;
    return ArchiveKindOf(file.read(2), file.size());
}

QString QuotedPath(const QString& path) {
    if (!path.contains(' ')) return path;
    QString inner = path;
    while (inner.size() > 3 && inner.endsWith('\\')) inner.chop(1);
    return '"' + inner + '"';
}

QString ArchiverProgram(ArchiveKind kind, bool compressing) {
    if (kind == ArchiveKind::Arj) return Settings[setting::ArjProgram].toString();
    if (kind == ArchiveKind::Zip) return Settings[compressing ? 15 : 16].toString();
    return QString();
}

namespace {
bool SettingOn(int index) { return Settings[index].toBool(); }
QString SettingText(int index) { return Settings[index].toString().toLower(); }

QString ArjVolumeSwitch() {
    const QString size = SettingText(12);
    if (size == "available") return " -va ";
    if (size == "360 kb") return " -v360 ";
    if (size == "720 kb") return " -v720 ";
    if (size == "1200 kb") return " -v1200 ";
    if (size == "1440 kb") return " -v1440 ";
    return QString();
}

// arj asks before it makes a folder, when the disk looks small, and before it
// replaces a file; with no one at its input a question would end the run, so
// the first two are answered here and the third only when overwriting is on.
QString ArjQuestionSwitches() { return SettingOn(9) ? " -jyc -jyk -jyo " : " -jyc -jyk "; }

QString MethodSwitch(ArchiveKind kind) {
    const QString method = SettingText(13);
    const bool arj = kind == ArchiveKind::Arj;
    if (method == "store") return arj ? " -m0 " : " -e0 ";
    if (method == "slowest") return arj ? " -m1 " : " -en ";
    if (method == "fastest") return arj ? " -m4 " : " -es ";
    return QString();
}
}  // namespace

QString ExtractLine(ArchiveKind kind, const QString& archive, const QString& destination, const QString& fileSpec) {
    QString line = QuotedPath(ArchiverProgram(kind, false));
    if (kind == ArchiveKind::Arj) {
        line += ArjQuestionSwitches();
        if (SettingOn(9)) line += " -y ";
        line += SettingOn(11) ? " x -v " : " e -v ";
    } else {
        if (SettingOn(9)) line += " -o ";
        line += SettingOn(11) ? " -d " : " -e ";
    }
    return line + QuotedPath(archive) + ' ' + QuotedPath(destination) + ' ' + QuotedPath(fileSpec);
}

QString CompressLine(ArchiveKind kind, const QString& archivePath) {
    QString line = QuotedPath(ArchiverProgram(kind, true));
    if (kind == ArchiveKind::Arj) {
        line += ArjQuestionSwitches();
        if (SettingOn(9)) line += " -a -hu -y ";
        line += " a ";
        line += ArjVolumeSwitch();
        line += MethodSwitch(kind);
        return line + QuotedPath(archivePath) + " !" + ArchiveListFile;
    }
    if (SettingOn(9)) line += " -whs -o ";
    line += SettingOn(10) ? " -P " : " -p ";
    line += MethodSwitch(kind);
    return line + QuotedPath(archivePath) + " @" + ArchiveListFile;
}

QString ArchivePath(const QString& destination, const QString& name) {
    return destination + (destination.endsWith('\\') ? "" : "\\") + name;
}

QString ListFileLine(const QString& fullPath, const QString& currentFolder) {
    // Only a path beneath the folder is cut: "c:\ab\x" does not lie in "c:\a".
    const QString beneath = currentFolder.endsWith('\\') ? currentFolder : currentFolder + '\\';
    const QString line = fullPath.startsWith(beneath, Qt::CaseInsensitive) ? fullPath.mid(beneath.size()) : fullPath;
    // The archivers trim each line and then take off surrounding quotes, so a
    // name that begins or ends with a blank keeps it inside quotes.
    return line == line.trimmed() ? line : u'"' + line + u'"';
}
