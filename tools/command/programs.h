#pragma once
// Anything that is not an internal command is a program: a batch file run here,
// or a Linux executable started with QProcess (an argv, never a shell).
#include <QString>
#include <QStringList>
#include "shell.h"

namespace command {

struct Program {
    QString dosPath;
    QString hostPath;
    bool batch = false;
    bool projectTool = false;   // a quorl-* tool: it takes DOS paths itself
};

// Looks a command word up: a word with a folder is taken in that folder only;
// a bare name in the current folder, then along PATH. A name without an
// extension is tried as .com, .exe and .bat in that order; one with an
// extension as given. A candidate counts when it is a .bat file or a file the
// host may execute.
bool FindProgram(const Shell& shell, const QString& word, Program* found);

// DOS paths among a program's arguments as host paths (platform::HostWord),
// for programs that know nothing of drive letters.
QStringList HostArguments(const QStringList& args);

// Runs a program with its argument text. A batch file started from a batch
// file without CALL takes that file's place; with CALL it returns to it.
void RunProgram(Shell& shell, const QString& word, const QString& rest, bool called);

}  // namespace command
