#include "shell/MDIQuorl.h"
#include <QCloseEvent>
#include <QMenuBar>
#include <QMdiSubWindow>
#include "archive/archive.h"
#include "browse/freespace.h"
#include "config/frmFA.h"
#include "config/frmOpt.h"
#include "drives/freespace.h"
#include "drives/frmDInfo.h"
#include "drives/frmDrive.h"
#include "drives/frmMap.h"
#include "drives/volumename.h"
#include "fileops/folders.h"
#include "fileops/frmInput.h"
#include "fileops/operations.h"
#include "fileops/validate.h"
#include "launch/dosbox.h"
#include "launch/external.h"
#include "ui/mainwindow.h"
#include "ui/shellhooks.h"
#include "browse/hooks.h"
#include "shell/keys.h"
#include "viewers/hooks.h"
#include "launch/waiting.h"
#include "launch/commandline.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "shell/frmAbout.h"
#include "browse/frmBrws.h"
#include "shell/startup.h"
#include "ui/toolbaricons.h"
#include "browse/tagging.h"
#include "browse/views.h"
#include "config/settings.h"
#include "viewers/dispatch.h"
#include "viewers/frmDump.h"

namespace {
MDIQuorl* mainForm = nullptr;

// The menu tree in menu-bar order: depth (0 = menu bar), control name, caption,
// shortcut; "-" is a separator.
struct MenuEntry {
    int depth;
    const char* name;
    const char* caption;
    const char* shortcut;
};

const MenuEntry menuTree[] = {
    {0, "mnuProgram", "P&rogram", ""},
    {1, "mnuOptions", "&Options...", ""},
    {1, "mnuFileAssociations", "&File associations...", ""},
    {1, "logical1", "-", ""},
    {1, "mnuExit", "&Exit", ""},
    {0, "mnuFile", "F&ile", ""},
    {1, "mnuCopyFile", "&Copy...", "F2"},
    {1, "mnuDeleteFile", "&Delete", "F3"},
    {1, "mnuMoveFile", "&Move...", "F5"},
    {1, "mnuRenameFile", "Re&name...", ""},
    {1, "mnuView", "&View", "F7"},
    {1, "mnuHear", "&Hear", ""},
    {1, "mnuAttributesFile", "&Attributes...", ""},
    {1, "mnuThrashFile", "Thra&sh", ""},
    {1, "mnuEdit", "&Edit", ""},
    {1, "mnuExecuteFile", "E&xecute", ""},
    {1, "logical2", "-", ""},
    {1, "mnuExtract", "Ext&ract...", ""},
    {1, "logical3", "-", ""},
    {1, "mnuTag", "&Tag", ""},
    {2, "mnuTagCurrentFile", "&Current file", ""},
    {2, "mnuTagAllFiles", "&All files", ""},
    {2, "mnuInvertFileTags", "&Invert tags", ""},
    {1, "mnuUntag", "&Untag", ""},
    {2, "mnuUntagCurrentFile", "&Current file", ""},
    {2, "mnuUntagAllFiles", "&All files", ""},
    {1, "mnuTagged", "Ta&gged", ""},
    {2, "mnuTaggedCopy", "&Copy...", "Shift+F2"},
    {2, "mnuTaggedDelete", "&Delete", "Shift+F3"},
    {2, "mnuTaggedMove", "&Move...", "Shift+F5"},
    {2, "mnuDuplicatePaths", "Copy and dup&licate paths...", ""},
    {2, "mnuMoveAndDuplicatePaths", "Mo&ve and duplicate paths...", ""},
    {2, "mnuTaggedRename", "Re&name...", ""},
    {2, "mnuTaggedView", "&View", "Shift+F7"},
    {2, "mnuTaggedHear", "&Hear", ""},
    {2, "mnuTaggedAttributes", "&Attributes...", ""},
    {2, "mnuTaggedThrash", "Thra&sh", ""},
    {2, "logical4", "-", ""},
    {2, "mnuARJCompress", "ARJ com&press...", ""},
    {2, "mnuZipCompress", "&Zip compress...", ""},
    {0, "mnuFolder", "Fo&lder", ""},
    {1, "mnuExpand", "&Expand", ""},
    {1, "mnuCollapse", "Co&llapse", ""},
    {1, "logical5", "-", ""},
    {1, "mnuLogFolder", "&Log", "Ctrl+L"},
    {1, "mnuReLogFolder", "&Relog", ""},
    {1, "mnuUnlogFolder", "Unl&og", "Ctrl+O"},
    {1, "logical6", "-", ""},
    {1, "mnuDeleteFolder", "&Delete", "Ctrl+F3"},
    {1, "mnuRenameFolder", "Re&name...", ""},
    {1, "mnuMake", "Ma&ke...", "F4"},
    {1, "logical7", "-", ""},
    {1, "mnuFolderTags", "&Tag", ""},
    {2, "mnuTagFolderFiles", "&Tag folder files", ""},
    {2, "mnuUntagFolderFiles", "&Untag folder files", ""},
    {2, "mnuInvertFolder", "&Invert folder tags", ""},
    {0, "mnuDrive", "&Drive", ""},
    {1, "mnuLog", "&Log drive...", "F6"},
    {1, "mnuRelog", "&Relog", "Shift+F6"},
    {1, "mnuDriveInfo", "&Drive info", ""},
    {1, "mnuVol", "&Volume name...", ""},
    {1, "mnuAvailable", "&Available space", ""},
    {1, "mnuMap", "&Map drives...", ""},
    {0, "mnuTools", "&Tools", ""},
    {1, "mnuNotepad", "&Notepad", ""},
    {1, "mnuCalculator", "&Calculator", ""},
    {1, "mnuWordPad", "&Wordpad", ""},
    {1, "mnuPaint", "&Paint", ""},
    {1, "logical8", "-", ""},
    {1, "mnuScanDisk", "&Scan disk", ""},
    {1, "mnuDefrag", "&Disk defragmenter", ""},
    {1, "logical9", "-", ""},
    {1, "mnuMsDos", "&Open MSDOS window", ""},
    {0, "mnuViewMenu", "&View", ""},
    {1, "mnuViewToolBar", "&Toolbar", ""},
    {0, "mnuWindow", "&Window", ""},
    {1, "mnuFilespec", "&File especification...", "F9"},
    {1, "mnuFileColumns", "File c&olumns", "Shift+F9"},
    {1, "logical10", "-", ""},
    {1, "mnuGlobalMatching", "&Global matching", "F11"},
    {1, "mnuGlobalTagged", "Global &tagged", "Ctrl+F11"},
    {1, "mnuBranchMatching", "&Branch matching", ""},
    {1, "mnuBranchTagged", "Bra&nch tagged", ""},
    {1, "logical11", "-", ""},
    {1, "mnuWinFolders", "Fol&ders", ""},
    {1, "mnuWinFiles", "Fi&les", ""},
    {1, "logical12", "-", ""},
    {1, "mnuTileVertically", "Tile &vertically", "F8"},
    {1, "mnuTileHorizontally", "Tile &horizontaly", "Shift+F8"},
    {1, "mnuCascade", "&Cascade", "Ctrl+F8"},
    {1, "mnuArrangeIcons", "&Arrange icons", ""},
    {0, "mnuHelp", "&Help", ""},
    {1, "mnuReadMe", "&Read me", "F1"},
    {1, "mnuAbout", "&About...", ""},
};

struct ToolbarButton {
    int index;
    const char* key;
    const char* tip;
};

const ToolbarButton toolbarButtons[] = {
    {1, "tbCopy", "Copy all tagged files"},     {2, "tbDelete", "Delete all tagged files"},
    {3, "tbMove", "Move all tagged files"},     {4, "tbView", "View all tagged files"},
    {6, "tbBMatch", "Branch matching"},         {7, "tbBTagged", "Branch tagged"},
    {9, "tbLog", "Log drive"},                  {10, "tbRelog", "Relog drive"},
    {11, "tbDriveInfo", "Drive info"},          {13, "tbLogFolder", "Log folder"},
    {14, "tbRelogFolder", "Relog folder"},      {15, "tbUnlogFolder", "Unlog folder"},
    {16, "tbMakeFolder", "Make folder"},        {18, "tbAppWiz", "Add/Remove programs"},
    {19, "tbDesk", "Display"},                  {20, "tbMultimedia", "Multimedia"},
    {21, "tbModem", "Modems"},                  {22, "tbNetwork", "Network"},
    {23, "tbSystem", "System"},
};

// The fonts and the column count of the options reach the active drive window at
// once; the others take them when they are next refreshed.
void ApplyOptions(frmBrws* w) {
    auto apply = [](QWidget* control, int nameIndex, int sizeIndex) {
        const QString name = Settings[nameIndex].toString();
        const int size = Settings[sizeIndex].toString().toInt();
        QFont font = control->font();
        if (!name.isEmpty()) font.setFamily(name);
        if (size > 0) font.setPointSize(size);
        control->setFont(font);
    };
    apply(w->DirList, 17, 18);
    apply(w->FileList, 19, 20);
    w->SetFileColumns(Settings[setting::FileColumns].toInt());
}

void SetEnabled(MDIQuorl* main, std::initializer_list<int> indexes, bool enabled) {
    for (int i : indexes)
        if (QAction* b = main->button(i)) b->setEnabled(enabled);
}
}  // namespace

