// The rules of the DOS box that need no window: command words and their
// tables, splitting and quoting, the start attempts, folder operands and the
// association lookup.
#include <gtest/gtest.h>
#include "fixture.h"
#include "launch/commandline.h"

TEST(CommandWords, TheLeadingLettersDecideWhichTableACommandBelongsTo) {
    struct Case { const char* text; const char* word; DosCommandKind kind; };
    const Case cases[] = {
        {"cd..", "cd", DosCommandKind::ChangeFolder},     {"md\\temp", "md", DosCommandKind::MakeFolder},
        {"chdir sub", "chdir", DosCommandKind::ChangeFolder}, {"mkdir a", "mkdir", DosCommandKind::MakeFolder},
        {"rd new", "rd", DosCommandKind::RemoveFolder},   {"rmdir new", "rmdir", DosCommandKind::RemoveFolder},
        {"dir", "dir", DosCommandKind::Captured},          {"type a.txt", "type", DosCommandKind::Captured},
        {"vol", "vol", DosCommandKind::Captured},          {"ver", "ver", DosCommandKind::Captured},
        {"path", "path", DosCommandKind::Captured},        {"set", "set", DosCommandKind::Captured},
        {"echo hello", "echo", DosCommandKind::Interpreter}, {"copy a b", "copy", DosCommandKind::Interpreter},
        {"del *.*", "del", DosCommandKind::Interpreter},    {"erase x", "erase", DosCommandKind::Interpreter},
        {"ren a b", "ren", DosCommandKind::Interpreter},    {"rename a b", "rename", DosCommandKind::Interpreter},
        {"chcp", "chcp", DosCommandKind::Interpreter},      {"cls", "cls", DosCommandKind::Interpreter},
        {"date", "date", DosCommandKind::Interpreter},      {"time", "time", DosCommandKind::Interpreter},
        {"for %v in (*.txt) do type %v", "for", DosCommandKind::Interpreter},
        {"more < a.txt", "more", DosCommandKind::Interpreter}, {"find \"x\" a.txt", "find", DosCommandKind::Interpreter},
        {"sort /r < a", "sort", DosCommandKind::Interpreter}, {"move a b", "move", DosCommandKind::Interpreter},
        {"xcopy a b /s", "xcopy", DosCommandKind::Interpreter}, {"attrib +r x", "attrib", DosCommandKind::Interpreter},
        {"deltree x", "deltree", DosCommandKind::Interpreter}, {"choice /c:yn", "choice", DosCommandKind::Interpreter},
        {"tree /f", "tree", DosCommandKind::Interpreter},    {"label work", "label", DosCommandKind::Interpreter},
        {"format a:", "format", DosCommandKind::Program},
        {"dirx", "dirx", DosCommandKind::Program},          {"dir2", "dir", DosCommandKind::Captured},
        {"\\apps\\x.exe", "", DosCommandKind::Program},     {"7z a", "", DosCommandKind::Program},
        {"edit readme.txt", "edit", DosCommandKind::Program},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CommandWord(c.text), QString(c.word)) << c.text;
        EXPECT_EQ(ClassifyCommand(CommandWord(c.text)), c.kind) << c.text;
    }
    // "cd.." and "cd .." have the same operand.
    EXPECT_EQ(CommandOperand("cd.."), "..");
    EXPECT_EQ(CommandOperand("cd    .."), "..");
    EXPECT_EQ(CommandOperand("md\\temp"), "\\temp");
    EXPECT_EQ(CommandOperand("vol"), "");
}

TEST(CommandLines, NamesWithBlanksAreQuotedAndSplitBackWholeAndShellCharactersStayPlain) {
    const QStringList words = {"c:\\program files\\ed it.exe", "my notes.txt", "a;b", "$(touch x)", "`id`",
                               "x|y", "plain", "it's", "&&", "*"};
    const QString line = JoinCommandLine(words);
    EXPECT_EQ(SplitCommandLine(line), words) << line.toStdString();
    EXPECT_TRUE(line.startsWith("\"c:\\program files\\ed it.exe\" \"my notes.txt\" a;b"));
    // Runs of blanks separate once; quotes open and close inside a word.
    EXPECT_EQ(SplitCommandLine("  edit    a.txt  "), QStringList({"edit", "a.txt"}));
    EXPECT_EQ(SplitCommandLine("x \"\" y"), QStringList({"x", "", "y"}));
    EXPECT_EQ(SplitCommandLine("c:\\\"my docs\"\\a.txt"), QStringList({"c:\\my docs\\a.txt"}));
    EXPECT_TRUE(SplitCommandLine("").isEmpty());
}

