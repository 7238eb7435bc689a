#pragma once
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <QVector>
#include <QWidget>

class QMdiSubWindow;

// The answer to renaming or removing a drive's root, in the tree or by command.
extern const QString RootFolderMessage;

// The drive window: the folder tree of one logged drive, the file list of the
// selected folder, the status panels, the path line and the DOS command box.
// Everything it shows comes from its drive slot.
class frmBrws : public QWidget {
    Q_OBJECT
public:
    explicit frmBrws(QWidget* parent = nullptr);

    QFrame* GroupDirList = nullptr;
    QFrame* GroupFileList = nullptr;
    QFrame* GroupStatus = nullptr;
    QTreeWidget* DirList = nullptr;
    QListWidget* FileList = nullptr;
    QLabel* stsFileInfo[11] = {};
    QLabel* Path3D = nullptr;
    QWidget* picTxtDos = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtDos = nullptr;

    // Tree nodes by their index; indexes stay the same for the life of the tree
    // (a removed node leaves an empty place). Index 1 is the root.
    QTreeWidgetItem* Node(int index) const;
    int NodeIndex(const QTreeWidgetItem* item) const;
    int AddNode(QTreeWidgetItem* parent, const QString& name);   // returns the new index
    void RemoveNode(int index);
    void ClearNodes();
    QString FullPath(const QTreeWidgetItem* item) const;
    int SelectedNodeIndex() const;
    // Whether the subfolders of a node's folder were read into the tree.
    bool SubfoldersRead(const QTreeWidgetItem* item) const;
    void MarkSubfoldersRead(QTreeWidgetItem* item);
    void SetNodeImage(QTreeWidgetItem* item, bool opened);

    // The MDI frame around this window (null when shown on its own in tests).
    QMdiSubWindow* SubWindow() const;
    QString Caption() const { return windowTitle(); }

    void EmptyFileInfo();
    void SetFormIcon();
    int GetFormNumber() const;
    void ResizeFileInfo(int extraPx);
    void SelectDeselectFile(bool& state);
    void FileToolbar();
    void FolderToolbar();
    void SetFileColumns(int columns);
    // Moves the keyboard to a pane (DirList, FileList or txtDos). The pane the
    // user sees focused is the one the slot's FocusPane names, also while the
    // window is inactive and no focus event comes.
    void GiveFocus(QWidget* control);
    // Empties the file list without its selection change reading as untagging.
    void ClearFileList();
    int FileColumns() const { return fileColumns_; }

    // Starts the rename of the selected folder in the tree; the root is refused.
    void StartLabelEdit();
    // The tree gives way to a list across the window, and comes back.
    void ShowGlobalView();
    void LeaveGlobalView();

    // The remembered list index of the last left click (-1 after loading).
    int RememberedIndex = -1;

    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    // Key code and shift state as the dispatcher takes them; both are cleared
    // when the key is swallowed.
    void Form_KeyDown(int& keyCode, int& shift);
    void Form_KeyPress(QChar& key);

    void dirlist_GotFocus();
    void dirlist_NodeClick(QTreeWidgetItem* node);
    void dirlist_DblClick();
    void dirlist_expand(QTreeWidgetItem* node);
    void dirlist_Collapse(QTreeWidgetItem* node);
    void dirlist_AfterLabelEdit(QTreeWidgetItem* node);
    void filelist_GotFocus();
    void filelist_click();
    void FileList_DblClick();
    void txtDOS_GotFocus();
    void txtDOS_KeyPress(bool enter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    bool TreeIsActivePane() const;
    void FollowRealPane(QWidget* control);
    QVector<QTreeWidgetItem*> nodes_{nullptr, nullptr};
    QVector<bool> subfoldersRead_;   // by node index
    int fileColumns_ = 1;
    QString labelBeforeEdit_;
    bool loaded_ = false;
};

// Drive windows of the main window, in slot order is not guaranteed: use the
// slot's WindowKey to find a window.
QList<frmBrws*> DriveWindows();
frmBrws* ActiveDriveWindow();
frmBrws* DriveWindowOfSlot(int slot);
// Brings forward the drive window whose caption is exactly the text.
void SwitchToWindow(const QString& caption);
