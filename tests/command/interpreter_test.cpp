// The built quorl-command as the program and the archivers start it: c:\command.com
// in a prefix made by setup, with /c, /k, or commands on its input.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include "fixture.h"

namespace {

class InterpreterTest : public ::testing::Test {
protected:
    TempPrefix tp;
    QString xdg;

    void SetUp() override {
        // ctest names the build folder; run by hand, the test binary sits in it too.
        if (qEnvironmentVariableIsEmpty("QUORL_BIN_DIR")) qputenv("QUORL_BIN_DIR", QFile::encodeName(QCoreApplication::applicationDirPath()));
        tp.setup();
        // The child finds the prefix through XDG_DATA_HOME, as the program does.
        xdg = tp.base() + "/xdg";
        QDir().mkpath(xdg);
        ASSERT_EQ(::symlink(QFile::encodeName(tp.prefix()).constData(), QFile::encodeName(xdg + "/quorl").constData()), 0);
        ASSERT_TRUE(QFileInfo(tp.host("c:\\command.com")).isExecutable())
            << "setup did not link quorl-command; build it beside quorl-setup";
    }

    struct Result {
        int code = -1;
        QString out;
        bool crashed = false;
    };
    // fileSizeLimit: no file the interpreter writes may grow past it, as in a captured run.
    Result start(const QStringList& args, const QString& dosFolder, const QByteArray& input = QByteArray(),
                 qint64 fileSizeLimit = 0) {
        QProcess p;
        if (fileSizeLimit > 0)
            p.setChildProcessModifier([fileSizeLimit] {
                const struct rlimit limit {rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", xdg);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(tp.host(dosFolder));
        p.start(tp.host("c:\\command.com"), args);
        EXPECT_TRUE(p.waitForStarted());
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), p.exitStatus() != QProcess::NormalExit};
    }
};

}  // namespace

TEST_F(InterpreterTest, CapturedBatchWritesItsFilesAndEndsWithItsErrorlevel) {
    // What the program's DOS box does for a captured command.
    QDir().mkpath(tp.host("c:\\work"));
    tp.writeFile("c:\\work\\notes.txt", "some notes\n");
    tp.writeFile("c:\\shelling.bat", "@echo off\r\ndir >c:\\dosdump.tmp\r\n");
    Result r = start({"/c", "c:\\shelling.bat"}, "c:\\work");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    const QString dump = QString::fromUtf8(tp.readFile("c:\\dosdump.tmp"));
    EXPECT_TRUE(dump.contains(" Directory of C:\\WORK\n")) << dump.toStdString();
    EXPECT_TRUE(dump.contains("NOTES    TXT            11  ")) << dump.toStdString();
    EXPECT_TRUE(dump.contains(" bytes free\n"));

    // A batch file that makes a file and ends with an errorlevel.
    tp.writeFile("c:\\work\\make.bat", "@echo off\necho made> made.txt\ncopy made.txt again.txt > nul\nexit 7\n");
    r = start({"/c", "make"}, "c:\\work");
    EXPECT_EQ(r.code, 7);
    EXPECT_EQ(tp.readFile("c:\\work\\made.txt"), "made\n");
    EXPECT_EQ(tp.readFile("c:\\work\\again.txt"), "made\n");

    // The line as one argument or split at its blanks; a missing program is errorlevel 1.
    EXPECT_EQ(start({"/c", "echo one  two"}, "c:").out, "one  two\n");
    EXPECT_EQ(start({"/c", "type", "c:\\work\\notes.txt"}, "c:").out, "some notes\n");
    r = start({"/C", "nosuchprogram"}, "c:");
    EXPECT_EQ(r.out, "Bad command or file name\n");
    EXPECT_EQ(r.code, 1);
    // It starts in the folder it was started in.
    EXPECT_EQ(start({"/c", "cd"}, "c:\\work").out, "C:\\WORK\n");
}

TEST_F(InterpreterTest, InteractivePromptAndStayingOpenAfterK) {
    QDir().mkpath(tp.host("c:\\quorl\\sub"));
    Result r = start({}, "c:\\quorl", "cd sub\necho here\nexit\n");
    EXPECT_EQ(r.out, "\nC:\\QUORL>\nC:\\QUORL\\SUB>here\n\nC:\\QUORL\\SUB>");
    r = start({"/k", "echo first"}, "c:", "echo second\n");
    EXPECT_EQ(r.out, "first\n\nC:\\>second\n\nC:\\>\n");
    EXPECT_EQ(r.code, 0);
}

TEST_F(InterpreterTest, CtrlCEndsTheBatchFilesButNotTheInterpreter) {
    // A program that sends the interpreter Ctrl+C, as a terminal does to the whole group.
    tp.writeFile("c:\\bin\\break.exe", "#!/bin/sh\nkill -INT $PPID\n");
    const QString breaker = tp.host("c:\\bin\\break.exe");
    QFile::setPermissions(breaker, QFile::permissions(breaker) | QFile::ExeOwner);
    tp.writeFile("c:\\outer.bat", "@echo off\necho before\ncall c:\\inner.bat\necho outer after\n");
    tp.writeFile("c:\\inner.bat", "c:\\bin\\break.exe\necho inner after\n");
    const Result r = start({"/k", "c:\\outer.bat"}, "c:", "echo still here\n");
    EXPECT_EQ(r.out, "before\n^C\n\nC:\\>still here\n\nC:\\>\n");
    EXPECT_EQ(r.code, 0);
}

TEST_F(InterpreterTest, InterpretersStartingThemselvesAndOutputPastTheLimitEndWithoutACrash) {
    // A batch file that starts the interpreter on itself: a chain of processes, ended with a message.
    tp.writeFile("c:\\again.bat", "@echo off\r\necho level\r\nc:\\command.com /c c:\\again.bat\r\n");
    Result r = start({"/c", "c:\\again.bat"}, "c:");
    EXPECT_EQ(r.out.count("level\n"), 16);
    EXPECT_TRUE(r.out.endsWith("level\nExceeded batch nesting limit\n")) << r.out.toStdString();

    // A listing that meets the size a captured run may write stops there; the interpreter ends as usual.
    for (int i = 0; i < 300; ++i) tp.writeFile(QString("c:\\many\\file%1.txt").arg(i), "x");
    r = start({"/c", "dir c:\\many /s >c:\\dosdump.tmp"}, "c:", QByteArray(), 8192);
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(tp.readFile("c:\\dosdump.tmp").size(), 8192);
}
