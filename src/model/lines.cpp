// The file lines of the logged picture, their deleted marks and the entries of
// the global and branch views (formats in model/slots.h).
#include <QDateTime>
#include <algorithm>
#include "model/slots.h"
#include "platform/files.h"

namespace {
QString WithTag(const QString& line, QChar letter) {
    const int slash = line.indexOf('/');
    if (slash < 0 || slash + 1 >= line.size()) return line;
    QString out = line;
    out[slash + 1] = letter;
    return out;
}

const QString DeletedMark = QStringLiteral("*");
}  // namespace

// "MM-dd-yy HH:mm:ss", or "dd-MM-yy ..." when the setting asks for the day
// first; written digit by digit, as every file of a drive being logged needs one.
QString FormatFileDate(const QDateTime& stamp, const QString& dateFormat) {
    if (!stamp.isValid()) return QString();
    const bool dayFirst = dateFormat.trimmed().compare(u"dd-mm-yy", Qt::CaseInsensitive) == 0;
    const QDate date = stamp.date();
    const QTime time = stamp.time();
    const int fields[] = {dayFirst ? date.day() : date.month(), dayFirst ? date.month() : date.day(),
                          (date.year() % 100 + 100) % 100, time.hour(), time.minute(), time.second()};
    QString text(17, u' ');
    QChar* out = text.data();
    for (int i = 0; i < 6; ++i) {
        out[3 * i] = QChar(u'0' + fields[i] / 10);
        out[3 * i + 1] = QChar(u'0' + fields[i] % 10);
        if (i < 5) out[3 * i + 2] = i < 2 ? u'-' : i == 2 ? u' ' : u':';
    }
    return text;
}

QString FormatAttributeLetters(int attributes) {
    QString letters;
    if (attributes & platform::attr::ReadOnly) letters += 'R';
    if (attributes & platform::attr::Archive) letters += 'A';
    if (attributes & platform::attr::System) letters += 'S';
    if (attributes & platform::attr::Hidden) letters += 'H';
    return letters;
}

QString MakeFileLine(const QString& name, qint64 size, const QDateTime& stamp, int attributes) {
    return name + "/U/" + QString::number(size) + ':' +
           FormatFileDate(stamp, Settings[setting::DateFormat].toString()) + ':' + FormatAttributeLetters(attributes);
}

QString FileDateText(const QString& fullPath) {
    platform::FileEntry entry;
    const ErrorCode code = platform::GetFileInfo(fullPath, &entry);
    if (code != err::None) {
        LastError = code;
        return QString();
    }
    return FormatFileDate(entry.modified, Settings[setting::DateFormat].toString());
}

QString AttributeLetters(const QString& fullPath) {
    int attributes = 0;
    const ErrorCode code = platform::GetAttributes(fullPath, &attributes);
    if (code != err::None) {
        LastError = code;
        return QString();
    }
    return FormatAttributeLetters(attributes);
}

bool ParseFileLine(const QString& line, FileLine* file) {
    const int firstSlash = line.indexOf('/');
    if (firstSlash < 0 || firstSlash + 2 >= line.size() || line.at(firstSlash + 2) != '/') return false;
    const int sizeStart = firstSlash + 3;
    const int sizeEnd = line.indexOf(':', sizeStart);
    if (sizeEnd < 0) return false;
    bool ok = false;
    const qint64 size = line.mid(sizeStart, sizeEnd - sizeStart).toLongLong(&ok);
    if (!ok) return false;
    const int lastColon = line.lastIndexOf(':');
    file->name = line.left(firstSlash);
    file->tag = line.at(firstSlash + 1);
    file->size = size;
    file->dateTime = lastColon > sizeEnd ? line.mid(sizeEnd + 1, lastColon - sizeEnd - 1) : QString();
    file->attributes = line.mid(lastColon + 1);
    return true;
}

QString FileNameOf(const QString& line) { return line.left(line.indexOf('/')); }

bool IsTagged(const QString& line) { return line.contains("/T"); }

qint64 FileSizeOf(const QString& line) {
    FileLine f;
    return ParseFileLine(line, &f) ? f.size : 0;
}

QString FileDateOf(const QString& line) {
    FileLine f;
    return ParseFileLine(line, &f) ? f.dateTime.section(' ', 0, 0) : QString();
}

QString FileTimeOf(const QString& line) {
    FileLine f;
    return ParseFileLine(line, &f) ? f.dateTime.section(' ', 1) : QString();
}

QString FileAttributesOf(const QString& line) {
    FileLine f;
    return ParseFileLine(line, &f) ? f.attributes : QString();
}

