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
#include "fixture.h"
#include "platform/curdir.h"
#include "platform/paths.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << '"' << b.toStdString() << '"'; }

namespace archtest {

inline QByteArray Enc(const QString& p) { return QFile::encodeName(p); }

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
