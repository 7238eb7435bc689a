#include "config/settings.h"
#include "config/more.h"
#include <QFile>
#include <QStringDecoder>
#include <QVariant>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "ui/errors.h"
#include "model/slots.h"
#include "platform/paths.h"
#include "platform/prefix.h"

// What a damaged or incomplete settings file does:
// - A missing section or setting line reads as an empty value, so every setting
//   takes the fallback of its table row; settings without a fallback (program
//   folder, archiver paths, fonts) become empty text. An empty program folder then
//   ends the start-up with the "not installed" message, as a wrong one does.
// - Saving writes every setting: a missing line or section is written with the
//   default key text of its position. Extra lines of a setting section are kept
//   after its settings, unchanged.
// - Saving keeps every line from "[supportedfiletypes]" on byte for byte and drops
//   what stood between the setting sections and it. When "[supportedfiletypes]" is
//   missing nothing is dropped: every line outside the three setting sections is
//   kept, in its order, after them.
// - A settings file that cannot be read is never replaced.

namespace {

const QString NotFoundMessage = QStringLiteral("Quorl.ini is invalid or can't be found on your windows directory");
const QString NotInstalledMessage = QStringLiteral("Disk Rorediva is not installed in : ");
const QString NotInstalledAdvice = QStringLiteral(
    "Probably you renamed the folder which was containing the program. Run setup program again from the "
    "original disks. Execution aborted");

struct SettingSection {
    const char* header;
    int firstIndex;
};
constexpr SettingSection SettingSections[] = {{"[general]", 1}, {"[compression]", 9}, {"[fonts]", 17}};

bool IsSettingSectionHeader(const QString& trimmedLower) {
    for (const SettingSection& s : SettingSections)
        if (trimmedLower == QLatin1String(s.header)) return true;
    return false;
}

bool HostPath(const QString& dosPath, QString* host) { return platform::DosToHost(dosPath, host) == 0; }

// The settings file's bytes as they stand on disk.
bool ReadSettingsBytes(QByteArray* data) {
    QString host;
    if (!HostPath(SettingsFilePath(), &host)) return false;
    QFile file(host);
    if (!file.open(QIODevice::ReadOnly)) return false;
    *data = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// The file's lines as bytes, without their CR LF or LF.
bool ReadRawLines(QList<QByteArray>* lines) {
    lines->clear();
    QByteArray data;
    if (!ReadSettingsBytes(&data)) return false;
    *lines = SplitSettingsBytes(data);
    return true;
}

bool WriteAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

void SyncFolder(const QString& hostFile) {
    const QByteArray folder = QFile::encodeName(hostFile.left(hostFile.lastIndexOf('/') + 1));
    const int fd = ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Where the new file is written before it takes the place of the old one, and
// the open descriptor; -1 when it cannot be had. In the Windows folder, which
// is the program's, it is quorl.tmp, and a leftover of that name goes first
// (whatever takes its name meanwhile is never written through). Beside the
// target of a link, in the user's own folder, it gets a name nobody else has,
// so that no file of the user's is ever replaced or removed.
int OpenTemporary(const QByteArray& folder, bool ownFolder, QByteArray* tmp) {
    if (ownFolder) {
        *tmp = folder + "quorl.tmp";
        ::unlink(tmp->constData());
        return ::open(tmp->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    }
    *tmp = folder + ".quorl.ini-XXXXXX";
    return ::mkostemp(tmp->data(), O_CLOEXEC);
}

// The whole new file goes to a temporary file, reaches the disk, and only then
// takes the place of quorl.ini in one rename: a crash at any moment leaves
// either the old settings or the new ones, never none. A settings file that is
// a link (kept with the user's other dotfiles) stays a link: its target is
// replaced, keeping its permissions, and the temporary file is made beside the
// target so that the rename stays on one disk.
bool ReplaceWithBytes(const QByteArray& data) {
    QString iniHost;
    if (!HostPath(SettingsFilePath(), &iniHost)) return false;
    QByteArray ini = QFile::encodeName(iniHost);
    struct stat entry {};
    const bool link = ::lstat(ini.constData(), &entry) == 0 && S_ISLNK(entry.st_mode);
    if (link) {
        char resolved[PATH_MAX];
        if (!::realpath(ini.constData(), resolved)) return false;
        ini = resolved;
    }
    QByteArray tmp;
    const int fd = OpenTemporary(ini.left(ini.lastIndexOf('/') + 1), !link, &tmp);
    if (fd < 0) return false;
    struct stat old {};
    if (::stat(ini.constData(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
    bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(tmp.constData(), ini.constData()) == 0;
    if (!ok) {
        ::unlink(tmp.constData());
        return false;
    }
    SyncFolder(QFile::decodeName(ini));
    return true;
}

bool ReplaceWithRawLines(const QList<QByteArray>& lines) {
    QByteArray data;
    for (const QByteArray& line : lines) data += line + "\r\n";
    return ReplaceWithBytes(data);
}

// Every line that is not part of a setting section (its header, its lines and
// the empty lines up to the next header), except empty lines before the first
// header.
QList<QByteArray> LinesOutsideSettingSections(const QStringList& text, const QList<QByteArray>& raw) {
    QList<QByteArray> kept;
    bool inSetting = false;
    bool seenHeader = false;
    for (int i = 0; i < text.size(); ++i) {
        const QString line = text[i].trimmed();
        if (line.startsWith('[')) {
            inSetting = IsSettingSectionHeader(line.toLower());
            seenHeader = true;
        }
        if (inSetting || (!seenHeader && line.isEmpty())) continue;
        kept.append(raw[i]);
    }
    return kept;
}

QString ValueText(const QVariant& value) {
    if (!value.isValid()) return QString();
    switch (value.typeId()) {
    case QMetaType::QString: return value.toString();
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return value.toString().trimmed();
    }
}

}  // namespace

QString WindowsFolder() {
    QString folder = platform::WindowsDirectory();
    const int nul = folder.indexOf(QChar(0));
    if (nul >= 0) folder.truncate(nul);
    int start = 0;
    while (start < folder.size() && folder[start] == ' ') ++start;
    folder = folder.mid(start).toLower();
    while (folder.endsWith('\\')) folder.chop(1);
    return folder;
}

QString SettingsFilePath() { return WindowsFolder() + "\\quorl.ini"; }

bool ReadSettingsLines(QStringList* lines) {
    QList<QByteArray> raw;
    const bool ok = ReadRawLines(&raw);
    *lines = DecodeSettingsLines(raw);
    return ok;
}

QStringList ReadSection(const QString& sectionHeader) {
    QStringList text;
    ReadSettingsLines(&text);
    QStringList lines = SectionLines(text, sectionHeader);
    lines.append(QString());
    return lines;
}

bool LoadSettings() {
    if (!FileExists(SettingsFilePath())) {
        ShowMessage(NotFoundMessage, MsgStyle::Critical, "Error");
        return false;
    }
    for (const SettingSection& section : SettingSections) {
        const QStringList lines = ReadSection(section.header);
        const int count = DefaultSettingKeys(section.header).size();
        for (int n = 0; n < count; ++n) {
            // The extra empty entry and any missing line read as an empty value.
            const QString value = n < lines.size() ? ValueOf(lines[n]) : QString();
            const int index = section.firstIndex + n;
            Settings[index] = index >= setting::TreeFontName ? QVariant(value) : CheckedSetting(index, value);
        }
    }
    ReadMoreSection(ReadSection(more::Header));
    const QString folder = Settings[setting::ProgramFolder].toString();
    if (folder.isEmpty() || !FileExists(folder + "\\Quorl.exe")) {
        ShowMessage(NotInstalledMessage + folder + "\r\n" + NotInstalledAdvice, MsgStyle::Critical, "Error");
        return false;
    }
    return true;
}

void WriteSettingLines(QStringList& out, const QStringList& lines, const QString& header, int firstIndex) {
    out.append(header);
    QStringList present;
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty()) present.append(line);
    const QStringList keys = DefaultSettingKeys(header);
    const int count = keys.isEmpty() ? int(present.size()) : int(keys.size());
    for (int i = 0; i < count; ++i) {
        const QString line = i < present.size() ? present[i] : keys[i];
        const int equals = line.lastIndexOf('=');
        // A line without "=" gets one, or the value written after it could
        // never be read back.
        const QString key = equals >= 0 ? line.left(equals + 1) : line + '=';
        const int index = firstIndex + i;
        out.append(key + (index >= 0 && index < int(Settings.size()) ? ValueText(Settings[index]) : QString()));
    }
    for (int i = count; i < present.size(); ++i) out.append(present[i]);
    out.append(QString());
}

void SaveSettings() {
    QList<QByteArray> raw;
    if (!ReadRawLines(&raw)) return;
    const QStringList text = DecodeSettingsLines(raw);

    QStringList settingLines;
    for (const SettingSection& section : SettingSections)
        WriteSettingLines(settingLines, SectionLines(text, section.header), section.header, section.firstIndex);
    QList<QByteArray> out;
    for (const QString& line : settingLines) out.append(line.toUtf8());

    int fileTypes = 0;
    while (fileTypes < text.size() && text[fileTypes].trimmed().toLower() != "[supportedfiletypes]") ++fileTypes;
    if (fileTypes < text.size()) out += raw.mid(fileTypes);
    else out += LinesOutsideSettingSections(text, raw);
    ReplaceWithRawLines(SpliceMoreSection(out));
}

bool ReplaceSettingsSection(const QString& sectionHeader, const QStringList& lines) {
    QList<QByteArray> raw;
    if (!ReadRawLines(&raw)) return false;
    const QStringList text = DecodeSettingsLines(raw);
    const QString wanted = sectionHeader.trimmed().toLower();
    int header = 0;
    while (header < text.size() && text[header].trimmed().toLower() != wanted) ++header;
    if (header == text.size()) return false;
    int next = header + 1;
    while (next < text.size() && !text[next].trimmed().startsWith('[')) ++next;

    QList<QByteArray> out = raw.mid(0, header + 1);
    for (const QString& line : lines) out.append(line.toUtf8());
    if (next < text.size()) {
        out.append(QByteArray());
        out += raw.mid(next);
    }
    return ReplaceWithRawLines(out);
}

bool RewriteDesktopSection(const QStringList& desktopLines) {
    QByteArray data;
    if (!ReadSettingsBytes(&data)) return false;
    return ReplaceWithBytes(SpliceDesktopSection(data, desktopLines));
}
