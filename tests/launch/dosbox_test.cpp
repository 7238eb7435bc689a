// The DOS box of a drive window as a user types into it, the MS-DOS window,
// the Execute command, the Tools menu and the settings-panel buttons.
#include "launch_fixture.h"
#include "launch/dosbox.h"
#include "launch/external.h"

namespace {
const QString Confirm = "Are you sure you want to delete this folder ?";
}

TEST_F(LaunchTest, FolderCommandsActOnTheLoggedTreeAndNeverReachBeyondIt) {
    const QString d = drive('d');
    mkdir(d + "/apps/windows");
    mkdir(d + "/docs");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    w->Node(1)->setExpanded(true);

    typeCommand(w, "cd apps");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:\\apps");
    EXPECT_TRUE(w->txtDos->text().isEmpty());
    // Hidden in a collapsed branch: ignored, silently.
    typeCommand(w, "CD WINDOWS");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:\\apps");
    node(w, "d:\\apps")->setExpanded(true);
    typeCommand(w, "CD WINDOWS");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:\\apps\\windows");
    typeCommand(w, "cd..");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:\\apps");
    typeCommand(w, "cd\\");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:");
    typeCommand(w, "cd \\docs");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:\\docs");
    typeCommand(w, "cd nothere");
    typeCommand(w, "cd d:");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:");

    typeCommand(w, "md new");
    EXPECT_TRUE(QFileInfo(d + "/new").isDir());
    EXPECT_TRUE(node(w, "d:\\new"));
    prompts.expect("Folder already exists", PromptAnswer::Ok, "Error");
    typeCommand(w, "md new");
    typeCommand(w, "md \\docs\\a\\b");
    EXPECT_TRUE(QFileInfo(d + "/docs/a/b").isDir());
    prompts.expect(ErrorMessage(68));
    typeCommand(w, "md q:\\x");

    // Esc only empties the box.
    w->txtDos->setText("md never");
    key(w->txtDos, Qt::Key_Escape);
    EXPECT_TRUE(w->txtDos->text().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(d + "/never"));

    prompts.expect(Confirm, PromptAnswer::No);
    typeCommand(w, "rd new");
    EXPECT_TRUE(QFileInfo(d + "/new").isDir());
    // Answering No left the folder selected, so a relative name now looks inside it.
    EXPECT_EQ(slotOf(w).CurrentPath, "d:\\new");
    typeCommand(w, "rd new");
    prompts.expect(Confirm, PromptAnswer::Yes);
    typeCommand(w, "rd \\new");
    EXPECT_FALSE(QFileInfo::exists(d + "/new"));
    EXPECT_FALSE(node(w, "d:\\new"));
    EXPECT_TRUE(prompts.done());
    // Nothing typed here ever started a program.
    EXPECT_FALSE(recorded("command"));
    EXPECT_FALSE(recorded("terminal"));
}

TEST_F(LaunchTest, CapturedCommandsShowTheirOutputUnderTheCommandWordAndInterpreterCommandsKeepAConsole) {
    const QString d = drive('d');
    mkdir(d + "/docs");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    w->Node(1)->setExpanded(true);
    typeCommand(w, "cd docs");

    typeCommand(w, "TYPE 100%.txt");
    EXPECT_EQ(record("command"), QStringList({d + "/docs", "/c", "c:\\shelling.bat"}));
    // The batch file keeps what was typed: its case, and each "%" doubled, so
    // that the interpreter reads it back as one "%".
    EXPECT_EQ(shown, QStringList({"type|TYPE 100%%.txt >c:\\dosdump.tmp"}));
    EXPECT_EQ(prefix.readFile("c:\\shelling.bat"), QByteArray("@echo off\r\nTYPE 100%%.txt >c:\\dosdump.tmp\r\n"));
    // The process went back to the drive's root afterwards.
    EXPECT_EQ(QDir::currentPath(), QFileInfo(d).canonicalFilePath());

    typeCommand(w, "Echo Hello");
    const QString interpreter = prefix.host("c:\\command.com");
    EXPECT_EQ(record("terminal"), QStringList({d + "/docs", "-e", interpreter, "/k", "Echo", "Hello"}));
    EXPECT_EQ(record("command"), QStringList({d + "/docs", "/k", "Echo", "Hello"}));

    // A capture stops at its limit with a note, whatever writes it; a link planted
    // at the batch file's name is replaced, not written through.
    const QString batch = prefix.host("c:\\shelling.bat"), mine = d + "/docs/mine.txt";
    files(d + "/docs/", {{"mine.txt", 4}});
    QFile::remove(batch);
    ASSERT_TRUE(QFile::link(mine, batch));
    SetCaptureLimit(1 << 20);
    script(interpreter, "command", QString("yes 'a line' | head -c 3000000 > '%1'\n").arg(prefix.host("c:\\dosdump.tmp")));
    typeCommand(w, "dir /s");
    const QByteArray dump = prefix.readFile("c:\\dosdump.tmp");
    EXPECT_LE(dump.size(), 1 << 20);
    EXPECT_TRUE(dump.endsWith("a line\n--- Output cut at 1 MB ---\n")) << dump.right(60).toStdString();
    EXPECT_FALSE(QFileInfo(batch).isSymLink());
    EXPECT_EQ(QFileInfo(mine).size(), 4);

    // Without the interpreter a captured command does nothing at all.
    shown.clear();
    QFile::remove(interpreter);
    typeCommand(w, "dir");
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_TRUE(prompts.done());
}

