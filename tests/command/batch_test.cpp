// Batch files: arguments, variables, GOTO, IF, CALL, SHIFT, FOR, CHOICE and echo; and the
// redirection and pipes every command line may carry.
#include "batch.h"
#include "command_fixture.h"

TEST_F(CommandTest, BatchFilesTakeArgumentsJumpTestAndCall) {
    // A program whose exit code is its first argument sets the errorlevel.
    script("c:\\bin\\level.exe", "exit $1\n");
    run("path c:\\bin");
    write("c:\\job.bat",
          "@echo off\r\n"
          "rem a remark > c:\\never.txt\r\n"
          "echo first %1 and %2, 100%% sure\r\n"
          "set GREETING=hi %1\r\n"
          "if \"%1\"==\"\" goto noargs\r\n"
          "if not exist c:\\marker.txt echo no marker\r\n"
          "if exist c:\\job.bat echo job is there\r\n"
          "call c:\\sub.bat %2\r\n"
          "if errorlevel 3 goto high\r\n"
          "echo low %errorlevel%\r\n"
          "goto end\r\n"
          ":high\r\n"
          "echo high %GREETING%\r\n"
          "goto end\r\n"
          ":noargs\r\n"
          "echo no arguments\r\n"
          ":END\r\n"
          "echo done %0\r\n");
    write("c:\\sub.bat", "level %1\necho sub sees %1\n");

    EXPECT_EQ(lines("job one 5"), (QStringList{"first one and 5, 100% sure", "no marker", "job is there",
                                               "sub sees 5", "high hi one", "done job"}));
    EXPECT_EQ(shell.errorLevel, 5);
    EXPECT_FALSE(exists("c:\\never.txt"));
    EXPECT_EQ(Variable(shell, "greeting"), "hi one");
    EXPECT_EQ(lines("job.bat two 1"),
              (QStringList{"first two and 1, 100% sure", "no marker", "job is there", "sub sees 1", "low",
                           "done job.bat"}));
    write("c:\\marker.txt", "");
    EXPECT_EQ(lines("c:\\job"), (QStringList{"first  and , 100% sure", "no arguments", "done c:\\job"}));
    // Echo is back on at the prompt after the batch file turned it off.
    EXPECT_TRUE(shell.echo);
}

TEST_F(CommandTest, BatchEchoChainingShiftPauseAndMissingLabels) {
    // With echo on each line shows behind the prompt; "@" hides one line.
    write("c:\\loud.bat", "echo one\n@echo two\n");
    EXPECT_EQ(lines("loud"), (QStringList{"C:\\>echo one", "one", "two"}));

    // A batch file started without CALL takes the place of the one that started it.
    write({{"c:\\first.bat", "@echo off\necho in first\nsecond x\necho never\n"},
           {"c:\\second.bat", "echo in second %1\n"}});
    EXPECT_EQ(lines("first"), (QStringList{"in first", "in second x"}));
    // With CALL it comes back.
    write("c:\\caller.bat", "@echo off\ncall second y\necho back\n");
    EXPECT_EQ(lines("caller"), (QStringList{"in second y", "back"}));
    // One that calls itself ends, with every caller, at the nesting limit; the prompt stays.
    write("c:\\deep.bat", "@echo off\ncall deep\necho back\n");
    EXPECT_EQ(lines("deep"), QStringList{"Exceeded batch nesting limit"});
    EXPECT_EQ(shell.errorLevel, 1);
    EXPECT_EQ(lines("caller"), (QStringList{"in second y", "back"}));

    write("c:\\shifty.bat", "@echo off\n:again\nif \"%1\"==\"\" goto end\necho arg %1\nshift\ngoto again\n:end\n");
    EXPECT_EQ(lines("shifty a b c d e f g h i j k"),
              (QStringList{"arg a", "arg b", "arg c", "arg d", "arg e", "arg f", "arg g", "arg h", "arg i", "arg j",
                           "arg k"}));

    write("c:\\lost.bat", "@echo off\ngoto nowhere\necho after\n");
    EXPECT_EQ(lines("lost"), QStringList{"Label not found"});
    write("c:\\bad.bat", "@echo off\nif %1==x echo x\necho after\n");
    EXPECT_EQ(lines("bad"), (QStringList{"Syntax error", "after"}));

    // PAUSE waits for an answer in the input.
    write("c:\\p.bat", "@echo off\npause\necho after\n");
    answer("\n");
    EXPECT_EQ(run("p"), "Press any key to continue . . .\nafter\n");
    EXPECT_TRUE(in.atEnd());

    // EXIT ends the interpreter, from a batch file too, with its number.
    write("c:\\quit.bat", "@echo off\necho before\nexit 4\necho after\n");
    EXPECT_EQ(lines("quit"), QStringList{"before"});
    EXPECT_TRUE(shell.exitRequested);
    EXPECT_EQ(shell.errorLevel, 4);

    EXPECT_EQ(command::FindLabel({"echo", ":Start here", "x"}, "start"), 2);
    EXPECT_EQ(command::BatchLines("a\r\nb\n\nc"), (QStringList{"a", "b", "", "c"}));
}

