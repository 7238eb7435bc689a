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
    for (int i = std::max(0, start); i < end; ++i) {
        const QString& line = slot.Lines[i];
        if (line.startsWith('>') && HeaderPath(line) == path) return i;
    }
    return -1;
}

int LookupFolderLine(const DriveSlot& slot, const QString& path) {
    const int end = std::min<int>(slot.IndexCount, slot.FolderIndex.size());
    for (int i = 0; i < end; ++i) {
        QString entryPath;
        int position = 0;
        // An entry whose folder disappeared holds -1; the folder may have come
        // back since, so such an entry counts as missing.
        if (SplitIndexEntry(slot.FolderIndex[i], &entryPath, &position) && entryPath == path && position >= 0)
            return position;
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
        const int oldCount = slot.LineCount;
        GrowLines(slot, n);
        for (int i = oldCount - 1; i > h; --i) slot.Lines[i + n] = slot.Lines[i];
        for (int i = 0; i < n; ++i) slot.Lines[h + 1 + i] = lines[i];
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
