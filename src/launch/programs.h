#pragma once
#include <QString>
#include <QStringList>
#include "platform/errors.h"

// Turning a DOS command line into a process: the program is looked up as DOS
// paths are, its arguments become an argv (never a shell's text), and a
// program that needs a console runs inside the desktop's terminal emulator.

struct StartPlan {
    QString program;          // host path of what is executed
    QStringList arguments;
    QString workingFolder;    // host folder the process starts in
    bool console = false;     // the command interpreter: it needs a terminal
};

// The folders a bare program name is looked up in after the current folder:
// the Windows folder, the system folder and the program folder.
QStringList ProgramSearchPath();

// Host path of the program a command word names: a word with a drive or a
// backslash is taken where it points; a bare name in the current folder, then
// along the search path. `extensions` are tried in order after the name as
// given ("" for the name itself). A found file must be executable, unless it is
// a batch file. Empty when nothing is found.
QString FindProgram(const QString& word, const QString& currentFolder, const QStringList& extensions);

// The plan for a command line typed or built for the current folder (a DOS
// path). A batch file runs through the interpreter. 53 when the program or
// the interpreter is missing, 76 when the folder is gone.
ErrorCode PlanCommandLine(const QString& line, const QString& currentFolder, StartPlan* plan);

// The terminal emulator consoles run in: the program named by QUORL_TERMINAL
// when set, else x-terminal-emulator, else xterm; empty when none is there.
QString TerminalEmulator();

// Starts the plan and does not wait; a console plan starts the terminal
// emulator with "-e" and the program. 53 when it could not be started.
// *processId receives the started task's id.
ErrorCode StartDetached(const StartPlan& plan, qint64* processId = nullptr);
