#include "browse/frmBrws.h"
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include "browse/freespace.h"
#include "ui/errors.h"
#include "ui/prompter.h"
#include "browse/filelist.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/paths.h"
#include "platform/volume.h"
#include "browse/hooks.h"
#include "ui/keycodes.h"
#include "ui/mainwindow.h"
#include "ui/toolbaricons.h"
#include "browse/shownnames.h"
#include "browse/spoken.h"
#include "browse/tagging.h"

const QString RootFolderMessage = QStringLiteral("Can't remove / rename root folder");

namespace {
// Layout in pixels: the design's twips at 15 twips a pixel.
constexpr int BaseWidth = 640;
constexpr int MinHeight = 236;
constexpr int PathHeight = 21;
constexpr int DosHeight = 26;
constexpr int PanelHeight = 25;
constexpr int RowStep = 24;
constexpr int StatusHeight = 2 * RowStep + PanelHeight + 2;
constexpr int GroupDirBase = 225, DirListBase = 209, GroupFileBase = 417, FileListBase = 401;
constexpr int KeypadPlus = 107, KeypadMinus = 109;
constexpr int ListMargin = 8;   // the design's 240 twips between a list and its frame, halved on each side

struct PanelDesign {
    const char* caption;
    int row;
    int width;
};
const PanelDesign panelDesign[11] = {
    {"File specification :", 0, 177}, {"Matching files :", 0, 129}, {"Matching bytes :", 0, 169},
    {"Available bytes :", 0, 169},    {"Tagged files :", 1, 121},   {"Tagged bytes :", 1, 161},
    {"File bytes :", 1, 137},         {"File date :", 1, 121},      {"File time :", 1, 105},
    {"File attributes :", 2, 113},    {"File :", 2, 529},
};

QFrame* MakeGroup(QWidget* parent, const char* name) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return f;
}

DriveSlot& MySlot(const frmBrws* w) { return Slot(w->GetFormNumber()); }
}  // namespace

frmBrws::frmBrws(QWidget* parent) : QWidget(parent) {
    setObjectName("frmBrws");
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
}

void frmBrws::buildControls() {
    Path3D = new QLabel(" Path :", this);
    Path3D->setObjectName("Path3D");
    Path3D->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    GroupDirList = MakeGroup(this, "GroupDirList");
    DirList = new QTreeWidget(GroupDirList);
    DirList->setObjectName("DirList");
    DirList->setHeaderHidden(true);
    DirList->setColumnCount(1);
    DirList->setSelectionMode(QAbstractItemView::SingleSelection);
    DirList->setEditTriggers(QAbstractItemView::NoEditTriggers);

    GroupFileList = MakeGroup(this, "GroupFileList");
    FileList = new QListWidget(GroupFileList);
    FileList->setObjectName("FileList");
    FileList->setSelectionMode(QAbstractItemView::MultiSelection);
    FileList->setUniformItemSizes(true);

    picTxtDos = new QWidget(this);
    picTxtDos->setObjectName("picTxtDos");
    Label1 = new QLabel("DOS command :", picTxtDos);
    Label1->setObjectName("Label1");
    txtDos = new QLineEdit(picTxtDos);
    txtDos->setObjectName("txtDos");

    GroupStatus = MakeGroup(this, "GroupStatus");
    GroupStatus->setFrameStyle(QFrame::NoFrame);
    for (int i = 0; i < 11; ++i) {
        stsFileInfo[i] = new QLabel(panelDesign[i].caption, GroupStatus);
        stsFileInfo[i]->setObjectName(QString("stsFileInfo%1").arg(i));
        stsFileInfo[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        stsFileInfo[i]->setIndent(3);
    }

    // A click does not move the focus by itself: the left button gives it in
    // the panes' own handlers, and a right click leaves it where it is, so that
    // the pop-up menu is the one of the pane that has it.
    DirList->setFocusPolicy(Qt::TabFocus);
    FileList->setFocusPolicy(Qt::TabFocus);
    // A screen reader names the panes by what they show (set as the drive is
    // logged and the folder changes); the tree's one column header, hidden on
    // screen, is still read out.
    DirList->setHeaderLabel("Folders");
    Label1->setBuddy(txtDos);
    txtDos->setAccessibleName("DOS command");
    SpeakTags(FileList);

    for (QWidget* wdg : {static_cast<QWidget*>(DirList), DirList->viewport(), static_cast<QWidget*>(FileList),
                         FileList->viewport(), static_cast<QWidget*>(txtDos)})
        wdg->installEventFilter(this);

    connect(DirList, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { dirlist_NodeClick(current); });
    connect(DirList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node, int) {
        if (MySlot(this).LabelEdit) dirlist_AfterLabelEdit(node);
    });
    // An edit left with Esc changes nothing but ends the edit state.
    connect(DirList->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { MySlot(this).LabelEdit = 0; });
    connect(DirList, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* n) { dirlist_expand(n); });
    connect(DirList, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* n) { dirlist_Collapse(n); });
    connect(FileList, &QListWidget::itemSelectionChanged, this, [this] { filelist_click(); });
    // The file panels follow the list's current item whenever the list is the
    // pane in use, also while a dialog or a run holds the slot's focus pane.
    connect(FileList, &QListWidget::currentRowChanged, this, [this](int) {
        if (MySlot(this).FocusPane == Pane::Files || focusWidget() == FileList) ShowCurrentFile(this);
    });
    resize(BaseWidth, 400);
}

