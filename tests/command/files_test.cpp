// COPY, DEL, REN and TYPE on real files of a temporary drive.
#include <QRegularExpression>
#include "command_fixture.h"
#include "parse.h"
#include "platform/files.h"

TEST_F(CommandTest, CopyCopiesJoinsAndAsksBeforeOverwriting) {
    write({{"c:\\a.txt", "alpha\n"}, {"c:\\b.txt", "beta\n"}, {"c:\\c.log", "log\n"}});

    EXPECT_EQ(lines("copy a.txt new.txt"), QStringList{"        1 file(s) copied"});
    EXPECT_EQ(read("c:\\new.txt"), "alpha\n");
    EXPECT_EQ(lines("copy *.txt d:\\"), QStringList{"        3 file(s) copied"});
    EXPECT_EQ(read("d:\\b.txt"), "beta\n");
    EXPECT_EQ(lines("copy c.log d:"), QStringList{"        1 file(s) copied"});
    EXPECT_TRUE(exists("d:\\c.log"));
    EXPECT_EQ(shell.errorLevel, 0);

    // a+b c joins; "a + b" with blanks is the same; without a target the first source grows.
    run("copy a.txt+b.txt joined.txt");
    EXPECT_EQ(read("c:\\joined.txt"), "alpha\nbeta\n");
    run("copy a.txt + b.txt + c.log all.txt");
    EXPECT_EQ(read("c:\\all.txt"), "alpha\nbeta\nlog\n");
    EXPECT_EQ(lines("copy new.txt+c.log"), QStringList{"        1 file(s) copied"});
    EXPECT_EQ(read("c:\\new.txt"), "alpha\nlog\n");
    // A target that is also a later source keeps its own content in the join.
    run("copy a.txt+b.txt b.txt");
    EXPECT_EQ(read("c:\\b.txt"), "alpha\nbeta\n");
    // A mask onto one file joins every match.
    write({{"d:\\parts\\1.prt", "one "}, {"d:\\parts\\2.prt", "two"}});
    run("copy d:\\parts\\*.prt d:\\whole.dat");
    EXPECT_EQ(read("d:\\whole.dat"), "one two");
    // A mask as the target renames on the way.
    EXPECT_EQ(lines("copy d:\\parts\\*.prt d:\\parts\\*.bak"), QStringList{"        2 file(s) copied"});
    EXPECT_EQ(read("d:\\parts\\2.bak"), "two");

    // Overwriting asks at the prompt: No keeps the file, /y does not ask.
    answer("n\n");
    EXPECT_EQ(run("copy c.log a.txt"), "Overwrite C:\\A.TXT (Yes/No/All)? n\n        0 file(s) copied\n");
    EXPECT_EQ(read("c:\\a.txt"), "alpha\n");
    answer("");
    EXPECT_EQ(lines("copy c.log a.txt /y"), QStringList{"        1 file(s) copied"});
    EXPECT_EQ(read("c:\\a.txt"), "log\n");
    answer("a\n");
    EXPECT_EQ(lines("copy d:\\*.txt c:\\").last(), "        3 file(s) copied");
    EXPECT_EQ(read("c:\\b.txt"), "beta\n");

    // A batch file overwrites without asking, as DOS does.
    write("c:\\over.bat", "@copy b.txt a.txt\n");
    answer("");
    EXPECT_EQ(lines("over"), QStringList{"        1 file(s) copied"});
    EXPECT_EQ(read("c:\\a.txt"), "beta\n");

    // Refusals change nothing.
    EXPECT_EQ(lines("copy a.txt a.txt"), (QStringList{"File cannot be copied onto itself", "        0 file(s) copied"}));
    EXPECT_EQ(lines("copy nothing.txt x.txt"), (QStringList{"File not found - nothing.txt", "        0 file(s) copied"}));
    EXPECT_EQ(shell.errorLevel, 1);
    EXPECT_FALSE(exists("c:\\x.txt"));
    EXPECT_EQ(lines("copy a.txt c:\\nowhere\\x.txt").first(), "Path not found");
    EXPECT_EQ(lines("copy a.txt q:\\").first(), "Invalid drive specification");
    EXPECT_EQ(lines("copy"), QStringList{"Required parameter missing"});
    // A read-only target is not replaced, not even by a join.
    write("c:\\locked.txt", "locked");
    ASSERT_EQ(platform::SetAttributes("c:\\locked.txt", platform::attr::ReadOnly), 0);
    EXPECT_EQ(lines("copy a.txt+b.txt locked.txt /y").first(), "Access denied");
    EXPECT_EQ(read("c:\\locked.txt"), "locked");
}

