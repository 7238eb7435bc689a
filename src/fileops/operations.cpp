#include "fileops/operations.h"
#include <QApplication>
#include <QHash>
#include <QProgressBar>
#include <QSet>
#include <QTreeWidgetItem>
#include "browse/freespace.h"
#include "ui/errors.h"
#include "fileops/frmCopy.h"
#include "fileops/frmGraph.h"
#include "fileops/frmInput.h"
#include "fileops/probes.h"
#include "fileops/redraw.h"
#include "fileops/steps.h"
#include "ui/prefilled.h"
#include "ui/prompter.h"
#include "fileops/validate.h"
#include "browse/filelist.h"
#include "browse/logging.h"
#include "browse/shownnames.h"
#include "model/slots.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prefix.h"
#include "ui/mainwindow.h"
#include "browse/frmBrws.h"
#include "browse/tagging.h"
#include "browse/views.h"

namespace {
QString StripTrailingBackslash(QString folder) {
    while (folder.endsWith('\\')) folder.chop(1);
    return folder;
}

// A typed destination in the form the picture uses ("d:\\a\\..\\b\\" is
// "d:\\b"), so that the folder it names is found and renewed there.
QString DestinationFolder(const QString& typed) {
    QString full;
    // Typed text is lower case already; a chosen folder keeps the spelling the
    // list gives it, which finds that folder and no other of a case pair.
    if (platform::FullDosPath(StripTrailingBackslash(typed), &full) == 0) return full;
    return StripTrailingBackslash(typed);
}

QList<int> RowsOf(const frmBrws* w, FileScope scope) {
    QList<int> rows;
    if (scope == FileScope::CurrentFile) {
        if (w->FileList->currentRow() >= 0) rows << w->FileList->currentRow();
        return rows;
    }
    for (int row = 0; row < w->FileList->count(); ++row)
        if (w->FileList->item(row)->isSelected()) rows << row;
    return rows;
}

bool LoggedInAnyWindow(const QString& folder) {
    for (int s = 1; s <= OpenDriveCount; ++s)
        if (Slot(s).Drive == folder.left(2) && IsFolderLogged(Slot(s), folder)) return true;
    return false;
}

// The bar counts every file; the windows are drawn and Esc is read as often as
// a frame is due. A bar that moved paints itself at once: between frames it
// only counts.
void Step(frmGraph* g) {
    QProgressBar* bar = g->ProgressBar;
    if (redraw::Due()) ShowHeld();
    else HoldPaint(bar);
    if (bar->value() < bar->maximum()) bar->setValue(bar->value() + 1);
    redraw::Pump();
}

void StartProgress(frmGraph* g, int count) {
    g->ProgressBar->setMinimum(0);
    g->ProgressBar->setMaximum(qMax(1, count));
    g->ProgressBar->setValue(0);
    g->ProgressBar->setUpdatesEnabled(true);
}

// The rows' lines, looked up once: positions do not move during a run, since
// deleted lines are only marked and new folders are appended.
struct Item {
    int row;
    int position;
    QString folder;
};

QList<Item> ItemsOf(const frmBrws* w, DriveSlot& slot, FileScope scope) {
    if (!slot.GlobalView) slot.FirstFileLine = LookupFolderLine(slot, slot.CurrentPath) + 1;
    QList<Item> items;
    for (int row : RowsOf(w, scope)) {
        const int position = FileLineOfItem(slot, row);
        if (position >= 0 && !IsDeleted(slot.Lines[position])) items.push_back({row, position, FolderOfListRow(slot, row)});
    }
    return items;
}

// One file of a delete, thrash, rename or attributes run; true when it was done.
bool RunEntry(const Run& run, DriveSlot& slot, const Item& item, const QString& text) {
    switch (run.kind) {
    case RunKind::Delete: return DeleteFileEntry(slot, item.position, item.folder, Disposal::AsSettingSays);
    case RunKind::Thrash: return ThrashFileEntry(slot, item.position, item.folder);
    case RunKind::Rename: {
        const QString name = FileNameOf(slot.Lines[item.position]);
        const bool tagged = run.scope == FileScope::TaggedFiles;
        return RenameFileEntry(slot, item.position, item.folder, tagged ? MapNameToMask(name, text) : text);
    }
    case RunKind::Attributes: return SetAttributesEntry(slot, item.position, item.folder, text);
    case RunKind::Copy:
    case RunKind::Move: break;
    }
    return true;
}

void DRATFilesSub(frmGraph* g, frmBrws* w, DriveSlot& slot, const Run& run, QStringList& touched) {
    const bool tagged = run.scope == FileScope::TaggedFiles;
    if (w->FileList->count() == 0 || (tagged && w->FileList->selectedItems().isEmpty())) return;
    const bool disposing = run.kind == RunKind::Delete || run.kind == RunKind::Thrash;
    const QString verb = run.kind == RunKind::Thrash ? "Thrash" : "Delete";
    g->ConfirmEach = false;
    if (tagged && disposing) {
        g->AskingOpening = true;
        g->lblMessage->setText("Confirm " + verb.toLower() + " for each file ?");
        g->SetGraphConfirm(true);
        g->AskingOpening = false;
        g->SetGraphConfirm(false);
    }
    if (!g->ConfirmEach) g->FileAnswer = 6;
    const QList<Item> items = ItemsOf(w, slot, run.scope);
    StartProgress(g, items.size());
    const QString text = FieldName(InputForm()->txtBox);
    for (const Item& item : items) {
        if (AbortFlag) break;
        if (disposing && g->ConfirmEach) {
            g->lblMessage->setText(FitText(g, verb + " : " + w->FileList->item(item.row)->text() + " ?",
                                           g->lblMessage->width() * TwipsPerPixelX()));
            g->SetGraphConfirm(true);
            g->SetGraphConfirm(false);
            if (g->FileAnswer != 6) {
                Step(g);
                continue;
            }
        }
        if (!touched.contains(item.folder)) touched << item.folder;
        // A file that was not done ends the batch after its message.
        if (!RunEntry(run, slot, item, text)) AbortFlag = -1;
        Step(g);
    }
}

// A copy under the file's own name takes the name as the disk spells it: the
// picture holds most names lower case, and a name whose lower-case form is
// longer, or another name, would fail or differ on disk. Where the disk tells
// case apart, a name that differs only in case is another file.
QString NewFileName(const QString& destination, const QString& source, bool ownName) {
    if (!ownName) return destination;
    QString spelled;
    if (platform::DiskSpelling(source, &spelled) != 0 || spelled.isEmpty()) return destination;
    return destination.left(destination.lastIndexOf('\\') + 1) + spelled;
}

// A move deletes its source only once the destination verifiably holds its
// bytes, and never when the destination is the source itself. A source that
// changed while it was copied stays, and the user hears which one.
void DeleteMovedSource(DriveSlot& slot, const Item& item, const QString& source, const QString& destination,
                       QStringList& touched) {
    if (platform::IsSameFile(source, destination)) return;
    if (!platform::HaveSameContent(source, destination)) {
        ShowMessage("The file : " + source + " changed during the copy. It was not deleted", MsgStyle::Critical,
                    "Error");
        return;
    }
    if (!touched.contains(item.folder)) touched << item.folder;
    if (!DeleteFileEntry(slot, item.position, item.folder, Disposal::ForGood)) AbortFlag = -1;
}

void CFilesSub(frmGraph* g, frmBrws* w, DriveSlot& slot, const Run& run, QStringList& touched, bool* wroteHere) {
    frmCopy* copy = CopyForm();
    const bool move = run.kind == RunKind::Move;
    const bool duplicate = run.paths == Paths::Duplicated;
    const bool tagged = run.scope == FileScope::TaggedFiles;
    const QString to = DestinationFolder(FieldName(copy->txtTo));
    const QString as = FieldName(copy->txtAs);
    const bool full = copy->FullDuplication();
    const QList<Item> items = ItemsOf(w, slot, run.scope);
    StartProgress(g, items.size());
    const CopyRunWindow chunksShown(g, int(items.size()));
    // A run logs no folder, so a destination found unlogged stays so until it
    // ends: it is looked for in the pictures once, not once per file.
    QSet<QString> unlogged;
    for (const Item& item : items) {
        if (AbortFlag) break;
        const QString name = FileNameOf(slot.Lines[item.position]);
        const QString newName = !tagged ? as : (as == "*.*" ? name : MapNameToMask(name, as));
        QString folder = to;
        if (duplicate && item.folder.size() > 2) {
            QString relative;
            if (full) relative = item.folder.mid(3);
            else if (slot.GlobalView && item.folder.startsWith(slot.CurrentPath + "\\"))
                relative = item.folder.mid(slot.CurrentPath.size() + 1);
            else if (slot.GlobalView && slot.CurrentPath.size() == 2) relative = item.folder.mid(3);
            if (!relative.isEmpty()) {
                folder = JoinPath(to, relative);
                if (!FolderExists(folder)) {
                    QStringList made;
                    if (!CreatePath(folder, &made)) {
                        Step(g);
                        continue;
                    }
                    for (const QString& f : made) AddFolderToPicture(w, f);
                }
            }
        }
        const bool ownName = newName == name;
        const QString destination = NewFileName(JoinPath(folder, newName), JoinPath(item.folder, name), ownName);
        if (!unlogged.contains(folder) && !FoldersToRelog.contains(folder)) {
            if (LoggedInAnyWindow(folder)) FoldersToRelog << folder;
            else unlogged.insert(folder);
        }
        const CopyOutcome outcome = CopyFileEntry(w, item.position, item.folder, destination, false,
                                                  ownName ? platform::LastName::AsSpelled : platform::LastName::AnyCase);
        if (destination.left(2) == slot.Drive) *wroteHere = true;
        const bool copied = outcome == CopyOutcome::Copied || outcome == CopyOutcome::Identical;
        if (move && !AbortFlag && copied) DeleteMovedSource(slot, item, JoinPath(item.folder, name), destination, touched);
        Step(g);
    }
    g->lblMessage->clear();
    EndBusy();
}

// The files a view shows, by folder and name, read before lines move.
struct ViewFile {
    QString folder;
    QString name;
};

QList<ViewFile> FilesOfView(const DriveSlot& slot) {
    QList<ViewFile> files;
    for (const QString& entry : slot.GlobalList) {
        int file = -1, header = -1;
        if (entry.isEmpty() || !GlobalLinePositions(entry, &file, &header)) continue;
        if (file >= slot.LineCount || IsDeleted(slot.Lines[file])) continue;
        FolderHeader folder;
        if (ParseFolderHeader(slot.Lines[header], &folder)) files.push_back({folder.path, FileNameOf(slot.Lines[file])});
    }
    return files;
}

// The view keeps its files, found again at their new positions; files that
// went away leave it, and an empty view gives way to the folder view.
// Each folder of a view is looked up once, with the positions of its files by
// name: a view of thousands of files is found again in one pass over its folders.
struct FolderFiles {
    int header = -1;
    QHash<QString, int> lines;
};

FolderFiles FilesOfFolder(const DriveSlot& slot, const QString& folder) {
    FolderFiles found;
    found.header = FindFolderLine(slot, folder, 0);
    if (found.header < 0) return found;
    for (int i = found.header + 1, end = FolderLinesEnd(slot, found.header); i < end; ++i) {
        const QString name = FileNameOf(slot.Lines[i]);
        if (!found.lines.contains(name)) found.lines.insert(name, i);   // the first of a name counts
    }
    return found;
}

void RefreshView(frmBrws* w, DriveSlot& slot, const QList<ViewFile>& files) {
    QStringList lines;
    QStringList names;
    QList<int> tagged;
    QHash<QString, FolderFiles> folders;
    for (const ViewFile& f : files) {
        auto folder = folders.find(f.folder);
        if (folder == folders.end()) folder = folders.insert(f.folder, FilesOfFolder(slot, f.folder));
        const int i = folder->lines.value(f.name, -1);
        if (i < 0) continue;
        if (IsTagged(slot.Lines[i])) tagged << names.size();
        lines << ViewEntry(f.name, folder->header, i);
        names << f.name;
    }
    if (lines.isEmpty()) {
        LeaveView(w);
        return;
    }
    slot.GlobalList = lines + QStringList{QString()};
    {
        const QuietSelection quiet(slot);
        w->ClearFileList();
        AddFileNames(w->FileList, names);
        QList<bool> selected(names.size(), false);
        for (int row : tagged) selected[row] = true;
        SelectRows(w->FileList, selected);
    }
    qint64 bytes = 0;
    for (const QString& line : lines) {
        int file = 0;
        GlobalLinePositions(line, &file, nullptr);
        bytes += FileSizeOf(slot.Lines[file]);
    }
    SetMatchingFiles(w, FormatCount(lines.size()));
    SetMatchingBytes(w, FormatCount(bytes));
}

void FocusAfterOperation(frmBrws* w) {
    if (w->FileList->count() > 0) w->GiveFocus(w->FileList);
    else if (w->DirList->isVisible()) w->GiveFocus(w->DirList);
}

void EndOfRun(frmGraph* g, frmBrws* w, DriveSlot& slot, bool copyRun, bool wroteHere) {
    g->hide();
    g->ProgressBar->setUpdatesEnabled(true);
    g->ProgressBar->setValue(0);
    AbortFlag = 0;
    LastError = 0;
    const int row = w->FileList->currentRow();
    const QList<ViewFile> viewFiles = slot.GlobalView ? FilesOfView(slot) : QList<ViewFile>();
    RemoveDeletedLines(slot);
    if (copyRun) {
        const LoggingAction action;
        for (QString& folder : FoldersToRelog) {
            if (folder.left(2) != slot.Drive) continue;
            RelogFolderPath(w, folder);
            folder.clear();
        }
        FoldersToRelog.removeAll(QString());
    }
    if (slot.GlobalView) {
        RefreshView(w, slot, viewFiles);
    } else {
        {
            // Emptying the list for the refill is no untagging by the user: the
            // tags of the folder's other files must survive it.
            const QuietSelection quiet(slot);
            ShowFolderFiles(w, w->DirList->currentItem());
        }
        if (w->FileList->count() > 0)
            w->FileList->setCurrentRow(qBound(0, row, w->FileList->count() - 1), QItemSelectionModel::NoUpdate);
    }
    RecountTagged(w);
    if (wroteHere) ShowAvailableBytes(w);
    EndBusy();
    FocusAfterOperation(w);
    w->FileToolbar();
}
}  // namespace

