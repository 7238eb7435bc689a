#include <gtest/gtest.h>
#include "archive/commandlines.h"
#include "archive/runner.h"
#include "model/slots.h"

namespace {

// The [compression] settings as the settings file holds them after loading.
void Compression(bool overwrite, bool compressPaths, bool extractPaths, const QString& volume, const QString& method) {
    ResetProgramState();
    Settings[9] = overwrite;
    Settings[10] = compressPaths;
    Settings[11] = extractPaths;
    Settings[12] = volume;
    Settings[13] = method;
    Settings[14] = QString("c:\\quorl\\arj.exe");
    Settings[15] = QString("c:\\quorl\\pkzip.exe");
    Settings[16] = QString("c:\\quorl\\pkunzip.exe");
}

}  // namespace

TEST(ArchiveLines, ExtractionLinesFollowOverwriteAndPathsForBothArchivers) {
    struct Case { bool overwrite, paths; ArchiveKind kind; const char* line; };
    const Case cases[] = {
        {true, true, ArchiveKind::Zip, "c:\\quorl\\pkunzip.exe -o  -d c:\\in\\a.zip a:\\ *.*"},
        {true, false, ArchiveKind::Zip, "c:\\quorl\\pkunzip.exe -o  -e c:\\in\\a.zip a:\\ *.*"},
        {false, true, ArchiveKind::Zip, "c:\\quorl\\pkunzip.exe -d c:\\in\\a.zip a:\\ *.*"},
        {false, false, ArchiveKind::Zip, "c:\\quorl\\pkunzip.exe -e c:\\in\\a.zip a:\\ *.*"},
        {true, true, ArchiveKind::Arj, "c:\\quorl\\arj.exe -jyc -jyk -jyo  -y  x -v c:\\in\\a.zip a:\\ *.*"},
        {true, false, ArchiveKind::Arj, "c:\\quorl\\arj.exe -jyc -jyk -jyo  -y  e -v c:\\in\\a.zip a:\\ *.*"},
        {false, true, ArchiveKind::Arj, "c:\\quorl\\arj.exe -jyc -jyk  x -v c:\\in\\a.zip a:\\ *.*"},
        {false, false, ArchiveKind::Arj, "c:\\quorl\\arj.exe -jyc -jyk  e -v c:\\in\\a.zip a:\\ *.*"},
    };
    for (const Case& c : cases) {
        Compression(c.overwrite, true, c.paths, "Available", "Fastest");
        EXPECT_EQ(ExtractLine(c.kind, "c:\\in\\a.zip", "a:\\", "*.*").toStdString(), c.line);
    }
}

TEST(ArchiveLines, CompressionLinesPutSwitchesInTheirOrderWithTheirOwnBlanks) {
    Compression(true, true, true, "1440 KB", "Slowest");
    EXPECT_EQ(CompressLine(ArchiveKind::Arj, "a:\\backup").toStdString(),
              "c:\\quorl\\arj.exe -jyc -jyk -jyo  -a -hu -y  a  -v1440  -m1 a:\\backup !c:\\yhb6543.tmp");
    EXPECT_EQ(CompressLine(ArchiveKind::Zip, "a:\\backup").toStdString(),
              "c:\\quorl\\pkzip.exe -whs -o  -P  -en a:\\backup @c:\\yhb6543.tmp");

    // Volume sizes and methods as loading stores them, and as the options dialog does (lower case).
    struct Case { const char* volume; const char* method; const char* arj; const char* zip; };
    const Case cases[] = {
        {"Available", "Store", "c:\\quorl\\arj.exe -jyc -jyk  a  -va  -m0 d:\\x @", "c:\\quorl\\pkzip.exe -p  -e0 d:\\x @"},
        {"360 KB", "Fastest", "c:\\quorl\\arj.exe -jyc -jyk  a  -v360  -m4 d:\\x @", "c:\\quorl\\pkzip.exe -p  -es d:\\x @"},
        {"720 kb", "slowest", "c:\\quorl\\arj.exe -jyc -jyk  a  -v720  -m1 d:\\x @", "c:\\quorl\\pkzip.exe -p  -en d:\\x @"},
        {"1200 KB", "fastest", "c:\\quorl\\arj.exe -jyc -jyk  a  -v1200  -m4 d:\\x @", "c:\\quorl\\pkzip.exe -p  -es d:\\x @"},
        // Anything else gives no switch at all.
        {"2880 KB", "quick", "c:\\quorl\\arj.exe -jyc -jyk  a d:\\x @", "c:\\quorl\\pkzip.exe -p d:\\x @"},
    };
    for (const Case& c : cases) {
        Compression(false, false, false, c.volume, c.method);
        QString arj = CompressLine(ArchiveKind::Arj, "d:\\x");
        QString zip = CompressLine(ArchiveKind::Zip, "d:\\x");
        EXPECT_TRUE(arj.endsWith(" !c:\\yhb6543.tmp"));
        EXPECT_TRUE(zip.endsWith(" @c:\\yhb6543.tmp"));
        arj.replace(" !c:\\yhb6543.tmp", " @");
        zip.replace(" @c:\\yhb6543.tmp", " @");
        EXPECT_EQ(arj.toStdString(), c.arj) << c.volume << " " << c.method;
        EXPECT_EQ(zip.toStdString(), c.zip) << c.volume << " " << c.method;
    }
}