QMdiSubWindow* frmBrws::SubWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

int frmBrws::GetFormNumber() const { return ::GetFormNumber(this); }

void frmBrws::EmptyFileInfo() {
    for (int i = 6; i <= 10; ++i) stsFileInfo[i]->setText(panelDesign[i].caption);
}

void frmBrws::SetFormIcon() {
    const QString drive = MySlot(this).Drive;
    if (drive.isEmpty()) return;
    const char* name = "unknown";
    switch (platform::DriveType(drive.at(0))) {
    case platform::drivetype::Removable: name = "drive1"; break;
    case platform::drivetype::NoRoot:
    case platform::drivetype::Fixed: name = "drive2"; break;
    case platform::drivetype::CdRom: name = "drive3"; break;
    default: break;
    }
    QString host;
    if (platform::DosToHost(Settings[setting::ProgramFolder].toString() + "\\" + name + ".ico", &host) == 0) setWindowIcon(QIcon(host));
}

void frmBrws::ResizeFileInfo(int e) {
    const int extra = 4 * e;
    const int share[3] = {e, extra / 5, extra / 2};
    int left[3] = {0, 0, 0};
    for (int i = 0; i < 11; ++i) {
        const int row = panelDesign[i].row;
        const int width = panelDesign[i].width + share[row];
        stsFileInfo[i]->setGeometry(left[row], row * RowStep, width, PanelHeight);
        left[row] += width - 1;
    }
}

void frmBrws::ClearFileList() {
    const QuietSelection quiet(MySlot(this));
    FileList->clear();
}

void frmBrws::SetFileColumns(int columns) {
    fileColumns_ = qBound(1, columns, 4);
    if (fileColumns_ == 1) {
        FileList->setFlow(QListView::TopToBottom);
        FileList->setWrapping(false);
        FileList->setGridSize(QSize());
    } else {
        FileList->setFlow(QListView::TopToBottom);
        FileList->setWrapping(true);
        const int width = qMax(40, (FileList->viewport()->width() - 2) / fileColumns_);
        FileList->setGridSize(QSize(width, FileList->fontMetrics().height() + 2));
    }
}

void frmBrws::Form_Load() {
    SetFormIcon();
    ShowAvailableBytes(this);
    stsFileInfo[0]->setText(FileSpecPanelText(MySlot(this).FileSpec).left(38));
    RememberedIndex = -1;
    DriveSlot& slot = MySlot(this);
    ClearFolderLines(slot);
    ClearFolderIndex(slot);
    ClearNodeMap(slot);
    FoldersToRelog.clear();
    loaded_ = true;
}

void frmBrws::Form_Activate() {
    CurrentSlot = GetFormNumber();
    DriveSlot& slot = MySlot(this);
    if (!WaitForDrive(slot.Drive)) return;
    if (slot.FocusPane == Pane::Tree && DirList->isVisible()) GiveFocus(DirList);
    HandleFoldersToRelog(this);
}

