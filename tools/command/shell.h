#pragma once
// The command interpreter behind c:\command.com: plain data and free functions,
// so that a test can run command lines in-process against a temporary prefix.
//
// Output is UTF-8 and every line ends with a bare LF: what the interpreter writes
// is read back by the program's own text viewer and by Linux programs, which
// write LF themselves, so a capture never mixes two kinds of line ends. Batch
// files are read with either CR LF or LF.
#include <QIODevice>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <memory>

namespace command {

// Where a command reads or writes. Internal commands use the device; a started
// program is given the file itself, or the interpreter's own channel.
struct Stream {
    QIODevice* device = nullptr;
    QString hostFile;      // the device is this file on disk
    bool console = false;  // the interpreter's own standard channel
    // A write failed (the file reached the size a captured run may write, or the
    // disk is full): what follows is not written, and long commands stop.
    bool failed = false;
};

struct Batch;

struct Shell {
    // In order of definition, names upper case, as SET shows them.
    QList<QPair<QString, QString>> variables;
    bool echo = true;
    int errorLevel = 0;
    bool exitRequested = false;
    Stream out;
    Stream in;
    Batch* batch = nullptr;   // the innermost batch file running, if any
    bool batchBroken = false;   // Ctrl+C ends every batch file running
    int nesting = 0;            // commands running inside commands (IF, CALL, batch files)
};

// Variables a fresh interpreter starts with: COMSPEC, PATH and PROMPT. The PATH is
// the Windows folder, its system folder and the program folder, where setup puts
// the accessories and the project's tools.
void InitShell(Shell& shell);
QString DefaultPath();

QString Variable(const Shell& shell, const QString& name);   // empty when not set
void SetVariable(Shell& shell, const QString& name, const QString& value);   // empty value removes

// "C:\QUORL>" for the default prompt $p$g.
QString PromptText(const Shell& shell);

// Runs one command line (with pipes and redirection). The errorlevel after it is
// in shell.errorLevel.
void RunLine(Shell& shell, const QString& line);

// Runs a batch file in this interpreter. args[0] is the name it was called by.
void RunBatch(Shell& shell, const QString& dosPath, const QStringList& args, bool called);

// Output helpers every command uses.
void Write(Shell& shell, const QString& text);
void WriteBytes(Shell& shell, const QByteArray& bytes);
void WriteLine(Shell& shell, const QString& text = QString());
// One line of the input, without its line end; a null string at the end of input.
QString ReadLine(Shell& shell);
// Shows the question and reads the answer: true only for an answer starting with Y.
bool AskYes(Shell& shell, const QString& question);

// Ctrl+C: the interpreter itself only notes it (a started program gets the
// signal and ends), and a running batch file stops at its next line.
void RequestBreak();
bool TakeBreak();   // true once after each Ctrl+C

// The interpreter's DOS current drive and folder follow the process's folder, so
// a program that starts it in a folder gets that folder as its current one.
void AdoptHostFolder();

}  // namespace command