TEST_F(CommandTest, DelAsksForAllFilesAndLeavesFoldersAndReadOnlyFiles) {
    mkdir("d:\\work\\keep");
    for (const char* n : {"a.txt", "b.txt", "c.doc"}) write(QString("d:\\work\\") + n, "x");
    write("d:\\work\\ro.txt", "r");
    ASSERT_EQ(platform::SetAttributes("d:\\work\\ro.txt", platform::attr::ReadOnly), 0);

    EXPECT_EQ(run("del d:\\work\\a.txt"), "");
    EXPECT_FALSE(exists("d:\\work\\a.txt"));
    EXPECT_EQ(lines("erase d:\\work\\*.zzz"), QStringList{"File not found"});
    EXPECT_EQ(shell.errorLevel, 1);

    // *.* asks; anything but Y keeps every file, and so does an empty input.
    answer("n\n");
    EXPECT_EQ(run("del d:\\work\\*.*"), "All files in directory will be deleted! Are you sure (Y/N)? n\n");
    EXPECT_TRUE(exists("d:\\work\\b.txt"));
    answer("");
    run("del d:\\work");
    EXPECT_TRUE(exists("d:\\work\\b.txt"));

    // Y deletes the files; the read-only one is refused by name, the folder stays.
    answer("y\n");
    const QStringList said = lines("del d:\\work\\*.*");
    EXPECT_EQ(said.last(), "Access denied - D:\\WORK\\RO.TXT");
    EXPECT_FALSE(exists("d:\\work\\b.txt"));
    EXPECT_FALSE(exists("d:\\work\\c.doc"));
    EXPECT_TRUE(exists("d:\\work\\ro.txt"));
    EXPECT_TRUE(QFileInfo(host("d:\\work\\keep")).isDir());

    EXPECT_EQ(lines("del"), QStringList{"Required parameter missing"});
    EXPECT_EQ(lines("del d:\\nowhere\\*.txt"), QStringList{"Path not found"});
}

TEST_F(CommandTest, RenRenamesByMaskAndNeverReplacesOrMoves) {
    const struct { const char* name; const char* mask; const char* made; } masks[] = {
        {"report.txt", "*.bak", "report.bak"}, {"abc.txt", "x?z.*", "xbz.txt"}, {"letter.doc", "??.*", "le.doc"},
        {"data", "*.old", "data.old"},         {"data.old", "*.", "data"},      {"a.b", "*", "a.b"},
        // Places count, as in DOS: "*" takes the source from its own place on.
        {"ab.c", "new*.?x", "new.cx"},         {"abcdef.c", "new*.?x", "newdef.cx"},
    };
    for (const auto& m : masks) EXPECT_EQ(command::ApplyMask(m.name, m.mask), m.made) << m.name << " " << m.mask;

    for (const char* n : {"jan.txt", "feb.txt", "mar.log"}) write(QString("c:\\m\\") + n, n);
    EXPECT_EQ(run("ren c:\\m\\*.txt *.bak"), "");
    EXPECT_EQ(read("c:\\m\\jan.bak"), "jan.txt");
    EXPECT_EQ(read("c:\\m\\feb.bak"), "feb.txt");
    EXPECT_TRUE(exists("c:\\m\\mar.log"));
    EXPECT_FALSE(exists("c:\\m\\jan.txt"));
    run("cd m");
    EXPECT_EQ(run("rename ?a?.* x?y.*"), "");
    EXPECT_EQ(read("c:\\m\\xay.bak"), "jan.txt");
    EXPECT_EQ(read("c:\\m\\xay.log"), "mar.log");
    EXPECT_TRUE(exists("c:\\m\\feb.bak"));
    // Where the mask gives a name already taken, that file keeps its name and the others go on.
    EXPECT_EQ(lines("ren *.bak same.*"), QStringList{"Duplicate file name or file not found"});
    EXPECT_EQ(read("c:\\m\\same.bak"), "feb.txt");
    EXPECT_EQ(read("c:\\m\\xay.bak"), "jan.txt");

    // A taken name or a missing file is the same classic answer; nothing moves.
    write({{"c:\\m\\one.txt", "1"}, {"c:\\m\\two.txt", "2"}});
    EXPECT_EQ(lines("ren one.txt two.txt"), QStringList{"Duplicate file name or file not found"});
    EXPECT_EQ(read("c:\\m\\two.txt"), "2");
    EXPECT_EQ(lines("ren none.txt x.txt"), QStringList{"Duplicate file name or file not found"});
    EXPECT_EQ(shell.errorLevel, 1);
    EXPECT_EQ(lines("ren one.txt d:\\one.txt"), QStringList{"Invalid parameter"});
    EXPECT_TRUE(exists("c:\\m\\one.txt"));
    EXPECT_EQ(lines("ren one.txt"), QStringList{"Required parameter missing"});
    // A folder is renamed by its name; a change of case is a rename too.
    mkdir("c:\\m\\old");
    run("ren old new");
    EXPECT_TRUE(QFileInfo(host("c:\\m\\new")).isDir());
    run("ren one.txt ONE.TXT");
    EXPECT_TRUE(QDir(host("c:\\m")).entryList().contains("ONE.TXT"));
}