void frmBrws::Form_Resize() {
    if (isMinimized()) return;
    const DriveSlot& slot = MySlot(this);
    const int H = qMax(height(), MinHeight);
    int W = width();
    if (QMdiSubWindow* sub = SubWindow(); sub && sub->isMaximized()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const int screenWidth = screen ? screen->size().width() : W;
        const QMainWindow* main = MainWindow();
        if (main && screenWidth >= main->width()) W = qMin(W, screenWidth);
    }
    Path3D->setGeometry(0, 0, W, PathHeight);
    GroupStatus->setGeometry(0, H - StatusHeight, W, StatusHeight);
    picTxtDos->setGeometry(0, GroupStatus->y() - DosHeight, W, DosHeight);
    Label1->setGeometry(4, 3, Label1->sizeHint().width() + 4, DosHeight - 6);
    txtDos->setGeometry(Label1->x() + Label1->width(), 2, W - Label1->x() - Label1->width() - 10, DosHeight - 4);

    const int groupTop = PathHeight;
    const int groupHeight = picTxtDos->y() - groupTop + 1;
    if (slot.GlobalView) {
        const int width = qMax(W, BaseWidth);
        GroupFileList->setGeometry(0, groupTop, width, groupHeight);
        FileList->setGeometry(ListMargin, ListMargin, width - 2 * ListMargin, groupHeight - 2 * ListMargin);
        ResizeFileInfo(W >= BaseWidth ? (W - BaseWidth) / 4 : 0);
    } else {
        const int extra = W >= BaseWidth ? (W - BaseWidth) / 2 : 0;
        GroupDirList->setGeometry(0, groupTop, GroupDirBase + extra, groupHeight);
        DirList->setGeometry(ListMargin, ListMargin, DirListBase + extra, groupHeight - 2 * ListMargin);
        GroupFileList->setGeometry(GroupDirList->x() + GroupDirList->width(), groupTop, GroupFileBase + extra,
                                   groupHeight);
        FileList->setGeometry(ListMargin, ListMargin, FileListBase + extra, groupHeight - 2 * ListMargin);
        ResizeFileInfo(W >= BaseWidth ? (W - BaseWidth) / 4 : 0);
    }
    SetFileColumns(fileColumns_);
}

void frmBrws::Form_Unload() {
    if (!loaded_) return;
    loaded_ = false;
    const int n = GetFormNumber();
    if (n < 1 || n > OpenDriveCount) return;
    for (int i = n; i < OpenDriveCount; ++i) DriveSlots[i] = DriveSlots[i + 1];
    DriveSlot& last = DriveSlots[OpenDriveCount];
    ClearSlot(last);
    last.FocusPane = Pane::Tree;
    FoldersToRelog.clear();
    OpenDriveCount -= 1;
    if (CurrentSlot > OpenDriveCount) CurrentSlot = OpenDriveCount;
    if (OpenDriveCount == 0) {
        CurrentSlot = 0;
        Slot(0).FileSpec = "*.*";
        const QString programFolder = Settings[setting::ProgramFolder].toString();
        if (!programFolder.isEmpty()) {
            platform::ChangeDrive(programFolder.at(0));
            platform::ChangeFolder(programFolder);
        }
        CallHook(Hooks().lastDriveWindowClosed);
    }
}

void frmBrws::Form_KeyDown(int& keyCode, int& shift) {
    DriveSlot& slot = MySlot(this);
    if (slot.FocusPane == Pane::Dos) return;
    slot.TreeClick = 0;
    if (slot.LabelEdit) return;
    CallHook(Hooks().keyDown, this, keyCode, shift);
}

void frmBrws::Form_KeyPress(QChar& key) {
    const DriveSlot& slot = MySlot(this);
    if (slot.FocusPane == Pane::Dos || slot.LabelEdit) return;
    if (key == '?') CallHook(Hooks().showDriveInfo);
    key = QChar();
}

void frmBrws::dirlist_GotFocus() {
    CallHook(Hooks().folderMode);
    FolderToolbar();
    MySlot(this).FocusPane = Pane::Tree;
    EmptyFileInfo();
}

void frmBrws::dirlist_NodeClick(QTreeWidgetItem* node) {
    if (node) ShowFolderFiles(this, node);
}

void frmBrws::dirlist_DblClick() { LogFolder(this, SelectedNodeIndex(), false, true); }

