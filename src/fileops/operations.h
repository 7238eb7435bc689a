#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include "fileops/runs.h"
#include "platform/paths.h"

class frmBrws;
class frmGraph;
struct DriveSlot;

// The operations on the current file or on all tagged files of the active drive
// window, and the per-file routines the progress window runs them with.

// Command entry points: on the current file of the active window's list or on
// all its tagged files. A copy or move opens the destination dialog first.
void CopyCommand(const Run& run);
void DeleteCommand(FileScope scope);
void ThrashCommand(FileScope scope);
void RenameCommand(FileScope scope);
void AttributesCommand(FileScope scope);

// The run inside the progress window.
void RunOperation(frmGraph* g, const Run& run);

// Makes sure a destination folder exists, asking before it creates one.
bool EnsureDestination(const QString& folder);
// Creates a folder with every missing parent; the folders made, top first, go
// into *made. On failure the error is shown and what was made is removed.
bool CreatePath(const QString& folder, QStringList* made);

// Hears each chunk of a copy (bytes copied, file size) before the progress
// window is refreshed: the copy loop's seam for tests that press Esc mid-file.
void SetCopyChunkHook(std::function<void(qint64, qint64)> hook);

enum class CopyOutcome { Copied, Identical, SameFile, Skipped, Failed };
// toName: how the destination's name is looked up; a copy under the source's
// own spelling takes only that spelling for the same file (platform/paths.h).
CopyOutcome CopyFile(const QString& source, const QString& destination, bool ignoreReadOnly,
                     bool automaticOverwrite, const QString& attributeLetters,
                     platform::LastName toName = platform::LastName::AnyCase);
CopyOutcome CopyFileEntry(frmBrws* w, int position, const QString& sourceFolder, const QString& destination,
                          bool endBusy, platform::LastName toName = platform::LastName::AnyCase);
// The disk at path (a FAT stick, a share) refuses the name: the message names the file.
void ShowNameRefused(const QString& path);

// Where a deleted file goes: into the trash when the "Delete to trash" setting
// says so, or away for good (the source of a move, whose bytes are in its copy).
enum class Disposal { AsSettingSays, ForGood };
// Each routine acts on one file and says whether it was done; the loop over
// the files decides whether the batch goes on.
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
