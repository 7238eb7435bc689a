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

// The components of a safe entry's name as the program's names (names.h),
// "." left out. "\\" separates them only in an archive made on DOS or Windows:
// on Linux it is a character of a name.
QStringList EntryComponents(const QString& zipName, bool dosMade);

// Said once, after the files, when the archive holds one name more than once:
// the first entry of a name is extracted, the later ones are skipped.
inline const QString DuplicateNamesNote =
    QStringLiteral("Duplicate names in the archive : only the first file of each name was extracted");

// Before anything is written, an archive whose entries share their bytes is
// refused, and so is an extraction whose files don't fit the destination's
// free space by the sizes the archive declares; an entry whose data runs past
// its declared size is stopped there and leaves nothing behind. Folders get
// the archive's dates once their files are in.
int RunPkunzip(const QStringList& arguments, QTextStream& out);

}  // namespace archivers
