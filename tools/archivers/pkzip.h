#pragma once
// PKZIP: compresses files into a ZIP archive, with the PKZIP 2 switches the
// program builds (-whs -o -p -P -e0 -en -es @list) and those a user types.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace archivers {

struct PkzipOptions {
    // Which part of a file's path goes into the archive: none (the bare name),
    // the folders recursed into (-p), or also the path as typed (-P).
    enum class Paths { None, Recursed, AsTyped };
    Paths paths = Paths::None;
    bool recurse = false;           // -r: look for the names in the sub-folders too
    bool hiddenSystem = false;      // -whs: hidden and system files are taken too
    bool archiveDateLatest = false; // -o: the archive gets the date of its newest entry
    bool view = false;              // -v: list the archive instead
    int level = 6;                  // -e0 stores (0); -es 1, -ef 3, -en 6, -ex 9
    QString archive;                // as typed
    QStringList names;              // file names, wildcards and @list files, as typed
};

// False with a message for an unknown switch or a missing archive name.
bool ParsePkzipArguments(const QStringList& arguments, PkzipOptions* options, QString* error);

struct FileToStore {
    QString hostPath;
    QString storedName;   // "/"-separated, as it goes into the archive
    int attributes = 0;   // DOS attributes, kept in the entry's external attributes
};

// The files the names stand for, each once, the archive itself left out.
// Every name that finds nothing, and every file left out, adds a line to *notes.
QList<FileToStore> CollectFiles(const PkzipOptions& options, const QStringList& names,
                                const QString& archiveHost, QStringList* notes);

// The whole program: arguments after the program name; returns the exit status.
int RunPkzip(const QStringList& arguments, QTextStream& out);

}  // namespace archivers