MDIQuorl* MainForm() { return mainForm; }

namespace {
// The drive window calls up into the main window and its commands through these.
void InstallDriveWindowHooks() {
    DriveWindowHooks& h = Hooks();
    h.keyDown = [](frmBrws* w, int& keyCode, int& shift) {
        KeyDispatcher(w, keyCode, shift);
        PaneKeyHandler(w, keyCode, shift);
    };
    h.showDriveInfo = [] { ShowDriveInfo(); };
    h.quitAtOnce = [] { QuitAtOnce(); };
    h.dosCommand = [](frmBrws* w, const QString& text) { RunDosCommand(w, text); };
    h.renameFolder = [](frmBrws* w, const QString& label) { RenameFolder(w, label); };
    h.folderMode = [] { if (MDIQuorl* m = MainForm()) m->FolderMode(); };
    h.fileMode = [] { if (MDIQuorl* m = MainForm()) m->FileMode(); };
    h.fileToolbar = [](bool anyTagged) { if (MDIQuorl* m = MainForm()) m->FileToolbar(anyTagged); };
    h.folderToolbar = [] { if (MDIQuorl* m = MainForm()) m->FolderToolbar(); };
    h.refreshToolbar = [] { if (MDIQuorl* m = MainForm()) m->RefreshToolbar(); };
    h.driveWindowOpened = [] { if (MDIQuorl* m = MainForm()) m->DriveWindowOpened(); };
    h.lastDriveWindowClosed = [] { if (MDIQuorl* m = MainForm()) m->LastDriveWindowClosed(); };
    h.openFile = [](frmBrws* w) { ShowFiles(w, FileScope::CurrentFile, ShowMode::Open); };
    h.popupMenu = [](const QString& name, const QPoint& at) {
        if (MDIQuorl* m = MainForm())
            if (QMenu* menu = m->menu(name)) menu->popup(at);
    };
}

// The viewers start programs, and the DOS box shows its captures, through launching.
void InstallLaunchingHooks() {
    SetExecuteFileHandler([](const QString&) { ExecuteFile(ActiveDriveWindow()); });
    SetRunExternalHandler([](const QString& program, const QStringList& arguments) {
        RunExternal(JoinCommandLine(QStringList{program} + arguments));
    });
    SetRunCapturedHandler([](const QString& program, const QStringList& arguments, const QString& captureFile) {
        const QString line = JoinCommandLine(QStringList{program} + arguments) + " >" + captureFile;
        return !RunCaptured(CommandInterpreter, line).isEmpty();
    });
    SetCapturedOutputViewer([](const QString& dumpFile, const QString& caption) { ShowCapturedOutput(caption, dumpFile); });
    SetAssociationsDialog([] { ShowFileAssociations(); });
}
}  // namespace

