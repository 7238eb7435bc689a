#pragma once
#include <QString>
#include <functional>

class frmBrws;

// Starting other programs without waiting: the accessories and settings
// panels of the Tools menu and the toolbar, a file's own program and the
// program associated with its extension.

// Starts a command line in the current folder and goes on; a failure to start
// shows its message (a missing program: file not found).
void RunExternal(const QString& commandLine);

// The Execute command on the current entry of the window's file list: a
// program file runs by itself, any other file with the program associated with
// its extension. Without an association the user is told and the associations
// dialog opens. This is also what a double click on a file no viewer takes does.
void ExecuteFile(frmBrws* w);

// Runs a file of the window's list with a program, or by itself when the
// program is the file's own name; a shortcut opens through the desktop.
void OpenWith(frmBrws* w, const QString& fileName, const QString& program);

// The associations dialog, installed by the main window once it exists.
void SetAssociationsDialog(std::function<void()> show);

// Command lines of the Tools menu ("notepad.exe") and of the settings panels
// of the toolbar ("desk.cpl").
QString AccessoryCommandLine(const QString& programName);
QString ControlPanelCommandLine(const QString& appletName);
// Starts a settings panel ("desk.cpl") with its command line; a panel the
// machine has no program for gives the file-not-found message.
void RunControlPanel(const QString& appletName);
