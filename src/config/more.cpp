#include "config/more.h"
#include <QHash>
#include "config/settingstext.h"

namespace {

QHash<QString, QString>& Values() {
    static QHash<QString, QString> values;
    return values;
}

QString Key(const QString& name) { return name.trimmed().toLower(); }

// The name of a line: the text before its "=", trimmed; empty without one.
QString NameOf(const QString& line) {
    const qsizetype equals = line.indexOf('=');
    return equals < 0 ? QString() : line.left(equals).trimmed();
}

const MoreSetting* Find(const QString& name) {
    for (const MoreSetting& s : MoreSettings())
        if (Key(s.name) == Key(name)) return &s;
    return nullptr;
}

QString Written(const MoreSetting& setting, const QString& value) {
    if (setting.kind == MoreKind::Switch) return value == "true" ? QStringLiteral("True") : QStringLiteral("False");
    return value;
}

bool IsHeader(const QString& line) { return line.trimmed().startsWith('['); }

}  // namespace

const QList<MoreSetting>& MoreSettings() {
    static const QList<MoreSetting> table = {
        {more::DeleteToTrash, QStringLiteral("&Delete to trash"), MoreKind::Switch, "false"},
        // How much of a drive logging takes in: the files of one folder, and the
        // lines (folders and files) of one drive window's picture.
        {more::FilesPerFolder, QStringLiteral("&Files per folder"), MoreKind::Number, "1500", 1, 10000000},
        {more::LinesPerDrive, QStringLiteral("&Lines per drive"), MoreKind::Number, "8000", 100, 10000000},
    };
    return table;
}

QString CheckedMoreValue(const MoreSetting& setting, const QString& value) {
    const QString v = value.trimmed().toLower();
    if (setting.kind == MoreKind::Switch) return v == "true" || v == "false" ? v : setting.missing;
    qsizetype digits = v.startsWith('-') ? 1 : 0;
    while (digits < v.size() && v[digits].isDigit() && v[digits].unicode() < 128) ++digits;
    bool ok = false;
    const qlonglong n = v.left(digits).toLongLong(&ok);
    if (!ok) return setting.missing;
    return QString::number(qBound(qlonglong(setting.low), n, qlonglong(setting.high)));
}

QString MoreValue(const QString& name) {
    const MoreSetting* setting = Find(name);
    if (!setting) return QString();
    return Values().value(Key(name), setting->missing);
}

bool MoreSwitch(const QString& name) { return MoreValue(name) == "true"; }

int MoreNumber(const QString& name) { return MoreValue(name).toInt(); }

void SetMoreValue(const QString& name, const QString& value) {
    if (const MoreSetting* setting = Find(name)) Values().insert(Key(name), CheckedMoreValue(*setting, value));
}

void ReadMoreSection(const QStringList& lines) {
    Values().clear();
    for (const QString& line : lines)
        if (const MoreSetting* setting = Find(NameOf(line)); setting && !NameOf(line).isEmpty())
            Values().insert(Key(setting->name), CheckedMoreValue(*setting, ValueOf(line)));
}

namespace {
// The lines of the section from its raw lines (blank ones left out).
QList<QByteArray> SectionBody(const QList<QByteArray>& raw, const QStringList& text) {
    QList<QByteArray> out;
    QList<const MoreSetting*> written;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (text[i].trimmed().isEmpty()) continue;
        const MoreSetting* setting = NameOf(text[i]).isEmpty() ? nullptr : Find(NameOf(text[i]));
        if (!setting) {
            out << raw[i];
        } else if (!written.contains(setting)) {
            // The key as the file spells it, as the other sections keep theirs.
            const QString key = text[i].left(text[i].indexOf('=') + 1);
            out << (key + Written(*setting, MoreValue(setting->name))).toUtf8();
            written << setting;
        }
    }
    for (const MoreSetting& s : MoreSettings())
        if (!written.contains(&s) && MoreValue(s.name) != s.missing)
            out << (s.name + '=' + Written(s, MoreValue(s.name))).toUtf8();
    return out;
}
}  // namespace

QList<QByteArray> SpliceMoreSection(const QList<QByteArray>& raw) {
    const QStringList text = DecodeSettingsLines(raw);
    qsizetype header = 0;
    while (header < text.size() && text[header].trimmed().toLower() != more::Header) ++header;
    if (header < text.size()) {
        qsizetype next = header + 1;
        while (next < text.size() && !IsHeader(text[next])) ++next;
        QList<QByteArray> out = raw.mid(0, header + 1);
        out += SectionBody(raw.mid(header + 1, next - header - 1), text.mid(header + 1, next - header - 1));
        if (next < text.size()) out << QByteArray() << raw.mid(next);
        return out;
    }
    const QList<QByteArray> lines = SectionBody({}, {});
    if (lines.isEmpty()) return raw;
    // Before the associations: they and the desktop close the file.
    qsizetype at = 0;
    while (at < text.size() && text[at].trimmed().toLower() != "[associations]") ++at;
    if (at == text.size()) {
        at = 0;
        while (at < text.size() && text[at].trimmed().toLower() != "[desktop]") ++at;
    }
    QList<QByteArray> section;
    if (at == text.size() && !text.isEmpty() && !text.last().trimmed().isEmpty()) section << QByteArray();
    section << more::Header.toUtf8() << lines;
    if (at < text.size()) section << QByteArray();
    return raw.mid(0, at) + section + raw.mid(at);
}
