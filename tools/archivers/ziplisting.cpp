#include "ziplisting.h"
#include <QDateTime>
#include <QFile>
#include <cmath>
#include "platform/files.h"
#include "platform/names.h"
#include "zipdirectory.h"

namespace archivers {

namespace {

QString Padded(const QString& text, int width) { return QString("%1").arg(text, width); }

}  // namespace

zip_t* OpenArchive(const QString& hostPath, QString* error) {
    int code = 0;
    zip_t* za = zip_open(platform::host::Encode(hostPath).constData(), ZIP_RDONLY, &code);
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
    QList<DirectoryRecord> records;
    ReadCentralDirectory(hostPath, &records);
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
        const quint16 f = records.size() == entries ? records[i].flags : 0;
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