// Expanding and collapsing count as the user's only while the tree is the
// window's pane; the program's own expansions do not log anything.
bool frmBrws::TreeIsActivePane() const { return DirList->hasFocus() || MySlot(this).FocusPane == Pane::Tree; }

void frmBrws::dirlist_expand(QTreeWidgetItem* node) {
    if (!TreeIsActivePane()) return;
    SetBusy();
    SetStatus("Expanding folder...");
    ExpandFolder(this, NodeIndex(node));
    // Collapsing the selected folder emptied the list; opened again, it shows
    // the names once more.
    if (node == DirList->currentItem()) ShowFolderFiles(this, node);
    EndBusy();
}

void frmBrws::dirlist_Collapse(QTreeWidgetItem* node) {
    SetNodeImage(node, false);
    if (!TreeIsActivePane() || node != DirList->currentItem() || node->childCount() == 0) return;
    ShowPath(this, FullPath(node));
    ClearFileList();
}

void frmBrws::filelist_GotFocus() {
    CallHook(Hooks().fileMode);
    DriveSlot& slot = MySlot(this);
    slot.FocusPane = Pane::Files;
    FileToolbar();
    if (FileList->count() > 0 && !slot.GlobalView) {
        slot.FirstFileLine = LookupFolderLine(slot, slot.CurrentPath) + 1;
        if (FileList->currentRow() < 0) FileList->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        ShowCurrentFile(this);
    }
}

void frmBrws::filelist_click() {
    const DriveSlot& slot = MySlot(this);
    if (slot.SelectingFiles) return;
    SyncTagsWithList(this);
}

void frmBrws::FileList_DblClick() {
    QListWidgetItem* item = FileList->currentItem();
    if (!item) return;
    bool state = item->isSelected();
    SelectDeselectFile(state);
    item->setSelected(state);
    CallHook(Hooks().openFile, this);
}

// Enter runs the command and empties the box; Esc only empties it. The text
// keeps its case: the command decides which words it lower-cases.
void frmBrws::txtDOS_KeyPress(bool enter) {
    const QString text = txtDos->text().trimmed();
    txtDos->clear();
    if (enter && !text.isEmpty()) CallHook(Hooks().dosCommand, this, text);
}

void frmBrws::GiveFocus(QWidget* control) {
    control->setFocus();
    if (!isActiveWindow() && focusWidget() == control) FollowRealPane(control);
}

// The pane that has the window's focus is the one the user sees focused and
// the one keys go to; the slot's FocusPane follows it, whatever focus events
// came or did not come.
void frmBrws::FollowRealPane(QWidget* control) {
    const Pane pane = control == DirList    ? Pane::Tree
                      : control == FileList ? Pane::Files
                      : control == txtDos   ? Pane::Dos
                                            : Pane::Dialog;
    if (pane == Pane::Dialog || MySlot(this).FocusPane == pane) return;
    if (pane == Pane::Tree) dirlist_GotFocus();
    else if (pane == Pane::Files) filelist_GotFocus();
    else txtDOS_GotFocus();
}

void frmBrws::txtDOS_GotFocus() {
    MySlot(this).FocusPane = Pane::Dos;
    txtDos->selectAll();
}

void frmBrws::SelectDeselectFile(bool& state) { ::SelectDeselectFile(this, state); }

void frmBrws::FileToolbar() {
    CallHook(Hooks().fileToolbar, !FileList->selectedItems().isEmpty());
}

void frmBrws::FolderToolbar() {
    CallHook(Hooks().folderToolbar);
}

void frmBrws::StartLabelEdit() {
    QTreeWidgetItem* node = DirList->currentItem();
    if (!node) return;
    if (NodeIndex(node) == 1) {
        ShowMessage(RootFolderMessage, MsgStyle::Critical, "Error");
        return;
    }
    MySlot(this).LabelEdit = -1;
    labelBeforeEdit_ = node->text(0);
    DirList->editItem(node);
}

void frmBrws::dirlist_AfterLabelEdit(QTreeWidgetItem* node) {
    // Text left as it was shown is no new name, whatever look-alikes it holds.
    const QString typed = node->text(0) == labelBeforeEdit_ ? NodeName(node) : node->text(0).toLower();
    MySlot(this).LabelEdit = 0;
    {
        // The tree's own change is always taken back; the rename sets the text.
        const QSignalBlocker block(DirList);
        node->setText(0, labelBeforeEdit_);
    }
    if (typed != NodeName(node)) CallHook(Hooks().renameFolder, this, typed);
}

