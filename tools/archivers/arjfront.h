#pragma once
// ARJ: a front end to Debian's arj. The program hands it DOS paths, as
// arguments and as lines of list files ("!list"); arj on Linux wants host
// paths, so each is translated and the rest passed on unchanged.
#include <QString>
#include <QStringList>
#include <QTemporaryFile>
#include <QTextStream>
#include <memory>
#include <vector>

namespace archivers {

// The host path for a DOS path as arj should see it: relative to the current
// folder when it lies below it (arj stores names as it is given them), a
// trailing "/" kept for a folder written with a trailing "\", and the DOS
// wildcard "*.*" (every name) written as arj's "*". False with a message when
// the drive can't be reached, the name is no DOS name, or arj would take
// another name for it ("\\", "*", "?", a line break, a blank at its end).
// The text may stand in double quotes.
bool TranslateArjPath(const QString& dosText, QString* hostText, QString* error);
// The same for a name already out of its quotes, every blank its own.
bool TranslateArjName(const QString& name, QString* hostText, QString* error);

struct ArjCall {
    QStringList arguments;                               // for arj
    std::vector<std::unique_ptr<QTemporaryFile>> lists;  // translated list files, removed with the call
};

// Switches pass unchanged; the command word too; the archive, a base folder
// and file names are translated; "!list" and "@list" get a translated copy of
// the list. An existing folder right after the archive of an extraction is
// given arj's trailing "/", without which arj takes it for a file name.
bool TranslateArjArguments(const QStringList& arguments, ArjCall* call, QString* error);

// Debian's arj.
QString ArjProgram();

// The whole program: runs arj with the translated arguments, its output and
// input forwarded, and returns arj's exit code.
int RunArj(const QStringList& arguments, QTextStream& out, const QString& program = ArjProgram());

}  // namespace archivers
