#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include "platform/errors.h"

// How an archiver line is run. The archive commands hand the whole command line,
// interpreter prefix included ("c:\command.com /c c:\quorl\pkzip.exe  -p ..."),
// to one runner and wait for its outcome while the program stays responsive.

struct ArchiverOutcome {
    bool started = false;      // false: nothing ran, startError says why
    ErrorCode startError = 0;
    bool stopped = false;      // the user stopped it with Esc
    int exitStatus = 0;        // the archiver's exit status when it ended by itself
    QString output;            // what it wrote (standard output and error)
};

// commandLine: the line to run; statusText: the status-bar text while it runs.
using ArchiverRunner = std::function<ArchiverOutcome(const QString& commandLine, const QString& statusText)>;

// Installs a runner in place of the process runner; an empty one restores it.
void SetArchiverRunner(ArchiverRunner runner);
ArchiverOutcome RunArchiver(const QString& commandLine, const QString& statusText);

// The process runner. The line is split into words as every command line is
// (SplitCommandLine); the first word is the program (a DOS
// path), the others its arguments, passed as they are, never through a shell.
// Its input is empty, so a question it asks fails rather than waits. While it
// runs, events are served, the status bar shows the text and the archiver's
// last line of output, the user's other input waits, and Esc asks whether to
// stop it and every process it started.
ArchiverOutcome RunArchiverProcess(const QString& commandLine, const QString& statusText);

// The lines an archiver's output leaves on a terminal, blank ones left out:
// its progress counters, drawn with carriage returns and backspaces over
// the same line, come out as their last state.
QStringList OutputLines(const QString& output);

inline const QString StopArchiverQuestion = QStringLiteral("Do you want to stop the archiver ?");