TEST_F(CommandTest, ForRunsACommandPerMemberAndChoiceSetsTheErrorlevel) {
    for (const char* n : {"b.txt", "a.txt", "skip.doc"}) write(QString("c:\\") + n, n);
    write({{"d:\\logs\\x.log", ""}, {"c:\\answers.in", "q\nn\ny"}});
    write("c:\\ask.bat",
          "@echo off\r\n"
          "for %%f in (*.txt d:\\logs\\*.log plain,two;three *.none) do echo item %%f\r\n"
          "choice /c:yn Go on < c:\\answers.in\r\n"
          "if errorlevel 2 goto no\r\n"
          "echo yes\r\n"
          "goto end\r\n"
          ":no\r\n"
          "echo no %1\r\n"
          ":end\r\n"
          "for %%n in (a b c) do if exist %%n.txt call c:\\found.bat %%n\r\n");
    write("c:\\found.bat", "echo found %1\n");
    // The folder part of a mask stays as written; a mask without a match adds nothing.
    EXPECT_EQ(lines("ask arg"), (QStringList{"item a.txt", "item b.txt", "item d:\\logs\\x.log", "item plain",
                                             "item two", "item three", "Go on [Y,N]?N", "no arg", "found a",
                                             "found b"}));

    // At the prompt %v stands for the member, and with echo on each command shows before it runs.
    EXPECT_EQ(run("for %v in (1 2) do echo %v-%v"), "\nC:\\>echo 1-1\n1-1\n\nC:\\>echo 2-2\n2-2\n");
    run("echo off");
    EXPECT_EQ(run("for %v in (*.doc) do type %v"), "skip.doc");
    EXPECT_EQ(run("for %v in (x) do echo %v > c:\\for.txt"), "");
    EXPECT_EQ(read("c:\\for.txt"), "x \n");
    for (const char* bad : {"for %v in (a) echo %v", "for v in (a) do echo v", "for %v in a do echo %v", "for"})
        EXPECT_EQ(lines(bad), QStringList{"Syntax error"}) << bad;

    // CHOICE: the key's place is the errorlevel; keys of its own, without the list, exact case, a default.
    struct Case { const char* line; QByteArray input; QString said; int level; };
    const Case cases[] = {
        {"choice", "y", "[Y,N]?Y\n", 1},
        {"choice /c:abc Pick one", "xC", "Pick one [A,B,C]?C\n", 3},
        {"choice /n /c:yn \"Sure/certain?\"", "n", "Sure/certain?N\n", 2},
        {"choice /s /c:aA", "A", "[a,A]?A\n", 2},
        {"choice /t:n,5 Wait", "", "Wait [Y,N]?N\n", 2},
        {"choice Nothing comes", "", "Nothing comes [Y,N]?\n", 255},
        {"choice /c", "", "CHOICE: invalid choice switch syntax. Expected form: /C[:]choices\n", 255},
        {"choice /t:z,5", "", "CHOICE: Timeout default not in specified (or default) choices.\n", 255},
        {"choice /t:y", "", "CHOICE: Incorrect timeout syntax.  Expected form Tc,nn or T:c,nn\n", 255},
        {"choice /x", "", "Invalid switch - /x\n", 255},
    };
    for (const Case& c : cases) {
        answer(c.input);
        EXPECT_EQ(run(c.line), c.said) << c.line;
        EXPECT_EQ(shell.errorLevel, c.level) << c.line;
    }
}

TEST_F(CommandTest, RedirectionAndPipesJoinInternalCommandsAndPrograms) {
    EXPECT_EQ(run("echo one>out.txt"), "");
    run("echo two >> out.txt");
    run("ver>>out.txt");
    EXPECT_EQ(read("c:\\out.txt"), "one\ntwo \n\nDisk Rorediva command interpreter [Version 1.0]\n\n");
    run("echo fresh> out.txt");
    EXPECT_EQ(read("c:\\out.txt"), "fresh\n");
    run("dir > d:\\list.txt");
    EXPECT_TRUE(read("d:\\list.txt").contains(" Directory of C:\\\n"));
    EXPECT_TRUE(read("d:\\list.txt").contains("OUT      TXT"));
    // Quoted signs are text; "> nul" swallows output.
    EXPECT_EQ(run("echo \"a > b | c\""), "\"a > b | c\"\n");
    EXPECT_EQ(run("echo gone > nul"), "");
    EXPECT_EQ(run("echo x >"), "Syntax error\n");
    EXPECT_EQ(run("dir |"), "Syntax error\n");
    EXPECT_EQ(run("type < missing.txt"), "File not found\n");
    EXPECT_EQ(run("echo x > q:\\x.txt"), "Invalid drive specification\n");

    // "<" answers a question; "|" from one internal command into another.
    for (const char* n : {"a.tmp", "b.tmp"}) write(QString("d:\\junk\\") + n, "j");
    write("c:\\yes.txt", "y\n");
    run("del d:\\junk\\*.* < c:\\yes.txt");
    EXPECT_FALSE(exists("d:\\junk\\a.tmp"));
    write("d:\\junk\\c.tmp", "j");
    run("echo y| del d:\\junk");
    EXPECT_FALSE(exists("d:\\junk\\c.tmp"));

    // Into a program, out of one, and both, through a file.
    script("c:\\bin\\upper.exe", "tr a-z A-Z\n");
    script("c:\\bin\\hello.exe", "echo hello from $1\n");
    run("path c:\\bin");
    EXPECT_EQ(run("echo quiet words| upper"), "QUIET WORDS\n");
    EXPECT_EQ(run("hello there | upper"), "HELLO FROM THERE\n");
    run("type c:\\out.txt | upper > d:\\shout.txt");
    EXPECT_EQ(read("d:\\shout.txt"), "FRESH\n");
    // A program's lines and the interpreter's land in order in one appended file.
    run("echo first>log.txt");
    run("hello log >> log.txt");
    run("echo last>>log.txt");
    EXPECT_EQ(read("c:\\log.txt"), "first\nhello from log\nlast\n");
    // "<" feeds a program.
    run("upper < c:\\yes.txt > d:\\yes.txt");
    EXPECT_EQ(read("d:\\yes.txt"), "Y\n");
}