TEST_F(LaunchTest, ProgramsAreTriedAsTypedThenComThenBatchAndGetHostPaths) {
    const QString d = drive('d');
    mkdir(d + "/apps");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    w->Node(1)->setExpanded(true);
    typeCommand(w, "cd apps");

    // Only a batch file: the third attempt, through the interpreter in a console.
    file(d + "/apps/edit.bat");
    typeCommand(w, "edit x.txt");
    EXPECT_EQ(record("terminal"), QStringList({d + "/apps", "-e", prefix.host("c:\\command.com"), "/c", "edit.bat", "x.txt"}));
    // A .com beside it comes first.
    script(d + "/apps/edit.com", "edit");
    typeCommand(w, "edit \"my notes.txt\" a;b $(touch\\ pwned)");
    EXPECT_EQ(record("edit"), QStringList({d + "/apps", "my notes.txt", "a;b", "$(touch\\", "pwned)"}));
    EXPECT_FALSE(QFileInfo::exists(d + "/apps/pwned"));
    EXPECT_FALSE(recorded("terminal"));

    // DOS paths, absolute or relative, become host paths as on disk for a
    // program that is not the project's own; every other word stays as typed.
    script(d + "/apps/tool.exe", "tool");
    mkdir(d + "/apps/Sub");
    typeCommand(w, "TOOL c:\\windows\\quorl.ini @d:\\apps\\list.lst !\\apps -v Plain sub\\New.txt c:windows a\\.b 100%");
    EXPECT_EQ(record("tool"), QStringList({d + "/apps", prefix.host("c:\\windows\\quorl.ini"), "@" + d + "/apps/list.lst",
                                           "!" + d + "/apps", "-v", "Plain", d + "/apps/Sub/New.txt",
                                           prefix.host("c:\\windows"), "a\\.b", "100%"}));
    // Found along the path when not in the current folder.
    script(prefix.host("c:\\windows") + "/onpath.exe", "onpath");
    typeCommand(w, "onpath");
    EXPECT_EQ(record("onpath"), QStringList({d + "/apps"}));

    prompts.expect(ErrorMessage(53));
    typeCommand(w, "nothing here");
    prompts.expect(ErrorMessage(53));
    typeCommand(w, "q:\\x.exe");
    prompts.expect(ErrorMessage(53));
    typeCommand(w, QString(5000, 'a'));
    prompts.expect("Bad command or file name");
    w->txtDos->setText(QString("dir") + QChar(7));
    key(w->txtDos, Qt::Key_Return);
    EXPECT_TRUE(prompts.done());
}

TEST_F(LaunchTest, ACurrentFolderThatVanishedRunsNothingAndLeavesNoProcessInIt) {
    const QString d = drive('d');
    mkdir(d + "/gone");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    w->Node(1)->setExpanded(true);
    typeCommand(w, "cd gone");
    ASSERT_EQ(slotOf(w).CurrentPath, "d:\\gone");
    ASSERT_TRUE(QDir(d + "/gone").removeRecursively());
    typeCommand(w, "dir");
    typeCommand(w, "echo x");
    typeCommand(w, "md sub");
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(prefix.host("c:\\shelling.bat")));
    EXPECT_FALSE(recorded("terminal"));
    EXPECT_FALSE(QFileInfo::exists(d + "/gone"));
    EXPECT_TRUE(QFileInfo(QDir::currentPath()).isDir());
    EXPECT_TRUE(prompts.done());
}
