#pragma once

#include "browse/filelist.h"

class frmBrws;

// What the program does with a file the user wants to view, hear or open: the
// table of supported file types, read afresh on each call, sends it to the
// picture viewer, the media player, the help or font viewer, or the text
// viewer; a double-clicked file that no viewer takes is executed. Works on the
// current file of the window's list, or walks all its tagged files.
// View shows a file, Hear plays it; Open (a double click) views it or, when no
// viewer takes it, executes it.
enum class ShowMode { View, Hear, Open };
void ShowFiles(frmBrws* w, FileScope scope, ShowMode mode);

// The message for a file that has nothing to play it.
inline constexpr const char* CantPlayMessage = "Can't play this file. Use a file association for it";
