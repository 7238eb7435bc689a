#pragma once
#include <QMainWindow>
#include <QMdiArea>

// The main window as the floors below it see it: the parent of every dialog and
// the area that holds the drive windows. The main window registers itself at
// start-up; both are null before that and in tests that run without it.
QMainWindow* MainWindow();
QMdiArea* DriveWindowArea();
void SetMainWindow(QMainWindow* frame, QMdiArea* area);
