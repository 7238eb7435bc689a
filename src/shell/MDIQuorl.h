#pragma once
#include <QHash>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

// The main window: the frame that holds the drive windows, with the menu bar,
// the toolbar and the status bar.
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

    void mnuExit_Click();
    void mnuViewToolBar_Click();

protected:
    void closeEvent(QCloseEvent* event) override;   // MDIForm_Unload

private:
    void buildMenus();
    QHash<QString, QMenu*> menus_;
    QHash<QString, QAction*> items_;
};

// The one main window of the program, once start-up has loaded it.
MDIQuorl* MainForm();
void SetMainForm(MDIQuorl* form);
