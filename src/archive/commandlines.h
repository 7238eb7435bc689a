#pragma once
#include <QByteArray>
#include <QString>

// The command lines the archivers are given, built from the user's choices and
// the [compression] settings. Switch fragments keep their own blanks, so a line
// holds double blanks between switches; the archivers take them as one blank.

enum class ArchiveKind { None, Arj, Zip };

// The interpreter every archiver line runs through, and the list of files to compress.
inline const QString InterpreterPrefix = QStringLiteral("c:\\command.com /c ");
inline const QString ArchiveListFile = QStringLiteral("c:\\yhb6543.tmp");

// An archive is known by its first two bytes, and only when it holds at least
// three: "PK" is a ZIP archive, 0x60 0xEA an ARJ archive.
ArchiveKind ArchiveKindOf(const QByteArray& head, qint64 size);
ArchiveKind ArchiveKindOfFile(const QString& dosPath);

// A path as it stands in a command line: in double quotes when it holds a blank,
// so that it reaches the archiver as one word. A quoted folder loses a trailing
// backslash that would stand before the closing quote.
QString QuotedPath(const QString& path);

// The program of an archiver line: Settings 14 (ARJ), 15 (PKZIP) or 16 (PKUNZIP).
QString ArchiverProgram(ArchiveKind kind, bool compressing);

// The archiver line of an extraction, without the interpreter prefix.
QString ExtractLine(ArchiveKind kind, const QString& archive, const QString& destination, const QString& fileSpec);
// The archiver line of a compression into archivePath, without the interpreter prefix.
QString CompressLine(ArchiveKind kind, const QString& archivePath);

// destination, "\" unless it ends in one, and the name: "a:" and "backup" give "a:\backup".
QString ArchivePath(const QString& destination, const QString& name);

// A line of the list file: the file's full path, relative to the drive window's
// folder when the file lies beneath it; in double quotes when it begins or
// ends with a blank.
QString ListFileLine(const QString& fullPath, const QString& currentFolder);
