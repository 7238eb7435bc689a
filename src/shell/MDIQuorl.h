#pragma once
#include <QHash>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QVector>

// The main window: the frame that holds the drive windows, with the menu bar,
// the toolbar and the status bar.
inline const QString ProductName = QStringLiteral("Disk Rorediva 1.0");

class MDIQuorl : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIQuorl(QWidget* parent = nullptr);

    QMdiArea* MdiArea = nullptr;
    QToolBar* Toolbar = nullptr;
    QStatusBar* StatusBar = nullptr;

    // Menus and items by their control names ("mnuFile", "mnuExit", ...).
    QMenu* menu(const QString& name) const { return menus_.value(name); }
    QAction* item(const QString& name) const { return items_.value(name); }

    // Toolbar buttons by index 1 to 23 (5, 8, 12 and 17 are separators) and by key.
    QAction* button(int index) const { return index > 0 && index < buttons_.size() ? buttons_[index] : nullptr; }
    QAction* button(const QString& key) const;

    void mnuExit_Click();
    void mnuViewToolBar_Click();

    // Pane focus in a drive window switches the menus and the toolbar.
    void FolderMode();
    void FileMode();
    void FileToolbar(bool anyTagged);
    void FolderToolbar();
    void DriveWindowOpened();
    void LastDriveWindowClosed();
    void RefreshToolbar();
    // Enabling rules, applied when a menu opens.
    void UpdateFileMenu();
    void UpdateFolderMenu();
    void UpdateDriveMenu();
    void UpdateWindowMenu();
    void TileVertically();
    void TileHorizontally();
    void Cascade();

protected:
    void closeEvent(QCloseEvent* event) override;   // MDIForm_Unload
    bool event(QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void connectCommands();
    void Toolbar_ButtonClick(int index);
    QVector<QAction*> buttons_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, QAction*> items_;
};

// The one main window of the program, once start-up has loaded it.
MDIQuorl* MainForm();
void SetMainForm(MDIQuorl* form);
