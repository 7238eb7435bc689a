#include "launch/dosbox.h"
#include <QApplication>
#include <QTreeWidgetItem>
#include "browse/filelist.h"
#include "browse/freespace.h"
#include "browse/frmBrws.h"
#include "browse/logging.h"
#include "fileops/folders.h"
#include "fileops/operations.h"
#include "fileops/validate.h"
#include "launch/commandline.h"
#include "launch/programs.h"
#include "launch/waiting.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "ui/errors.h"

namespace {
// A node the keyboard commands could reach: from the root the root must be
// open, from elsewhere the target's parent must be.
bool NodeCanBeShown(frmBrws* w, QTreeWidgetItem* node) {
    if (w->NodeIndex(node) == 1) return true;
    if (w->SelectedNodeIndex() == 1) return w->Node(1) && w->Node(1)->isExpanded();
    return node->parent() && node->parent()->isExpanded();
}

// Selects a logged, reachable folder in the tree; false when there is none.
bool SelectFolder(frmBrws* w, const DriveSlot& slot, const QString& path) {
    const int index = FindFolderNode(slot, path);
    QTreeWidgetItem* node = index > 0 ? w->Node(index) : nullptr;
    if (!node || !NodeCanBeShown(w, node)) return false;
    if (w->DirList->currentItem() != node) w->DirList->setCurrentItem(node);
    else ShowFolderFiles(w, node);
    return true;
}

// A drive named in an operand must be there; the message says why not.
bool DriveReachable(const QString& path) {
    if (const ErrorCode e = TestDrive(path.left(2))) {
        ShowFileError(e);
        return false;
    }
    return true;
}

void DosChangeFolder(frmBrws* w, DriveSlot& slot, const QString& operand) {
    QTreeWidgetItem* current = w->DirList->currentItem();
    const QString parent =
        current && w->NodeIndex(current) != 1 && current->parent() ? w->FullPath(current->parent()) : QString();
    const QString target = ResolveChdirTarget(operand, slot.Drive, slot.CurrentPath, parent);
    if (target.isEmpty() || !DriveReachable(target)) return;
    if (!SelectFolder(w, slot, target)) return;
    const int index = FindFolderNode(slot, target);
    if (!IsFolderLogged(slot, target)) LogFolder(w, index, false, true);
}

void DosMakeFolder(frmBrws* w, DriveSlot& slot, const QString& operand) {
    const QString target = ResolveFolderOperand(operand, slot.Drive, slot.CurrentPath);
    if (operand.isEmpty()) return;
    QString drive;
    QStringList parts;
    bool valid = !target.isEmpty() && platform::SplitDosPath(target, &drive, &parts) && !parts.isEmpty();
    for (const QString& part : parts) valid = valid && IsValidName(part);
    if (!valid) {
        ShowInvalidCharacters();
        return;
    }
    if (!DriveReachable(target)) return;
    // The folder's own drive must take the new folder.
    const ErrorCode writable = TestWritable(target.left(2));
    const ErrorCode ready = TestDrive(target.left(2));
    if (ready || writable) {
        ShowFileError(ready ? ready : writable);
        return;
    }
    if (FolderExists(target)) {
        ShowMessage("Folder already exists", MsgStyle::Critical, "Error");
        return;
    }
    QStringList made;
    if (!CreatePath(target, &made)) return;
    for (const QString& folder : made) AddFolderToPicture(w, folder);
    if (QTreeWidgetItem* node = w->DirList->currentItem(); node && node->childCount() > 0)
        w->SetNodeImage(node, node->isExpanded());
    ShowAvailableBytes(w);
}

void DosRemoveFolder(frmBrws* w, DriveSlot& slot, const QString& operand) {
    const QString target = ResolveFolderOperand(operand, slot.Drive, slot.CurrentPath);
    if (target.isEmpty() || !DriveReachable(target)) return;
    if (!SelectFolder(w, slot, target)) return;
    // Read first, so that the delete's own checks see what the folder holds.
    if (!IsFolderLogged(slot, target)) LogFolder(w, FindFolderNode(slot, target), false, true);
    DeleteFolder(w);
}

bool HasControlCharacters(const QString& text) {
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control) return true;
    return false;
}

