#pragma once
// The internal commands. Each takes the text after its name and returns 0 when
// it did its work, 1 when it failed (its message is already written).
#include <QDate>
#include <QDateTime>
#include <QTime>
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
int For(Shell&, const QString&);
int Prompt(Shell&, const QString&);
int More(Shell&, const QString&);
int Find(Shell&, const QString&);
int Sort(Shell&, const QString&);
int Xcopy(Shell&, const QString&);
int Move(Shell&, const QString&);
int Deltree(Shell&, const QString&);
int Tree(Shell&, const QString&);
int Attrib(Shell&, const QString&);
int Label(Shell&, const QString&);
int Choice(Shell&, const QString&);

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
// A full path as the commands show it: its folder as DOS shows one, the name
// as it is on disk ("C:\DATA\Notes.txt").
QString ShownEntry(const QString& fullPath);
// Reads one key from a terminal, or a line from anything else.
void WaitForKey(Shell& shell);

// The answer to a question of single keys.
struct KeyAnswer {
    enum class Kind { Key, Ended, Broken, TimedOut } kind = Kind::Ended;
    int index = -1;   // of the key among the keys asked for
};
// Waits for one of the keys, ignoring case unless exactCase: a key press at a
// terminal (another key beeps), else the next character of the input that is
// one. timeoutSeconds >= 0 ends the wait with TimedOut, also at the end of input.
KeyAnswer AskKey(Shell& shell, const QString& keys, bool exactCase, int timeoutSeconds = -1);
// What the user types at the console up to the end-of-file mark (Ctrl+Z or
// F6, then Enter) or the end of the input; at a terminal the lines are edited
// as at the prompt. False when Ctrl+C ended it.
bool ReadConsoleText(Shell& shell, QByteArray* text);

// Asks before a file is replaced; "All" stops the asking.
struct OverwriteQuestion {
    Shell& shell;
    bool ask;
    bool all = false;
    bool mayOverwrite(const QString& target);   // false when the user says no
};
// COPY, XCOPY and MOVE ask at the prompt, but not in a batch file or when
// COPYCMD says /y.
bool AsksBeforeOverwriting(const Shell& shell);
// Makes a folder with every missing level above it.
ErrorCode MakeFolders(const QString& dosFolder);

// The values DATE and TIME take: mm-dd-yy (or yyyy, 1980 to 2099) and
// hh[:mm[:ss[.cc]]][a|p].
bool ParseDosDate(const QString& text, QDate* date);
bool ParseDosTime(const QString& text, QTime* time);
// " Volume in drive C is WORK" or " Volume in drive C has no label".
QString VolumeLine(QChar letter);
// ATTRIB's line for one file: "A  SHR     C:\IO.SYS".
QString AttribLine(int attributes, const QString& shownPath);

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
