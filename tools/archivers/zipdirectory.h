#pragma once
// The central directory of a ZIP archive read byte by byte, for what libzip
// does not tell: the deflate strength of each entry and where its data lies.
#include <QList>
#include <QString>

namespace archivers {

struct DirectoryRecord {
    quint16 flags = 0;              // the "general purpose" flag word
    quint64 compressedSize = 0;
    quint64 localOffset = 0;        // where the entry's local header starts
};

// Every record, in the order of the directory (libzip's index order); false
// when the directory can't be read.
bool ReadCentralDirectory(const QString& hostPath, QList<DirectoryRecord>* records);

// An entry's bytes in the archive: its local header, name, extra field and data.
struct EntryExtent {
    quint64 start = 0;
    quint64 end = 0;                // one past the last byte
    int index = 0;                  // the entry's position in the directory
};

// The extents of the entries whose local header can be read; one that can't
// is left out (reading it fails on its own).
QList<EntryExtent> ReadEntryExtents(const QString& hostPath, const QList<DirectoryRecord>& records);

// Two entries whose bytes overlap: the trick that lets a small archive expand
// to far more than it holds. False when every entry has bytes of its own;
// else the directory positions of one overlapping pair.
bool FindOverlap(QList<EntryExtent> extents, int* first, int* second);

}  // namespace archivers
