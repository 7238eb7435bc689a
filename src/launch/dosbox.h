#pragma once
#include <QString>

class frmBrws;
struct DriveSlot;

// The DOS command box of a drive window and the MS-DOS window.

// Runs a command typed in the window's DOS box: folder commands against the
// logged tree, captured commands into the viewer, anything else as a program.
void RunDosCommand(frmBrws* w, const QString& text);

// Starts a command line in the folder without waiting, trying it as typed,
// then with ".com", then with ".bat" through the interpreter. `attempt` ends
// as the last attempt made, 4 when all failed. Returns the started task's
// id, 0 when nothing started.
qint64 LaunchProgram(const QString& commandLine, int& attempt, const QString& folder);

// The "Open MSDOS window" command: the interpreter in a console, on drive C:.
void OpenDosWindow();

// Tree node index of a logged folder of the slot, -1 when it has none.
int FindFolderNode(const DriveSlot& slot, const QString& path);