void SetMainForm(MDIQuorl* form) {
    mainForm = form;
    SetMainWindow(form, form ? form->MdiArea : nullptr);
    InstallDriveWindowHooks();
    InstallLaunchingHooks();
    if (form) InstallWindowKeys(form);
}

MDIQuorl::MDIQuorl(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MDIQuorl");
    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName("MdiArea");
    setCentralWidget(MdiArea);
    Toolbar = addToolBar("Toolbar");
    Toolbar->setObjectName("Toolbar");
    Toolbar->setMovable(false);
    StatusBar = statusBar();
    StatusBar->setObjectName("StatusBar");
    StatusBar->showMessage("User");
    buildMenus();
    buildToolbar();
    connectCommands();
    SetStatusBarWidget(StatusBar);
    SetTreeFocusHandler([] {
        if (frmBrws* w = ActiveDriveWindow(); w && w->DirList->isVisible()) w->GiveFocus(w->DirList);
    });
    connect(MdiArea, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* sub) {
        if (!sub) return;
        if (auto* w = qobject_cast<frmBrws*>(sub->widget())) w->Form_Activate();
    });
    LastDriveWindowClosed();
    StatusBar->show();
}

void MDIQuorl::buildToolbar() {
    buttons_.resize(24);
    int next = 1;
    for (const ToolbarButton& b : toolbarButtons) {
        for (; next < b.index; ++next) buttons_[next] = Toolbar->addSeparator();
        QAction* a = Toolbar->addAction(ToolbarIcon(b.key), b.tip);
        a->setObjectName(b.key);
        a->setToolTip(b.tip);
        const int index = b.index;
        connect(a, &QAction::triggered, this, [this, index] { Toolbar_ButtonClick(index); });
        buttons_[b.index] = a;
        next = b.index + 1;
    }
    Toolbar->setIconSize(QSize(24, 24));
}

