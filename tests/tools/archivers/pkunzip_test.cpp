// PKUNZIP as the program runs it (-d / -e, -o, destination, "*.*") and against
// archives made to escape the destination.
#include <QFileInfo>
#include <fcntl.h>
#include <list>
#include "helpers.h"
#include "pkunzip.h"
#include "platform/hostfs.h"
#include "platform/names.h"
#include "pkzip.h"
#include "zipdirectory.h"
#include "ziplisting.h"

using namespace archtest;
using archivers::RunPkunzip;
using archivers::RunPkzip;

namespace {

// Builds an archive entry by entry with libzip, names exactly as given.
class RawZip {
public:
    explicit RawZip(const QString& hostPath) {
        int code = 0;
        za_ = zip_open(Enc(hostPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        EXPECT_NE(za_, nullptr);
    }
    RawZip& file(const char* name, const QByteArray& data, int method = ZIP_CM_DEFLATE) {
        const zip_int64_t i = add(name, data);
        zip_set_file_compression(za_, zip_uint64_t(i), method, 0);
        return *this;
    }
    RawZip& link(const char* name, const QByteArray& target) {
        const zip_int64_t i = add(name, target);
        zip_file_set_external_attributes(za_, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX, zip_uint32_t(S_IFLNK | 0777) << 16);
        return *this;
    }
    RawZip& folder(const char* name) {
        EXPECT_GE(zip_dir_add(za_, name, ZIP_FL_ENC_RAW), 0) << name;
        return *this;
    }
    void close() { EXPECT_EQ(zip_close(za_), 0) << zip_strerror(za_); }

private:
    zip_int64_t add(const char* name, const QByteArray& data) {
        data_.push_back(data);
        zip_source_t* s = zip_source_buffer(za_, data_.back().constData(), zip_uint64_t(data_.back().size()), 0);
        const zip_int64_t i = zip_file_add(za_, name, s, ZIP_FL_ENC_RAW);
        EXPECT_GE(i, 0) << name << ": " << zip_strerror(za_);
        return i;
    }
    zip_t* za_ = nullptr;
    std::list<QByteArray> data_;
};

class PkunzipTest : public ArchiverTest {
protected:
    void SetUp() override {
        ArchiverTest::SetUp();
        MakeFile(c + "/work/A.txt", "hello\n", kMarch);
        MakeFile(c + "/work/Sub/Deep.TXT", "deep\n", kJuly);
        QDir().mkpath(c + "/out");
        ASSERT_EQ(run(RunPkzip, {"-P", "c:\\out\\arc", "a.txt", "sub\\deep.txt"}), 0) << output.toStdString();
    }
};

TEST_F(PkunzipTest, ExtractsWithOrWithoutPathsAndReplacesOnlyWithOverwrite) {
    QDir().mkpath(d + "/dest");
    // Extraction with paths, overwriting off, to another drive.
    EXPECT_EQ(run(RunPkunzip, Argv(" -d  c:\\out\\arc.zip d:\\dest *.*")), 0) << output.toStdString();
    EXPECT_EQ(Tree(d + "/dest"), Files({{"A.txt", "hello\n"}, {"Sub/", ""}, {"Sub/Deep.TXT", "deep\n"}}));
    EXPECT_EQ(MTime(d + "/dest/A.txt"), kMarch.toSecsSinceEpoch());
    EXPECT_EQ(MTime(d + "/dest/Sub/Deep.TXT"), kJuly.toSecsSinceEpoch());

    // Without -o an existing file stays, and the output says so.
    MakeFile(d + "/dest/A.txt", "mine\n");
    EXPECT_EQ(run(RunPkunzip, Argv(" -d  c:\\out\\arc.zip d:\\dest *.*")), 0);
    EXPECT_TRUE(output.contains("A.txt") && output.contains("-o")) << output.toStdString();
    EXPECT_EQ(ReadAll(d + "/dest/A.txt"), "mine\n");
    EXPECT_EQ(run(RunPkunzip, Argv(" -o  -d  c:\\out\\arc.zip d:\\dest *.*")), 0);
    EXPECT_EQ(Tree(d + "/dest"), Files({{"A.txt", "hello\n"}, {"Sub/", ""}, {"Sub/Deep.TXT", "deep\n"}}));

    // Without paths every file lands in the destination itself; a destination
    // written with a trailing backslash is made when missing.
    EXPECT_EQ(run(RunPkunzip, Argv(" -o  -e  c:\\out\\arc.zip d:\\flat\\ *.*")), 0) << output.toStdString();
    EXPECT_EQ(Tree(d + "/flat"), Files({{"A.txt", "hello\n"}, {"Deep.TXT", "deep\n"}}));

    // An existing name in another case is that file, not a second one.
    MakeFile(d + "/case/a.TXT", "old\n");
    EXPECT_EQ(run(RunPkunzip, {"-o", "c:\\out\\arc.zip", "d:\\case", "A.TXT"}), 0) << output.toStdString();
    EXPECT_EQ(Tree(d + "/case"), Files({{"a.TXT", "hello\n"}}));

    // A name mask with a folder part is matched against the whole name.
    EXPECT_EQ(run(RunPkunzip, {"-d", "c:\\out\\arc", "d:\\masked\\", "sub\\*.*"}), 0) << output.toStdString();
    EXPECT_EQ(Tree(d + "/masked"), Files({{"Sub/", ""}, {"Sub/Deep.TXT", "deep\n"}}));

    // A read-only file is not replaced, even with -o; the rest goes on.
    MakeFile(d + "/ro/A.txt", "keep\n");
    ::chmod(Enc(d + "/ro/A.txt").constData(), 0444);
    EXPECT_EQ(run(RunPkunzip, {"-o", "-d", "c:\\out\\arc.zip", "d:\\ro"}), archivers::status::Warning);
    EXPECT_EQ(Tree(d + "/ro"), Files({{"A.txt", "keep\n"}, {"Sub/", ""}, {"Sub/Deep.TXT", "deep\n"}}));

    // No destination: the current folder.
    QDir().mkpath(d + "/here");
    enter("d:\\here");
    EXPECT_EQ(run(RunPkunzip, {"c:\\out\\arc"}), 0) << output.toStdString();
    EXPECT_EQ(Tree(d + "/here"), Files({{"A.txt", "hello\n"}, {"Deep.TXT", "deep\n"}}));

    // An archive and a destination in a folder whose name is no UTF-8 are found by their bytes.
    const QByteArray odd = Enc(d) + "/caf\xff";
    ASSERT_EQ(::mkdir(odd.constData(), 0755), 0);
    QFile copy;
    ASSERT_TRUE(copy.open(::open(odd + "/arc.zip", O_CREAT | O_WRONLY, 0644), QIODevice::WriteOnly, QFile::AutoCloseHandle));
    copy.write(ReadAll(c + "/out/arc.zip"));
    copy.close();
    const QString oddDos = "d:\\" + platform::NameFromHost(platform::host::Decode("caf\xff"));
    EXPECT_EQ(run(RunPkunzip, {"-e", oddDos + "\\arc", oddDos + "\\to\\"}), 0) << output.toStdString();
    struct stat st {};
    EXPECT_EQ(::stat(odd + "/to/Deep.TXT", &st), 0);

    // What isn't there fails with a message and writes nothing.
    EXPECT_EQ(run(RunPkunzip, {"c:\\out\\nothere.zip", "d:\\here"}), archivers::status::Failed);
    EXPECT_TRUE(output.contains("nothere")) << output.toStdString();
    EXPECT_EQ(run(RunPkunzip, {"-o", "c:\\out\\arc.zip", "d:\\here", "*.none"}), archivers::status::Warning);
    EXPECT_EQ(run(RunPkunzip, {"-x", "c:\\out\\arc.zip"}), archivers::status::BadUsage);
    EXPECT_EQ(Tree(d + "/here"), Files({{"A.txt", "hello\n"}, {"Deep.TXT", "deep\n"}}));
}

TEST_F(PkunzipTest, HostileEntriesAreRefusedByNameAndNothingOutsideTheDestinationChanges) {
    const QString outside = prefix.base() + "/outside";
    MakeFile(outside + "/target.txt", "secret\n");
    QDir().mkpath(d + "/dest");
    ASSERT_EQ(::symlink(Enc(outside + "/target.txt").constData(), Enc(d + "/dest/victim.txt").constData()), 0);
    ASSERT_EQ(::symlink(Enc(outside).constData(), Enc(d + "/dest/linkdir").constData()), 0);
    RawZip(c + "/out/evil.zip")
        .file("good.txt", "good\n")
        .file("..\\..\\evil.txt", "evil\n")
        .file("../evil2.txt", "evil\n")
        .file("sub/../../evil3.txt", "evil\n")
        .file("/abs.txt", "evil\n")
        .file("c:\\x.txt", "evil\n")
        .file("c:x2.txt", "evil\n")
        .link("link", Enc(outside + "/target.txt"))
        .file("victim.txt", "replaced\n")
        .file("linkdir/inner.txt", "evil\n")
        .folder("made/")
        .file("sub/ok.txt", "ok\n", ZIP_CM_STORE)
        .close();

    // Everything but the destination, snapshot before.
    const auto before = Tree(prefix.base());
    const auto outsideOnly = [&](QMap<QString, QByteArray> t) {
        for (const QString& k : t.keys())
            if (k.startsWith("drive_d/dest/") || k.startsWith("drive_d/keep/")) t.remove(k);
        return t;
    };

    EXPECT_EQ(run(RunPkunzip, Argv(" -o  -d  c:\\out\\evil.zip d:\\dest *.*")), archivers::status::Warning);
    for (const char* refused : {"..\\..\\evil.txt", "..\\evil2.txt", "sub\\..\\..\\evil3.txt", "\\abs.txt",
                                "c:\\x.txt", "c:x2.txt", "link", "linkdir\\inner.txt"}) {
        const QString line = output.split('\n').filter(QString(" ") + refused + " (").value(0);
        EXPECT_TRUE(line.startsWith("Refused")) << refused << "\n" << output.toStdString();
    }
    EXPECT_EQ(outsideOnly(Tree(prefix.base())), outsideOnly(before));
    EXPECT_EQ(ReadAll(outside + "/target.txt"), "secret\n");
    EXPECT_FALSE(QFileInfo::exists(outside + "/inner.txt"));

    // The good entries are there; the link named like an entry was replaced, not written through.
    EXPECT_EQ(Tree(d + "/dest"), Files({{"good.txt", "good\n"},
                                        {"linkdir", "-> " + Enc(outside)},
                                        {"made/", ""},
                                        {"sub/", ""},
                                        {"sub/ok.txt", "ok\n"},
                                        {"victim.txt", "replaced\n"}}));

    // Without -o the link stays a link and its target stays as it is.
    QDir().mkpath(d + "/keep");
    ASSERT_EQ(::symlink(Enc(outside + "/target.txt").constData(), Enc(d + "/keep/victim.txt").constData()), 0);
    EXPECT_EQ(run(RunPkunzip, Argv(" -e  c:\\out\\evil.zip d:\\keep *.*")), archivers::status::Warning);
    EXPECT_TRUE(IsLink(d + "/keep/victim.txt"));
    EXPECT_EQ(ReadAll(outside + "/target.txt"), "secret\n");
    // Flat extraction refuses the same names rather than flattening them.
    EXPECT_EQ(Tree(d + "/keep"), Files({{"good.txt", "good\n"},
                                        {"inner.txt", "evil\n"},
                                        {"ok.txt", "ok\n"},
                                        {"victim.txt", "-> " + Enc(outside + "/target.txt")}}));
    EXPECT_EQ(outsideOnly(Tree(prefix.base())), outsideOnly(before));
}

TEST_F(PkunzipTest, AnEntryThatFailsItsCheckLeavesNoHalfFileAndKeepsTheOldOne) {
    const QByteArray body = QByteArray("G").repeated(5000);
    RawZip(c + "/out/bad.zip").file("first.txt", "first\n").file("bad.txt", body, ZIP_CM_STORE).close();
    QFile f(c + "/out/bad.zip");
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    const qsizetype at = bytes.indexOf(body);
    ASSERT_GE(at, 0);
    bytes[at + 2500] = 'H';
    f.seek(0);
    f.write(bytes);
    f.close();

    MakeFile(d + "/dest/bad.txt", "precious\n");
    EXPECT_EQ(run(RunPkunzip, {"-o", "c:\\out\\bad.zip", "d:\\dest"}), archivers::status::Warning);
    EXPECT_TRUE(output.contains("bad.txt")) << output.toStdString();
    EXPECT_EQ(Tree(d + "/dest"), Files({{"bad.txt", "precious\n"}, {"first.txt", "first\n"}}));

    EXPECT_EQ(run(RunPkunzip, {"-t", "c:\\out\\bad.zip"}), archivers::status::Warning);
    EXPECT_TRUE(output.split('\n').filter("bad.txt").value(0).contains("FAILED")) << output.toStdString();
    EXPECT_TRUE(output.split('\n').filter("first.txt").value(0).contains("OK")) << output.toStdString();

    // Data that runs past the size the archive declares is stopped there.
    CraftedZip liar;
    const QByteArray more = QByteArray("L").repeated(300000);
    liar.add("bad.txt", more, 1000, CraftedZip::Crc(more.left(1000)));
    liar.stored("after.txt", "after\n");
    liar.write(c + "/out/liar.zip");
    EXPECT_EQ(run(RunPkunzip, {"-o", "c:\\out\\liar.zip", "d:\\dest"}), archivers::status::Warning);
    EXPECT_TRUE(output.split('\n').filter("bad.txt").value(0).contains("declares")) << output.toStdString();
    EXPECT_EQ(Tree(d + "/dest"), Files({{"after.txt", "after\n"}, {"bad.txt", "precious\n"}, {"first.txt", "first\n"}}));
}

TEST_F(PkunzipTest, EntriesThatShareTheirBytesGetTheWholeArchiveRefused) {
    // b.txt's header and data stand inside a.txt's data, as in an archive
    // made to expand far beyond its size.
    CraftedZip zip;
    zip.stored("first.txt", "first\n");
    const QByteArray quoted = CraftedZip::LocalHeader("b.txt", 0, CraftedZip::Crc("bravo"), 5, 5) + "bravo";
    const quint32 inner = zip.stored("a.txt", quoted);
    zip.record("b.txt", 0, CraftedZip::Crc("bravo"), 5, 5, inner);
    zip.write(c + "/out/overlap.zip");
    for (const char* action : {"-d", "-t"}) {
        EXPECT_EQ(run(RunPkunzip, {action, "c:\\out\\overlap.zip", "d:\\dest\\"}), archivers::status::Failed);
        EXPECT_TRUE(output.contains("Refused: c:\\out\\overlap.zip (the data of a.txt and b.txt overlap)"))
            << output.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(d + "/dest"));

    // Sorted by where they start, a range overlaps when it starts before the
    // furthest end so far; ranges that only touch are apart.
    using archivers::EntryExtent;
    struct Case { QList<EntryExtent> extents; int first, second; };
    const Case cases[] = {
        {{{0, 10, 0}, {10, 20, 1}, {20, 30, 2}}, -1, -1},
        {{{20, 30, 0}, {0, 10, 1}, {5, 8, 2}}, 1, 2},
        {{{0, 100, 0}, {10, 20, 1}, {200, 300, 2}}, 0, 1},
        {{{300, 400, 0}, {0, 100, 1}, {150, 160, 2}, {90, 95, 3}}, 1, 3},
        {{{7, 9, 0}, {7, 9, 1}}, 0, 1},
    };
    for (const Case& k : cases) {
        int first = -1, second = -1;
        EXPECT_EQ(archivers::FindOverlap(k.extents, &first, &second), k.first >= 0);
        EXPECT_EQ(std::make_pair(first, second), std::make_pair(k.first, k.second));
    }
}

TEST_F(PkunzipTest, FolderDatesComeBackARepeatedNameIsSaidOnceAndEachFolderIsReadOnce) {
    CraftedZip zip;
    zip.stored("docs/", "");
    zip.stored("docs/a.txt", "first\n");
    zip.stored("docs/A.TXT", "second\n");
    zip.stored("docs/sub/", "");
    zip.stored("docs/sub/c.txt", "c\n");
    zip.stored("docs/a.txt", "third\n");
    zip.write(c + "/out/twice.zip");
    EXPECT_EQ(run(RunPkunzip, {"-o", "-d", "c:\\out\\twice.zip", "d:\\dest\\"}), archivers::status::Warning);
    EXPECT_EQ(Tree(d + "/dest"), Files({{"docs/", ""}, {"docs/a.txt", "first\n"}, {"docs/sub/", ""},
                                        {"docs/sub/c.txt", "c\n"}}));
    EXPECT_EQ(output.count("(duplicate name)"), 2) << output.toStdString();
    EXPECT_EQ(output.count(archivers::DuplicateNamesNote), 1) << output.toStdString();
    EXPECT_TRUE(output.trimmed().endsWith(archivers::DuplicateNamesNote)) << output.toStdString();
    // Written into after they were made, the folders still carry the archive's date.
    EXPECT_EQ(MTime(d + "/dest/docs"), kMarch.toSecsSinceEpoch());
    EXPECT_EQ(MTime(d + "/dest/docs/sub"), kMarch.toSecsSinceEpoch());

    // Entries spread over more folders than any short cache keeps, in turn: each
    // folder's names are read once, however many entries land in it.
    CraftedZip many;
    for (int i = 0; i < 240; ++i)
        many.stored("f" + QByteArray::number(i % 60) + "/e" + QByteArray::number(i), "x");
    many.write(c + "/out/many.zip");
    MakeFile(d + "/many/F7/E67", "old");
    const quint64 before = platform::host::FolderReadCount();
    EXPECT_EQ(run(RunPkunzip, {"-o", "-d", "c:\\out\\many.zip", "d:\\many"}), 0) << output.toStdString();
    EXPECT_LE(platform::host::FolderReadCount() - before, 62u);
    EXPECT_EQ(ReadAll(d + "/many/F7/E67"), "x") << "the existing spelling is the file";
    EXPECT_EQ(Tree(d + "/many").size(), 240 + 60);
}

TEST(EntryNames, OnlyNamesThatStayBelowTheDestinationAreSafeAndBackslashSeparatesOnlyInDosArchives) {
    // Names a Linux disk holds are safe: ":" or a control character is no threat.
    for (const char* good : {"a.txt", "sub/a.txt", "sub\\a.txt", "./a.txt", "dir/", "a..b.txt", "....", "a/b:c", "a\x01"})
        EXPECT_EQ(archivers::UnsafeEntryReason(good, false), QString()) << good;
    for (const char* bad : {"../a", "a/../../b", "..\\a", "/etc/x", "\\x", "c:\\x", "C:x", "", "./"})
        EXPECT_NE(archivers::UnsafeEntryReason(bad, false), QString()) << bad;
    EXPECT_NE(archivers::UnsafeEntryReason("plain.txt", true), QString());
    EXPECT_EQ(archivers::EntryComponents("sub\\a.txt", true), QStringList({"sub", "a.txt"}));
    EXPECT_EQ(archivers::EntryComponents("./sub/back\\sla:sh", false),
              QStringList({"sub", platform::NameFromHost("back\\sla:sh")}));
}

}  // namespace
