// DIR's classic layout, its switches and masks, and the other showing commands.
#include <QRegularExpression>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "builtins.h"
#include "command_fixture.h"
#include "platform/volume.h"
#include "walk.h"

namespace {

void Stamp(const QString& hostPath, const QDateTime& when) {
    const timespec t{when.toSecsSinceEpoch(), 0};
    const timespec times[2] = {t, t};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(hostPath).constData(), times, 0), 0);
}

const QDateTime Afternoon(QDate(2023, 3, 5), QTime(14, 7));
const QDateTime Morning(QDate(2021, 12, 31), QTime(0, 5));

}  // namespace

TEST_F(CommandTest, DirShowsHeaderEntriesAndTotalsInTheClassicLayout) {
    mkdir("c:\\data\\sub");
    write({{"c:\\data\\readme.txt", QByteArray(1234, 'x')}, {"c:\\data\\My Long Document.text", "abc"},
           {"c:\\data\\long name one.txt", "1"}, {"c:\\data\\long name two.txt", "22"}, {"c:\\data\\.hidden", "h"}});
    // A file past 4 GB, sparse so that it costs no disk.
    QFile big(host("c:\\data\\big.iso"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(5'000'000'000LL));
    big.close();
    Stamp(host("c:\\data\\readme.txt"), Afternoon);
    Stamp(host("c:\\data\\big.iso"), Morning);
    Stamp(host("c:\\data\\sub"), Afternoon);
    run("cd data");

    const QStringList l = run("dir").split(u'\n');
    ASSERT_GE(l.size(), 14) << run("dir").toStdString();
    EXPECT_EQ(l[0], "");
    EXPECT_EQ(l[1], " Volume in drive C has no label");
    EXPECT_EQ(l[2], " Directory of C:\\DATA");
    EXPECT_EQ(l[3], "");
    EXPECT_TRUE(l[4].startsWith(".              <DIR>        ")) << l[4].toStdString();
    EXPECT_TRUE(l[5].startsWith("..             <DIR>        ")) << l[5].toStdString();
    // Sorted by name; 8.3 names as they are, long ones as aliases numbered apart.
    EXPECT_EQ(l[6], "BIG      ISO 5,000,000,000  12-31-21 12:05a  big.iso");
    EXPECT_TRUE(l[7].startsWith("LONGNA~1 TXT             1  ") && l[7].endsWith("  long name one.txt")) << l[7].toStdString();
    EXPECT_TRUE(l[8].startsWith("LONGNA~2 TXT             2  ") && l[8].endsWith("  long name two.txt")) << l[8].toStdString();
    EXPECT_TRUE(l[9].startsWith("MYLONG~1 TEX             3  ") && l[9].endsWith("My Long Document.text")) << l[9].toStdString();
    EXPECT_EQ(l[10], "README   TXT         1,234  03-05-23  2:07p  readme.txt");
    EXPECT_EQ(l[11], "SUB            <DIR>        03-05-23  2:07p  sub");
    EXPECT_EQ(l[12], "        5 file(s)  5,000,001,240 bytes");
    // The hidden file is left out; "." and ".." count as folders, as in DOS.
    EXPECT_TRUE(QRegularExpression("^        3 dir\\(s\\) +[0-9,]+ bytes free$").match(l[13]).hasMatch()) << l[13].toStdString();
    EXPECT_EQ(shell.errorLevel, 0);

    // A volume label shows in the header; /a adds the hidden file, /a:-d drops the folders.
    ASSERT_EQ(platform::SetVolumeLabel('c', "WORK"), 0);
    EXPECT_EQ(lines("dir")[0], " Volume in drive C is WORK");
    EXPECT_TRUE(run("dir /a").contains(" .hidden\n"));
    const QString filesOnly = run("dir/a:-d");
    EXPECT_FALSE(filesOnly.contains("<DIR>"));
    EXPECT_TRUE(filesOnly.contains(" .hidden\n"));

    // Masks, bare and wide forms, another folder by path.
    EXPECT_EQ(lines("dir *.txt /b"), (QStringList{"long name one.txt", "long name two.txt", "readme.txt"}));
    const QString wide = run("dir /w");
    EXPECT_TRUE(wide.contains("[sub]"));
    EXPECT_TRUE(wide.contains("readme.txt"));
    EXPECT_FALSE(wide.contains("03-05-23"));
    EXPECT_TRUE(run("dir c:\\").contains(" Directory of C:\\\n"));
    EXPECT_EQ(lines("dir \\data\\read*.* /b"), QStringList{"readme.txt"});

    // Nothing matching is "File not found" with errorlevel 1; a missing drive is named so.
    EXPECT_TRUE(run("dir *.zzz").endsWith("File not found\n"));
    EXPECT_EQ(shell.errorLevel, 1);
    EXPECT_EQ(lines("dir q:\\"), QStringList{"Invalid drive specification"});
    EXPECT_EQ(lines("dir /x"), QStringList{"Invalid switch - /x"});
}

TEST_F(CommandTest, DirOfATreeListsEachFolderAndTheGrandTotal) {
    write({{"c:\\t\\a.txt", "aaaa"}, {"c:\\t\\one\\b.txt", "bb"}, {"c:\\t\\one\\two\\c.dat", "c"}});
    const QString all = run("dir c:\\t /s");
    const qsizetype top = all.indexOf(" Directory of C:\\T\n");
    const qsizetype one = all.indexOf(" Directory of C:\\T\\ONE\n");
    const qsizetype two = all.indexOf(" Directory of C:\\T\\ONE\\TWO\n");
    EXPECT_TRUE(top >= 0 && one > top && two > one) << all.toStdString();
    EXPECT_TRUE(all.contains("     Total files listed:\n        3 file(s)              7 bytes\n")) << all.toStdString();
    // Only matching files count; folders without any are left out of the bare listing.
    EXPECT_EQ(lines("dir c:\\t\\*.txt /s /b"), (QStringList{"C:\\T\\a.txt", "C:\\T\\ONE\\b.txt"}));

    // A link to a folder is listed but not entered: a loop ends, a tree elsewhere is not walked.
    write("d:\\far\\d.txt", "d");
    link(".", host("c:\\t\\one\\loop"));
    link(host("d:\\far"), host("c:\\t\\far"));
    const QString linked = run("dir c:\\t /s");
    EXPECT_EQ(linked.count(" Directory of "), 3) << linked.toStdString();
    EXPECT_TRUE(linked.contains(QRegularExpression("LOOP +<DIR> .* loop\n"))) << linked.toStdString();
    EXPECT_TRUE(linked.contains("     Total files listed:\n        3 file(s)")) << linked.toStdString();
    // A walk starts where it is told, a link included, and enters no folder twice.
    command::FolderWalk walk;
    EXPECT_TRUE(walk.Enter("c:\\t\\one\\loop"));
    EXPECT_FALSE(walk.Enter("c:\\T\\ONE")) << "the same folder by another way";
    EXPECT_FALSE(walk.Enter("c:\\t\\far")) << "a link below the start";
}

TEST_F(CommandTest, DirSortsByTheKeysOfOAndTakesItsSwitchesFromDircmd) {
    write({{"c:\\s\\big.txt", "123456"}, {"c:\\s\\Small.doc", "1"}, {"c:\\s\\mid.bat", "123"}});
    mkdir("c:\\s\\zdir");
    mkdir("c:\\s\\adir");
    Stamp(host("c:\\s\\big.txt"), Morning);
    Stamp(host("c:\\s\\Small.doc"), Afternoon);
    Stamp(host("c:\\s\\mid.bat"), Afternoon.addDays(1));
    struct Case { const char* line; QStringList names; };
    const Case cases[] = {
        {"dir c:\\s /b", {"adir", "big.txt", "mid.bat", "Small.doc", "zdir"}},
        {"dir c:\\s /b /on", {"adir", "big.txt", "mid.bat", "Small.doc", "zdir"}},
        {"dir c:\\s /b /o-n", {"zdir", "Small.doc", "mid.bat", "big.txt", "adir"}},
        {"dir c:\\s /b /o", {"adir", "zdir", "big.txt", "mid.bat", "Small.doc"}},
        {"dir c:\\s /b /o:-g", {"big.txt", "mid.bat", "Small.doc", "adir", "zdir"}},
        {"dir c:\\s /b /a-d /os", {"Small.doc", "mid.bat", "big.txt"}},
        {"dir c:\\s /b /a-d /o-s", {"big.txt", "mid.bat", "Small.doc"}},
        {"dir c:\\s /b /a-d /oe", {"mid.bat", "Small.doc", "big.txt"}},
        {"dir c:\\s /b /a-d /od", {"big.txt", "Small.doc", "mid.bat"}},
        {"dir c:\\s /b /a-d /og-d", {"mid.bat", "Small.doc", "big.txt"}},
        {"dir c:\\s\\*.doc /b /l", {"small.doc"}},
    };
    for (const Case& c : cases) EXPECT_EQ(lines(c.line), c.names) << c.line;
    // In the long form /l turns the short names small too.
    EXPECT_TRUE(run("dir c:\\s\\*.doc /l").contains("\nsmall    doc             1  ")) << run("dir c:\\s /l").toStdString();

    // DIRCMD's switches come first; typed ones, "/-x" too, win.
    run("set DIRCMD=/b /o-n");
    EXPECT_EQ(lines("dir c:\\s /a-d").first(), "Small.doc");
    EXPECT_EQ(lines("dir c:\\s /a-d /on").first(), "big.txt");
    EXPECT_TRUE(run("dir c:\\s /-b").contains(" Directory of C:\\S\n"));
    run("set DIRCMD=/q");
    EXPECT_EQ(lines("dir c:\\s"), QStringList{"Invalid switch - /q"});
    EXPECT_EQ(lines("dir c:\\s /ox"), QStringList{"Invalid switch - /q"});
    run("set DIRCMD=");
    EXPECT_EQ(lines("dir c:\\s /ox"), QStringList{"Invalid switch - /ox"});
}

TEST_F(CommandTest, DirPausesAfterEachScreenful) {
    for (int i = 0; i < 40; ++i) write(QString("d:\\f%1.txt").arg(i, 2, 10, QChar(u'0')), "x");
    answer("\n\n\n");
    const QStringList l = run("dir d:\\ /p").split(u'\n');
    // 4 header lines, 40 files and 2 totals: one pause after 23 lines, none at the end.
    EXPECT_EQ(l.filter("Press any key to continue . . .").size(), 1);
    EXPECT_TRUE(l[23].startsWith("Press any key to continue . . .")) << l[22].toStdString();
    EXPECT_EQ(in.pos(), 1);   // one answer read
    EXPECT_EQ(run("dir d:\\").count("Press any key"), 0);
}

TEST_F(CommandTest, FreeSpaceAndSizesUseSixtyFourBitArithmetic) {
    // 3 billion free clusters of 4 KB: far past what 32 bits hold.
    const platform::DiskSpace space{8, 512, 3'000'000'000LL, 4'000'000'000LL};
    EXPECT_EQ(command::FreeBytes(space), 12'288'000'000'000LL);
    EXPECT_EQ(command::FreeLine(2, command::FreeBytes(space)), "        2 dir(s) 12,288,000,000,000 bytes free");
    EXPECT_EQ(command::FreeLine(0, 1023), "        0 dir(s)           1,023 bytes free");
    EXPECT_EQ(command::FilesLine(12, 9'999'999'999LL), "       12 file(s)  9,999,999,999 bytes");
    const std::pair<qint64, QString> grouped[] = {{0, "0"}, {999, "999"}, {1000, "1,000"}};
    for (const auto& [n, text] : grouped) EXPECT_EQ(command::GroupDigits(n), text);
    // The listing's own free line is the drive's free space as the platform reports it.
    write("c:\\f.txt", "x");
    platform::DiskSpace real;
    ASSERT_EQ(platform::DiskFreeSpace('c', &real), 0);
    const QString last = lines("dir").last();
    const qint64 shown = last.section(u' ', -3, -3).remove(u',').toLongLong();
    EXPECT_GT(shown, 0);
    EXPECT_LE(std::abs(shown - command::FreeBytes(real)), 512LL * 1024 * 1024) << last.toStdString();
}

TEST(ShortNames, FollowTheEightDotThreeRules) {
    const struct { const char* name; int k; QString alias; } cases[] = {
        {"readme.txt", 1, "README.TXT"}, {"MAKEFILE", 1, "MAKEFILE"},   {"document.html", 1, "DOCUME~1.HTM"},
        {"verylongname.c", 12, "VERYL~12.C"}, {"a b.txt", 1, "AB~1.TXT"}, {"c++.h", 1, "C__~1.H"},
        {".profile", 1, "PROFIL~1"},     {"archive.tar.gz", 1, "ARCHIV~1.GZ"},
    };
    for (const auto& c : cases) {
        const auto a = command::MakeShortName(c.name, c.k);
        EXPECT_EQ(a.ext.isEmpty() ? a.base : a.base + u'.' + a.ext, c.alias) << c.name;
    }
}

TEST_F(CommandTest, ShowingCommandsWriteTheirClassicLines) {
    EXPECT_EQ(lines("vol"), QStringList{" Volume in drive C has no label"});
    ASSERT_EQ(platform::SetVolumeLabel('d', "BACKUP"), 0);
    EXPECT_EQ(lines("vol d:"), QStringList{" Volume in drive D is BACKUP"});
    EXPECT_EQ(lines("vol x:"), QStringList{"Invalid drive specification"});
    EXPECT_EQ(lines("ver"), QStringList{"Disk Rorediva command interpreter [Version 1.0]"});
    EXPECT_EQ(lines("chcp"), QStringList{"Active code page: 65001"});
    EXPECT_EQ(lines("chcp 437"), QStringList{"Invalid code page"});
    EXPECT_EQ(shell.errorLevel, 1);

    // PATH and SET show and change the interpreter's own variables.
    EXPECT_EQ(lines("path"), QStringList{"PATH=" + command::DefaultPath()});
    run("path c:\\tools;d:\\bin");
    EXPECT_EQ(lines("path"), QStringList{"PATH=C:\\TOOLS;D:\\BIN"});
    run("path ;");
    EXPECT_EQ(lines("path"), QStringList{"No Path"});
    run("set Colour=blue sky");
    EXPECT_EQ(lines("set").last(), "COLOUR=blue sky");
    EXPECT_EQ(lines("echo %colour%!"), QStringList{"blue sky!"});
    run("set colour=");
    EXPECT_FALSE(run("set").contains("COLOUR"));
    EXPECT_EQ(lines("echo %colour%"), QStringList{"%colour%"});   // at the prompt an unknown name stays
    EXPECT_EQ(lines("set nothing"), QStringList{"Syntax error"});

    // ECHO and its forms; CD shows and changes the folder, the prompt follows.
    EXPECT_EQ(run("echo."), "\n");
    EXPECT_EQ(run("echo"), "ECHO is on\n");
    run("echo off");
    EXPECT_EQ(run("echo"), "ECHO is off\n");
    EXPECT_EQ(run("echo hello  world"), "hello  world\n");
    EXPECT_EQ(command::PromptText(shell), "C:\\>");
    // PROMPT and its codes; alone it brings back the usual prompt.
    const struct { const char* codes; QString shown; } prompts[] = {
        {"prompt $n$g", "C>"},
        {"prompt=$l$b$q$$", "<|=$"},
        {"prompt $e[1m$p$g", "\x1b[1mC:\\>"},
        {"prompt $v", "Disk Rorediva command interpreter [Version 1.0]"},
        {"prompt ab$hc$x", "ac"},
        {"prompt", "C:\\>"},
    };
    for (const auto& p : prompts) {
        run(p.codes);
        EXPECT_EQ(command::PromptText(shell), p.shown) << p.codes;
    }
    run("prompt $p$_$t$h$h$h");
    EXPECT_TRUE(QRegularExpression("^C:\\\\\n\\d\\d:\\d\\d:\\d\\d$").match(command::PromptText(shell)).hasMatch())
        << command::PromptText(shell).toStdString();
    run("prompt");
    mkdir("c:\\Quorl\\Deep");
    run("cd quorl\\deep");
    EXPECT_EQ(command::PromptText(shell), "C:\\QUORL\\DEEP>");
    EXPECT_EQ(lines("cd"), QStringList{"C:\\QUORL\\DEEP"});
    run("cd..");
    EXPECT_EQ(lines("cd"), QStringList{"C:\\QUORL"});
    run("cd\\");
    EXPECT_EQ(lines("cd"), QStringList{"C:\\"});
    EXPECT_EQ(lines("cd nowhere"), QStringList{"Invalid directory"});
    EXPECT_EQ(shell.errorLevel, 1);
    run("d:");
    EXPECT_EQ(command::PromptText(shell), "D:\\>");
    EXPECT_EQ(lines("cd c:"), QStringList{"C:\\"});
    EXPECT_EQ(lines("q:"), QStringList{"Invalid drive specification"});
}

TEST_F(CommandTest, FoldersAreMadeAndRemovedWithTheClassicRefusals) {
    EXPECT_EQ(run("md new"), "");
    EXPECT_TRUE(QFileInfo(host("c:\\new")).isDir());
    EXPECT_EQ(lines("md new"), QStringList{"Unable to create directory"});
    EXPECT_EQ(lines("mkdir missing\\deeper"), QStringList{"Unable to create directory"});
    write("c:\\new\\keep.txt", "k");
    EXPECT_EQ(lines("rd new"), (QStringList{"Invalid path, not directory,", "or directory not empty"}));
    EXPECT_TRUE(exists("c:\\new\\keep.txt"));
    run("cd new");
    EXPECT_EQ(lines("rd c:\\new"), QStringList{"Attempt to remove current directory - C:\\NEW"});
    run("cd \\");
    run("del new\\keep.txt");
    EXPECT_EQ(run("rmdir new"), "");
    EXPECT_FALSE(exists("c:\\new"));
    EXPECT_EQ(shell.errorLevel, 0);
}