TEST(StartAttempts, AProgramIsTriedAsTypedThenAsComThenAsABatchThroughTheInterpreter) {
    EXPECT_EQ(AttemptCommandLine("edit readme.txt", 1), "edit readme.txt");
    EXPECT_EQ(AttemptCommandLine("edit readme.txt", 2), "edit.com readme.txt");
    EXPECT_EQ(AttemptCommandLine("edit readme.txt", 3), "c:\\command.com /c edit.bat readme.txt");
    EXPECT_EQ(AttemptCommandLine("edit", 2), "edit.com");
    // A quoted program keeps its blanks through every attempt.
    EXPECT_EQ(AttemptCommandLine("\"my tool\" \"a b.txt\"", 2), "\"my tool.com\" \"a b.txt\"");
    EXPECT_EQ(AttemptCommandLine("\"my tool\" \"a b.txt\"", 3), "c:\\command.com /c \"my tool.bat\" \"a b.txt\"");
    // A batch file named anywhere goes through the interpreter from the first attempt.
    EXPECT_EQ(AttemptCommandLine("build.bat all", 1), "c:\\command.com /c build.bat all");
}

TEST(FolderOperands, ChangeFolderTargetsFollowTheDriveTheCurrentFolderAndTheParent) {
    TempPrefix machine;   // resolving paths needs a drive map
    machine.setup();
    EXPECT_EQ(ResolveChdirTarget("..", "c:", "c:\\apps\\x", "c:\\apps"), "c:\\apps");
    EXPECT_EQ(ResolveChdirTarget("..", "c:", "c:", ""), "") << "the root has no parent";
    EXPECT_EQ(ResolveChdirTarget("\\", "c:", "c:\\apps", "c:"), "c:");
    EXPECT_EQ(ResolveChdirTarget("\\a", "c:", "c:\\apps", "c:"), "c:\\a");
    EXPECT_EQ(ResolveChdirTarget("\\windows", "c:", "c:\\apps", "c:"), "c:\\windows");
    EXPECT_EQ(ResolveChdirTarget("windows", "c:", "c:\\apps", "c:"), "c:\\apps\\windows");
    EXPECT_EQ(ResolveChdirTarget("windows\\", "c:", "c:", ""), "c:\\windows");
    EXPECT_EQ(ResolveChdirTarget("d:\\data", "c:", "c:\\apps", "c:"), "d:\\data");
    // A bare drive: the window's own one means its root, another one nothing.
    EXPECT_EQ(ResolveChdirTarget("c:", "c:", "c:\\apps", "c:"), "c:");
    EXPECT_EQ(ResolveChdirTarget("c:\\", "c:", "c:\\apps", "c:"), "c:");
    EXPECT_EQ(ResolveChdirTarget("d:", "c:", "c:\\apps", "c:"), "");

    EXPECT_EQ(ResolveFolderOperand("new", "c:", "c:"), "c:\\new");
    EXPECT_EQ(ResolveFolderOperand("new\\deeper", "c:", "c:\\apps"), "c:\\apps\\new\\deeper");
    EXPECT_EQ(ResolveFolderOperand("\\top", "c:", "c:\\apps"), "c:\\top");
    EXPECT_EQ(ResolveFolderOperand("d:\\x", "c:", "c:\\apps"), "d:\\x");
    EXPECT_EQ(ResolveFolderOperand("", "c:", "c:\\apps"), "");
}

TEST(Associations, TheExtensionFieldDecidesAndANameWithoutExtensionHasNone) {
    const QStringList lines = {".txt,Text document,c:\\windows\\notepad.exe",
                               ".bmp,Bitmap picture (.doc too),c:\\windows\\pbrush.exe",
                               ".doc,Word document,c:\\windows\\write.exe", ""};
    EXPECT_EQ(AssociatedProgram(lines, "readme.txt"), "c:\\windows\\notepad.exe");
    EXPECT_EQ(AssociatedProgram(lines, "README.TXT"), "c:\\windows\\notepad.exe");
    EXPECT_EQ(AssociatedProgram(lines, "letter.doc"), "c:\\windows\\write.exe")
        << "a description that names the extension does not decide";
    EXPECT_EQ(AssociatedProgram(lines, "old.tx"), "c:\\windows\\notepad.exe")
        << "the line only has to hold the extension";
    EXPECT_EQ(AssociatedProgram(lines, "makefile"), "");
    EXPECT_EQ(AssociatedProgram(lines, "trailing."), "");
    EXPECT_EQ(AssociatedProgram(lines, "a.exe"), "") << "the program path is not an extension";
    EXPECT_EQ(AssociatedProgram(lines, "x.zip"), "");
    EXPECT_EQ(ExtensionOf("archive.tar.gz"), ".GZ");
    EXPECT_EQ(ExtensionOf("makefile"), "");
    for (const char* e : {".EXE", ".COM", ".BAT", ".LNK"}) EXPECT_TRUE(IsProgramExtension(e));
    EXPECT_FALSE(IsProgramExtension(".TXT"));
}
