#pragma once
// How a command line is taken apart: variables, pipes, redirection, the command
// word and its operands. No file is touched here.
#include <QString>
#include <QStringList>
#include <functional>

namespace command {

// %NAME% becomes the variable's value. In a batch file %0 to %9 are its
// arguments, %% is one %, and an undefined variable is empty; at the prompt an
// undefined %NAME% stays as typed.
QString ExpandVariables(const QString& line, const std::function<QString(const QString&)>& lookup,
                        const QStringList* batchArgs);

// The parts of a line between "|" signs outside quotes, blanks kept.
QStringList SplitPipeline(const QString& line);

struct Redirections {
    QString input;      // "<" file, empty for none
    QString output;     // ">" or ">>" file, empty for none
    bool append = false;
};
// Takes the redirections out of one part of a line; the last of each kind wins.
// False for a sign without a file name.
bool ExtractRedirections(const QString& text, QString* command, Redirections* redirections);

// The command word and the rest. An internal command's name may run straight
// into its operand ("cd..", "md\temp", "echo."), so `rest` starts right after
// the name; for a program the word is the whole first token, quotes removed.
struct CommandWord {
    QString word;    // lower case for internal commands, as typed for programs
    QString rest;
    bool internal = false;
};
CommandWord SplitCommandWord(const QString& text, const QStringList& internalNames);

// Arguments of a started program: blanks separate them, double quotes group and
// are removed.
QStringList SplitArguments(const QString& text);

// The words of a text as they were written, quotes kept: a quoted text may
// hold blanks and "/" (FIND's string, CHOICE's prompt).
QStringList RawWords(const QString& text);

// Operands of an internal command: the same arguments, with every "/x" switch
// taken out (also when it is glued to a name, as in "dir/w/p" or "*.txt/s").
// Switches are lower case, without the slash.
struct Operands {
    QStringList args;
    QStringList switches;
    bool has(const QString& s) const { return switches.contains(s); }
};
Operands ParseOperands(const QString& text);

// True when a name holds * or ?.
bool HasWildcards(const QString& name);

// DOS rename by mask on the name and the extension separately: "?" keeps the
// source's character at that place, "*" the rest of the source's part, anything
// else replaces. ApplyMask("report.txt", "*.bak") is "report.bak".
QString ApplyMask(const QString& name, const QString& mask);

}  // namespace command
