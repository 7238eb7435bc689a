#include "ziplisting.h"
#include <QDateTime>
#include <QFile>
#include <cmath>
#include "platform/files.h"

namespace archivers {

namespace {

quint16 Le16(const QByteArray& b, qsizetype at) {
    return quint16(quint8(b[at])) | quint16(quint8(b[at + 1])) << 8;
}
quint32 Le32(const QByteArray& b, qsizetype at) { return quint32(Le16(b, at)) | quint32(Le16(b, at + 2)) << 16; }
quint64 Le64(const QByteArray& b, qsizetype at) { return quint64(Le32(b, at)) | quint64(Le32(b, at + 4)) << 32; }

QString Padded(const QString& text, int width) { return QString("%1").arg(text, width); }

}  // namespace

zip_t* OpenArchive(const QString& hostPath, QString* error) {
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(hostPath).constData(), ZIP_RDONLY, &code);
    if (!za) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        *error = code == ZIP_ER_NOZIP ? QStringLiteral("not a ZIP archive")
                                      : QString::fromUtf8(zip_error_strerror(&e)).toLower();
        zip_error_fini(&e);
    }
    return za;
}

QString DosEntryName(const QString& zipName) {
    QString name = zipName;
    return name.replace(u'/', u'\\');
}

bool EntryMatches(const QString& zipName, const QStringList& masks) {
    if (masks.isEmpty()) return true;
    QString name = DosEntryName(zipName);
    while (name.endsWith(u'\\')) name.chop(1);
    const QString own = name.mid(name.lastIndexOf(u'\\') + 1);
    for (const QString& mask : masks) {
        const bool whole = mask.contains(u'\\') || mask.contains(u'/');
        QString pattern = mask;
        pattern.replace(u'/', u'\\');
        // A mask is one pattern; ";" is no separator here.
        if (pattern.contains(u';')) {
            if ((whole ? name : own).compare(pattern, Qt::CaseInsensitive) == 0) return true;
            continue;
        }
        if (platform::MatchesFileSpec(whole ? name : own, pattern)) return true;
    }
    return false;
}

QList<quint16> ReadEntryFlags(const QString& hostPath) {
    QFile f(hostPath);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const qint64 fileSize = f.size();
    const qint64 tailSize = qMin<qint64>(fileSize, 65535 + 22 + 20);
    if (tailSize < 22 || !f.seek(fileSize - tailSize)) return {};
    const QByteArray tail = f.read(tailSize);
    const qsizetype eocd = tail.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (eocd < 0 || eocd + 22 > tail.size()) return {};
    quint64 count = Le16(tail, eocd + 10);
    quint64 offset = Le32(tail, eocd + 16);
    if ((count == 0xFFFF || offset == 0xFFFFFFFF) && eocd >= 20 &&
        tail.mid(eocd - 20, 4) == QByteArray("PK\x06\x07", 4)) {
        if (!f.seek(qint64(Le64(tail, eocd - 20 + 8)))) return {};
        const QByteArray z64 = f.read(56);
        if (z64.size() < 56 || !z64.startsWith(QByteArray("PK\x06\x06", 4))) return {};
        count = Le64(z64, 32);
        offset = Le64(z64, 48);
    }
    if (count > quint64(fileSize) / 46 || !f.seek(qint64(offset))) return {};
    QList<quint16> flags;
    for (quint64 i = 0; i < count; ++i) {
        const QByteArray head = f.read(46);
        if (head.size() < 46 || !head.startsWith(QByteArray("PK\x01\x02", 4))) return {};
        flags << Le16(head, 8);
        const qint64 skip = qint64(Le16(head, 28)) + Le16(head, 30) + Le16(head, 32);
        if (!f.seek(f.pos() + skip)) return {};
    }
    return flags;
}

QString MethodName(int method, quint16 flags) {
    switch (method) {
    case ZIP_CM_STORE: return QStringLiteral("Stored");
    case ZIP_CM_SHRINK: return QStringLiteral("Shrunk");
    case ZIP_CM_REDUCE_1: case ZIP_CM_REDUCE_2: case ZIP_CM_REDUCE_3: case ZIP_CM_REDUCE_4:
        return QStringLiteral("Reduced");
    case ZIP_CM_IMPLODE: return QStringLiteral("Implode");
    case ZIP_CM_DEFLATE: {
        static const char strength[] = {'N', 'X', 'F', 'S'};
        return QStringLiteral("Deflat") + QChar(strength[(flags >> 1) & 3]);
    }
    case ZIP_CM_DEFLATE64: return QStringLiteral("Defl64");
    case ZIP_CM_BZIP2: return QStringLiteral("BZip2");
    case ZIP_CM_LZMA: return QStringLiteral("LZMA");
    case ZIP_CM_XZ: return QStringLiteral("XZ");
    default: return QStringLiteral("Unknown");
    }
}

int Ratio(qint64 length, qint64 size) {
    if (length <= 0) return 0;
    return int(std::lround(100.0 * double(length - size) / double(length)));
}

int ListArchive(const QString& hostPath, const QString& shownName, const QStringList& masks, QTextStream& out) {
    QString error;
    zip_t* za = OpenArchive(hostPath, &error);
    if (!za) {
        out << "Can't read " << shownName << ": " << error << "\n";
        return status::Failed;
    }
    const QList<quint16> flags = ReadEntryFlags(hostPath);
    const zip_int64_t entries = zip_get_num_entries(za, 0);
    out << "Searching ZIP: " << shownName << "\n\n";
    const auto row = [](const QString& length, const QString& method, const QString& size, const QString& ratio,
                        const QString& date, const QString& time, const QString& crc, const QString& name) {
        return QString("%1  %2  %3  %4  %5  %6  %7  %8\n")
            .arg(length, 8).arg(method, -7).arg(size, 8).arg(ratio, 5).arg(date, -8).arg(time, -5).arg(crc, -8)
            .arg(name);
    };
    out << row("Length", "Method", "Size", "Ratio", "Date", "Time", "CRC-32", "Name");
    out << row("------", "------", "------", "-----", "----", "----", "------", "----");
    qint64 totalLength = 0, totalSize = 0;
    int files = 0;
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, zip_uint64_t(i), 0, &st) != 0) continue;
        const QString name = QString::fromUtf8(st.name);
        if (!EntryMatches(name, masks)) continue;
        const QDateTime when = QDateTime::fromSecsSinceEpoch(qint64(st.mtime));
        const quint16 f = flags.size() == entries ? flags[i] : 0;
        out << row(QString::number(st.size), MethodName(st.comp_method, f), QString::number(st.comp_size),
                   QString::number(Ratio(qint64(st.size), qint64(st.comp_size))) + "%", when.toString("MM-dd-yy"),
                   when.toString("HH:mm"), QString("%1").arg(st.crc, 8, 16, QChar(u'0')), DosEntryName(name));
        totalLength += qint64(st.size);
        totalSize += qint64(st.comp_size);
        ++files;
    }
    out << row("------", "", "------", "---", "", "", "", "-------");
    out << row(QString::number(totalLength), "", QString::number(totalSize),
               QString::number(Ratio(totalLength, totalSize)) + "%", "", "", "", Padded(QString::number(files), 7));
    zip_discard(za);
    return status::Ok;
}

}  // namespace archivers
