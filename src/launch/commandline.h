#pragma once
#include <QString>
#include <QStringList>

// The rules of the DOS command box and of command lines that need no window:
// command words, operands, splitting and quoting, the folder operands, the
// start attempts and the file associations.

inline const QString CommandInterpreter = QStringLiteral("c:\\command.com");
inline const QString ShellingBatch = QStringLiteral("c:\\shelling.bat");
inline const QString DosDumpFile = QStringLiteral("c:\\dosdump.tmp");

enum class DosCommandKind { Interpreter, ChangeFolder, MakeFolder, RemoveFolder, Captured, Program };

// The leading run of the letters a to z; empty when the text starts otherwise.
QString CommandWord(const QString& text);
// What follows the command word, leading blanks removed.
QString CommandOperand(const QString& text);
DosCommandKind ClassifyCommand(const QString& word);

// Blanks separate the words of a command line; a double-quoted run keeps its
// blanks and loses its quotes. Nothing else is special: ; $ ` | stay plain.
QStringList SplitCommandLine(const QString& line);
// A word for a command line: quoted when it holds a blank, so that it splits
// back into one word.
QString QuoteArgument(const QString& word);
QString JoinCommandLine(const QStringList& words);

// The command line of one of LaunchProgram's attempts (1 to 3): as typed, then
// with ".com", then with ".bat" through the interpreter. A line that names a
// batch file always goes through the interpreter.
QString AttemptCommandLine(const QString& line, int attempt);

// Full path of a "cd" operand; empty when it names nothing to go to.
// parentPath is the folder above the current one (empty at the root).
QString ResolveChdirTarget(const QString& operand, const QString& drive, const QString& currentPath,
                           const QString& parentPath);
// Full path of an "md" or "rd" operand; empty when it can't be a path.
QString ResolveFolderOperand(const QString& operand, const QString& drive, const QString& currentPath);

// Extension of a name from its last dot, upper-cased; empty without one.
QString ExtensionOf(const QString& name);
// .EXE, .COM, .BAT and .LNK run by themselves.
bool IsProgramExtension(const QString& extension);
// The program of the first association line whose extension field holds the
// file's extension; empty when none does or the name has no extension.
QString AssociatedProgram(const QStringList& associationLines, const QString& fileName);
