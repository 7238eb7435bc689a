#include "model/slots.h"
#include <algorithm>

std::array<DriveSlot, MaxDrives + 1> DriveSlots;
int OpenDriveCount = 0;
int CurrentSlot = 1;
ErrorCode LastError = 0;
std::array<QVariant, 21> Settings;
int16_t AbortFlag = 0;

namespace {
// A decimal number (a leading "-" allowed), read in place: the index is read
// for every folder logged, and a big drive has thousands of entries.
bool ReadNumber(QStringView text, int* value) {
    const bool negative = text.startsWith(u'-');
    if (negative) text = text.mid(1);
    if (text.isEmpty() || text.size() > 9) return false;
    int n = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') return false;
        n = n * 10 + (c.unicode() - u'0');
    }
    *value = negative ? -n : n;
    return true;
}

// Folder index entry: path + "/" + position; paths never hold "/", so the
// separator is found from the end, past a few digits rather than a long path.
// Every entry is read this way for each folder logged: the walk is inline.
bool EntryPosition(const QString& entry, qsizetype* slash, int* position) {
    const QChar* text = entry.constData();
    qsizetype i = entry.size();
    while (i > 0 && text[i - 1] != u'/') --i;
    *slash = i - 1;
    return *slash >= 0 && ReadNumber(QStringView(entry).mid(*slash + 1), position);
}

bool IsEntryOf(const QString& entry, const QString& path) {
    return entry.size() > path.size() && entry.at(path.size()) == u'/' && entry.startsWith(path);
}

// The index entry of the path, or -1. The hints are built again when the index
// changed behind them; a hint that names another entry is not trusted either.
int IndexEntryOf(const DriveSlot& slot, const QString& path) {
    const int end = std::min<int>(slot.IndexCount, slot.FolderIndex.size());
    if (slot.IndexHintsCount != slot.IndexCount) {
        slot.IndexHints.clear();
        slot.IndexHints.reserve(end);
        for (int i = 0; i < end; ++i) {
            qsizetype slash = 0;
            int position = 0;
            // The first entry of a path is the one a reader finds.
            if (!EntryPosition(slot.FolderIndex[i], &slash, &position)) continue;
            const QString path = slot.FolderIndex[i].left(slash);
            if (!slot.IndexHints.contains(path)) slot.IndexHints.insert(path, i);
        }
        slot.IndexHintsCount = slot.IndexCount;
    }
    const auto hint = slot.IndexHints.constFind(path);
    if (hint == slot.IndexHints.cend()) return -1;
    if (*hint < end && IsEntryOf(slot.FolderIndex[*hint], path)) return *hint;
    slot.IndexHintsCount = -1;
    return IndexEntryOf(slot, path);
}

bool SplitIndexEntry(const QString& entry, QString* path, int* position) {
    qsizetype slash = 0;
    if (!EntryPosition(entry, &slash, position)) return false;
    *path = entry.left(slash);
    return true;
}

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

// More insertions than this waiting to be applied are applied to every hint at once.
constexpr size_t MaxWaitingInsertions = 256;

// A hint brought past the insertions made since it was noted.
void Settle(const DriveSlot& slot, DriveSlot::HeaderHint& hint) {
    for (size_t i = size_t(hint.insertionsSeen); i < slot.Insertions.size(); ++i)
        if (hint.position > slot.Insertions[i].first) hint.position += slot.Insertions[i].second;
    hint.insertionsSeen = int(slot.Insertions.size());
}

int HintedPosition(const DriveSlot& slot, const QString& path) {
    const auto hint = slot.HeaderHints.find(path);
    if (hint == slot.HeaderHints.end()) return -1;
    Settle(slot, *hint);
    return hint->position;
}

void NoteHeader(const DriveSlot& slot, const QString& path, int position) {
    slot.HeaderHints.insert(path, {position, int(slot.Insertions.size())});
}

