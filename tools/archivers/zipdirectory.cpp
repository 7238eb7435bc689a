#include "zipdirectory.h"
#include <QFile>
#include <algorithm>
#include "platform/userfile.h"

namespace archivers {

namespace {

quint16 Le16(const QByteArray& b, qsizetype at) {
    return quint16(quint8(b[at])) | quint16(quint8(b[at + 1])) << 8;
}
quint32 Le32(const QByteArray& b, qsizetype at) { return quint32(Le16(b, at)) | quint32(Le16(b, at + 2)) << 16; }
quint64 Le64(const QByteArray& b, qsizetype at) { return quint64(Le32(b, at)) | quint64(Le32(b, at + 4)) << 32; }

const QByteArray EndSignature("PK\x05\x06", 4);
constexpr quint32 Escape32 = 0xFFFFFFFF;

// The end record: the last signature whose comment runs to the end of the
// file, else (trailing bytes after the comment) the last signature at all.
qsizetype FindEndRecord(const QByteArray& tail) {
    qsizetype last = -1;
    for (qsizetype at = tail.lastIndexOf(EndSignature); at >= 0;
         at = at > 0 ? tail.lastIndexOf(EndSignature, at - 1) : -1) {
        if (at + 22 > tail.size()) continue;
        if (last < 0) last = at;
        if (at + 22 + Le16(tail, at + 20) == tail.size()) return at;
    }
    return last;
}

// Sizes and offset too large for their 32-bit fields stand in the zip64
// extra field, in this order, each only when its field holds the escape.
void ReadZip64Extra(const QByteArray& extra, quint64 size32, DirectoryRecord* r) {
    for (qsizetype at = 0; at + 4 <= extra.size();) {
        const quint16 id = Le16(extra, at), length = Le16(extra, at + 2);
        if (at + 4 + length > extra.size()) return;
        if (id == 0x0001) {
            qsizetype field = at + 4;
            const auto next = [&](quint64* value) {
                if (field + 8 > at + 4 + length) return;
                *value = Le64(extra, field);
                field += 8;
            };
            quint64 size = size32;
            if (size32 == Escape32) next(&size);
            if (r->compressedSize == Escape32) next(&r->compressedSize);
            if (r->localOffset == Escape32) next(&r->localOffset);
            return;
        }
        at += 4 + length;
    }
}

}  // namespace

bool ReadCentralDirectory(const QString& hostPath, QList<DirectoryRecord>* records) {
    records->clear();
    QFile f;
    if (platform::OpenUserHostFile(hostPath, &f) != err::None) return false;
    const qint64 fileSize = f.size();
    const qint64 tailSize = qMin<qint64>(fileSize, 65535 + 22 + 20);
    if (tailSize < 22 || !f.seek(fileSize - tailSize)) return false;
    const QByteArray tail = f.read(tailSize);
    const qsizetype eocd = FindEndRecord(tail);
    if (eocd < 0) return false;
    quint64 count = Le16(tail, eocd + 10);
    quint64 offset = Le32(tail, eocd + 16);
    if ((count == 0xFFFF || offset == Escape32) && eocd >= 20 &&
        tail.mid(eocd - 20, 4) == QByteArray("PK\x06\x07", 4)) {
        if (!f.seek(qint64(Le64(tail, eocd - 20 + 8)))) return false;
        const QByteArray z64 = f.read(56);
        if (z64.size() < 56 || !z64.startsWith(QByteArray("PK\x06\x06", 4))) return false;
        count = Le64(z64, 32);
        offset = Le64(z64, 48);
    }
    if (count > quint64(fileSize) / 46 || offset > quint64(fileSize) || !f.seek(qint64(offset))) return false;
    for (quint64 i = 0; i < count; ++i) {
        const QByteArray head = f.read(46);
        if (head.size() < 46 || !head.startsWith(QByteArray("PK\x01\x02", 4))) return false;
        DirectoryRecord r;
        r.flags = Le16(head, 8);
        r.compressedSize = Le32(head, 20);
        r.localOffset = Le32(head, 42);
        const quint16 nameLength = Le16(head, 28), extraLength = Le16(head, 30), commentLength = Le16(head, 32);
        if (!f.seek(f.pos() + nameLength)) return false;
        const QByteArray extra = f.read(extraLength);
        if (extra.size() != extraLength || !f.seek(f.pos() + commentLength)) return false;
        ReadZip64Extra(extra, Le32(head, 24), &r);
        records->append(r);
    }
    return true;
}

QList<EntryExtent> ReadEntryExtents(const QString& hostPath, const QList<DirectoryRecord>& records) {
    QList<EntryExtent> extents;
    QFile f;
    if (platform::OpenUserHostFile(hostPath, &f) != err::None) return extents;
    for (int i = 0; i < records.size(); ++i) {
        const DirectoryRecord& r = records[i];
        if (r.localOffset > quint64(f.size()) || !f.seek(qint64(r.localOffset))) continue;
        const QByteArray head = f.read(30);
        if (head.size() < 30 || !head.startsWith(QByteArray("PK\x03\x04", 4))) continue;
        const quint64 dataStart = r.localOffset + 30 + Le16(head, 26) + Le16(head, 28);
        // A size beyond any file would wrap around; it ends at the last byte there can be.
        const quint64 end = r.compressedSize > ~quint64(0) - dataStart ? ~quint64(0) : dataStart + r.compressedSize;
        extents.append({r.localOffset, end, i});
    }
    return extents;
}

bool FindOverlap(QList<EntryExtent> extents, int* first, int* second) {
    std::sort(extents.begin(), extents.end(),
              [](const EntryExtent& a, const EntryExtent& b) { return a.start < b.start; });
    // Sorted by start, an entry overlaps an earlier one exactly when it starts
    // before the furthest end seen so far.
    for (qsizetype i = 1, furthest = 0; i < extents.size(); ++i) {
        if (extents[i].start < extents[furthest].end) {
            *first = extents[furthest].index;
            *second = extents[i].index;
            return true;
        }
        if (extents[i].end > extents[furthest].end) furthest = i;
    }
    return false;
}

}  // namespace archivers