QString JoinPath(const QString& folder, const QString& name) {
    const QString f = StripTrailingBackslash(folder);
    return name.isEmpty() ? f : f + "\\" + name;
}

void RunOperation(frmGraph* g, const Run& run) {
    frmBrws* w = ActiveDriveWindow();
    if (!w || OpenDriveCount == 0) return;
    DriveSlot& slot = CurrentDriveSlot();
    QStringList touched;
    const RunProbes probes;
    const platform::DriveMapBatch driveMap;
    AbortFlag = 0;
    SetBusy();
    bool wroteHere = false;
    const bool copyRun = IsCopyOrMove(run);
    if (copyRun) {
        CFilesSub(g, w, slot, run, touched, &wroteHere);
    } else {
        DRATFilesSub(g, w, slot, run, touched);
        wroteHere = true;
    }
    EndOfRun(g, w, slot, copyRun, wroteHere);
}

bool CreatePath(const QString& folder, QStringList* made) {
    made->clear();
    QString drive;
    QStringList parts;
    if (!platform::SplitDosPath(folder, &drive, &parts)) {
        ShowFileError(err::PathNotFound);
        return false;
    }
    QString path = drive;
    for (const QString& part : parts) {
        path += "\\" + part;
        if (FolderExists(path)) continue;
        // A drive that stops being ready ends the creation after its message.
        if (!DriveReadyAndWritable(path)) break;
        const ErrorCode code = platform::MakeFolder(path);
        if (code != 0) {
            ShowFileError(code);
            break;
        }
        made->append(path);
        if (path.size() >= folder.size()) return true;
    }
    if (FolderExists(folder)) return true;
    for (int i = made->size() - 1; i >= 0; --i) platform::RemoveFolder(made->at(i));
    made->clear();
    // The failure was shown; the caller has nothing more to report.
    LastError = 0;
    return false;
}