QAction* MDIQuorl::button(const QString& key) const {
    for (QAction* a : buttons_)
        if (a && a->objectName() == key) return a;
    return nullptr;
}

void MDIQuorl::Toolbar_ButtonClick(int index) {
    frmBrws* w = OpenDriveCount > 0 ? ActiveDriveWindow() : nullptr;
    switch (index) {
    case 1: CopyCommand({RunKind::Copy, FileScope::TaggedFiles}); break;
    case 2: DeleteCommand(FileScope::TaggedFiles); break;
    case 3: CopyCommand({RunKind::Move, FileScope::TaggedFiles}); break;
    case 4: if (w) ShowFiles(w, FileScope::TaggedFiles, ShowMode::View); break;
    case 6: if (w) ShowView(w, ViewSelection::BranchMatching); break;
    case 7: if (w) ShowView(w, ViewSelection::BranchTagged); break;
    case 9: ShowDriveDialog(LogDriveCaption); break;
    case 10: if (w) RelogDrive(w); break;
    case 11: ShowDriveInfo(); break;
    case 13: if (w) LogFolder(w, w->SelectedNodeIndex(), false, true); break;
    case 14: if (w) RelogFolder(w); break;
    case 15: if (w) UnlogFolder(w, CurrentDriveSlot().CurrentPath, false); break;
    case 16: MakeFolderCommand(); break;
    case 18: RunControlPanel("appwiz.cpl"); break;
    case 19: RunControlPanel("desk.cpl"); break;
    case 20: RunControlPanel("mmsys.cpl"); break;
    case 21: RunControlPanel("modem.cpl"); break;
    case 22: RunControlPanel("netcpl.cpl"); break;
    case 23: RunControlPanel("sysdm.cpl"); break;
    default: break;   // the file operations run their own routines
    }
}