// Programs are started from the folder of the window; afterwards the process
// goes back to the drive's root, so that it never stays in a folder that is
// removed later.
void BackToRoot(const DriveSlot& slot) {
    if (OpenDriveCount > 0 && !slot.Drive.isEmpty()) platform::ChangeFolder(slot.Drive + "\\");
}
}  // namespace

int FindFolderNode(const DriveSlot& slot, const QString& path) {
    for (const QString& entry : slot.NodeMap) {
        if (entry.isEmpty()) break;
        if (entry.section(u'/', 0, 0) == path) return entry.section(u'/', 1, 1).toInt();
    }
    return -1;
}

qint64 LaunchProgram(const QString& commandLine, int& attempt, const QString& folder) {
    const QStringList words = SplitCommandLine(commandLine);
    for (attempt = 1; attempt <= 3; ++attempt) {
        // The interpreter would start even for a batch file that isn't there.
        if (attempt == 3 && (words.isEmpty() || FindProgram(words.first() + ".bat", folder, {""}).isEmpty())) continue;
        StartPlan plan;
        qint64 task = 0;
        if (PlanCommandLine(AttemptCommandLine(commandLine, attempt), folder, &plan) == err::None &&
            StartDetached(plan, &task) == err::None && task != 0)
            return task;
    }
    return 0;
}

void RunDosCommand(frmBrws* w, const QString& typed) {
    // The command word and the folder commands work on the lower-cased text; a
    // program gets its words as they were typed (grep Foo is not grep foo).
    QString text = typed.trimmed();
    const QString lower = text.toLower();
    if (!w || text.isEmpty()) return;
    if (HasControlCharacters(text)) {
        ShowMessage("Bad command or file name", MsgStyle::Critical, "Error");
        return;
    }
    CurrentSlot = w->GetFormNumber();
    DriveSlot& slot = CurrentDriveSlot();
    SetBusy();
    const QString word = CommandWord(lower);
    const DosCommandKind kind = ClassifyCommand(word);
    if (kind == DosCommandKind::Interpreter) text = CommandInterpreter + " /k " + text;
    if (const ErrorCode e = TestDrive(slot.Drive)) {
        EndBusy();
        ShowFileError(e);
        return;
    }
    // A folder that went away leaves nothing to run in, and no message.
    if (!FolderExists(slot.CurrentPath) || platform::ChangeFolder(slot.CurrentPath) != err::None) {
        BackToRoot(slot);
        EndBusy();
        return;
    }
    const QString operand = CommandOperand(lower);
    switch (kind) {
    case DosCommandKind::ChangeFolder: DosChangeFolder(w, slot, operand); break;
    case DosCommandKind::MakeFolder: DosMakeFolder(w, slot, operand); break;
    case DosCommandKind::RemoveFolder: DosRemoveFolder(w, slot, operand); break;
    case DosCommandKind::Captured: {
        const QString dump = RunCaptured(CommandInterpreter, text + " >" + DosDumpFile);
        platform::FileEntry capture;
        if (!dump.isEmpty() && platform::GetFileInfo(dump, &capture) == err::None && capture.size > 0) {
            EndBusy();
            ShowCapturedFile(dump, word);
        }
        break;
    }
    default: {
        int attempt = 0;
        if (LaunchProgram(text, attempt, slot.CurrentPath) == 0 && attempt > 3) {
            EndBusy();
            ShowFileError(err::FileNotFound);
        }
        break;
    }
    }
    BackToRoot(slot);
    EndBusy();
}

void OpenDosWindow() {
    if (const ErrorCode e = TestDrive("c:")) {
        ShowFileError(e);
        return;
    }
    SetBusy();
    if (OpenDriveCount > 0) SetStatus("Opening MSDOS window...");
    StartPlan plan;
    ErrorCode e = PlanCommandLine(CommandInterpreter, platform::CurrentFolder(u'c'), &plan);
    if (e == err::PathNotFound) e = PlanCommandLine(CommandInterpreter, "c:", &plan);
    if (e == err::None) e = StartDetached(plan);
    EndBusy();
    if (e) ShowFileError(e);
}