bool EnsureDestination(const QString& requested) {
    const QString folder = DestinationFolder(requested);
    if (!DriveReadyAndWritable(folder)) return false;
    if (folder.size() <= 2) return true;
    if (FolderExists(folder)) return true;
    if (FileExists(folder)) {
        ShowFileError(err::PathFileConflict);
        return false;
    }
    LastError = 0;
    QStringList made;
    if (!CreatePath(folder, &made)) return false;
    if (!AskYesNo(folder + ", does'nt exist. Do you want to create it ?", "Question")) {
        // Only what this step made goes again; folders that were there stay.
        for (int i = made.size() - 1; i >= 0; --i) platform::RemoveFolder(made[i]);
        LastError = 0;
        return false;
    }
    if (frmBrws* w = ActiveDriveWindow())
        for (const QString& f : made) AddFolderToPicture(w, f);
    return true;
}


void RelogFolderPath(frmBrws* w, const QString& path) {
    DriveSlot& slot = CurrentDriveSlot();
    if (!IsFolderLogged(slot, path)) return;
    const int h = LookupFolderLine(slot, path);
    FolderHeader header;
    if (h < 0 || !ParseFolderHeader(slot.Lines[h], &header)) return;
    const QSet<QString> tagged = TaggedFileNames(slot, h);
    UnlogFolder(w, path, true, true);
    RefreshFolderIndex(slot);
    int position = 0;
    MarkFolderLogged(slot, path, &position);
    LogFolderFiles(w, path, slot.FileSpec, header.nodeIndex, false);
    TagFilesNamed(slot, LookupFolderLine(slot, path), tagged);
    RefreshFolderIndex(slot);
}

