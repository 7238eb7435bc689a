// PKZIP as the program runs it: tagged files named in c:\yhb6543.tmp, with and
// without paths, hidden files only with -whs; and as a user types it.
#include <QFileInfo>
#include "helpers.h"
#include "platform/files.h"
#include "pkunzip.h"
#include "pkzip.h"
#include "ziplisting.h"

using namespace archtest;
using archivers::RunPkzip;

namespace {

const QDateTime kNewest(QDate(2022, 1, 2), QTime(3, 4, 6));

class PkzipTest : public ArchiverTest {
protected:
    void SetUp() override {
        ArchiverTest::SetUp();
        big = QByteArray("line of a log that deflates well\n").repeated(400);
        MakeFile(c + "/work/A.txt", "hello\n", kMarch);
        MakeFile(c + "/work/Big.Log", big, kJuly);
        MakeFile(c + "/work/Sub/Deep.TXT", "deep\n", kNewest);
        MakeFile(c + "/work/.secret", "hidden by its dot\n", kMarch);
        MakeFile(c + "/other/X.txt", "outside the current folder\n", kMarch);
        QDir().mkpath(c + "/out");
    }
    // The list file the program writes: lower case, relative to the current
    // folder where the file lies below it, CR LF line ends.
    void writeList(const QStringList& lines) { MakeFile(c + "/yhb6543.tmp", lines.join("\r\n").toUtf8() + "\r\n"); }

