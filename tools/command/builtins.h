#pragma once
// The internal commands. Each takes the text after its name and returns 0 when
// it did its work, 1 when it failed (its message is already written).
#include <QDateTime>
#include <QList>
#include <QString>
#include "platform/errors.h"
#include "platform/volume.h"
#include "shell.h"

namespace command {

using Builtin = int (*)(Shell&, const QString& rest);
struct BuiltinEntry {
    QString name;
    Builtin run;
    // Commands that only show or steer (echo, rem, goto, ...) leave the errorlevel
    // of the last program alone when they succeed; the others set it to 0.
    bool keepsLevel;
};
const QList<BuiltinEntry>& Builtins();
QStringList BuiltinNames();

int Dir(Shell&, const QString&);
int Vol(Shell&, const QString&);
int Type(Shell&, const QString&);
int Copy(Shell&, const QString&);
int Del(Shell&, const QString&);
int Ren(Shell&, const QString&);
int Cd(Shell&, const QString&);
int Md(Shell&, const QString&);
int Rd(Shell&, const QString&);
int Echo(Shell&, const QString&);
int Set(Shell&, const QString&);
int Path(Shell&, const QString&);
int Ver(Shell&, const QString&);
int Cls(Shell&, const QString&);
int Date(Shell&, const QString&);
int Time(Shell&, const QString&);
int Chcp(Shell&, const QString&);
int Exit(Shell&, const QString&);
int Rem(Shell&, const QString&);
int Pause(Shell&, const QString&);
int If(Shell&, const QString&);
int Goto(Shell&, const QString&);
int Call(Shell&, const QString&);
int Shift(Shell&, const QString&);

// Runs one command without pipes or redirection (what IF and CALL run).
void ExecuteCommand(Shell& shell, const QString& text);
// Runs a command line with its pipes and redirection, variables already expanded.
void ExecuteLine(Shell& shell, const QString& line);

// --- Shared by the commands ---

// A folder operand: "" is the current folder of the current drive, "d:" that
// drive's current folder, anything else a DOS path. 68/71 for a drive that is
// not there.
ErrorCode FullFolder(const QString& operand, QString* folder);
// A file operand, possibly with wildcards, as a folder and a name mask. An
// operand naming an existing folder stands for all its files ("*.*").
ErrorCode SplitFileOperand(const QString& operand, QString* folder, QString* mask);
QString JoinPath(const QString& folder, const QString& name);
bool IsFolder(const QString& dosPath);
// A path as DOS shows it: upper case, a root with its backslash ("C:\").
QString Shown(const QString& dosPath);
bool MatchesAll(const QString& mask);
void ShowError(Shell& shell, ErrorCode e);
// Reads one key from a terminal, or a line from anything else.
void WaitForKey(Shell& shell);

// --- The DIR listing's layout ---

// 1234567 -> "1,234,567".
QString GroupDigits(qint64 n);
// The 8.3 name DOS shows in the first columns: the name itself when it is one,
// else up to six characters and "~n".
struct ShortName {
    QString base, ext;
};
ShortName MakeShortName(const QString& name, int n);
// One entry line: short name and extension, size or <DIR>, date, time, long name.
QString DirEntryLine(const ShortName& alias, bool folder, qint64 size, const QDateTime& modified,
                     const QString& longName);
QString FilesLine(qint64 files, qint64 bytes);
// Free bytes in 64-bit arithmetic, so disks past 4 GB show their real size.
qint64 FreeBytes(const platform::DiskSpace& space);
QString FreeLine(qint64 folders, qint64 freeBytes);

}  // namespace command
