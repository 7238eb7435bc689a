#include "config/settingstext.h"
#include "model/slots.h"
#include <QStringDecoder>

// The settings file's text as plain data: splitting, decoding, reading values
// and the exit's splice, apart from the file itself so they can be checked on
// any bytes.

namespace {

// The numeric value of a text: its leading number after any blanks, 0 when it
// has none.
double LeadingNumber(const QString& text) {
    const QString t = text.trimmed();
    int end = 0;
    if (end < t.size() && (t[end] == '-' || t[end] == '+')) ++end;
    const int digitsFrom = end;
    while (end < t.size() && t[end].isDigit() && t[end].unicode() < 128) ++end;
    if (end < t.size() && t[end] == '.') {
        ++end;
        while (end < t.size() && t[end].isDigit() && t[end].unicode() < 128) ++end;
    }
    if (end == digitsFrom || t.mid(digitsFrom, end - digitsFrom) == ".") return 0;
    return t.left(end).toDouble();
}

int LimitedNumber(const QString& text, int low, int high) {
    const double value = LeadingNumber(text);
    if (value < low) return low;
    if (value > high) return high;
    return qRound(value);
}

QString CapitalFirst(const QString& word) { return word.left(1).toUpper() + word.mid(1); }

}  // namespace

QList<QByteArray> SplitSettingsBytes(QByteArray data) {
    if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0) end = data.size();
        QByteArray line = data.mid(start, end - start);
        if (line.endsWith('\r')) line.chop(1);
        lines.append(line);
        start = end + 1;
    }
    return lines;
}

// Lines written by hand may be in any 8-bit code page; a line is text in UTF-8
// when it is valid UTF-8, and its bytes one character each otherwise, so reading
// never fails and never loses a byte.
QString DecodeSettingsLine(const QByteArray& bytes) {
    // A byte order mark at the start of any line is no text (files put together
    // from others carry one where each began).
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes);
}

QStringList DecodeSettingsLines(const QList<QByteArray>& raw) {
    QStringList text;
    text.reserve(raw.size());
    for (const QByteArray& line : raw) text.append(DecodeSettingsLine(line));
    return text;
}

// Lines of a section as ReadSection gives them, without the extra empty entry.
QStringList SectionLines(const QStringList& text, const QString& sectionHeader) {
    const QString wanted = sectionHeader.trimmed().toLower();
    QStringList lines;
    int i = 0;
    while (i < text.size() && text[i].trimmed().toLower() != wanted) ++i;
    for (++i; i < text.size(); ++i) {
        const QString line = text[i].trimmed();
        if (line.startsWith('[')) break;
        if (!line.isEmpty()) lines.append(line);
    }
    return lines;
}

QString ValueOf(const QString& line) {
    const int equals = line.lastIndexOf('=');
    if (equals < 0) return QString();
    return line.mid(equals + 1).trimmed().toLower();
}

QStringList DefaultSettingKeys(const QString& sectionHeader) {
    const QString header = sectionHeader.trimmed().toLower();
    if (header == "[general]")
        return {"Ignore read only attribute=", "Max folders in slow logging=", "Folder logging method=",
                "Show system and hidden files=", "Automatic file overwrite=", "File date format=",
                "File columns=", "Program folder="};
    if (header == "[compression]")
        return {"Archives overwrite=", "Compress with paths=", "Extract with paths=", "ARJ volume size=",
                "Compression method=", "ARJ.exe=", "Pkzip.exe=", "Pkunzip.exe="};
    if (header == "[fonts]")
        return {"Tree font name=", "Tree font size=", "File list font name=", "File list font size="};
    return {};
}

QVariant CheckedSetting(int index, const QString& value) {
    const QString v = value.trimmed().toLower();
    using namespace setting;
    switch (index) {
    case IgnoreReadOnly: case ShowHiddenSystem: case AutoOverwrite:
    case ArchiveOverwrite: case CompressWithPaths: case ExtractWithPaths:
        return v != "false";
    case SlowLoggingFolders:
        return LimitedNumber(v, 0, 99);
    case LoggingMethod:
        return v == "slow" ? v : QStringLiteral("fast");
    case DateFormat:
        return v == "dd-mm-yy" ? v : QStringLiteral("mm-dd-yy");
    case FileColumns:
        return LimitedNumber(v, 1, 4);
    case ArjVolumeSize:
        if (v == "360 kb" || v == "720 kb" || v == "1200 kb" || v == "1440 kb") return v.toUpper();
        return QStringLiteral("Available");
    case CompressionMethod:
        if (v == "store" || v == "slowest" || v == "fastest") return CapitalFirst(v);
        return QStringLiteral("fastest");
    default:
        return v;
    }
}

QByteArray SpliceDesktopSection(const QByteArray& file, const QStringList& desktopLines) {
    // The file's lines with their byte offsets; each line's bytes include its ending.
    struct Line {
        qsizetype start, end;
        QByteArray text;   // without the ending, trimmed
    };
    QList<Line> lines;
    for (qsizetype start = 0; start < file.size();) {
        qsizetype end = file.indexOf('\n', start);
        end = end < 0 ? file.size() : end + 1;
        QByteArray text = file.mid(start, end - start);
        // As the reader does, a byte order mark opening a line is no text.
        if (text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
        lines.append({start, end, text.trimmed()});
        start = end;
    }
    int header = 0;
    while (header < lines.size() && lines[header].text.toLower() != "[desktop]") ++header;
    QByteArray eol = "\r\n";
    if (header < lines.size()) {
        const QByteArray own = file.mid(lines[header].start, lines[header].end - lines[header].start);
        if (own.endsWith("\n") && !own.endsWith("\r\n")) eol = "\n";
    } else if (!lines.isEmpty() && file.endsWith('\n') && !file.endsWith("\r\n")) {
        eol = "\n";
    }
    QByteArray body;
    for (const QString& line : desktopLines) body += line.toUtf8() + eol;
    if (header == lines.size()) {
        // No desktop section yet: it is added at the end.
        QByteArray out = file;
        if (!out.isEmpty() && !out.endsWith('\n')) out += eol;
        return out + "[desktop]" + eol + body;
    }
    // The section's own lines end at its last line before the next section;
    // empty lines after them belong to the layout and stay.
    int last = header;
    for (int i = header + 1; i < lines.size() && !lines[i].text.startsWith('['); ++i)
        if (!lines[i].text.isEmpty()) last = i;
    QByteArray headerBytes = file.mid(lines[header].start, lines[header].end - lines[header].start);
    if (!headerBytes.endsWith('\n')) headerBytes += eol;
    return file.left(lines[header].start) + headerBytes + body + file.mid(lines[last].end);
}