    QByteArray big;
};

TEST_F(PkzipTest, TaggedFilesGoInWithOrWithoutTheirPathsHiddenOnesOnlyWithWhsAndOneOfEachName) {
    writeList({"a.txt", "big.log", "sub\\deep.txt", ".secret", "c:\\other\\x.txt"});

    // Switch set A off, compress with paths, slowest method.
    EXPECT_EQ(run(RunPkzip, Argv(" -P  -en c:\\out\\withpaths @c:\\yhb6543.tmp")), archivers::status::Warning);
    EXPECT_TRUE(output.contains(".secret")) << output.toStdString();   // the skipped file is named
    const QString withPaths = c + "/out/withpaths.zip";   // PKZIP gives a bare name ".zip"
    auto entries = ReadZip(withPaths);
    EXPECT_EQ(entries.keys(), QStringList({"A.txt", "Big.Log", "Sub/Deep.TXT", "other/X.txt"}));
    EXPECT_EQ(entries["A.txt"].data, "hello\n");
    EXPECT_EQ(entries["Big.Log"].data, big);
    EXPECT_EQ(entries["Sub/Deep.TXT"].data, "deep\n");
    EXPECT_EQ(entries["other/X.txt"].data, "outside the current folder\n");
    EXPECT_EQ(entries["A.txt"].mtime, kMarch.toSecsSinceEpoch());
    EXPECT_EQ(entries["Big.Log"].mtime, kJuly.toSecsSinceEpoch());
    EXPECT_EQ(entries["Sub/Deep.TXT"].mtime, kNewest.toSecsSinceEpoch());
    EXPECT_EQ(entries["Big.Log"].method, ZIP_CM_DEFLATE);
    // Six bytes would grow when deflated; PKZIP stores them.
    EXPECT_EQ(entries["A.txt"].method, ZIP_CM_STORE);
    for (const auto& e : entries) EXPECT_TRUE(e.readable);
    ExpectUnzipAccepts(withPaths);

    // Switch set A on, without paths, method store: hidden files too, and the
    // archive dated like its newest entry.
    EXPECT_EQ(run(RunPkzip, Argv(" -whs -o  -p  -e0 c:\\out\\flat @c:\\yhb6543.tmp")), 0) << output.toStdString();
    const QString flat = c + "/out/flat.zip";
    entries = ReadZip(flat);
    EXPECT_EQ(entries.keys(), QStringList({".secret", "A.txt", "Big.Log", "Deep.TXT", "X.txt"}));
    for (const auto& e : entries) EXPECT_EQ(e.method, ZIP_CM_STORE);
    EXPECT_EQ(entries["Big.Log"].data, big);
    EXPECT_EQ(entries[".secret"].data, "hidden by its dot\n");
    EXPECT_EQ(MTime(flat), kNewest.toSecsSinceEpoch());
    ExpectUnzipAccepts(flat);

    // A file marked hidden by its DOS attribute is left out the same way, where
    // the file system keeps the mark.
    MakeFile(c + "/work/Marked.txt", "marked hidden\n");
    int attributes = 0;
    if (platform::SetAttributes("c:\\work\\marked.txt", platform::attr::Hidden) == 0 &&
        platform::GetAttributes("c:\\work\\marked.txt", &attributes) == 0 && (attributes & platform::attr::Hidden)) {
        EXPECT_NE(run(RunPkzip, {"c:\\out\\marked", "marked.txt"}), 0);
        EXPECT_FALSE(QFileInfo::exists(c + "/out/marked.zip"));
        EXPECT_EQ(run(RunPkzip, {"-whs", "c:\\out\\marked", "marked.txt"}), 0) << output.toStdString();
        EXPECT_EQ(ReadZip(c + "/out/marked.zip").keys(), QStringList({"Marked.txt"}));
    }

    // Two files of one name without paths: the first goes in, the output names the one left out.
    MakeFile(c + "/work/Sub/A.txt", "another a\n");
    writeList({"a.txt", "sub\\a.txt"});
    EXPECT_EQ(run(RunPkzip, Argv(" -p  c:\\out\\dup.zip @c:\\yhb6543.tmp")), archivers::status::Warning);
    EXPECT_TRUE(output.contains("c:\\work\\sub\\a.txt", Qt::CaseInsensitive)) << output.toStdString();
    entries = ReadZip(c + "/out/dup.zip");
    ASSERT_EQ(entries.keys(), QStringList({"A.txt"}));
    EXPECT_EQ(entries["A.txt"].data, "hello\n");

    // Names that differ only in case are two files on Linux: both go in, also
    // into an archive that holds one of them already, and both come out.
    MakeFile(c + "/work/a.txt", "lower\n");
    writeList({"a.txt", "A.txt"});
    EXPECT_EQ(run(RunPkzip, Argv(" -p  c:\\out\\dup.zip @c:\\yhb6543.tmp")), 0) << output.toStdString();
    EXPECT_EQ(ReadZip(c + "/out/dup.zip").keys(), QStringList({"A.txt", "a.txt"}));
    EXPECT_EQ(run(archivers::RunPkunzip, Argv(" -d  c:\\out\\dup.zip d:\\both\\")), 0) << output.toStdString();
    EXPECT_EQ(Tree(d + "/both"), (QMap<QString, QByteArray>{{"A.txt", "hello\n"}, {"a.txt", "lower\n"}}));
}

TEST_F(PkzipTest, TypedCommandsTakeWildcardsRecursionHostPathsAndUpdateAnExistingArchive) {
    // "*.txt" in the current folder only, matched ignoring case.
    EXPECT_EQ(run(RunPkzip, {"d:\\arc.zip", "*.TXT"}), 0) << output.toStdString();
    EXPECT_EQ(ReadZip(d + "/arc.zip").keys(), QStringList({"A.txt"}));
    // -r looks into the sub-folders, -p keeps the folders it went into.
    EXPECT_EQ(run(RunPkzip, {"-rp", "d:\\arc", "*.txt"}), 0) << output.toStdString();
    EXPECT_EQ(ReadZip(d + "/arc.zip").keys(), QStringList({"A.txt", "Sub/Deep.TXT"}));
    EXPECT_TRUE(output.contains("Updating: A.txt")) << output.toStdString();

    // Adding a changed file replaces its entry, whatever case it is named in.
    MakeFile(c + "/work/A.txt", "changed\n", kJuly);
    EXPECT_EQ(run(RunPkzip, {"d:\\ARC.ZIP", "a.txt"}), 0);
    auto entries = ReadZip(d + "/arc.zip");
    EXPECT_EQ(entries.keys(), QStringList({"A.txt", "Sub/Deep.TXT"}));
    EXPECT_EQ(entries["A.txt"].data, "changed\n");
    EXPECT_EQ(entries["A.txt"].mtime, kJuly.toSecsSinceEpoch());

    // An archive in the folder being compressed never goes into itself.
    EXPECT_EQ(run(RunPkzip, {"self", "*.*"}), 0);
    EXPECT_EQ(run(RunPkzip, {"self", "*.*"}), 0);
    EXPECT_EQ(ReadZip(c + "/work/self.zip").keys(), QStringList({"A.txt", "Big.Log"}));

    // Host paths typed at a Linux prompt, a name that climbs out of the current
    // folder (stored without ".."), and a folder standing for its files.
    EXPECT_EQ(run(RunPkzip, {"-P", d + "/host.zip", c + "/work/A.txt", "..\\other\\x.txt", "sub"}), 0)
        << output.toStdString();
    // A full path keeps its folders below the root of its drive, as c:\work\a.txt would.
    EXPECT_EQ(ReadZip(d + "/host.zip").keys(), QStringList({"Sub/Deep.TXT", "other/X.txt", "work/A.txt"}));
    ExpectUnzipAccepts(d + "/host.zip");

    // A name with blanks arrives quoted as one argument.
    MakeFile(c + "/work/my notes.txt", "notes\n");
    EXPECT_EQ(run(RunPkzip, {"d:\\blanks", "\"my notes.txt\""}), 0) << output.toStdString();
    EXPECT_EQ(ReadZip(d + "/blanks.zip").keys(), QStringList({"my notes.txt"}));
}

TEST_F(PkzipTest, BadInputChangesNothingAndSaysWhy) {
    // Nothing found: no archive, a message, a failure status.
    EXPECT_NE(run(RunPkzip, {"d:\\none", "*.none"}), 0);
    EXPECT_TRUE(output.contains("*.none")) << output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(d + "/none.zip"));
    // A file that isn't a ZIP archive is left as it is.
    MakeFile(d + "/notzip.zip", "just text, not an archive");
    EXPECT_EQ(run(RunPkzip, {"d:\\notzip.zip", "a.txt"}), archivers::status::Failed);
    EXPECT_EQ(ReadAll(d + "/notzip.zip"), "just text, not an archive");
    EXPECT_EQ(run(RunPkzip, {"-q", "d:\\x.zip", "a.txt"}), archivers::status::BadUsage);
    EXPECT_EQ(run(RunPkzip, {"-P"}), archivers::status::BadUsage);
    EXPECT_FALSE(QFileInfo::exists(d + "/x.zip"));
    // A list file that isn't there stops before anything is written.
    EXPECT_EQ(run(RunPkzip, {"d:\\list", "@c:\\missing.tmp"}), archivers::status::Failed);
    EXPECT_FALSE(QFileInfo::exists(d + "/list.zip"));
    EXPECT_EQ(run(RunPkzip, {"q:\\x.zip", "a.txt"}), archivers::status::Failed);
    // An existing archive keeps its entries when a named file is missing.
    EXPECT_EQ(run(RunPkzip, {"d:\\keep", "a.txt"}), 0);
    EXPECT_EQ(run(RunPkzip, {"d:\\keep", "gone.txt", "big.log"}), archivers::status::Warning);
    EXPECT_TRUE(output.contains("gone.txt")) << output.toStdString();
    EXPECT_EQ(ReadZip(d + "/keep.zip").keys(), QStringList({"A.txt", "Big.Log"}));
}

