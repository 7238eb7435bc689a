#include "model/slots.h"
#include <QDateTime>
#include <algorithm>
#include "platform/files.h"

std::array<DriveSlot, MaxDrives + 1> DriveSlots;
int OpenDriveCount = 0;
int CurrentSlot = 1;
ErrorCode LastError = 0;
std::array<QVariant, 21> Settings;
int16_t AbortFlag = 0;

namespace {

// Index entries and header lines both put "/" after the path; a root path such
// as "c:" is at least two characters, so the separator of a header line is
// never before its fourth character.
constexpr int HeaderSeparatorFrom = 3;

// The line is the header of the folder: compared in place, as the lines of
// a big picture are many.
bool IsHeaderOf(const QString& line, const QString& path) {
    return line.size() > path.size() + 1 && line.at(0) == u'>' && line.at(path.size() + 1) == u'/' &&
           QStringView(line).mid(1, path.size()) == path && path.size() >= 2;
}

QString HeaderPath(const QString& line) {
    if (!line.startsWith('>')) return QString();
    const int slash = line.indexOf('/', HeaderSeparatorFrom);
    if (slash < 0) return QString();
    return line.mid(1, slash - 1);
}

// Folder index entry: path + "/" + position; paths never hold "/".
bool SplitIndexEntry(const QString& entry, QString* path, int* position) {
    const int slash = entry.indexOf('/');
    if (slash < 0) return false;
    bool ok = false;
    const int value = entry.mid(slash + 1).toInt(&ok);
    if (!ok) return false;
    *path = entry.left(slash);
    *position = value;
    return true;
}

// The header of a folder, by the index first and by scanning when the index
// does not know it or points at another line (positions go stale while lines
// are inserted, until the index is refreshed).
int HeaderPosition(const DriveSlot& slot, const QString& path) {
    const int position = LookupFolderLine(slot, path);
    if (position >= 0 && position < slot.LineCount && position < slot.Lines.size() &&
        HeaderPath(slot.Lines[position]) == path)
        return position;
    return FindFolderLine(slot, path, 0);
}

// Gives the header the state suffix, replacing the one it has, so that a header
// never carries two suffixes.
void SetHeaderState(QString& line, QChar state) {
    FolderHeader header;
    if (!ParseFolderHeader(line, &header)) return;
    if (header.state.isNull()) line += '/' + QString(state);
    else line[line.size() - 1] = state;
}

// Index entries of headers after position h, moved down by n lines: what a
// refresh would find after an insertion, without looking for every folder.
void ShiftIndexEntries(DriveSlot& slot, int h, int n) {
    const int end = std::min<int>(slot.IndexCount, slot.FolderIndex.size());
    for (int i = 0; i < end; ++i) {
        QString& entry = slot.FolderIndex[i];
        const qsizetype slash = entry.indexOf(u'/');
        bool ok = false;
        const int position = slash < 0 ? -1 : QStringView(entry).mid(slash + 1).toInt(&ok);
        if (ok && position > h) entry = entry.left(slash + 1) + QString::number(position + n);
    }
}

}  // namespace

void ResetProgramState() {
    for (DriveSlot& slot : DriveSlots) ClearSlot(slot);
    OpenDriveCount = 0;
    CurrentSlot = 1;
    DriveSlots[1].FileSpec = "*.*";
    LastError = 0;
    AbortFlag = 0;
    Settings.fill(QVariant());
}

DriveSlot& Slot(int n) {
    // Slot 0 is never used by a window, so a stray number lands there harmlessly.
    if (n < 0 || n > MaxDrives) return DriveSlots[0];
    return DriveSlots[n];
}

void ClearFolderLines(DriveSlot& slot) {
    slot.LineCount = 0;
    slot.Lines = QStringList{QString()};
    slot.HeaderHints.clear();
}

void ClearFolderIndex(DriveSlot& slot) {
    slot.IndexCount = 0;
    slot.FolderIndex = QStringList{QString()};
}

void ClearNodeMap(DriveSlot& slot) { slot.NodeMap = QStringList{QString()}; }

void ClearGlobalList(DriveSlot& slot) { slot.GlobalList = QStringList{QString()}; }

void ClearSlot(DriveSlot& slot) { slot = DriveSlot{}; }

