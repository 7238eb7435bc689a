#pragma once
#include "ui/keycodes.h"

class frmBrws;

// The main key table, then the keys that belong to one pane. A swallowed key
// has both its code and its shift state set to 0.
void KeyDispatcher(frmBrws* w, int& keyCode, int& shift);
void PaneKeyHandler(frmBrws* w, int& keyCode, int& shift);
void LetterSearch(frmBrws* w, int keyCode);

class QMainWindow;
// The desktop's keys for the drive windows, from any pane: Ctrl+F4 closes the
// active one as its close box does; Ctrl+F6 and Ctrl+Tab bring forward the next
// one in the order they were opened.
void InstallWindowKeys(QMainWindow* main);
