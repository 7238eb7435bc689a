#include "fileops/folders.h"
#include <QApplication>
#include <QTreeWidgetItem>
#include "browse/freespace.h"
#include "ui/errors.h"
#include "fileops/frmInput.h"
#include "fileops/operations.h"
#include "ui/prompter.h"
#include "fileops/validate.h"
#include "browse/filelist.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "browse/frmBrws.h"
#include "browse/shownnames.h"

namespace {
// The drive must be ready and the folder that changes (the one a folder is
// made in, renamed in or removed from) writable.
bool DriveReady(const QString& folder) {
    const ErrorCode writable = TestWritable(folder);
    const ErrorCode ready = TestDrive(folder.left(2));
    LastError = ready ? ready : writable;
    if (LastError == 0) return true;
    ShowFileError(LastError);
    return false;
}
const QString FolderMadeMessage = QStringLiteral("The folder has been made on disk : ");

// The folder that holds a folder; a drive's root stands for itself.
QString ParentFolder(const QString& path) {
    const int slash = path.lastIndexOf('\\');
    return slash < 0 ? path : path.left(slash);
}
}  // namespace

void MakeFolderCommand() {
    if (OpenDriveCount == 0) return;
    ShowInputDialog(InputCaption::MakeFolder, QString());
    frmInput* input = InputForm();
    if (input->Confirmed) MakeSub(input->txtBox->text());
}

void MakeSub(const QString& name) {
    frmBrws* w = ActiveDriveWindow();
    if (!w) return;
    DriveSlot& slot = CurrentDriveSlot();
    if (!DriveReady(slot.CurrentPath)) return;
    const QString path = JoinPath(slot.CurrentPath, name);
    if (FolderExists(path)) {
        ShowMessage("Folder already exists", MsgStyle::Critical, "Error");
        return;
    }
    QStringList made;
    if (!CreatePath(path, &made)) return;
    for (const QString& folder : made) {
        AddFolderToPicture(w, folder);
        // A folder just made holds no files: its picture is complete, so it is
        // logged from the start.
        int position = -1;
        if (FindFolderLine(slot, folder, 0) >= 0) MarkFolderLogged(slot, folder, &position);
    }
    // A full picture cannot take the new folder; the user hears that it is on
    // disk all the same, so that he does not make it again.
    if (slot.LineCount >= LinesPerDrive() && FindFolderLine(slot, path, 0) < 0) {
        ShowMessage(NoMemoryMessage(), MsgStyle::Critical, "Error");
        ShowMessage(FolderMadeMessage + path, MsgStyle::Information, "Make folder");
    }
    if (QTreeWidgetItem* node = w->DirList->currentItem(); node && node->childCount() > 0) {
        w->SetNodeImage(node, node->isExpanded());
    }
    ShowAvailableBytes(w);
}

void RenameFolder(frmBrws* w, const QString& typed) {
    DriveSlot& slot = CurrentDriveSlot();
    const QString label = typed.trimmed().toLower();
    QTreeWidgetItem* node = w->DirList->currentItem();
    if (!node) return;
    if (label.isEmpty() || !IsValidName(label)) {
        ShowInvalidCharacters();
        return;
    }
    const QString oldPath = w->FullPath(node);
    if (!DriveReady(ParentFolder(oldPath))) return;
    if (!FolderExists(oldPath)) {
        ShowFileError(err::DiskChanged);
        return;
    }
    // Paths are never cut: a name the file system refuses is refused whole, with
    // its message, and nothing changes.
    const QString newPath = oldPath.left(oldPath.lastIndexOf('\\') + 1) + label;
    if (newPath == oldPath) return;
    const ErrorCode code = platform::RenamePath(oldPath, newPath);
    if (code != 0) {
        ShowFileError(code);
        return;
    }
    // The picture changes only after the disk did, and only for the folder and
    // the folders below it.
    RenameFolderInPicture(slot, oldPath, newPath);
    ReplaceFolderPrefix(slot.CurrentPath, 0, oldPath, newPath);
    // Programs started from now on begin in the folder under its new name.
    QString current = platform::CurrentFolder(slot.Drive.at(0));
    if (ReplaceFolderPrefix(current, 0, oldPath, newPath)) platform::ChangeFolder(current);
    for (QString& folder : FoldersToRelog) ReplaceFolderPrefix(folder, 0, oldPath, newPath);
    {
        const QSignalBlocker block(w->DirList);
        SetNodeName(node, label);
        if (node->parent()) node->parent()->sortChildren(0, Qt::AscendingOrder);
    }
    ShowPath(w, slot.CurrentPath);
}

void DeleteFolder(frmBrws* w) {
    DriveSlot& slot = CurrentDriveSlot();
    QTreeWidgetItem* node = w->DirList->currentItem();
    if (!node) return;
    if (w->NodeIndex(node) == 1) {
        ShowMessage(RootFolderMessage, MsgStyle::Critical, "Error");
        return;
    }
    const QString path = w->FullPath(node);
    if (!IsFolderLogged(slot, path)) {
        ShowMessage("Folder is not logged", MsgStyle::Critical, "Error");
        return;
    }
    const int h = LookupFolderLine(slot, path);
    const bool hasFiles = FolderLinesEnd(slot, h) > h + 1;
    if (node->childCount() > 0 || hasFiles) {
        ShowMessage("Folder is not empty", MsgStyle::Critical, "Error");
        return;
    }
    if (!DriveReady(ParentFolder(path))) return;
    if (!FolderExists(path)) {
        ShowFileError(err::DiskChanged);
        return;
    }
    if (!AskYesNo("Are you sure you want to delete this folder ?", "Delete folder")) return;
    SetBusy();
    const ErrorCode code = platform::RemoveFolder(path);
    if (code != 0) {
        EndBusy();
        ShowFileError(code);
        return;
    }
    // The header, its index and node map entries, and the node go.
    RemoveFolderFromPicture(slot, path);
    QTreeWidgetItem* parent = node->parent();
    w->RemoveNode(w->NodeIndex(node));
    if (parent && parent->childCount() == 0) w->SetNodeImage(parent, false);
    const QString parentPath = path.left(path.lastIndexOf('\\'));
    platform::ChangeDrive(parentPath.at(0));
    platform::ChangeFolder(parentPath);
    if (parent) w->DirList->setCurrentItem(parent);
    ShowAvailableBytes(w);
    EndBusy();
}