void AddFolderLine(DriveSlot& slot, const QString& path, int nodeIndex) {
    if (slot.Lines.size() <= slot.LineCount) slot.Lines.resize(slot.LineCount + 1);
    slot.Lines[slot.LineCount] = '>' + path + '/' + QString::number(nodeIndex);
    slot.HeaderHints.insert(path, slot.LineCount);
    GrowLines(slot, 1);
}

void GrowLines(DriveSlot& slot, int n) {
    slot.LineCount = std::max(0, slot.LineCount + n);
    slot.Lines.resize(slot.LineCount + 1);
    // After lines were taken away the spare entry may still hold the old last line.
    slot.Lines[slot.LineCount].clear();
}

void AddIndexEntry(DriveSlot& slot, const QString& path, int position) {
    if (slot.FolderIndex.size() <= slot.IndexCount) slot.FolderIndex.resize(slot.IndexCount + 1);
    slot.FolderIndex[slot.IndexCount] = path + '/' + QString::number(position);
    slot.IndexCount += 1;
    slot.FolderIndex.resize(slot.IndexCount + 1);
}

void AddNodeEntry(DriveSlot& slot, const QString& path, int nodeIndex) {
    if (slot.NodeMap.isEmpty()) slot.NodeMap.append(QString());
    slot.NodeMap.last() = path + '/' + QString::number(nodeIndex);
    slot.NodeMap.append(QString());
}

int FindFolderLine(const DriveSlot& slot, const QString& path, int start) {
    const int end = std::min<int>(slot.LineCount, slot.Lines.size());
    start = std::max(0, start);
    const auto hint = slot.HeaderHints.constFind(path);
    if (hint != slot.HeaderHints.cend() && *hint >= start && *hint < end && IsHeaderOf(slot.Lines[*hint], path)) {
        // A folder has one header; a second one before the hint would be found first.
        return *hint;
    }
    for (int i = start; i < end; ++i) {
        if (IsHeaderOf(slot.Lines[i], path)) {
            if (start == 0) slot.HeaderHints.insert(path, i);
            return i;
        }
    }
    return -1;
}

int LookupFolderLine(const DriveSlot& slot, const QString& path) {
    const int end = std::min<int>(slot.IndexCount, slot.FolderIndex.size());
    for (int i = 0; i < end; ++i) {
        const QString& entry = slot.FolderIndex[i];
        if (entry.size() <= path.size() || entry.at(path.size()) != u'/' || !entry.startsWith(path)) continue;
        // An entry whose folder disappeared holds -1; the folder may have come
        // back since, so such an entry counts as missing.
        bool ok = false;
        const int position = QStringView(entry).mid(path.size() + 1).toInt(&ok);
        if (ok && position >= 0) return position;
    }
    return FindFolderLine(slot, path, 0);
}

void RefreshFolderIndex(DriveSlot& slot) {
    const int end = std::min<int>(slot.IndexCount, slot.FolderIndex.size());
    for (int i = 0; i < end; ++i) {
        QString path;
        int position = 0;
        if (!SplitIndexEntry(slot.FolderIndex[i], &path, &position)) continue;
        const int found = FindFolderLine(slot, path, 0);
        if (found != position) slot.FolderIndex[i] = path + '/' + QString::number(found);
    }
}

bool IsFolderLogged(const DriveSlot& slot, const QString& path) {
    const int position = LookupFolderLine(slot, path);
    if (position < 0 || position >= slot.Lines.size()) return false;
    return slot.Lines[position].endsWith('L');
}

bool IsFolderUnlogged(const DriveSlot& slot, const QString& path) {
    const int position = LookupFolderLine(slot, path);
    if (position < 0 || position >= slot.Lines.size()) return true;
    return slot.Lines[position].endsWith('U');
}

void MarkFolderLogged(DriveSlot& slot, const QString& path, int* position, bool skipIndex) {
    const int found = HeaderPosition(slot, path);
    if (position) *position = found;
    if (found < 0) return;
    SetHeaderState(slot.Lines[found], 'L');
    if (skipIndex) return;
    // A folder logged again keeps its one index entry instead of gaining a second.
    for (int i = 0; i < slot.IndexCount && i < slot.FolderIndex.size(); ++i) {
        QString entryPath;
        int entryPosition = 0;
        if (SplitIndexEntry(slot.FolderIndex[i], &entryPath, &entryPosition) && entryPath == path) {
            slot.FolderIndex[i] = path + '/' + QString::number(found);
            return;
        }
    }
    AddIndexEntry(slot, path, found);
}

