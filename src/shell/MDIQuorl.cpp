#include "shell/MDIQuorl.h"
#include <QCloseEvent>
#include <QMenuBar>
#include "fileops/shellhooks.h"
#include "shell/startup.h"

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
}  // namespace

MDIQuorl* MainForm() { return mainForm; }
void SetMainForm(MDIQuorl* form) { mainForm = form; }

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
    SetStatusBarWidget(StatusBar);
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
}

void MDIQuorl::mnuExit_Click() { SaveDesktopAndExit(); }

void MDIQuorl::mnuViewToolBar_Click() { Toolbar->setVisible(item("mnuViewToolBar")->isChecked()); }

void MDIQuorl::closeEvent(QCloseEvent* event) {
    SaveDesktopAndExit();
    event->accept();
}
