#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// What the viewers ask of the launching code beside them. The main window
// installs these; a hook left empty does nothing (and a capture that cannot
// run shows the archive's own bytes instead of its listing).
struct ViewerHooks {
    // Executes a file no viewer takes (a double click): the full DOS path.
    std::function<void(const QString& path)> executeFile;
    // Starts an outside program without waiting: the help and font viewers.
    std::function<void(const QString& program, const QStringList& arguments)> runExternal;
    // Runs a program with its output captured into a file and waits for it;
    // true when the capture file was written.
    std::function<bool(const QString& program, const QStringList& arguments, const QString& captureFile)> runCaptured;
};

ViewerHooks& ViewerHooksOf();
void SetExecuteFileHandler(std::function<void(const QString& path)> handler);
void SetRunExternalHandler(std::function<void(const QString& program, const QStringList& arguments)> handler);
void SetRunCapturedHandler(
    std::function<bool(const QString& program, const QStringList& arguments, const QString& captureFile)> handler);
