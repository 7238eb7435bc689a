#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <QVariant>
#include <array>
#include <utility>
#include <vector>
#include "platform/errors.h"

// The logged picture of a drive: text lines, "/" as separator (paths never
// hold "/"). Names are lower case, but where names of one folder differ only
// in case each keeps its own spelling, so that each line finds its own file.
// Only the routines of this header read or write them.
//
//   Folder header  ">" path "/" node [ "/U" | "/L" ]         >c:\windows/3/L
//     node: the index of the folder's node in the window's tree. No suffix:
//     the folder is known but was never logged; "/U": its files are not
//     logged (or were unlogged again); "/L": they are logged. The path ends at
//     the first "/" from the fourth character on.
//   File line  name "/" tag "/" size ":" date " " time ":" attributes
//                                     readme.txt/U/1024:03-15-97 10:04:00:RA
//     tag: "T" tagged, "U" untagged. The size ends at the first ":" after the
//     tag; the attribute letters (R, A, S, H in this order, none for an empty
//     field) follow the last ":", since the time holds colons itself.
//   Deleted mark  "*"
//     a file line whose file a running operation deleted; the end of the run
//     takes these out (RemoveDeletedLines).
//
// A folder's file lines follow its header directly, up to the next header or
// the end of the used part (FolderLinesEnd). Header lines are appended in the
// order the folders are found. Beside the lines, a slot holds:
//   folder index entry  path "/" position of the header line
//   node map entry      path "/" node
//   view entry          name "/" header position "/" file line position
//     (GlobalList: the files a global or branch view lists)

// Which part of a drive window has the keyboard; Dialog while a dialog is up
// over the window, so that its keyboard commands stay idle.
enum class Pane : int16_t { Dialog = 0, Tree = 1, Files = 2, Dos = 3 };

// One drive slot per open drive window: the drive, the window's folder and its
// file specification, the logged picture as text lines and the flags through
// which the window, the keyboard commands and the dialogs coordinate.
struct DriveSlot {
    QString Drive;                 // "c:"
    QString CurrentPath;           // "c:\windows", "c:" at the root
    QString FileSpec;              // "*.*"
    int LineCount = 0;
    int IndexCount = 0;
    int FirstFileLine = 0;
    QStringList GlobalList{QString()};
    QStringList Lines{QString()};        // always LineCount + 1 entries
    QStringList FolderIndex{QString()};  // always IndexCount + 1 entries
    QStringList NodeMap{QString()};      // entries + one empty at the end
    QString WindowKey;
    int16_t GlobalView = 0;        // 0 / -1
    int16_t SelectingFiles = 0;    // -1 while the program changes the list's selection
    Pane FocusPane = Pane::Tree;
    int16_t LabelEdit = 0;
    int16_t TreeClick = 0;
    // Where each folder's header was last seen, so that finding a folder does
    // not read every line of a big picture. Only a hint: a position is used
    // after its line is checked to be that folder's header. Insertions since
    // a hint was noted (after line, count) move it when it is read, so that an
    // insertion need not visit every hint.
    struct HeaderHint {
        int position = 0;
        int insertionsSeen = 0;
    };
    mutable QHash<QString, HeaderHint> HeaderHints;
    mutable std::vector<std::pair<int, int>> Insertions;
    // Which folder index entry holds each path, so that finding an entry does
    // not read the whole index; whole while IndexHintsCount equals IndexCount,
    // built again from the entries otherwise.
    mutable QHash<QString, int> IndexHints;
    mutable int IndexHintsCount = -1;
};

constexpr int MaxDrives = 5;
// A drive window's caption, and so its key: this text, the drive and its label.
inline const QString WindowCaptionPrefix = QStringLiteral("Tree structure of ");

// Program-wide state, alive from start-up to exit. Index 0 of DriveSlots and
// Settings is never used.
extern std::array<DriveSlot, MaxDrives + 1> DriveSlots;
extern int OpenDriveCount;
extern int CurrentSlot;
extern ErrorCode LastError;
extern std::array<QVariant, 21> Settings;
extern int16_t AbortFlag;

// The indices of Settings: the lines of "[general]", "[compression]" and
// "[fonts]" in the settings file, in their order.
namespace setting {
constexpr int IgnoreReadOnly = 1;
constexpr int SlowLoggingFolders = 2;   // most subfolders logged at once in slow logging
constexpr int LoggingMethod = 3;        // "fast" or "slow"
constexpr int ShowHiddenSystem = 4;
constexpr int AutoOverwrite = 5;
constexpr int DateFormat = 6;
constexpr int FileColumns = 7;
constexpr int ProgramFolder = 8;
constexpr int ArchiveOverwrite = 9;
constexpr int CompressWithPaths = 10;
constexpr int ExtractWithPaths = 11;
constexpr int ArjVolumeSize = 12;
constexpr int CompressionMethod = 13;
constexpr int ArjProgram = 14;
constexpr int PkzipProgram = 15;
constexpr int PkunzipProgram = 16;
constexpr int TreeFontName = 17;
constexpr int TreeFontSize = 18;
constexpr int FileFontName = 19;
constexpr int FileFontSize = 20;
}  // namespace setting

// Back to the state of a program that has just started (tests).
void ResetProgramState();

DriveSlot& Slot(int n);
inline DriveSlot& CurrentDriveSlot() { return Slot(CurrentSlot); }

// While the program itself changes the selection of a drive window's file
// list, the list's own handlers leave the tags alone: SelectingFiles is set
// for the guard's life and 0 afterwards (a guard inside another leaves it to
// the outer one).
class QuietSelection {
public:
    explicit QuietSelection(DriveSlot& slot);
    ~QuietSelection();
    QuietSelection(const QuietSelection&) = delete;
    QuietSelection& operator=(const QuietSelection&) = delete;

private:
    DriveSlot& slot_;
    bool outer_;
};