void MDIQuorl::connectCommands() {
    auto on = [this](const char* name, std::function<void()> f) {
        connect(item(name), &QAction::triggered, this, [f] { f(); });
    };
    auto onWindow = [on](const char* name, std::function<void(frmBrws*)> f) {
        on(name, [f] {
            if (frmBrws* w = OpenDriveCount > 0 ? ActiveDriveWindow() : nullptr) f(w);
        });
    };
    on("mnuOptions", [] {
        if (ShowOptions())
            if (frmBrws* w = OpenDriveCount > 0 ? ActiveDriveWindow() : nullptr) ApplyOptions(w);
    });
    on("mnuFileAssociations", [] { ShowFileAssociations(); });
    onWindow("mnuExtract", [](frmBrws* w) { ExtractCommand(w); });
    on("mnuARJCompress", [] { CompressCommand(ArjCompressCaption); });
    on("mnuZipCompress", [] { CompressCommand(ZipCompressCaption); });
    on("mnuCopyFile", [] { CopyCommand({RunKind::Copy, FileScope::CurrentFile}); });
    on("mnuMoveFile", [] { CopyCommand({RunKind::Move, FileScope::CurrentFile}); });
    on("mnuDeleteFile", [] { DeleteCommand(FileScope::CurrentFile); });
    on("mnuRenameFile", [] { RenameCommand(FileScope::CurrentFile); });
    on("mnuAttributesFile", [] { AttributesCommand(FileScope::CurrentFile); });
    on("mnuThrashFile", [] { ThrashCommand(FileScope::CurrentFile); });
    on("mnuTaggedCopy", [] { CopyCommand({RunKind::Copy, FileScope::TaggedFiles}); });
    on("mnuTaggedMove", [] { CopyCommand({RunKind::Move, FileScope::TaggedFiles}); });
    on("mnuDuplicatePaths", [] { CopyCommand({RunKind::Copy, FileScope::TaggedFiles, Paths::Duplicated}); });
    on("mnuMoveAndDuplicatePaths", [] { CopyCommand({RunKind::Move, FileScope::TaggedFiles, Paths::Duplicated}); });
    on("mnuTaggedDelete", [] { DeleteCommand(FileScope::TaggedFiles); });
    on("mnuTaggedRename", [] { RenameCommand(FileScope::TaggedFiles); });
    on("mnuTaggedAttributes", [] { AttributesCommand(FileScope::TaggedFiles); });
    on("mnuTaggedThrash", [] { ThrashCommand(FileScope::TaggedFiles); });
    onWindow("mnuView", [](frmBrws* w) { ShowFiles(w, FileScope::CurrentFile, ShowMode::View); });
    onWindow("mnuHear", [](frmBrws* w) { ShowFiles(w, FileScope::CurrentFile, ShowMode::Hear); });
    onWindow("mnuEdit", [](frmBrws* w) { EditFile(w); });
    onWindow("mnuTaggedView", [](frmBrws* w) { ShowFiles(w, FileScope::TaggedFiles, ShowMode::View); });
    onWindow("mnuTaggedHear", [](frmBrws* w) { ShowFiles(w, FileScope::TaggedFiles, ShowMode::Hear); });
    on("mnuReadMe", [] { ShowTextFile(Settings[setting::ProgramFolder].toString() + "\\readme.txt"); });
    onWindow("mnuDeleteFolder", [](frmBrws* w) { DeleteFolder(w); });
    on("mnuMake", [] { MakeFolderCommand(); });
    onWindow("mnuTagCurrentFile", [](frmBrws* w) { TagFiles(w, TagChange::Tag, TagScope::CurrentFile); });
    onWindow("mnuTagAllFiles", [](frmBrws* w) { TagFiles(w, TagChange::Tag, TagScope::AllFiles); });
    onWindow("mnuInvertFileTags", [](frmBrws* w) { TagFiles(w, TagChange::Invert, TagScope::AllFiles); });
    onWindow("mnuUntagCurrentFile", [](frmBrws* w) { TagFiles(w, TagChange::Untag, TagScope::CurrentFile); });
    onWindow("mnuUntagAllFiles", [](frmBrws* w) { TagFiles(w, TagChange::Untag, TagScope::AllFiles); });
    onWindow("mnuTagFolderFiles", [](frmBrws* w) { TagFiles(w, TagChange::Tag, TagScope::AllFiles); });
    onWindow("mnuUntagFolderFiles", [](frmBrws* w) { TagFiles(w, TagChange::Untag, TagScope::AllFiles); });
    onWindow("mnuInvertFolder", [](frmBrws* w) { TagFiles(w, TagChange::Invert, TagScope::AllFiles); });
    onWindow("mnuExpand", [](frmBrws* w) {
        if (QTreeWidgetItem* n = w->DirList->currentItem()) n->setExpanded(true);
    });
    onWindow("mnuCollapse", [](frmBrws* w) {
        if (QTreeWidgetItem* n = w->DirList->currentItem()) n->setExpanded(false);
    });
    onWindow("mnuLogFolder", [](frmBrws* w) { LogFolder(w, w->SelectedNodeIndex(), false, true); });
    onWindow("mnuReLogFolder", [](frmBrws* w) { RelogFolder(w); });
    onWindow("mnuUnlogFolder", [](frmBrws* w) { UnlogFolder(w, CurrentDriveSlot().CurrentPath, false); });
    onWindow("mnuRenameFolder", [](frmBrws* w) { w->StartLabelEdit(); });
    on("mnuLog", [] { ShowDriveDialog(LogDriveCaption); });
    onWindow("mnuRelog", [](frmBrws* w) { RelogDrive(w); });
    on("mnuDriveInfo", [] { ShowDriveInfo(); });
    on("mnuVol", [] { VolumeCommand(); });
    on("mnuAvailable", [] { ShowDriveDialog(AvailableSpaceCaption); });
    on("mnuMap", [] { ShowMapDrives(); });
    on("mnuFilespec", [] { ShowInputDialog(InputCaption::FileSpec, Slot(OpenDriveCount > 0 ? CurrentSlot : 1).FileSpec); });
    onWindow("mnuFileColumns", [](frmBrws* w) { w->SetFileColumns(w->FileColumns() % 4 + 1); });
    onWindow("mnuGlobalMatching", [](frmBrws* w) { ShowView(w, ViewSelection::GlobalMatching); });
    onWindow("mnuGlobalTagged", [](frmBrws* w) { ShowView(w, ViewSelection::GlobalTagged); });
    onWindow("mnuBranchMatching", [](frmBrws* w) { ShowView(w, ViewSelection::BranchMatching); });
    onWindow("mnuBranchTagged", [](frmBrws* w) { ShowView(w, ViewSelection::BranchTagged); });
    onWindow("mnuWinFolders", [](frmBrws* w) {
        if (CurrentDriveSlot().GlobalView) LeaveView(w);
        else w->GiveFocus(w->DirList);
    });
    onWindow("mnuWinFiles", [](frmBrws* w) {
        if (w->FileList->count() > 0) w->GiveFocus(w->FileList);
    });
    on("mnuTileVertically", [this] { TileVertically(); });
    on("mnuTileHorizontally", [this] { TileHorizontally(); });
    on("mnuCascade", [this] { Cascade(); });
    on("mnuArrangeIcons", [this] {
        // Minimised windows line up along the bottom of the frame.
        int x = 0;
        for (QMdiSubWindow* sub : MdiArea->subWindowList()) {
            if (!sub->isMinimized()) continue;
            sub->move(x, MdiArea->viewport()->height() - sub->height());
            x += sub->width();
        }
    });
    on("mnuAbout", [] { ShowAbout(); });
    onWindow("mnuExecuteFile", [](frmBrws* w) { ExecuteFile(w); });
    on("mnuNotepad", [] { RunExternal(AccessoryCommandLine("notepad.exe")); });
    on("mnuCalculator", [] { RunExternal(AccessoryCommandLine("calc.exe")); });
    on("mnuWordPad", [] { RunExternal(AccessoryCommandLine("write.exe")); });
    on("mnuPaint", [] { RunExternal(AccessoryCommandLine("pbrush.exe")); });
    on("mnuScanDisk", [] { RunExternal(AccessoryCommandLine("scandskw.exe")); });
    on("mnuDefrag", [] { RunExternal(AccessoryCommandLine("defrag.exe")); });
    on("mnuMsDos", [] { OpenDosWindow(); });
    connect(menu("mnuFile"), &QMenu::aboutToShow, this, [this] { UpdateFileMenu(); });
    connect(menu("mnuFolder"), &QMenu::aboutToShow, this, [this] { UpdateFolderMenu(); });
    connect(menu("mnuDrive"), &QMenu::aboutToShow, this, [this] { UpdateDriveMenu(); });
    connect(menu("mnuWindow"), &QMenu::aboutToShow, this, [this] { UpdateWindowMenu(); });
}