// The header of a folder, by the index first and by scanning when the index
// does not know it or points at another line (positions go stale while lines
// are inserted, until the index is refreshed).
int HeaderPosition(const DriveSlot& slot, const QString& path) {
    const int position = LookupFolderLine(slot, path);
    if (position >= 0 && position < slot.LineCount && position < slot.Lines.size() &&
        IsHeaderOf(slot.Lines[position], path))
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

QuietSelection::QuietSelection(DriveSlot& slot) : slot_(slot), outer_(slot.SelectingFiles == 0) {
    slot.SelectingFiles = -1;
}

QuietSelection::~QuietSelection() {
    if (outer_) slot_.SelectingFiles = 0;
}

void ClearFolderLines(DriveSlot& slot) {
    slot.LineCount = 0;
    slot.Lines = QStringList{QString()};
    slot.HeaderHints.clear();
    slot.Insertions.clear();
}

void ClearFolderIndex(DriveSlot& slot) {
    slot.IndexCount = 0;
    slot.FolderIndex = QStringList{QString()};
    slot.IndexHints.clear();
    slot.IndexHintsCount = -1;
}

void ClearNodeMap(DriveSlot& slot) { slot.NodeMap = QStringList{QString()}; }

void ClearGlobalList(DriveSlot& slot) { slot.GlobalList = QStringList{QString()}; }

void ClearSlot(DriveSlot& slot) { slot = DriveSlot{}; }

void AddIndexEntry(DriveSlot& slot, const QString& path, int position) {
    if (slot.FolderIndex.size() <= slot.IndexCount) slot.FolderIndex.resize(slot.IndexCount + 1);
    slot.FolderIndex[slot.IndexCount] = path + '/' + QString::number(position);
    const bool whole = slot.IndexHintsCount == slot.IndexCount;
    if (whole && !slot.IndexHints.contains(path)) slot.IndexHints.insert(path, slot.IndexCount);
    slot.IndexCount += 1;
    if (whole) slot.IndexHintsCount = slot.IndexCount;
    slot.FolderIndex.resize(slot.IndexCount + 1);
}

void AddNodeEntry(DriveSlot& slot, const QString& path, int nodeIndex) {
    if (slot.NodeMap.isEmpty()) slot.NodeMap.append(QString());
    slot.NodeMap.last() = path + '/' + QString::number(nodeIndex);
    slot.NodeMap.append(QString());
}

void AddFolderLine(DriveSlot& slot, const QString& path, int nodeIndex, HeaderState state) {
    if (slot.Lines.size() <= slot.LineCount) slot.Lines.resize(slot.LineCount + 1);
    QString line = '>' + path + '/' + QString::number(nodeIndex);
    if (state == HeaderState::Unlogged) line += "/U";
    if (state == HeaderState::Logged) line += "/L";
    slot.Lines[slot.LineCount] = line;
    NoteHeader(slot, path, slot.LineCount);
    GrowLines(slot, 1);
}

void NoteInsertedLines(const DriveSlot& slot, int h, int n) {
    slot.Insertions.emplace_back(h, n);
    if (slot.Insertions.size() <= MaxWaitingInsertions) return;
    for (auto it = slot.HeaderHints.begin(); it != slot.HeaderHints.end(); ++it) {
        Settle(slot, *it);
        it->insertionsSeen = 0;
    }
    slot.Insertions.clear();
}

void GrowLines(DriveSlot& slot, int n) {
    slot.LineCount = std::max(0, slot.LineCount + n);
    slot.Lines.resize(slot.LineCount + 1);
    // After lines were taken away the spare entry may still hold the old last line.
    slot.Lines[slot.LineCount].clear();
}

bool IsFolderHeader(const QString& line) { return line.startsWith('>'); }

int FindFolderLine(const DriveSlot& slot, const QString& path, int start) {
    const int end = std::min<int>(slot.LineCount, slot.Lines.size());
    start = std::max(0, start);
    const int hint = HintedPosition(slot, path);
    if (hint >= start && hint < end && IsHeaderOf(slot.Lines[hint], path)) {
        // A folder has one header; a second one before the hint would be found first.
        return hint;
    }
    for (int i = start; i < end; ++i) {
        if (IsHeaderOf(slot.Lines[i], path)) {
            if (start == 0) NoteHeader(slot, path, i);
            return i;
        }
    }
    return -1;
}

int FolderLinesEnd(const DriveSlot& slot, int h) {
    const int end = std::min<int>(slot.LineCount, slot.Lines.size());
    int i = std::max(0, h + 1);
    while (i < end && !IsFolderHeader(slot.Lines[i])) ++i;
    return i;
}

bool IsFolderLogged(const DriveSlot& slot, const QString& path) {
    const int position = HeaderPosition(slot, path);
    return position >= 0 && slot.Lines[position].endsWith('L');
}

bool IsFolderUnlogged(const DriveSlot& slot, const QString& path) {
    const int position = HeaderPosition(slot, path);
    return position < 0 || slot.Lines[position].endsWith('U');
}

void MarkFolderLogged(DriveSlot& slot, const QString& path, int* position, bool skipIndex) {
    const int found = HeaderPosition(slot, path);
    if (position) *position = found;
    if (found < 0) return;
    SetHeaderState(slot.Lines[found], 'L');
    if (skipIndex) return;
    // A folder logged again keeps its one index entry instead of gaining a second.
    if (const int i = IndexEntryOf(slot, path); i >= 0) slot.FolderIndex[i] = path + '/' + QString::number(found);
    else AddIndexEntry(slot, path, found);
}

void MarkFolderUnlogged(DriveSlot& slot, const QString& path, int* position) {
    const int found = HeaderPosition(slot, path);
    if (position) *position = found;
    if (found < 0) return;
    SetHeaderState(slot.Lines[found], 'U');
}

bool ParseFolderHeader(const QString& line, FolderHeader* header) {
    if (!IsFolderHeader(line)) return false;
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

QString EntryPath(const QString& entry) { return entry.section('/', 0, 0); }

int EntryNode(const QString& entry) { return entry.section('/', 1, 1).toInt(); }

void RemoveIndexEntry(DriveSlot& slot, const QString& path) {
    const int i = IndexEntryOf(slot, path);
    if (i < 0) return;
    slot.FolderIndex.removeAt(i);
    slot.IndexCount -= 1;
    // The entries after it moved up one place.
    slot.IndexHintsCount = -1;
}

void RemoveNodeEntry(DriveSlot& slot, const QString& path) {
    for (int i = 0; i + 1 < slot.NodeMap.size(); ++i) {
        if (EntryPath(slot.NodeMap[i]) != path) continue;
        slot.NodeMap.removeAt(i);
        return;
    }
}

int LookupFolderLine(const DriveSlot& slot, const QString& path) {
    // An entry whose folder disappeared holds -1; the folder may have come
    // back since, so such an entry counts as missing.
    int position = -1;
    if (const int i = IndexEntryOf(slot, path);
        i >= 0 && ReadNumber(QStringView(slot.FolderIndex[i]).mid(path.size() + 1), &position) && position >= 0)
        return position;
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

void ShiftIndexEntries(DriveSlot& slot, int h, int n) {
    const int end = std::min<int>(slot.IndexCount, slot.FolderIndex.size());
    for (int i = 0; i < end; ++i) {
        QString& entry = slot.FolderIndex[i];
        qsizetype slash = 0;
        int position = -1;
        if (EntryPosition(entry, &slash, &position) && position > h) {
            entry.truncate(slash + 1);
            entry += QString::number(position + n);
        }
    }
}

bool ReplaceFolderPrefix(QString& text, int offset, const QString& oldPath, const QString& newPath) {
    if (text.mid(offset, oldPath.size()) != oldPath) return false;
    const int after = offset + oldPath.size();
    if (after < text.size() && text[after] != '\\' && text[after] != '/') return false;
    text = text.left(offset) + newPath + text.mid(after);
    return true;
}

void RenameFolderInPicture(DriveSlot& slot, const QString& oldPath, const QString& newPath) {
    for (int i = 0; i < slot.LineCount; ++i)
        if (IsFolderHeader(slot.Lines[i])) ReplaceFolderPrefix(slot.Lines[i], 1, oldPath, newPath);
    for (int i = 0; i < slot.IndexCount; ++i) ReplaceFolderPrefix(slot.FolderIndex[i], 0, oldPath, newPath);
    slot.IndexHintsCount = -1;
    for (QString& entry : slot.NodeMap) ReplaceFolderPrefix(entry, 0, oldPath, newPath);
}

void RemoveFolderFromPicture(DriveSlot& slot, const QString& path) {
    const int h = LookupFolderLine(slot, path);
    if (h >= 0 && h < slot.LineCount) {
        slot.Lines.removeAt(h);
        slot.LineCount -= 1;
    }
    RemoveIndexEntry(slot, path);
    RemoveNodeEntry(slot, path);
    RefreshFolderIndex(slot);
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