void MarkFolderUnlogged(DriveSlot& slot, const QString& path, int* position) {
    const int found = HeaderPosition(slot, path);
    if (position) *position = found;
    if (found < 0) return;
    SetHeaderState(slot.Lines[found], 'U');
}

QString FormatFileDate(const QDateTime& stamp, const QString& dateFormat) {
    if (!stamp.isValid()) return QString();
    const bool dayFirst = dateFormat.trimmed().toLower() == "dd-mm-yy";
    return stamp.date().toString(dayFirst ? "dd-MM-yy" : "MM-dd-yy") + ' ' + stamp.time().toString("HH:mm:ss");
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
    return name.toLower() + "/U/" + QString::number(size) + ':' + FormatFileDate(stamp, Settings[6].toString()) +
           ':' + FormatAttributeLetters(attributes);
}

void SetFileLine(DriveSlot& slot, const QString& fileName, int position, const QString& folderPath) {
    if (position < 0 || position >= slot.Lines.size()) return;
    platform::FileEntry entry;
    const ErrorCode code = platform::GetFileInfo(folderPath + '\\' + fileName, &entry);
    if (code != 0) {
        // The line still stands for the file so that the picture keeps its shape;
        // the caller finds out through LastError.
        LastError = code;
        slot.Lines[position] = fileName.toLower() + "/U/0::";
        return;
    }
    slot.Lines[position] = MakeFileLine(fileName, entry.size, entry.modified, entry.attributes);
}

QString FileDateText(const QString& fullPath) {
    platform::FileEntry entry;
    const ErrorCode code = platform::GetFileInfo(fullPath, &entry);
    if (code != 0) {
        LastError = code;
        return QString();
    }
    return FormatFileDate(entry.modified, Settings[6].toString());
}

QString AttributeLetters(const QString& fullPath) {
    int attributes = 0;
    const ErrorCode code = platform::GetAttributes(fullPath, &attributes);
    if (code != 0) {
        LastError = code;
        return QString();
    }
    return FormatAttributeLetters(attributes);
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
        for (auto it = slot.HeaderHints.begin(); it != slot.HeaderHints.end(); ++it)
            if (*it > h) *it += n;
        if (refreshIndex) ShiftIndexEntries(slot, h, n);
        return;
    }
    if (refreshIndex) RefreshFolderIndex(slot);
}

int GetFormNumberForCaption(const QString& caption) {
    for (int i = 1; i <= OpenDriveCount && i <= MaxDrives; ++i)
        if (DriveSlots[i].WindowKey == caption) return i;
    return OpenDriveCount < MaxDrives ? OpenDriveCount + 1 : 0;
}

int GetFormNumber(const QWidget* driveWindow) {
    return GetFormNumberForCaption(driveWindow ? driveWindow->windowTitle() : QString());
}

bool IsDriveOpen(const QString& drive) {
    // The key is "Tree structure of " + drive + label; comparing at the drive's
    // place keeps a label such as "[d: backup]" from making d: look open.
    const QString& prefix = WindowCaptionPrefix;
    const QString wanted = drive.trimmed().toLower();
    if (wanted.isEmpty()) return false;
    for (int i = 1; i <= OpenDriveCount && i <= MaxDrives; ++i) {
        const QString& key = DriveSlots[i].WindowKey;
        if (key.startsWith(prefix) ? key.mid(prefix.size()).startsWith(wanted) : key.contains(wanted)) return true;
    }
    return false;
}

bool ParseFolderHeader(const QString& line, FolderHeader* header) {
    if (!line.startsWith('>')) return false;
    const int slash = line.indexOf('/', HeaderSeparatorFrom);
    if (slash < 0) return false;
    const QStringList rest = line.mid(slash + 1).split('/');
    bool ok = false;
    const int node = rest.first().toInt(&ok);
    if (!ok) return false;
    header->path = line.mid(1, slash - 1);
    header->nodeIndex = node;
    header->state = rest.size() == 2 && !line.endsWith('/') ? line.back() : QChar();
    return true;
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
