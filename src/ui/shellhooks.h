#pragma once
#include <QStatusBar>
#include <functional>

// The main window hands the shared routines its status bar and a way to give the
// active drive window's folder tree the focus back.
void SetStatusBarWidget(QStatusBar* bar);
void SetTreeFocusHandler(std::function<void()> handler);
