// How a command word becomes a program, and what a started program is given.
#include "command_fixture.h"
#include "programs.h"

TEST_F(CommandTest, ProgramsAreLookedUpComBeforeExeBeforeBatCurrentFolderFirst) {
    script("c:\\bin\\prog.com", "echo com\n");
    script("c:\\bin\\prog.exe", "echo exe\n");
    write("c:\\bin\\prog.bat", "@echo bat\n");
    mkdir("c:\\work");
    run("cd work");

    EXPECT_EQ(lines("prog"), QStringList{"Bad command or file name"});   // not on the PATH yet
    EXPECT_EQ(shell.errorLevel, 1);
    run("path c:\\nothing;c:\\bin");
    EXPECT_EQ(lines("prog"), QStringList{"com"});
    EXPECT_EQ(lines("PROG.EXE"), QStringList{"exe"});
    EXPECT_EQ(lines("prog.bat"), QStringList{"bat"});
    EXPECT_EQ(lines("c:\\bin\\prog.exe"), QStringList{"exe"});
    EXPECT_EQ(lines("\\bin\\prog"), QStringList{"com"});
    // The current folder comes before the PATH, whatever the extension.
    write("c:\\work\\prog.bat", "@echo local bat\n");
    EXPECT_EQ(lines("prog"), QStringList{"local bat"});
    QFile::remove(host("c:\\work\\prog.bat"));
    // A .com the host may not execute is no program; the next candidate is.
    QFile::setPermissions(host("c:\\bin\\prog.com"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(lines("prog"), QStringList{"exe"});
    QFile::remove(host("c:\\bin\\prog.exe"));
    EXPECT_EQ(lines("prog"), QStringList{"bat"});
    // A name with another extension is tried as given; a data file is no command.
    script("c:\\bin\\tool.sh", "echo shell script\n");
    EXPECT_EQ(lines("tool.sh"), QStringList{"shell script"});
    EXPECT_EQ(lines("tool"), QStringList{"Bad command or file name"});
    write("c:\\work\\notes.txt", "text");
    EXPECT_EQ(lines("notes.txt"), QStringList{"Bad command or file name"});
    EXPECT_EQ(lines("q:\\prog"), QStringList{"Bad command or file name"});

    command::Program found;
    ASSERT_TRUE(command::FindProgram(shell, "prog", &found));
    EXPECT_EQ(found.dosPath, "c:\\bin\\prog.bat");
    EXPECT_TRUE(found.batch);
}

TEST_F(CommandTest, LinuxProgramsGetHostPathsTheirFolderAndTheirExitCode) {
    // Prints each argument on its own line, then its working folder.
    script("c:\\bin\\args.exe", "for a in \"$@\"; do echo \"[$a]\"; done\npwd\nexit 9\n");
    write("d:\\data\\x.txt", "x");
    mkdir("c:\\Mixed Case");
    run("path c:\\bin");
    run("cd \"mixed case\"");

    const QStringList said = lines("args d:\\DATA\\x.txt @d:\\data\\list.lst !c:\\bin plain /s \"two words\" \\bin d: c:\\new\\file.txt");
    EXPECT_EQ(said, (QStringList{"[" + host("d:\\data\\x.txt") + "]", "[@" + host("d:\\data\\list.lst") + "]",
                                 "[!" + host("c:\\bin") + "]", "[plain]", "[/s]", "[two words]",
                                 "[" + host("c:\\bin") + "]", "[" + host("d:") + "]",
                                 "[" + host("c:\\new\\file.txt") + "]", QDir(host("c:\\mixed case")).canonicalPath()}));
    EXPECT_EQ(shell.errorLevel, 9);
    // A drive-relative path is taken in that drive's current folder.
    EXPECT_EQ(command::HostArguments({"x:\\none", "c:relative", "\\\\server\\share"}),
              (QStringList{"x:\\none", QDir(host("c:\\mixed case")).canonicalPath() + "/relative", "\\\\server\\share"}));

    // The project's own tools (links to quorl-*) take DOS paths themselves.
    script("c:\\tools\\quorl-fake", "for a in \"$@\"; do echo \"[$a]\"; done\n");
    link(host("c:\\tools\\quorl-fake"), host("c:\\bin\\fake.exe"));
    EXPECT_EQ(lines("fake d:\\data\\x.txt @c:\\list.tmp"), (QStringList{"[d:\\data\\x.txt]", "[@c:\\list.tmp]"}));
    command::Program found;
    ASSERT_TRUE(command::FindProgram(shell, "fake", &found));
    EXPECT_TRUE(found.projectTool);
    ASSERT_TRUE(command::FindProgram(shell, "args", &found));
    EXPECT_FALSE(found.projectTool);

    // A file that may be executed but is no program is reported, not fatal.
    write("c:\\bin\\broken.exe", "\x7f" "ELF garbage");
    QFile::setPermissions(host("c:\\bin\\broken.exe"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(lines("broken"), QStringList{"Bad command or file name"});
    EXPECT_EQ(shell.errorLevel, 1);

    // The interpreter's variables reach the program; its DOS PATH does not.
    script("c:\\bin\\env.exe", "echo \"$COLOUR|$PATH\"\n");
    run("set COLOUR=red");
    const QString env = run("env");
    EXPECT_TRUE(env.startsWith("red|"));
    EXPECT_FALSE(env.contains("C:\\BIN"));
}