void ClearFolderLines(DriveSlot& slot);
void ClearFolderIndex(DriveSlot& slot);
void ClearNodeMap(DriveSlot& slot);
void ClearGlobalList(DriveSlot& slot);
void ClearSlot(DriveSlot& slot);   // a slot no window uses any more

int GetFormNumber(const QWidget* driveWindow);
int GetFormNumberForCaption(const QString& caption);
bool IsDriveOpen(const QString& drive);

// Folder headers.
enum class HeaderState { Known, Unlogged, Logged };
void AddFolderLine(DriveSlot& slot, const QString& path, int nodeIndex, HeaderState state = HeaderState::Known);
void GrowLines(DriveSlot& slot, int n);
// n lines were inserted after line h: the headers below it moved down.
void NoteInsertedLines(const DriveSlot& slot, int h, int n);
bool IsFolderHeader(const QString& line);
int FindFolderLine(const DriveSlot& slot, const QString& path, int start = 0);
int LookupFolderLine(const DriveSlot& slot, const QString& path);
// The position after the last file line of the folder whose header is at h.
int FolderLinesEnd(const DriveSlot& slot, int h);
bool IsFolderLogged(const DriveSlot& slot, const QString& path);
bool IsFolderUnlogged(const DriveSlot& slot, const QString& path);
void MarkFolderLogged(DriveSlot& slot, const QString& path, int* position, bool skipIndex = false);
void MarkFolderUnlogged(DriveSlot& slot, const QString& path, int* position);

struct FolderHeader {
    QString path;
    int nodeIndex = 0;
    QChar state;   // 'L', 'U' or null when never logged
};
bool ParseFolderHeader(const QString& line, FolderHeader* header);

// The folder index and the node map.
void AddIndexEntry(DriveSlot& slot, const QString& path, int position);
void AddNodeEntry(DriveSlot& slot, const QString& path, int nodeIndex);
void RefreshFolderIndex(DriveSlot& slot);
// Index entries of headers after position h, moved down by n lines: what a
// refresh would find after an insertion, without looking for every folder.
void ShiftIndexEntries(DriveSlot& slot, int h, int n);
// The path of an index or node map entry, and the node of a node map entry.
QString EntryPath(const QString& entry);
int EntryNode(const QString& entry);
void RemoveIndexEntry(DriveSlot& slot, const QString& path);
void RemoveNodeEntry(DriveSlot& slot, const QString& path);

// Inserts lines after the header at position h, moving the rest towards the end
// in one block; the folder index is refreshed unless the caller does it once
// for a batch of folders.
void InsertFileLines(DriveSlot& slot, int h, const QStringList& lines, bool refreshIndex = true);
// Takes the file lines of the folder whose header is at h out of the picture;
// the folder index is left for the caller to refresh.
void RemoveFileLines(DriveSlot& slot, int h);
// Takes a folder without file lines out: its header, index and node map entries.
void RemoveFolderFromPicture(DriveSlot& slot, const QString& path);
// A folder renamed on disk: the headers, index and node map entries of it and
// of the folders below it follow.
void RenameFolderInPicture(DriveSlot& slot, const QString& oldPath, const QString& newPath);
// A path (at offset in text) with the old folder path replaced by the new one,
// when it is that folder or lies below it ("c:\a" renames "c:\a\x" but not
// "c:\ab"); true when it did.
bool ReplaceFolderPrefix(QString& text, int offset, const QString& oldPath, const QString& newPath);

// File lines.
QString FileDateText(const QString& fullPath);
QString AttributeLetters(const QString& fullPath);
// The same two fields from values already read (logging reads a whole folder at once).
QString FormatFileDate(const QDateTime& stamp, const QString& dateFormat);
QString FormatAttributeLetters(int attributes);
// name: as the folder's list spells it (platform::FileEntry::listName).
QString MakeFileLine(const QString& name, qint64 size, const QDateTime& stamp, int attributes);

struct FileLine {
    QString name;
    QChar tag;
    qint64 size = 0;
    QString dateTime;
    QString attributes;
};
bool ParseFileLine(const QString& line, FileLine* file);
QString FileNameOf(const QString& line);
bool IsTagged(const QString& line);
qint64 FileSizeOf(const QString& line);
QString FileDateOf(const QString& line);
QString FileTimeOf(const QString& line);
QString FileAttributesOf(const QString& line);

// A file line with its tag letter replaced.
QString MarkTagged(const QString& line);
QString MarkUntagged(const QString& line);
// The names of the tagged files of the folder whose header is at h, and the
// tags given back to the files of those names (a folder read again).
QSet<QString> TaggedFileNames(const DriveSlot& slot, int h);
void TagFilesNamed(DriveSlot& slot, int h, const QSet<QString>& names);
// The file line with another name, or other attribute letters.
void RenameFileLine(QString& line, const QString& newName);
void SetFileLineAttributes(QString& line, const QString& letters);

// A file deleted during a run keeps its place until the run ends.
void MarkDeleted(DriveSlot& slot, int position);
bool IsDeleted(const QString& line);
void RemoveDeletedLines(DriveSlot& slot);

// Counting over a folder's file lines.
int FolderFileCount(const DriveSlot& slot, const QString& folder);
qint64 FolderTaggedBytes(const DriveSlot& slot, const QString& folder);
qint64 FolderBytes(const DriveSlot& slot, const QString& folder);

// View entries. Every command that acts on list items while a view is shown
// maps them to file lines through GlobalLinePositions.
QString ViewEntry(const QString& name, int headerLine, int fileLine);
bool GlobalLinePositions(const QString& viewEntry, int* fileLine, int* headerLine);