void MDIQuorl::UpdateFileMenu() {
    const frmBrws* w = OpenDriveCount > 0 ? ActiveDriveWindow() : nullptr;
    item("mnuTagged")->setEnabled(w && !w->FileList->selectedItems().isEmpty());
}

void MDIQuorl::UpdateFolderMenu() {
    const frmBrws* w = OpenDriveCount > 0 ? ActiveDriveWindow() : nullptr;
    const QTreeWidgetItem* node = w ? w->DirList->currentItem() : nullptr;
    const bool children = node && node->childCount() > 0;
    item("mnuExpand")->setEnabled(children && !node->isExpanded());
    item("mnuCollapse")->setEnabled(children && node->isExpanded());
    const DriveSlot& slot = CurrentDriveSlot();
    item("mnuFolderTags")->setEnabled(w && !slot.GlobalView && FolderFileCount(slot, slot.CurrentPath) > 0);
}

void MDIQuorl::UpdateDriveMenu() {
    item("mnuVol")->setEnabled(OpenDriveCount > 0);
    item("mnuRelog")->setEnabled(OpenDriveCount > 0);
}

void MDIQuorl::UpdateWindowMenu() {
    const bool open = OpenDriveCount > 0;
    for (const char* name : {"mnuTileVertically", "mnuTileHorizontally", "mnuCascade", "mnuArrangeIcons",
                             "mnuFileColumns", "mnuFilespec"})
        item(name)->setEnabled(open);
    if (!open)
        for (const char* name : {"mnuGlobalMatching", "mnuGlobalTagged", "mnuBranchMatching", "mnuBranchTagged",
                                 "mnuWinFolders", "mnuWinFiles"})
            item(name)->setEnabled(false);
}