TEST(ArchiveLines, PathsWithBlanksAreQuotedAndNothingElseIs) {
    Compression(true, true, true, "Available", "Fastest");
    Settings[15] = QString("c:\\program files\\pkzip.exe");
    Settings[16] = QString("c:\\program files\\pkunzip.exe");
    EXPECT_EQ(CompressLine(ArchiveKind::Zip, "d:\\my backups\\week 1").toStdString(),
              "\"c:\\program files\\pkzip.exe\" -whs -o  -P  -es \"d:\\my backups\\week 1\" @c:\\yhb6543.tmp");
    // A quoted folder loses its trailing backslash, which would stand before the quote.
    EXPECT_EQ(ExtractLine(ArchiveKind::Zip, "d:\\old stuff\\a b.zip", "e:\\new place\\", "*.*").toStdString(),
              "\"c:\\program files\\pkunzip.exe\" -o  -d \"d:\\old stuff\\a b.zip\" \"e:\\new place\" *.*");
    EXPECT_EQ(QuotedPath("a:\\"), "a:\\");
    EXPECT_EQ(QuotedPath("a:\\x y\\\\"), "\"a:\\x y\"");
}

TEST(ArchiveLines, ArchivesAreKnownByTheirFirstBytesAndPathsAreJoinedOnce) {
    EXPECT_EQ(ArchiveKindOf("PK", 2), ArchiveKind::None);   // a 2-byte "PK" file is no archive
    EXPECT_EQ(ArchiveKindOf("PK", 3), ArchiveKind::Zip);
    EXPECT_EQ(ArchiveKindOf("\x60\xEA", 100), ArchiveKind::Arj);
    EXPECT_EQ(ArchiveKindOf("\xEA\x60", 100), ArchiveKind::None);
    EXPECT_EQ(ArchiveKindOf("pk", 100), ArchiveKind::None);
    EXPECT_EQ(ArchiveKindOf("P", 100), ArchiveKind::None);

    EXPECT_EQ(ArchivePath("a:", "backup"), "a:\\backup");
    EXPECT_EQ(ArchivePath("a:\\", "backup"), "a:\\backup");
    EXPECT_EQ(ArchivePath("d:\\saves", "week"), "d:\\saves\\week");

    EXPECT_EQ(ListFileLine("d:\\src\\a.txt", "d:\\src"), "a.txt");
    EXPECT_EQ(ListFileLine("d:\\src\\sub\\b.txt", "d:\\src"), "sub\\b.txt");
    EXPECT_EQ(ListFileLine("d:\\a.txt", "d:"), "a.txt");
    // A folder whose name only begins like the current one is not beneath it.
    EXPECT_EQ(ListFileLine("d:\\srcold\\c.txt", "d:\\src"), "d:\\srcold\\c.txt");
    EXPECT_EQ(ListFileLine("d:\\other\\c.txt", "d:\\src"), "d:\\other\\c.txt");
    // The archivers trim a line: blanks at an end are kept inside quotes.
    EXPECT_EQ(ListFileLine("d:\\src\\ a b ", "d:\\src"), "\" a b \"");
    EXPECT_EQ(ListFileLine("d:\\src\\-rf.txt", "d:\\src"), "-rf.txt");
}