void AddFolderToPicture(frmBrws* w, const QString& path) {
    DriveSlot& slot = CurrentDriveSlot();
    if (path.left(2) != slot.Drive || FindFolderLine(slot, path, 0) >= 0) return;
    const QString parent = path.left(path.lastIndexOf('\\'));
    const int h = FindFolderLine(slot, parent, 0);
    FolderHeader header;
    if (h < 0 || !ParseFolderHeader(slot.Lines[h], &header)) return;
    QTreeWidgetItem* parentNode = w->Node(header.nodeIndex);
    if (!parentNode || !w->SubfoldersRead(parentNode)) return;
    if (slot.LineCount >= LinesPerDrive()) return;
    const QString name = path.mid(path.lastIndexOf('\\') + 1);
    const int child = w->AddNode(parentNode, name);
    w->MarkSubfoldersRead(w->Node(child));
    parentNode->sortChildren(0, Qt::AscendingOrder);
    // The new folder shows at once; a collapsed folder with subfolders would
    // also stop listing its own files. Its subfolders are all known, so the
    // tree's own expansion (which reads them) has nothing to do.
    if (!parentNode->isExpanded()) {
        const QSignalBlocker block(w->DirList);
        parentNode->setExpanded(true);
        w->SetNodeImage(parentNode, true);
    }
    AddFolderLine(slot, path, child, HeaderState::Unlogged);
    AddNodeEntry(slot, path, child);
}
