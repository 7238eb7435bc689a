#include "fileops/operations.h"
#include <QApplication>
#include <QSet>
#include <QStatusBar>
#include <QTreeWidgetItem>
#include <functional>
#include "browse/freespace.h"
#include "ui/errors.h"
#include "fileops/frmCopy.h"
#include "fileops/frmGraph.h"
#include "fileops/frmInput.h"
#include "ui/prompter.h"
#include "fileops/validate.h"
#include "browse/filelist.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/userfile.h"
#include "ui/mainwindow.h"
#include "browse/frmBrws.h"
#include "browse/tagging.h"
#include "browse/views.h"

namespace {
frmGraph* copyWindow = nullptr;
std::function<void(qint64, qint64)> copyChunkHook;

// A big file shows its bytes in the progress window as they go, and Esc there
// stops it within a chunk.
platform::CopyProgress CopyProgressOf(const QString& name) {
    return [name](qint64 copied, qint64 total) {
        constexpr qint64 kBigFile = qint64(4) << 20;
        if (copyChunkHook) copyChunkHook(copied, total);
        if (total >= kBigFile && copyWindow && copyWindow->isVisible())
            copyWindow->lblMessage->setText(name + " : " + FormatCount(copied) + " of " + FormatCount(total) +
                                            " bytes");
        QApplication::processEvents();
        return AbortFlag == 0;
    };
}
const QString SharingViolation = QStringLiteral("Sharing violation");

void ShowSharingViolation() {
    ShowMessage(SharingViolation, MsgStyle::Critical, "Error");
    LastError = 0;
}

// Status texts of the per-file routines are cut to the status bar.
void StatusFitted(const QString& text) {
    const QMainWindow* main = MainWindow();
    const int width = main ? main->statusBar()->width() * TwipsPerPixelX() : 12000;
    SetStatus(FitText(main, text, width));
}

// Both probes run; the first failure is the one the user sees. Write permission
// belongs to folders, so the folder about to be written is the one probed.
bool DriveReadyAndWritable(const QString& folder) {
    const ErrorCode ready = TestDrive(folder.left(2));
    const ErrorCode writable = TestWritable(folder);
    LastError = ready ? ready : writable;
    if (LastError == 0) return true;
    ShowFileError(LastError);
    return false;
}

// A file gone from its folder since logging leaves the picture with the run,
// so that the picture shows what the disk holds.
void ForgetVanishedFile(DriveSlot& slot, int position) {
    if (LastError == 53) slot.Lines[position] = "*";
}


int LetterBits(const QString& letters) {
    int bits = 0;
    for (const QChar c : letters.trimmed().toUpper()) {
        if (c == 'R') bits |= platform::attr::ReadOnly;
        if (c == 'A') bits |= platform::attr::Archive;
        if (c == 'S') bits |= platform::attr::System;
        if (c == 'H') bits |= platform::attr::Hidden;
    }
    return bits;
}

QString StripTrailingBackslash(QString folder) {
    while (folder.endsWith('\\')) folder.chop(1);
    return folder;
}

// A typed destination in the form the picture uses ("d:\\a\\..\\b\\" is
// "d:\\b"), so that the folder it names is found and renewed there.
QString DestinationFolder(const QString& typed) {
    QString full;
    if (platform::FullDosPath(StripTrailingBackslash(typed), &full) == 0) return full.toLower();
    return StripTrailingBackslash(typed);
}

QList<int> RowsOf(const frmBrws* w, bool tagged) {
    QList<int> rows;
    if (!tagged) {
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

void Step(frmGraph* g) {
    if (g->ProgressBar->value() < g->ProgressBar->maximum()) g->ProgressBar->setValue(g->ProgressBar->value() + 1);
    QApplication::processEvents();
}

void StartProgress(frmGraph* g, int count) {
    g->ProgressBar->setMinimum(0);
    g->ProgressBar->setMaximum(qMax(1, count));
    g->ProgressBar->setValue(0);
}

// The rows' lines, looked up once: positions do not move during a run, since
// deleted lines are only marked and new folders are appended.
struct Item {
    int row;
    int position;
    QString folder;
};

QList<Item> ItemsOf(const frmBrws* w, DriveSlot& slot, bool tagged) {
    if (!slot.GlobalView) slot.FirstFileLine = LookupFolderLine(slot, slot.CurrentPath) + 1;
    QList<Item> items;
    for (int row : RowsOf(w, tagged)) {
        const int position = FileLineOfItem(slot, row);
        if (position >= 0 && slot.Lines[position] != "*") items.push_back({row, position, FolderOfListRow(slot, row)});
    }
    return items;
}

void DRATFilesSub(frmGraph* g, frmBrws* w, DriveSlot& slot, const QString& caption, QStringList& touched) {
    const bool tagged = caption.endsWith("files...");
    if (w->FileList->count() == 0 || (tagged && w->FileList->selectedItems().isEmpty())) return;
    const QString verb = caption.contains("Thrashing") ? "Thrash" : "Delete";
    g->ConfirmEach = false;
    if (caption == GraphCaption::DeleteTagged || caption == GraphCaption::ThrashTagged) {
        g->AskingOpening = true;
        g->lblMessage->setText("Confirm " + verb.toLower() + " for each file ?");
        g->SetGraphConfirm(true);
        g->AskingOpening = false;
        g->SetGraphConfirm(false);
    }
    if (!g->ConfirmEach) g->FileAnswer = 6;
    const QList<Item> items = ItemsOf(w, slot, tagged);
    StartProgress(g, items.size());
    const QString text = InputForm()->txtBox->text();
    const QChar kind = caption.at(0);
    for (const Item& item : items) {
        if (AbortFlag) break;
        if ((kind == 'D' || kind == 'T') && g->ConfirmEach) {
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
        switch (kind.unicode()) {
        case 'D': DeleteFileEntry(slot, item.position, item.folder); break;
        case 'T': ThrashFileEntry(slot, item.position, item.folder); break;
        case 'R': {
            const QString name = FileNameOf(slot.Lines[item.position]);
            RenameFileEntry(slot, item.position, item.folder, tagged ? MapNameToMask(name, text) : text);
            break;
        }
        case 'S': SetAttributesEntry(slot, item.position, item.folder, text); break;
        default: break;
        }
        Step(g);
    }
}

// A new copy under the file's own name takes the name as the disk spells it:
// the picture holds names lower case, and a name whose lower-case form is
// longer, or another name, would fail or differ on disk.
QString NewFileName(const QString& destination, const QString& source, bool ownName) {
    int existing = 0;
    if (!ownName || platform::GetAttributes(destination, &existing) == 0) return destination;
    platform::FileEntry entry;
    if (platform::GetFileInfo(source, &entry) != 0 || entry.name.isEmpty()) return destination;
    return destination.left(destination.lastIndexOf('\\') + 1) + entry.name;
}

void CFilesSub(frmGraph* g, frmBrws* w, DriveSlot& slot, QStringList& touched, bool* wroteHere) {
    frmCopy* copy = CopyForm();
    const QString copyCaption = copy->windowTitle();
    const bool move = copyCaption.startsWith('M');
    const bool duplicate = copyCaption.contains("duplicate");
    const bool tagged = copyCaption.contains("tagged");
    const QString to = DestinationFolder(copy->txtTo->text());
    const QString as = copy->txtAs->text();
    const bool full = copy->FullDuplication();
    const QList<Item> items = ItemsOf(w, slot, tagged);
    StartProgress(g, items.size());
    copyWindow = g;
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
        const QString destination =
            NewFileName(JoinPath(folder, newName), JoinPath(item.folder, name), newName == name);
        if (!FoldersToRelog.contains(folder) && LoggedInAnyWindow(folder)) FoldersToRelog << folder;
        const CopyOutcome outcome = CopyFileEntry(w, item.position, item.folder, destination, false);
        if (destination.left(2) == slot.Drive) *wroteHere = true;
        const QString source = JoinPath(item.folder, name);
        // A move deletes its source only once the destination verifiably holds
        // its bytes, and never when the destination is the source itself.
        const bool copied = outcome == CopyOutcome::Copied || outcome == CopyOutcome::Identical;
        if (move && !AbortFlag && copied && !platform::IsSameFile(source, destination) &&
            platform::HaveSameContent(source, destination)) {
            if (!touched.contains(item.folder)) touched << item.folder;
            if (!DeleteFileEntry(slot, item.position, item.folder)) AbortFlag = -1;
        }
        Step(g);
    }
    copyWindow = nullptr;
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
        if (file >= slot.LineCount || slot.Lines[file] == "*") continue;
        FolderHeader folder;
        if (ParseFolderHeader(slot.Lines[header], &folder)) files.push_back({folder.path, FileNameOf(slot.Lines[file])});
    }
    return files;
}

// The view keeps its files, found again at their new positions; files that
// went away leave it, and an empty view gives way to the folder view.
void RefreshView(frmBrws* w, DriveSlot& slot, const QList<ViewFile>& files) {
    QStringList lines;
    QStringList names;
    QList<int> tagged;
    for (const ViewFile& f : files) {
        const int h = FindFolderLine(slot, f.folder, 0);
        if (h < 0) continue;
        for (int i = h + 1; i < slot.LineCount && !slot.Lines[i].startsWith('>'); ++i) {
            if (FileNameOf(slot.Lines[i]) != f.name) continue;
            if (IsTagged(slot.Lines[i])) tagged << names.size();
            lines << f.name + '/' + QString::number(h) + '/' + QString::number(i);
            names << f.name;
            break;
        }
    }
    if (lines.isEmpty()) {
        LeaveView(w);
        return;
    }
    slot.GlobalList = lines + QStringList{QString()};
    slot.SelectingFiles = -1;
    w->ClearFileList();
    w->FileList->addItems(names);
    for (int row : tagged) w->FileList->item(row)->setSelected(true);
    slot.SelectingFiles = 0;
    qint64 bytes = 0;
    for (const QString& line : lines) {
        int file = 0;
        GlobalLinePositions(line, &file, nullptr);
        bytes += FileSizeOf(slot.Lines[file]);
    }
    SetMatchingFiles(w, FormatCount(lines.size()));
    SetMatchingBytes(w, FormatCount(bytes));
}

// Lines marked deleted leave the picture; positions close up.
void RemoveDeletedLines(DriveSlot& slot) {
    int out = 0;
    for (int i = 0; i < slot.LineCount; ++i)
        if (slot.Lines[i] != "*") slot.Lines[out++] = slot.Lines[i];
    if (out != slot.LineCount) {
        GrowLines(slot, out - slot.LineCount);
        RefreshFolderIndex(slot);
    }
}

void FocusAfterOperation(frmBrws* w) {
    if (w->FileList->count() > 0) w->GiveFocus(w->FileList);
    else if (w->DirList->isVisible()) w->GiveFocus(w->DirList);
}

void EndOfRun(frmGraph* g, frmBrws* w, DriveSlot& slot, bool copyRun, bool wroteHere) {
    g->hide();
    g->ProgressBar->setValue(0);
    AbortFlag = 0;
    LastError = 0;
    const int row = w->FileList->currentRow();
    const QList<ViewFile> viewFiles = slot.GlobalView ? FilesOfView(slot) : QList<ViewFile>();
    RemoveDeletedLines(slot);
    if (copyRun) {
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
        // Emptying the list for the refill is no untagging by the user: the
        // tags of the folder's other files must survive it.
        slot.SelectingFiles = -1;
        ShowFolderFiles(w, w->DirList->currentItem());
        slot.SelectingFiles = 0;
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

void RunOperation(frmGraph* g, const QString& caption) {
    frmBrws* w = ActiveDriveWindow();
    if (!w || OpenDriveCount == 0) return;
    DriveSlot& slot = CurrentDriveSlot();
    QStringList touched;
    AbortFlag = 0;
    SetBusy();
    using namespace GraphCaption;
    const QSet<QString> drat{DeleteFile,     DeleteTagged,     RenameFile, RenameTagged,
                             AttributesFile, AttributesTagged, ThrashFile, ThrashTagged};
    bool wroteHere = false;
    const bool copyRun = caption == Copying || caption == Moving;
    if (copyRun) CFilesSub(g, w, slot, touched, &wroteHere);
    else if (drat.contains(caption)) {
        DRATFilesSub(g, w, slot, caption, touched);
        wroteHere = true;
    } else {
        EndBusy();
        return;
    }
    EndOfRun(g, w, slot, copyRun, wroteHere);
}

bool CreatePath(const QString& folder, QStringList* made) {
    made->clear();
    QString drive;
    QStringList parts;
    if (!platform::SplitDosPath(folder, &drive, &parts)) {
        ShowFileError(76);
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
            ShowFileError(code == 75 && FileExists(path) ? ErrorCode(75) : code);
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
        ShowFileError(75);
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

void SetCopyChunkHook(std::function<void(qint64, qint64)> hook) { copyChunkHook = std::move(hook); }

CopyOutcome CopyFile(const QString& source, const QString& destination, bool ignoreReadOnly, bool automaticOverwrite,
                     const QString& attributeLetters) {
    StatusFitted("Copying file : " + NameFromPath(source));
    int oldAttributes = 0;
    const bool exists = platform::GetAttributes(destination, &oldAttributes) == 0;
    if (exists && (oldAttributes & platform::attr::Directory)) {
        LastError = 75;
        return CopyOutcome::Failed;
    }
    if (exists && !automaticOverwrite) {
        const QString prefix = "The file : " + destination;
        if (!AskYesNo(prefix + " already exist. Overwrite it anyway ?", "Warning", PromptIcon::Exclamation))
            return CopyOutcome::Skipped;
        if ((oldAttributes & platform::attr::ReadOnly) && !ignoreReadOnly &&
            !AskYesNo(prefix + " has read-only attrribute. Overwrite it anyway ?", "Warning", PromptIcon::Exclamation))
            return CopyOutcome::Skipped;
    }
    if (exists && platform::IsSameFile(source, destination)) return CopyOutcome::SameFile;
    if (exists && platform::HaveSameContent(source, destination)) {
        platform::SetEntryAttributes(destination, LetterBits(attributeLetters));
        return CopyOutcome::Identical;
    }
    if (exists) platform::SetEntryAttributes(destination, platform::attr::Archive);
    const ErrorCode code = platform::CopyFileTo(source, destination, CopyProgressOf(NameFromPath(source)));
    if (code != 0) {
        // The destination was never touched by the failed copy; its attributes come back.
        if (exists) platform::SetEntryAttributes(destination, oldAttributes);
        LastError = 0;
        if (code == err::Cancelled) {
            AbortFlag = -1;
        } else if (code == 61) {
            if (AskYesNo("Insuficient disk space. Abort copying process ?", "Question")) AbortFlag = -1;
        } else {
            // A file that was not copied is never passed over in silence: the
            // user would take it for copied.
            LastError = code;
        }
        return CopyOutcome::Failed;
    }
    platform::SetEntryAttributes(destination, LetterBits(attributeLetters));
    LastError = 0;
    return CopyOutcome::Copied;
}

CopyOutcome CopyFileEntry(frmBrws* w, int position, const QString& sourceFolder, const QString& destination,
                          bool endBusy) {
    DriveSlot& slot = CurrentDriveSlot();
    FileLine file;
    if (!ParseFileLine(slot.Lines[position], &file)) return CopyOutcome::Failed;
    const QString source = JoinPath(sourceFolder, file.name);
    ErrorCode code = TestDrive(source.left(2));
    if (code == 0) code = TestDrive(destination.left(2));
    if (code == 0) code = TestWritable(destination.left(destination.lastIndexOf('\\')));
    if (code != 0) {
        ShowFileError(code);
        return CopyOutcome::Failed;
    }
    if (!FileExists(source)) {
        ForgetVanishedFile(slot, position);
        ShowFileError(LastError ? LastError : ErrorCode(53));
        return CopyOutcome::Failed;
    }
    if (IsFileInUse(source)) {
        ShowSharingViolation();
        return CopyOutcome::Failed;
    }
    SetBusy();
    w->repaint();
    // Without settings read, the user is asked rather than his files overwritten.
    const bool ignoreReadOnly = Settings[1].isValid() && Settings[1].toBool();
    const bool automatic = Settings[5].isValid() && Settings[5].toBool();
    const CopyOutcome outcome = CopyFile(source, destination, ignoreReadOnly, automatic, file.attributes);
    // Reading the free space would overwrite the copy's error.
    const ErrorCode failure = LastError;
    if (destination.left(2) == slot.Drive) ShowAvailableBytes(w);
    if (endBusy) EndBusy();
    if (failure) ShowFileError(failure);
    return outcome;
}

bool DeleteFileEntry(DriveSlot& slot, int position, const QString& folder) {
    const QString name = FileNameOf(slot.Lines[position]);
    const QString full = JoinPath(folder, name);
    AbortFlag = -1;
    if (!DriveReadyAndWritable(folder)) return false;
    if (!FileExists(full)) {
        ForgetVanishedFile(slot, position);
        ShowFileError(LastError);
        return false;
    }
    if (IsFileInUse(full)) {
        ShowSharingViolation();
        return false;
    }
    // Archive only, so that read-only, hidden and system files go without a
    // question; a link is deleted as it is and what it points at keeps its attributes.
    int attributes = 0;
    platform::GetAttributes(full, &attributes);
    platform::SetEntryAttributes(full, platform::attr::Archive);
    StatusFitted("Deleting file : " + name);
    if (platform::DeleteFile(full) != 0) {
        platform::SetEntryAttributes(full, attributes);
        ShowSharingViolation();
        return false;
    }
    slot.Lines[position] = "*";
    AbortFlag = 0;
    return true;
}

namespace {
// The file a record names must still be on disk and free: a vanished file
// means the disk changed under the picture, a held one is in use.
bool FileStillThere(DriveSlot& slot, int position, const QString& full) {
    if (!FileExists(full)) {
        ForgetVanishedFile(slot, position);
        ShowFileError(1000);
        return false;
    }
    if (IsFileInUse(full)) {
        ShowSharingViolation();
        return false;
    }
    return true;
}
}  // namespace

bool ThrashFileEntry(DriveSlot& slot, int position, const QString& folder) {
    AbortFlag = -1;
    if (!DriveReadyAndWritable(folder)) return false;
    const QString line = slot.Lines[position];
    const QString name = FileNameOf(line);
    const QString full = JoinPath(folder, name);
    if (!FileStillThere(slot, position, full)) return false;
    StatusFitted("Thrashing file : " + name);
    // The empty file takes the name exactly as the disk spells it, capitals included.
    platform::FileEntry old;
    const QString onDisk = platform::GetFileInfo(full, &old) == 0 && !old.name.isEmpty() ? JoinPath(folder, old.name)
                                                                                        : full;
    const int attributes = old.attributes & ~platform::attr::Directory;
    // The empty file keeps who may read and run it, as the old one had it.
    unsigned mode = 0;
    const bool modeKnown = platform::GetFileMode(full, &mode) == 0;
    platform::SetEntryAttributes(full, platform::attr::Archive);
    if (platform::DeleteFile(full) != 0) {
        platform::SetEntryAttributes(full, attributes);
        ShowSharingViolation();
        return false;
    }
    const ErrorCode made = platform::CreateEmptyFile(onDisk);
    if (made == 0 && modeKnown) platform::SetFileMode(onDisk, mode);
    platform::SetEntryAttributes(onDisk, attributes);
    // The record follows the disk: size 0 and the new stamp, the tag kept; a
    // file that could not be made again is gone from the picture too.
    platform::FileEntry entry;
    if (made == 0 && platform::GetFileInfo(onDisk, &entry) == 0) {
        QString fresh = MakeFileLine(name, entry.size, entry.modified, entry.attributes);
        slot.Lines[position] = IsTagged(line) ? MarkTagged(fresh) : fresh;
    } else {
        slot.Lines[position] = "*";
        ShowFileError(made ? made : ErrorCode(57));
        return false;
    }
    AbortFlag = 0;
    return true;
}

bool RenameFileEntry(DriveSlot& slot, int position, const QString& folder, const QString& newName) {
    AbortFlag = -1;
    if (newName.isEmpty() || !IsValidName(newName)) {
        ShowInvalidCharacters();
        return false;
    }
    if (!DriveReadyAndWritable(folder)) return false;
    const QString oldName = FileNameOf(slot.Lines[position]);
    const QString full = JoinPath(folder, oldName);
    if (!FileStillThere(slot, position, full)) return false;
    // A mask that maps the name onto itself ("*.*") leaves the file as it is.
    if (newName == oldName) {
        AbortFlag = 0;
        return true;
    }
    const QString target = JoinPath(folder, newName);
    int existing = 0;
    if (platform::GetAttributes(target, &existing) == 0) {
        ShowMessage("Unable to rename file", MsgStyle::Critical, "Error");
        LastError = 0;
        return false;
    }
    LastError = 0;
    StatusFitted("Renaming  file : " + oldName);
    int attributes = 0;
    platform::GetAttributes(full, &attributes);
    platform::SetEntryAttributes(full, platform::attr::Archive);
    if (platform::RenamePath(full, target) != 0) {
        platform::SetEntryAttributes(full, attributes);
        ShowSharingViolation();
        return false;
    }
    platform::SetEntryAttributes(target, attributes);
    // The record changes only once the disk has the new name.
    ReplaceFirst(slot.Lines[position], oldName + "/", newName + "/", 1);
    AbortFlag = 0;
    return true;
}

bool SetAttributesEntry(DriveSlot& slot, int position, const QString& folder, const QString& change) {
    AbortFlag = -1;
    if (!DriveReadyAndWritable(folder)) return false;
    FileLine file;
    if (!ParseFileLine(slot.Lines[position], &file)) return false;
    const QString full = JoinPath(folder, file.name);
    if (!FileStillThere(slot, position, full)) return false;
    StatusFitted("Setting attributes of file : " + file.name);
    const QString letters = ApplyAttributeChange(file.attributes, change.toUpper());
    SetAttributeLetters(full, letters);
    if (LastError) {
        ShowFileError(LastError);
        return false;
    }
    const QString canonical = FormatAttributeLetters(LetterBits(letters));
    if (canonical != file.attributes) {
        QString& line = slot.Lines[position];
        line = line.left(line.lastIndexOf(':') + 1) + canonical;
    }
    AbortFlag = 0;
    return true;
}

void RelogFolderPath(frmBrws* w, const QString& path) {
    DriveSlot& slot = CurrentDriveSlot();
    if (!IsFolderLogged(slot, path)) return;
    const int h = LookupFolderLine(slot, path);
    FolderHeader header;
    if (h < 0 || !ParseFolderHeader(slot.Lines[h], &header)) return;
    QSet<QString> tagged;
    for (int i = h + 1; i < slot.LineCount && !slot.Lines[i].startsWith('>'); ++i)
        if (IsTagged(slot.Lines[i])) tagged.insert(FileNameOf(slot.Lines[i]));
    UnlogFolder(w, path, true, true);
    RefreshFolderIndex(slot);
    int position = 0;
    MarkFolderLogged(slot, path, &position);
    LogFolderFiles(w, path, slot.FileSpec, header.nodeIndex, false);
    const int fresh = LookupFolderLine(slot, path);
    for (int i = fresh + 1; fresh >= 0 && i < slot.LineCount && !slot.Lines[i].startsWith('>'); ++i)
        if (tagged.contains(FileNameOf(slot.Lines[i]))) slot.Lines[i] = MarkTagged(slot.Lines[i]);
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
    if (slot.LineCount >= MaxLines) return;
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
    AddFolderLine(slot, path, child);
    AddNodeEntry(slot, path, child);
    slot.Lines[slot.LineCount - 1] += "/U";
}
