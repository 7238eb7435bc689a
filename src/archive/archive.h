#pragma once
#include <QString>
#include <QStringList>

class frmBrws;

// The archive front end: extraction of ARJ and ZIP archives and compression of
// the tagged files into one, through the archivers named in the settings.

inline const QString ExtractCaption = QStringLiteral("Extract file(s)");
inline const QString ArjCompressCaption = QStringLiteral("Compress file(s) to ARJ format");
inline const QString ZipCompressCaption = QStringLiteral("Compress file(s) to Zip format");

// The Extract command on the current entry of the active drive window: asks for
// a destination when the entry is an archive, then extracts.
void ExtractCommand(frmBrws* w);
// The two Compress commands on the tagged files of the active drive window.
void CompressCommand(const QString& caption);

// Run when the destination dialog is confirmed. Each waits for the archiver,
// shows its failure, and then offers to relog the window's drive when the
// destination lies on it.
void ExtractArchive(frmBrws* w, const QString& destination, const QString& fileSpec);
void CompressFiles(frmBrws* w, const QString& destination, const QString& archiveName, const QString& kind);

// The list file's lines for the tagged entries of the window, in list order.
QStringList ArchiveListLines(const frmBrws* w);