QString MarkTagged(const QString& line) { return WithTag(line, 'T'); }
QString MarkUntagged(const QString& line) { return WithTag(line, 'U'); }

QSet<QString> TaggedFileNames(const DriveSlot& slot, int h) {
    QSet<QString> names;
    if (h < 0) return names;
    for (int i = h + 1, end = FolderLinesEnd(slot, h); i < end; ++i)
        if (IsTagged(slot.Lines[i])) names.insert(FileNameOf(slot.Lines[i]));
    return names;
}

void TagFilesNamed(DriveSlot& slot, int h, const QSet<QString>& names) {
    if (h < 0 || names.isEmpty()) return;
    for (int i = h + 1, end = FolderLinesEnd(slot, h); i < end; ++i)
        if (names.contains(FileNameOf(slot.Lines[i]))) slot.Lines[i] = MarkTagged(slot.Lines[i]);
}

void RenameFileLine(QString& line, const QString& newName) {
    const int slash = line.indexOf('/');
    if (slash >= 0) line = newName + line.mid(slash);
}

void SetFileLineAttributes(QString& line, const QString& letters) {
    line = line.left(line.lastIndexOf(':') + 1) + letters;
}

void InsertFileLines(DriveSlot& slot, int h, const QStringList& lines, bool refreshIndex) {
    if (h < 0 || h >= slot.LineCount) return;
    const int n = lines.size();
    if (n > 0) {
        // One block move: the list moves the following strings without copying them.
        slot.Lines.insert(h + 1, n, QString());
        slot.LineCount += n;
        std::copy(lines.cbegin(), lines.cend(), slot.Lines.begin() + h + 1);
        // The headers after h moved down by n lines.
        NoteInsertedLines(slot, h, n);
        if (refreshIndex) ShiftIndexEntries(slot, h, n);
        return;
    }
    if (refreshIndex) RefreshFolderIndex(slot);
}

void RemoveFileLines(DriveSlot& slot, int h) {
    if (h < 0) return;
    const int count = FolderLinesEnd(slot, h) - h - 1;
    if (count <= 0) return;
    for (int i = h + 1; i + count < slot.LineCount; ++i) slot.Lines[i] = slot.Lines[i + count];
    GrowLines(slot, -count);
}

void MarkDeleted(DriveSlot& slot, int position) {
    if (position >= 0 && position < slot.Lines.size()) slot.Lines[position] = DeletedMark;
}

bool IsDeleted(const QString& line) { return line == DeletedMark; }

void RemoveDeletedLines(DriveSlot& slot) {
    int out = 0;
    for (int i = 0; i < slot.LineCount; ++i)
        if (!IsDeleted(slot.Lines[i])) slot.Lines[out++] = slot.Lines[i];
    if (out != slot.LineCount) {
        GrowLines(slot, out - slot.LineCount);
        RefreshFolderIndex(slot);
    }
}

int FolderFileCount(const DriveSlot& slot, const QString& folder) {
    const int h = LookupFolderLine(slot, folder);
    return h < 0 ? 0 : FolderLinesEnd(slot, h) - h - 1;
}

qint64 FolderTaggedBytes(const DriveSlot& slot, const QString& folder) {
    const int h = LookupFolderLine(slot, folder);
    qint64 total = 0;
    if (h >= 0)
        for (int i = h + 1, end = FolderLinesEnd(slot, h); i < end; ++i)
            if (IsTagged(slot.Lines[i])) total += FileSizeOf(slot.Lines[i]);
    return total;
}

qint64 FolderBytes(const DriveSlot& slot, const QString& folder) {
    const int h = LookupFolderLine(slot, folder);
    qint64 total = 0;
    if (h >= 0)
        for (int i = h + 1, end = FolderLinesEnd(slot, h); i < end; ++i) total += FileSizeOf(slot.Lines[i]);
    return total;
}

QString ViewEntry(const QString& name, int headerLine, int fileLine) {
    return name + '/' + QString::number(headerLine) + '/' + QString::number(fileLine);
}

bool GlobalLinePositions(const QString& viewEntry, int* fileLine, int* headerLine) {
    const int last = viewEntry.lastIndexOf('/');
    if (last <= 0) return false;
    const int before = viewEntry.lastIndexOf('/', last - 1);
    if (before < 0) return false;
    bool okFile = false, okHeader = false;
    const int file = viewEntry.mid(last + 1).toInt(&okFile);
    const int header = viewEntry.mid(before + 1, last - before - 1).toInt(&okHeader);
    if (!okFile || !okHeader) return false;
    if (fileLine) *fileLine = file;
    if (headerLine) *headerLine = header;
    return true;
}
