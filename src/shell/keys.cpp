#include "shell/keys.h"
#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include "archive/archive.h"
#include "browse/freespace.h"
#include "drives/freespace.h"
#include "drives/frmDInfo.h"
#include "drives/frmDrive.h"
#include "drives/volumename.h"
#include "fileops/folders.h"
#include "fileops/frmInput.h"
#include "fileops/operations.h"
#include "fileops/validate.h"
#include "browse/filelist.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "shell/MDIQuorl.h"
#include "browse/frmBrws.h"
#include "shell/startup.h"
#include "browse/tagging.h"
#include "browse/views.h"
#include "launch/external.h"
#include "viewers/dispatch.h"
#include "ui/mainwindow.h"
#include "viewers/frmDump.h"

namespace {

bool MenuEnabled(const char* name) {
    const MDIQuorl* main = MainForm();
    const QAction* item = main ? main->item(name) : nullptr;
    return item && item->isEnabled();
}

bool AnyTagged(const frmBrws* w) { return !w->FileList->selectedItems().isEmpty(); }

// A command on all tagged files runs only from the list and with files tagged.
bool Guarded(const frmBrws* w, const DriveSlot& slot) { return slot.FocusPane == Pane::Files && AnyTagged(w); }

void ShowViewIfEnabled(frmBrws* w, const char* item, ViewSelection selection) {
    if (MenuEnabled(item)) ShowView(w, selection);
}

// The window of the slot before or after the current one, wrapping round.
void SwitchBy(int step) {
    if (OpenDriveCount < 2) return;
    int slot = CurrentSlot + step;
    if (slot < 1) slot = OpenDriveCount;
    if (slot > OpenDriveCount) slot = 1;
    SwitchToWindow(Slot(slot).WindowKey);
}

void Swallow(int& keyCode, int& shift) {
    keyCode = 0;
    shift = 0;
}

void EnterKey(frmBrws* w, DriveSlot& slot) {
    if (slot.GlobalView) {
        LeaveView(w);
        return;
    }
    if (slot.FocusPane != Pane::Tree) {
        w->GiveFocus(w->DirList);
        return;
    }
    QTreeWidgetItem* node = w->DirList->currentItem();
    if (!node || node->childCount() > 0) return;
    if (IsFolderUnlogged(slot, slot.CurrentPath)) LogFolder(w, w->NodeIndex(node), false, true);
    else w->GiveFocus(w->FileList);
}

// Shift state 0. Returns false for a key that is not handled.
bool PlainKey(frmBrws* w, DriveSlot& slot, int key) {
    const bool tree = slot.FocusPane == Pane::Tree;
    switch (key) {
    case VK_RETURN: EnterKey(w, slot); return true;
    case VK_ESCAPE:
        if (slot.GlobalView) LeaveView(w);
        return true;
    case 'A':
        if (tree) ShowDriveDialog(AvailableSpaceCaption);
        else AttributesCommand(FileScope::CurrentFile);
        return true;
    case 'B': ShowViewIfEnabled(w, "mnuBranchMatching", ViewSelection::BranchMatching); return true;
    case 'F': ShowInputDialog(InputCaption::FileSpec, slot.FileSpec); return true;
    case 'G': ShowViewIfEnabled(w, "mnuGlobalMatching", ViewSelection::GlobalMatching); return true;
    case 'I': TagFiles(w, TagChange::Invert, TagScope::AllFiles); return true;
    case 'L': ShowDriveDialog(LogDriveCaption); return true;
    case 'R':
        if (tree) w->StartLabelEdit();
        else RenameCommand(FileScope::CurrentFile);
        return true;
    case 'C':
        if (!tree) CopyCommand({RunKind::Copy, FileScope::CurrentFile});
        return true;
    case 'D':
        if (tree) DeleteFolder(w);
        else DeleteCommand(FileScope::CurrentFile);
        return true;
    case 'M':
        if (tree) MakeFolderCommand();
        else CopyCommand({RunKind::Move, FileScope::CurrentFile});
        return true;
    case 'T': TagFiles(w, TagChange::Tag, tree ? TagScope::AllFiles : TagScope::CurrentFile); return true;
    case 'U': TagFiles(w, TagChange::Untag, tree ? TagScope::AllFiles : TagScope::CurrentFile); return true;
    case 'V':
        if (tree) VolumeCommand();
        else ShowFiles(w, FileScope::CurrentFile, ShowMode::View);
        return true;
    case 'X': ExecuteFile(w); return false;   // the key goes on unhandled
    case VK_MULTIPLY: {
        QTreeWidgetItem* node = w->DirList->currentItem();
        if (node && node->childCount() == 0) LogFolder(w, w->NodeIndex(node), false, true);
        return true;
    }
    case VK_DIVIDE: ShowDriveInfo(); return true;
    case VK_OEM_102: SwitchBy(-1); return true;
    case 'E':
        if (!tree) EditFile(w);
        return true;
    case 'H': ShowFiles(w, FileScope::CurrentFile, ShowMode::Hear); return true;
    default: return false;
    }
}

// Shift state 2.
bool CtrlKey(frmBrws* w, DriveSlot& slot, int key) {
    switch (key) {
    case 'B': ShowViewIfEnabled(w, "mnuBranchTagged", ViewSelection::BranchTagged); return true;
    case 'G': ShowViewIfEnabled(w, "mnuGlobalTagged", ViewSelection::GlobalTagged); return true;
    case 'I':
        if (AnyTagged(w)) TagFiles(w, TagChange::Invert, TagScope::AllFiles);
        return true;
    case 'T': TagFiles(w, TagChange::Tag, TagScope::AllFiles); return true;
    case 'U': TagFiles(w, TagChange::Untag, TagScope::AllFiles); return true;
    // Guarded: only with the list focused and files tagged.
    case 'A': if (Guarded(w, slot)) AttributesCommand(FileScope::TaggedFiles); return true;
    case 'C': if (Guarded(w, slot)) CopyCommand({RunKind::Copy, FileScope::TaggedFiles}); return true;
    case 'D': if (Guarded(w, slot)) DeleteCommand(FileScope::TaggedFiles); return true;
    case 'M': if (Guarded(w, slot)) CopyCommand({RunKind::Move, FileScope::TaggedFiles}); return true;
    case 'R': if (Guarded(w, slot)) RenameCommand(FileScope::TaggedFiles); return true;
    case VK_F5: if (Guarded(w, slot)) CompressCommand(ZipCompressCaption); return true;
    case VK_F9: if (Guarded(w, slot)) CompressCommand(ArjCompressCaption); return true;
    case 'H': if (Guarded(w, slot)) ShowFiles(w, FileScope::TaggedFiles, ShowMode::Hear); return true;
    case 'V': if (Guarded(w, slot)) ShowFiles(w, FileScope::TaggedFiles, ShowMode::View); return true;
    default: return false;
    }
}

// Shift state 4.
bool AltKey(frmBrws* w, DriveSlot& slot, int key) {
    switch (key) {
    case 'F': w->SetFileColumns(w->FileColumns() % 4 + 1); return true;
    case 'Q': SaveDesktopAndExit(); return true;
    case VK_F3:
        if (slot.FocusPane == Pane::Tree) RelogFolder(w);
        return true;
    case 'C': if (Guarded(w, slot)) CopyCommand({RunKind::Copy, FileScope::TaggedFiles, Paths::Duplicated}); return true;
    case 'M': if (Guarded(w, slot)) CopyCommand({RunKind::Move, FileScope::TaggedFiles, Paths::Duplicated}); return true;
    case VK_F5:
        if (slot.FocusPane == Pane::Files) ExtractCommand(w);
        return true;
    default: return false;
    }
}
}  // namespace

