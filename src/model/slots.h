#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <QVariant>
#include <array>
#include "platform/errors.h"

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
    int16_t SelectingFiles = 0;
    int16_t FocusPane = 1;         // 0 dialog, 1 tree, 2 file list, 3 DOS box
    int16_t LabelEdit = 0;
    int16_t TreeClick = 0;
    // Where each folder's header was last seen, so that finding a folder does
    // not read every line of a big picture. Only a hint: a position is used
    // after its line is checked to be that folder's header.
    mutable QHash<QString, int> HeaderHints;
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

// Back to the state of a program that has just started (tests).
void ResetProgramState();

DriveSlot& Slot(int n);
inline DriveSlot& CurrentDriveSlot() { return Slot(CurrentSlot); }

void ClearFolderLines(DriveSlot& slot);
void ClearFolderIndex(DriveSlot& slot);
void ClearNodeMap(DriveSlot& slot);
void ClearGlobalList(DriveSlot& slot);
void ClearSlot(DriveSlot& slot);   // a slot no window uses any more

void AddFolderLine(DriveSlot& slot, const QString& path, int nodeIndex);
void GrowLines(DriveSlot& slot, int n);
void AddIndexEntry(DriveSlot& slot, const QString& path, int position);
void AddNodeEntry(DriveSlot& slot, const QString& path, int nodeIndex);

int FindFolderLine(const DriveSlot& slot, const QString& path, int start = 0);
int LookupFolderLine(const DriveSlot& slot, const QString& path);
void RefreshFolderIndex(DriveSlot& slot);
bool IsFolderLogged(const DriveSlot& slot, const QString& path);
bool IsFolderUnlogged(const DriveSlot& slot, const QString& path);
void MarkFolderLogged(DriveSlot& slot, const QString& path, int* position, bool skipIndex = false);
void MarkFolderUnlogged(DriveSlot& slot, const QString& path, int* position);

// File line of folderPath\fileName read from the disk now, untagged.
void SetFileLine(DriveSlot& slot, const QString& fileName, int position, const QString& folderPath);
QString FileDateText(const QString& fullPath);
QString AttributeLetters(const QString& fullPath);
// The same two fields from values already read (logging reads a whole folder at once).
QString FormatFileDate(const QDateTime& stamp, const QString& dateFormat);
QString FormatAttributeLetters(int attributes);
QString MakeFileLine(const QString& name, qint64 size, const QDateTime& stamp, int attributes);

// Inserts lines after the header at position h, moving the rest towards the end
// in one block; the folder index is refreshed unless the caller does it once
// for a batch of folders.
void InsertFileLines(DriveSlot& slot, int h, const QStringList& lines, bool refreshIndex = true);

int GetFormNumber(const QWidget* driveWindow);
int GetFormNumberForCaption(const QString& caption);
bool IsDriveOpen(const QString& drive);

// Parsed header and file lines.
struct FolderHeader {
    QString path;
    int nodeIndex = 0;
    QChar state;   // 'L', 'U' or null when never logged
};
bool ParseFolderHeader(const QString& line, FolderHeader* header);

struct FileLine {
    QString name;
    QChar tag;
    qint64 size = 0;
    QString dateTime;
    QString attributes;
};
bool ParseFileLine(const QString& line, FileLine* file);
