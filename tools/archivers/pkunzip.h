#pragma once
// PKUNZIP: extracts, lists (-v) and tests (-t) ZIP archives, with the PKUNZIP 2
// switches the program builds (-o, -d, -e) and the forms a user types.
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace archivers {

struct PkunzipOptions {
    enum class Action { Extract, View, Test };
    Action action = Action::Extract;
    bool withPaths = false;   // -d: recreate the folders stored with the files
    bool overwrite = false;   // -o: replace existing files without asking
    QString archive;          // as typed
    QStringList rest;         // destination and name masks, as typed
};

bool ParsePkunzipArguments(const QStringList& arguments, PkunzipOptions* options, QString* error);

// Why an entry may not be written below the destination ("leads outside the
// destination", "absolute path", "drive letter", "symbolic link", ...); empty
// when its name is safe.
QString UnsafeEntryReason(const QString& zipName, bool isLink);

// The components of a safe entry's name, "." left out.
QStringList EntryComponents(const QString& zipName);

int RunPkunzip(const QStringList& arguments, QTextStream& out);

}  // namespace archivers