void MDIQuorl::FolderMode() {
    menu("mnuFile")->menuAction()->setVisible(false);
    menu("mnuFolder")->menuAction()->setVisible(true);
    for (const char* name : {"mnuGlobalMatching", "mnuGlobalTagged", "mnuBranchMatching", "mnuBranchTagged", "mnuWinFiles"})
        item(name)->setEnabled(true);
    item("mnuWinFolders")->setEnabled(false);
}

void MDIQuorl::FileMode() {
    menu("mnuFile")->menuAction()->setVisible(true);
    menu("mnuFolder")->menuAction()->setVisible(false);
    for (const char* name : {"mnuGlobalMatching", "mnuGlobalTagged", "mnuBranchMatching", "mnuBranchTagged", "mnuWinFiles"})
        item(name)->setEnabled(false);
    item("mnuWinFolders")->setEnabled(true);
}

void MDIQuorl::FolderToolbar() {
    SetEnabled(this, {1, 2, 3, 4}, false);
    SetEnabled(this, {6, 7, 13, 14, 15, 16}, true);
}

void MDIQuorl::FileToolbar(bool anyTagged) {
    // The tagged-file buttons follow the tags, also when the last one goes.
    SetEnabled(this, {1, 2, 3, 4}, anyTagged);
    SetEnabled(this, {6, 7, 13, 14, 15, 16}, false);
}

