#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class frmBrws;
class frmGraph;
struct DriveSlot;

// The operations on the current file or on all tagged files of the active drive
// window, and the per-file routines the progress window runs them with.

// Command entry points, one argument: all tagged files (true) or the current file.
void CopyCommand(const QString& copyCaption);
void DeleteCommand(bool tagged);
void ThrashCommand(bool tagged);
void RenameCommand(bool tagged);
void AttributesCommand(bool tagged);

// The captions of the destination dialog for copy and move.
namespace CopyCaption {
inline const QString CopyFile = QStringLiteral("Copy file");
inline const QString MoveFile = QStringLiteral("Move file");
inline const QString CopyTagged = QStringLiteral("Copy all tagged files");
inline const QString MoveTagged = QStringLiteral("Move all tagged files");
inline const QString CopyDuplicate = QStringLiteral("Copy all tagged files, and duplicate paths");
inline const QString MoveDuplicate = QStringLiteral("Move all tagged files, and duplicate paths");
}  // namespace CopyCaption

// The run inside the progress window, by its caption.
void RunOperation(frmGraph* g, const QString& caption);

// Makes sure a destination folder exists, asking before it creates one.
bool EnsureDestination(const QString& folder);
// Creates a folder with every missing parent; the folders made, top first, go
// into *made. On failure the error is shown and what was made is removed.
bool CreatePath(const QString& folder, QStringList* made);

// Hears each chunk of a copy (bytes copied, file size) before the progress
// window is refreshed: the copy loop's seam for tests that press Esc mid-file.
void SetCopyChunkHook(std::function<void(qint64, qint64)> hook);

enum class CopyOutcome { Copied, Identical, SameFile, Skipped, Failed };
CopyOutcome CopyFile(const QString& source, const QString& destination, bool ignoreReadOnly,
                     bool automaticOverwrite, const QString& attributeLetters);
CopyOutcome CopyFileEntry(frmBrws* w, int position, const QString& sourceFolder, const QString& destination,
                          bool endBusy);

// Where a deleted file goes: into the trash when the "Delete to trash" setting
// says so, or away for good (the source of a move, whose bytes are in its copy).
enum class Disposal { AsSettingSays, ForGood };
bool DeleteFileEntry(DriveSlot& slot, int position, const QString& folder, Disposal disposal);
bool RenameFileEntry(DriveSlot& slot, int position, const QString& folder, const QString& newName);
bool SetAttributesEntry(DriveSlot& slot, int position, const QString& folder, const QString& change);
bool ThrashFileEntry(DriveSlot& slot, int position, const QString& folder);

// Folder + "\" + name, without a doubled backslash after a root.
QString JoinPath(const QString& folder, const QString& name);
// Relogs one logged folder of the window, keeping the tags of its files.
void RelogFolderPath(frmBrws* w, const QString& path);
// Brings a folder made on disk into the picture and the tree when its parent's
// subfolders are known there.
void AddFolderToPicture(frmBrws* w, const QString& path);
