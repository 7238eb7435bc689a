#pragma once
#include <QString>
#include <functional>

// Running a command line and waiting for its end, and the captured run of the
// DOS box, the archive listings and the viewers.

// Starts the command line in the current folder, without a console, and blocks
// until it ends; its input is empty. After a while a small window offers Esc,
// which asks whether to stop waiting; stopping ends the process. Returns the
// exit code, or -1 when it could not start or was stopped (LastError says 53
// for a program that could not start).
int RunAndWait(const QString& commandLine);
// How long RunAndWait waits before it offers the way out (milliseconds).
void SetWaitPatience(int milliseconds);

// Writes c:\shelling.bat with "@echo off" and the command line, empties
// c:\dosdump.tmp and runs the batch through the interpreter. Returns
// c:\dosdump.tmp, or an empty string when the program is missing or in use.
// No file the run writes grows past the capture limit: the system stops every
// write there, whatever the command (a link loop under "dir /s", a program that
// never stops writing), and a capture cut so ends with a note that says so.
QString RunCaptured(const QString& program, const QString& commandLine);
void SetCaptureLimit(qint64 bytes);   // 64 MB; tests take less

// Shows a captured output read-only with the caption. The text viewer installs
// its own; until then a plain read-only text window shows it.
using CapturedOutputViewer = std::function<void(const QString& dumpFile, const QString& caption)>;
void SetCapturedOutputViewer(CapturedOutputViewer viewer);
void ShowCapturedFile(const QString& dumpFile, const QString& caption);