void frmBrws::LeaveGlobalView() {
    DirList->setEnabled(true);
    GroupDirList->show();
    GiveFocus(DirList);
    ClearFileList();
    ClearGlobalList(MySlot(this));
    Form_Resize();
    ShowFolderFiles(this, DirList->currentItem());
    GiveFocus(DirList);
    // The file panels spoke of a line of the view, which is gone.
    EmptyFileInfo();
}

void frmBrws::ShowGlobalView() {
    GroupDirList->hide();
    DirList->setEnabled(false);
    Form_Resize();
}

bool frmBrws::eventFilter(QObject* watched, QEvent* event) {
    const bool inTree = watched == DirList || watched == DirList->viewport();
    const bool inList = watched == FileList || watched == FileList->viewport();
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == DirList) dirlist_GotFocus();
        else if (watched == FileList) filelist_GotFocus();
        else if (watched == txtDos) txtDOS_GotFocus();
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == DirList || watched == FileList || watched == txtDos) FollowRealPane(static_cast<QWidget*>(watched));
        if (watched == txtDos) {
            if (key->key() == Qt::Key_Q && ShiftState(key->modifiers()) == 4) CallHook(Hooks().quitAtOnce);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape) {
                txtDOS_KeyPress(key->key() != Qt::Key_Escape);
                return true;
            }
            break;
        }
        if (!inTree && !inList) break;
        int code = VirtualKeyCode(key);
        int shift = ShiftState(key->modifiers());
        // Keys without a code of their own ("?", digits, punctuation) still type
        // a character, which the key press below must see and swallow.
        if (code != 0) {
            Form_KeyDown(code, shift);
            if (code == 0) return true;
            // The tree opens and closes a folder on keypad + and - as the key goes
            // down, before the character they type would be swallowed.
            if (inTree && shift == 0 && (code == KeypadPlus || code == KeypadMinus)) break;
        }
        QChar ch = key->text().isEmpty() ? QChar() : key->text().at(0);
        if (ch.isPrint() && !ch.isSpace()) {
            Form_KeyPress(ch);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        DriveSlot& slot = MySlot(this);
        if (watched == DirList->viewport()) {
            if (mouse->button() == Qt::LeftButton) {
                slot.TreeClick = -1;
                CurrentSlot = GetFormNumber();
                DirList->setFocus();
            } else if (mouse->button() == Qt::RightButton) {
                if (slot.FocusPane == Pane::Tree) CallHook(Hooks().popupMenu, "mnuFolder", mouse->globalPosition().toPoint());
                return true;
            }
        } else if (watched == FileList->viewport()) {
            if (mouse->button() == Qt::LeftButton && FileList->count() > 0) {
                CurrentSlot = GetFormNumber();
                FileList->setFocus();
                QListWidgetItem* item = FileList->itemAt(mouse->position().toPoint());
                if (!item) return true;
                FileList->setCurrentItem(item, QItemSelectionModel::NoUpdate);
                FileListMouseDown(this, FileList->row(item), ShiftState(mouse->modifiers()));
                slot.TreeClick = -1;
                return true;
            }
            if (mouse->button() == Qt::RightButton) {
                if (slot.FocusPane == Pane::Files) CallHook(Hooks().popupMenu, "mnuFile", mouse->globalPosition().toPoint());
                return true;
            }
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        // A click on a folder reads its files, whatever the logging method;
        // moving through the tree with the keys only shows what is logged.
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == DirList->viewport() && mouse->button() == Qt::LeftButton && !MySlot(this).LabelEdit) {
            QTreeWidgetItem* item = DirList->itemAt(mouse->position().toPoint());
            if (item && item == DirList->currentItem()) LogFolder(this, NodeIndex(item), false, true);
        }
        break;
    }
    case QEvent::MouseButtonDblClick: {
        if (watched == DirList->viewport()) {
            dirlist_DblClick();
            return true;
        }
        if (watched == FileList->viewport()) {
            FileList_DblClick();
            return true;
        }
        break;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void frmBrws::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmBrws::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}