TEST_F(CommandTest, TypeAndCopyConWriteFilesAsTheyAreAndTakeTheConsole) {
    write("c:\\t.txt", "line one\r\nline two\n\xc3\xa9t\xc3\xa9\n");
    EXPECT_EQ(out.buffer().size(), 0);
    run("type t.txt");
    EXPECT_EQ(out.buffer(), QByteArray("line one\r\nline two\n\xc3\xa9t\xc3\xa9\n"));
    mkdir("c:\\folder");
    EXPECT_EQ(lines("type folder"), QStringList{"Access denied"});
    EXPECT_EQ(lines("type gone.txt"), QStringList{"File not found"});
    EXPECT_EQ(lines("type"), QStringList{"Required parameter missing"});
    // Several files and masks follow each other; a missing one is named and the rest still come.
    write({{"c:\\folder\\a.log", "A\n"}, {"c:\\folder\\b.log", "B\n"}});
    EXPECT_EQ(run("type folder\\*.log gone.txt folder\\a.log"), "A\nB\nFile not found\nA\n");
    EXPECT_EQ(shell.errorLevel, 1);

    // COPY CON takes the input up to Ctrl+Z; COPY file CON shows it.
    answer("first line\nsecond\x1a ignored\n");
    EXPECT_EQ(lines("copy con c:\\typed.txt"), QStringList{"        1 file(s) copied"});
    EXPECT_EQ(read("c:\\typed.txt"), "first line\nsecond");
    EXPECT_EQ(run("copy typed.txt con"), "first line\nsecond        1 file(s) copied\n");
    // Over a file it asks first; No keeps the file and reads nothing more.
    answer("n\nnew text\n");
    EXPECT_EQ(lines("copy con typed.txt").first(), "Overwrite C:\\TYPED.TXT (Yes/No/All)? n");
    EXPECT_EQ(read("c:\\typed.txt"), "first line\nsecond");
    EXPECT_EQ(lines("copy con"), QStringList{"Required parameter missing"});
}

TEST_F(CommandTest, DateAndTimeAskForAValueButLeaveTheClockToTheDesktop) {
    struct Case { const char* line; QByteArray input; QStringList said; int level; };
    const QString refused = "The clock is set by the desktop; date and time stay as they are";
    const Case cases[] = {
        {"date", "\n", {"Enter new date (mm-dd-yy): "}, 0},
        {"date", "13-45-99\n\n", {"Enter new date (mm-dd-yy): 13-45-99", "Invalid date", "Enter new date (mm-dd-yy): "}, 0},
        {"date", "12-31-1999\n", {"Enter new date (mm-dd-yy): 12-31-1999", refused}, 1},
        {"date 2-29-2023", "", {"Invalid date", "Enter new date (mm-dd-yy): "}, 0},
        {"date 2/29/24", "", {refused}, 1},
        {"time", "\n", {"Enter new time: "}, 0},
        {"time 25:00", "7:30p\n", {"Invalid time", "Enter new time: 7:30p", refused}, 1},
        {"time 12:00:01.50", "", {refused}, 1},
    };
    for (const Case& c : cases) {
        shell.errorLevel = 7;
        answer(c.input);
        QStringList said = lines(c.line);
        if (!QString(c.line).contains(' ')) said.removeFirst();   // "Current date is ..." or "Current time is ..."
        EXPECT_EQ(said, c.said) << c.line;
        EXPECT_EQ(shell.errorLevel, c.level ? c.level : 7) << c.line;
    }
    EXPECT_TRUE(QRegularExpression("^Current date is \\w{3} \\d\\d-\\d\\d-\\d{4}\n").match(run("date")).hasMatch());
    EXPECT_TRUE(QRegularExpression("^Current time is \\d{1,2}:\\d\\d:\\d\\d\\.\\d\\d[ap]\n").match(run("time")).hasMatch());
}