TEST_F(PkzipTest, ListingShowsEachEntryAndTotals) {
    MakeFile(c + "/work/Empty.dat", "", kMarch);
    ASSERT_EQ(run(RunPkzip, {"-P", "d:\\list", "a.txt", "big.log", "sub\\deep.txt", "empty.dat"}), 0);
    const auto stored = ReadZip(d + "/list.zip");
    ASSERT_EQ(stored.size(), 4);

    ASSERT_EQ(run(RunPkzip, {"-v", "d:\\list.zip"}), 0);
    const QStringList lines = output.split('\n', Qt::SkipEmptyParts);
    const qsizetype header = lines.indexOf(lines.filter("Length").value(0));
    ASSERT_GE(header, 0) << output.toStdString();
    QStringList columns = lines[header].split(' ', Qt::SkipEmptyParts);
    EXPECT_EQ(columns, QStringList({"Length", "Method", "Size", "Ratio", "Date", "Time", "CRC-32", "Name"}));
    const QStringList rows = lines.mid(header + 2, 4);
    const auto row = [&](const QString& name) {
        for (const QString& r : rows)
            if (r.endsWith(" " + name)) return r.split(' ', Qt::SkipEmptyParts);
        return QStringList();
    };
    // The well-known CRC-32 of "hello\n"; the date as month-day-year.
    EXPECT_EQ(row("A.txt"), QStringList({"6", "Stored", "6", "0%", "03-04-20", "10:20", "363a3020", "A.txt"}));
    const QStringList log = row("Big.Log");
    ASSERT_EQ(log.size(), 8) << output.toStdString();
    EXPECT_EQ(log[0].toLongLong(), big.size());
    EXPECT_EQ(log[1], "DeflatN");
    EXPECT_LT(log[2].toLongLong(), big.size() / 4);
    EXPECT_EQ(log[4], "07-08-21");
    EXPECT_EQ(row("Sub\\Deep.TXT").value(4), "01-02-22");   // the DOS spelling of the name
    EXPECT_EQ(row("Empty.dat").value(3), "0%");

    // Totals: length, size, ratio and number of files.
    const QStringList totals = lines.last().split(' ', Qt::SkipEmptyParts);
    ASSERT_EQ(totals.size(), 4) << output.toStdString();
    const qint64 length = 6 + big.size() + 5 + 0;
    const qint64 size = log[2].toLongLong() + 6 + 5 + 0;
    EXPECT_EQ(totals[0].toLongLong(), length);
    EXPECT_EQ(totals[1].toLongLong(), size);
    EXPECT_EQ(totals[2], QString::number(qRound(100.0 * double(length - size) / double(length))) + "%");
    EXPECT_EQ(totals[3], "4");
    EXPECT_TRUE(lines[lines.size() - 2].trimmed().startsWith("------"));

    // A name mask lists only what it takes.
    ASSERT_EQ(run(RunPkzip, {"-v", "d:\\list.zip", "*.log"}), 0);
    EXPECT_EQ(output.split('\n', Qt::SkipEmptyParts).last().split(' ', Qt::SkipEmptyParts).last(), "1");
}

}  // namespace