void KeyDispatcher(frmBrws* w, int& keyCode, int& shift) {
    DriveSlot& slot = CurrentDriveSlot();
    bool handled = false;
    switch (shift) {
    case 0: handled = PlainKey(w, slot, keyCode); break;
    case 2: handled = CtrlKey(w, slot, keyCode); break;
    case 4: handled = AltKey(w, slot, keyCode); break;
    case 1:
        if (keyCode >= 'A' && keyCode <= 'Z') {
            LetterSearch(w, keyCode);
            handled = true;
        } else if (keyCode == VK_OEM_102) {
            SwitchBy(+1);
            handled = true;
        }
        break;
    default: break;   // combined shift states select nothing
    }
    if (handled) Swallow(keyCode, shift);
}

void PaneKeyHandler(frmBrws* w, int& keyCode, int& shift) {
    if (keyCode == 0) return;
    DriveSlot& slot = CurrentDriveSlot();
    if (slot.FocusPane == Pane::Tree) {
        if (shift == 2 && keyCode == 'L') LogFolder(w, w->SelectedNodeIndex(), false, true);
        else if (shift == 2 && keyCode == 'O') UnlogFolder(w, slot.CurrentPath, false);
        else if (shift == 1 && keyCode >= 'A' && keyCode <= 'Z') LetterSearch(w, keyCode);
        else return;
        Swallow(keyCode, shift);
    } else if (slot.FocusPane == Pane::Files) {
        if (shift == 0 && keyCode == VK_SPACE && w->FileList->count() > 0) {
            QListWidgetItem* item = w->FileList->currentItem();
            bool state = item ? !item->isSelected() : true;
            if (item) w->SelectDeselectFile(state);
            ShowCurrentFile(w);
            Swallow(keyCode, shift);   // the list would toggle the item a second time
        } else if (shift == 0 && keyCode == VK_DELETE && w->FileList->count() > 0) {
            DeleteCommand(FileScope::CurrentFile);
        } else if (shift == 1 && keyCode >= 'A' && keyCode <= 'Z') {
            LetterSearch(w, keyCode);
        }
    }
}

