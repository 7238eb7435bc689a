#pragma once
// Reading side shared by PKZIP and PKUNZIP: opening an archive, the names of
// its entries in DOS spelling, name masks and the classic listing.
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <zip.h>

namespace archivers {

// Exit codes of the archivers.
namespace status {
constexpr int Ok = 0;
constexpr int Warning = 1;     // some files were skipped, refused or failed
constexpr int BadUsage = 2;    // unknown switch, no archive named
constexpr int Failed = 3;      // the archive could not be read or written
}

// The archive opened read-only; null with a message line in *error.
zip_t* OpenArchive(const QString& hostPath, QString* error);

// The name of an entry as the DOS side shows it ("sub\a.txt").
QString DosEntryName(const QString& zipName);

// True when the entry is taken by the name masks: a mask
// without a folder part is matched against the entry's own name, one with a
// folder part against the whole name; no mask takes everything.
bool EntryMatches(const QString& zipName, const QStringList& masks);

// "Stored", "DeflatN", "DeflatX", "DeflatF", "DeflatS", ...
QString MethodName(int method, quint16 flags);

// Percent saved by compression, as the listing shows it.
int Ratio(qint64 length, qint64 size);

// Prints the classic listing of the entries taken by the masks.
int ListArchive(const QString& hostPath, const QString& shownName, const QStringList& masks, QTextStream& out);

}  // namespace archivers