void MDIQuorl::DriveWindowOpened() {
    button("tbRelog")->setEnabled(true);
    menu("mnuFile")->menuAction()->setVisible(false);
    menu("mnuFolder")->menuAction()->setVisible(true);
    menu("mnuWindow")->menuAction()->setVisible(true);
    StatusBar->show();
}

void MDIQuorl::LastDriveWindowClosed() {
    menu("mnuFile")->menuAction()->setVisible(false);
    menu("mnuFolder")->menuAction()->setVisible(false);
    SetEnabled(this, {1, 2, 3, 4, 6, 7, 10, 13, 14, 15, 16}, false);
    if (OpenDriveCount == 0 && isVisible()) StatusBar->hide();
}

void MDIQuorl::RefreshToolbar() {
    frmBrws* w = OpenDriveCount > 0 ? ActiveDriveWindow() : nullptr;
    if (!w) return;
    if (CurrentDriveSlot().FocusPane == Pane::Files) w->FileToolbar();
    else w->FolderToolbar();
}

void MDIQuorl::buildMenus() {
    QMenu* parents[4] = {};
    const int count = int(sizeof(menuTree) / sizeof(menuTree[0]));
    for (int i = 0; i < count; ++i) {
        const MenuEntry& e = menuTree[i];
        const bool hasChildren = i + 1 < count && menuTree[i + 1].depth > e.depth;
        if (QString(e.caption) == "-") {
            QAction* sep = parents[e.depth - 1]->addSeparator();
            sep->setObjectName(e.name);
            continue;
        }
        if (hasChildren) {
            QMenu* m = e.depth == 0 ? menuBar()->addMenu(e.caption) : parents[e.depth - 1]->addMenu(e.caption);
            m->setObjectName(e.name);
            m->menuAction()->setObjectName(e.name);
            menus_.insert(e.name, m);
            items_.insert(e.name, m->menuAction());
            parents[e.depth] = m;
            continue;
        }
        QAction* a = parents[e.depth - 1]->addAction(e.caption);
        a->setObjectName(e.name);
        if (*e.shortcut) a->setShortcut(QKeySequence(e.shortcut));
        items_.insert(e.name, a);
    }
    QAction* toolbarItem = item("mnuViewToolBar");
    toolbarItem->setCheckable(true);
    toolbarItem->setChecked(true);
    connect(toolbarItem, &QAction::triggered, this, [this] { mnuViewToolBar_Click(); });
    connect(item("mnuExit"), &QAction::triggered, this, [this] { mnuExit_Click(); });
    // The window list of the Window menu follows the open drive windows.
    connect(menu("mnuWindow"), &QMenu::aboutToShow, this, [this] {
        QMenu* m = menu("mnuWindow");
        for (QAction* a : m->actions())
            if (a->property("windowList").toBool()) m->removeAction(a), a->deleteLater();
        const QList<QMdiSubWindow*> subs = MdiArea->subWindowList();
        if (!subs.isEmpty()) m->addSeparator()->setProperty("windowList", true);
        for (int i = 0; i < subs.size(); ++i) {
            QMdiSubWindow* sub = subs[i];
            QAction* a = m->addAction(QString("&%1 %2").arg(i + 1).arg(sub->windowTitle()));
            a->setProperty("windowList", true);
            a->setCheckable(true);
            a->setChecked(sub == MdiArea->activeSubWindow());
            connect(a, &QAction::triggered, this, [this, sub] { MdiArea->setActiveSubWindow(sub); });
        }
    });
}

void MDIQuorl::mnuExit_Click() { SaveDesktopAndExit(); }

void MDIQuorl::mnuViewToolBar_Click() { Toolbar->setVisible(item("mnuViewToolBar")->isChecked()); }

bool MDIQuorl::event(QEvent* event) {
    // The status bar shows what the program is doing ("User" when idle); the
    // menus' status tips, empty, would wipe that text as the pointer passes.
    if (event->type() == QEvent::StatusTip) return true;
    return QMainWindow::event(event);
}

void MDIQuorl::closeEvent(QCloseEvent* event) {
    SaveDesktopAndExit();
    event->accept();
}