void LetterSearch(frmBrws* w, int keyCode) {
    const QChar letter(keyCode);
    DriveSlot& slot = CurrentDriveSlot();
    if (slot.FocusPane == Pane::Files) {
        QListWidget* list = w->FileList;
        const int count = list->count();
        for (int step = 1; step <= count; ++step) {
            const int row = (list->currentRow() + step) % count;
            const QString text = list->item(row)->text();
            if (!text.isEmpty() && text.at(0).toUpper() == letter) {
                list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
                return;
            }
        }
        return;
    }
    if (slot.FocusPane != Pane::Tree) return;
    // The node map in order of discovery, from the entry after the selected folder.
    const int entries = slot.NodeMap.size() - 1;
    const QString selected = slot.CurrentPath;
    int start = 0;
    for (int i = 0; i < entries; ++i)
        if (EntryPath(slot.NodeMap[i]) == selected) start = i;
    for (int step = 1; step <= entries; ++step) {
        const QString entry = slot.NodeMap[(start + step) % entries];
        const QString path = EntryPath(entry);
        const QString name = path.mid(path.lastIndexOf('\\') + 1);
        if (name.isEmpty() || name.at(0).toUpper() != letter) continue;
        QTreeWidgetItem* node = w->Node(EntryNode(entry));
        if (!node) continue;
        bool visible = true;
        for (QTreeWidgetItem* p = node->parent(); p; p = p->parent()) visible = visible && p->isExpanded();
        if (!visible) continue;
        w->DirList->setCurrentItem(node);
        return;
    }
}

namespace {
void CloseActiveWindow() {
    if (frmBrws* w = OpenDriveCount > 0 ? ActiveDriveWindow() : nullptr) w->SubWindow()->close();
}

// Only brings the window forward: it keeps the pane it had.
void ActivateNextWindow() {
    const frmBrws* active = OpenDriveCount > 1 ? ActiveDriveWindow() : nullptr;
    QMdiArea* area = DriveWindowArea();
    if (!active || !area) return;
    if (frmBrws* next = DriveWindowOfSlot(active->GetFormNumber() % OpenDriveCount + 1))
        area->setActiveSubWindow(next->SubWindow());
}
}  // namespace

void InstallWindowKeys(QMainWindow* main) {
    auto add = [main](QList<QKeySequence> keys, void (*command)()) {
        auto* action = new QAction(main);
        action->setShortcuts(keys);
        main->addAction(action);
        QObject::connect(action, &QAction::triggered, main, command);
    };
    add({QKeySequence(Qt::CTRL | Qt::Key_F4)}, CloseActiveWindow);
    add({QKeySequence(Qt::CTRL | Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::Key_Tab)}, ActivateNextWindow);
}
