#pragma once
// What the archiver tests share: a temporary prefix with drives c: and d:, files
// made with chosen dates, the tools run as the program runs them (current folder
// set, argv as the interpreter splits the command line), and archives read back
// with libzip directly.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTextStream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>
#include "fixture.h"
#include "platform/curdir.h"
#include "platform/paths.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << '"' << b.toStdString() << '"'; }

namespace archtest {

inline QByteArray Enc(const QString& p) { return QFile::encodeName(p); }

// Dates the test files are made with.
inline const QDateTime kMarch(QDate(2020, 3, 4), QTime(10, 20, 30));
inline const QDateTime kJuly(QDate(2021, 7, 8), QTime(9, 10, 12));

// A host folder's tree as Tree() reads it.
using Files = QMap<QString, QByteArray>;

inline QString MakeFile(const QString& hostPath, const QByteArray& bytes,
                        const QDateTime& modified = QDateTime()) {
    QDir().mkpath(hostPath.left(hostPath.lastIndexOf('/')));
    QFile f(hostPath);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << hostPath.toStdString();
    f.write(bytes);
    f.close();
    if (modified.isValid()) {
        const struct timeval times[2] = {{modified.toSecsSinceEpoch(), 0}, {modified.toSecsSinceEpoch(), 0}};
        EXPECT_EQ(::utimes(Enc(hostPath).constData(), times), 0);
    }
    return hostPath;
}

inline QByteArray ReadAll(const QString& hostPath) {
    QFile f(hostPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline qint64 MTime(const QString& hostPath) {
    struct stat st {};
    return ::stat(Enc(hostPath).constData(), &st) == 0 ? qint64(st.st_mtime) : -1;
}

inline bool IsLink(const QString& hostPath) {
    struct stat st {};
    return ::lstat(Enc(hostPath).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Every entry below a host folder, links not followed, with its content (or link target).
inline QMap<QString, QByteArray> Tree(const QString& hostFolder) {
    QMap<QString, QByteArray> out;
    QDir dir(hostFolder);
    for (const QFileInfo& fi :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (fi.isSymLink()) {
            out.insert(fi.fileName(), "-> " + Enc(fi.symLinkTarget()));
        } else if (fi.isDir()) {
            out.insert(fi.fileName() + "/", QByteArray());
            const auto inner = Tree(fi.filePath());
            for (auto it = inner.begin(); it != inner.end(); ++it) out.insert(fi.fileName() + "/" + it.key(), it.value());
        } else {
            out.insert(fi.fileName(), ReadAll(fi.filePath()));
        }
    }
    return out;
}

struct ZipEntry {
    QByteArray data;
    qint64 mtime = 0;
    int method = 0;
    bool readable = false;
};

// An archive read back with libzip alone: name -> entry.
inline QMap<QString, ZipEntry> ReadZip(const QString& hostPath) {
    QMap<QString, ZipEntry> out;
    int code = 0;
    zip_t* za = zip_open(Enc(hostPath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    EXPECT_NE(za, nullptr) << "libzip can't open " << hostPath.toStdString() << " (" << code << ")";
    if (!za) return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, zip_uint64_t(i), 0, &st);
        ZipEntry e;
        e.mtime = qint64(st.mtime);
        e.method = st.comp_method;
        if (zip_file_t* f = zip_fopen_index(za, zip_uint64_t(i), 0)) {
            QByteArray buf(qsizetype(st.size) + 1, '\0');
            const zip_int64_t n = zip_fread(f, buf.data(), zip_uint64_t(buf.size()));
            e.readable = n == zip_int64_t(st.size) && zip_fclose(f) == 0;
            e.data = buf.left(qsizetype(qMax<zip_int64_t>(n, 0)));
        }
        out.insert(QString::fromUtf8(st.name), e);
    }
    zip_discard(za);
    return out;
}

// Debian's unzip, when installed, must accept what pkzip writes.
inline void ExpectUnzipAccepts(const QString& hostPath) {
    if (!QFileInfo::exists("/usr/bin/unzip")) {
        std::cout << "[ note ] /usr/bin/unzip missing: the archive is checked with libzip only\n";
        return;
    }
    QProcess unzip;
    unzip.start("/usr/bin/unzip", {"-t", hostPath});
    ASSERT_TRUE(unzip.waitForFinished(60000));
    EXPECT_EQ(unzip.exitCode(), 0) << unzip.readAll().toStdString();
}

// An archive written byte by byte, for what libzip will not write: entries
// whose bytes overlap, sizes that lie, one name twice. Every entry is dated
// 2020-03-04 10:20:30.
class CraftedZip {
public:
    static quint32 Crc(const QByteArray& data) {
        return quint32(crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
    }
    // A local header with its name, as it stands before an entry's data.
    static QByteArray LocalHeader(const QByteArray& name, quint16 method, quint32 crc, quint32 packed, quint32 size) {
        return Le(0x04034b50) + Le16(20) + Le16(0) + Le16(method) + DosTime() + Le(crc) + Le(packed) + Le(size) +
               Le16(quint16(name.size())) + Le16(0) + name;
    }
    // An entry with its header and data (deflated already when method is 8);
    // returns where its data starts.
    quint32 add(const QByteArray& name, const QByteArray& data, quint32 size, quint32 crc, quint16 method = 0) {
        const quint32 at = quint32(body_.size());
        body_ += LocalHeader(name, method, crc, quint32(data.size()), size) + data;
        record(name, method, crc, quint32(data.size()), size, at);
        return at + 30 + quint32(name.size());
    }
    quint32 stored(const QByteArray& name, const QByteArray& data) {
        return add(name, data, quint32(data.size()), Crc(data));
    }
    // A directory record alone, for bytes that are already in the archive.
    void record(const QByteArray& name, quint16 method, quint32 crc, quint32 packed, quint32 size, quint32 offset) {
        directory_ += Le(0x02014b50) + Le16(20) + Le16(20) + Le16(0) + Le16(method) + DosTime() + Le(crc) +
                      Le(packed) + Le(size) + Le16(quint16(name.size())) + Le16(0) + Le16(0) + Le16(0) + Le16(0) +
                      Le(0) + Le(offset) + name;
        ++count_;
    }
    void write(const QString& hostPath) const {
        const QByteArray end = Le(0x06054b50) + Le16(0) + Le16(0) + Le16(count_) + Le16(count_) +
                               Le(quint32(directory_.size())) + Le(quint32(body_.size())) + Le16(0);
        QFile f(hostPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << hostPath.toStdString();
        f.write(body_ + directory_ + end);
    }

private:
    static QByteArray Le16(quint16 v) { return QByteArray(1, char(v & 0xFF)) + char(v >> 8); }
    static QByteArray Le(quint32 v) { return Le16(quint16(v & 0xFFFF)) + Le16(quint16(v >> 16)); }
    static QByteArray DosTime() { return Le16((10 << 11) | (20 << 5) | 15) + Le16(((2020 - 1980) << 9) | (3 << 5) | 4); }
    QByteArray body_, directory_;
    quint16 count_ = 0;
};

// A prefix with c: and d:, the program's current folder c:\work.
class ArchiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        c = prefix.addDrive('c');
        d = prefix.addDrive('d');
        QDir().mkpath(c + "/work");
        enter("c:\\work");
    }
    void enter(const QString& dosFolder) {
        ASSERT_EQ(platform::ChangeDrive(dosFolder[0]), 0);
        ASSERT_EQ(platform::ChangeFolder(dosFolder), 0);
    }
    // Runs a tool in this process; its output lands in `output`.
    template <typename Tool>
    int run(Tool tool, const QStringList& args) {
        output.clear();
        QTextStream out(&output);
        const int code = tool(args, out);
        out.flush();
        return code;
    }
    // The command line as the program builds it, split at blanks as the interpreter does.
    static QStringList Argv(const QString& commandLine) { return commandLine.split(' ', Qt::SkipEmptyParts); }

    TempPrefix prefix;
    QString c, d;
    QString output;
};

}  // namespace archtest
