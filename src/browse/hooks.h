#pragma once
#include <QPoint>
#include <QString>
#include <functional>

class frmBrws;

// What the drive window and logging ask of the main window and of the commands
// above them. The main window installs these when it is loaded; a hook left
// empty does nothing.
struct DriveWindowHooks {
    // The keyboard dispatcher: the main key table, then the pane's own keys.
    std::function<void(frmBrws*, int& keyCode, int& shift)> keyDown;
    std::function<void()> showDriveInfo;                          // "?" in a pane
    std::function<void()> quitAtOnce;                             // Alt+Q in the DOS box
    std::function<void(frmBrws*, const QString&)> dosCommand;     // Enter in the DOS box
    std::function<void(frmBrws*, const QString&)> renameFolder;   // a folder's label edited
    // Menus and toolbar follow the pane that has the focus.
    std::function<void()> folderMode;
    std::function<void()> fileMode;
    std::function<void(bool anyTagged)> fileToolbar;
    std::function<void()> folderToolbar;
    std::function<void()> refreshToolbar;
    std::function<void()> driveWindowOpened;
    std::function<void()> lastDriveWindowClosed;
    std::function<void(const QString& menu, const QPoint& at)> popupMenu;
    // A double-clicked file: viewed, or executed when no viewer takes it.
    std::function<void(frmBrws*)> openFile;
};

DriveWindowHooks& Hooks();

// Calls a hook when one is installed.
template <typename Hook, typename... Args>
void CallHook(const Hook& hook, Args&&... args) {
    if (hook) hook(std::forward<Args>(args)...);
}
