// The built quorl-command as the program and the archivers start it: c:\command.com
// in a prefix made by setup, with /c, /k, or commands on its input.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include "fixture.h"

namespace {

// The interpreter in a pseudo-terminal of its own, as in a terminal window:
// keys go in as a terminal sends them, and what it draws comes back.
class Terminal {
public:
    Terminal(const QString& program, const QString& folder, const QString& xdg, int rows) {
        QList<QByteArray> env{"XDG_DATA_HOME=" + QFile::encodeName(xdg), "TERM=xterm", "PATH=/usr/bin:/bin"};
        const QByteArray exe = QFile::encodeName(program), cwd = QFile::encodeName(folder);
        std::vector<char*> argv{const_cast<char*>(exe.constData()), nullptr}, envp;
        for (QByteArray& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        winsize size{};
        size.ws_row = static_cast<unsigned short>(rows);
        size.ws_col = 80;
        pid_ = ::forkpty(&fd_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            if (::chdir(cwd.constData()) == 0) ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
    }
    ~Terminal() {
        if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0) ::close(fd_);
    }
    bool started() const { return pid_ > 0; }
    void keys(const QByteArray& bytes) { ASSERT_EQ(::write(fd_, bytes.constData(), size_t(bytes.size())), bytes.size()); }
    // Waits until the screen output holds `text` `count` times; false after a long wait.
    bool waitFor(const QByteArray& text, int count = 1) {
        for (int waited = 0; seen.count(text) < count; ) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 500) <= 0) {
                if ((waited += 500) >= 30000) return false;
                continue;
            }
            char buf[4096];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) return false;
            seen.append(buf, int(n));
        }
        return true;
    }
    // Waits until the interpreter has set the terminal up for its next read, so
    // that a key sent then reaches it as the key it is: one at a time (raw), or
    // a line with Ctrl+Z as a character.
    bool waitForMode(bool raw) {
        for (int waited = 0; waited < 30000; waited += 20) {
            termios t{};
            if (::tcgetattr(fd_, &t) == 0 &&
                (raw ? !(t.c_lflag & ICANON) : (t.c_lflag & ICANON) && t.c_cc[VSUSP] == _POSIX_VDISABLE))
                return true;
            ::usleep(20000);
        }
        return false;
    }
    // The interpreter ended on its own, with this exit code.
    int ended() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    QByteArray seen;

private:
    int fd_ = -1;
    pid_t pid_ = -1;
};

class InterpreterTest : public ::testing::Test {
protected:
    TempPrefix tp;

    void SetUp() override {
        // ctest names the build folder; run by hand, the test binary sits in it too.
        if (qEnvironmentVariableIsEmpty("QUORL_BIN_DIR")) qputenv("QUORL_BIN_DIR", QFile::encodeName(QCoreApplication::applicationDirPath()));
        tp.setup();
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
        env.insert("XDG_DATA_HOME", tp.base());   // where the child finds the prefix
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

TEST_F(InterpreterTest, CapturedRunsWriteTheirFilesEndWithTheirErrorlevelAndNeverCrash) {
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

    // A batch file that starts the interpreter on itself: a chain of processes, ended with a message.
    tp.writeFile("c:\\again.bat", "@echo off\r\necho level\r\nc:\\command.com /c c:\\again.bat\r\n");
    r = start({"/c", "c:\\again.bat"}, "c:");
    EXPECT_EQ(r.out.count("level\n"), 16);
    EXPECT_TRUE(r.out.endsWith("level\nExceeded batch nesting limit\n")) << r.out.toStdString();

    // A listing that meets the size a captured run may write stops there; the interpreter ends as usual.
    for (int i = 0; i < 300; ++i) tp.writeFile(QString("c:\\many\\file%1.txt").arg(i), "x");
    r = start({"/c", "dir c:\\many /s >c:\\dosdump.tmp"}, "c:", QByteArray(), 8192);
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(tp.readFile("c:\\dosdump.tmp").size(), 8192);
}

TEST_F(InterpreterTest, InteractivePromptStayingOpenAfterKAndCtrlCEndingOnlyTheBatchFiles) {
    QDir().mkpath(tp.host("c:\\quorl\\sub"));
    Result r = start({}, "c:\\quorl", "cd sub\necho here\nexit\n");
    EXPECT_EQ(r.out, "\nC:\\QUORL>\nC:\\QUORL\\SUB>here\n\nC:\\QUORL\\SUB>");
    r = start({"/k", "echo first"}, "c:", "echo second\n");
    EXPECT_EQ(r.out, "first\n\nC:\\>second\n\nC:\\>\n");
    // COPY CON reads its own input up to Ctrl+Z; the commands after it still come.
    r = start({}, "c:", "copy con c:\\note.txt\nnote\x1a\ntype c:\\note.txt\n");
    EXPECT_TRUE(r.out.endsWith("        1 file(s) copied\n\nC:\\>\nC:\\>note\nC:\\>\n")) << r.out.toStdString();
    EXPECT_EQ(r.code, 0);

    // Ctrl+C, sent by a program as a terminal sends it to the whole group, ends the batch files, not the interpreter.
    tp.writeFile("c:\\bin\\break.exe", "#!/bin/sh\nkill -INT $PPID\n");
    const QString breaker = tp.host("c:\\bin\\break.exe");
    QFile::setPermissions(breaker, QFile::permissions(breaker) | QFile::ExeOwner);
    tp.writeFile("c:\\outer.bat", "@echo off\necho before\ncall c:\\inner.bat\necho outer after\n");
    tp.writeFile("c:\\inner.bat", "c:\\bin\\break.exe\necho inner after\n");
    r = start({"/k", "c:\\outer.bat"}, "c:", "echo still here\n");
    EXPECT_EQ(r.out, "before\n^C\n\nC:\\>still here\n\nC:\\>\n");
    EXPECT_EQ(r.code, 0);
}

TEST_F(InterpreterTest, AtATerminalLinesAreEditedAndRecalledMorePagesAndCopyConEndsAtCtrlZ) {
    QString numbered;
    for (int i = 1; i <= 30; ++i) numbered += QString("line %1\r\n").arg(i, 2, 10, QChar(u'0'));
    tp.writeFile("c:\\lines.txt", numbered.toUtf8());
    Terminal t(tp.host("c:\\command.com"), tp.host("c:"), tp.base(), 10);
    ASSERT_TRUE(t.started());
    ASSERT_TRUE(t.waitFor("C:\\>") && t.waitForMode(true));
    const QByteArray prompt = "\r\n\r\nC:\\>";
    // The line before the prompt, and the prompt ready for keys.
    const auto said = [&](const QByteArray& line, int count = 1) {
        return t.waitFor("\r\n" + line + prompt, count) && t.waitForMode(true);
    };

    // Left, End, Home, Delete and Backspace edit; Up and Down recall; F3 repeats the last line.
    t.keys("echo one\r");
    EXPECT_TRUE(said("one"));
    t.keys("\x1b[A\r");
    EXPECT_TRUE(said("one", 2)) << t.seen.toStdString();
    t.keys("echo tw\x1b[DX\x1b[Fo\r");
    EXPECT_TRUE(said("tXwo"));
    t.keys("Xecho three\x1b[H\x1b[3~\r");
    EXPECT_TRUE(said("three"));
    t.keys("\x1bOR\r");
    EXPECT_TRUE(said("three", 2));
    t.keys("echo fourr\x7f\r");
    EXPECT_TRUE(said("four"));
    t.keys("\x1b[A\x1b[A\x1b[A\x1b[B\r");
    EXPECT_TRUE(said("three", 3));
    t.keys("echo junk\x1b" "echo five\r");
    EXPECT_TRUE(said("five"));
    EXPECT_FALSE(t.seen.contains("Bad command")) << t.seen.toStdString();
    EXPECT_FALSE(t.seen.contains("junk\r\n"));

    // A screen of ten rows: nine lines, then MORE waits for a key; Ctrl+C ends it.
    t.keys("type c:\\lines.txt | more\r");
    ASSERT_TRUE(t.waitFor("-- More --"));
    EXPECT_TRUE(t.seen.contains("line 09\r\n"));
    EXPECT_FALSE(t.seen.contains("line 10"));
    ASSERT_TRUE(t.waitForMode(true));
    t.keys(" ");
    ASSERT_TRUE(t.waitFor("-- More --", 2));
    EXPECT_TRUE(t.seen.contains("line 18\r\n"));
    EXPECT_FALSE(t.seen.contains("line 19"));
    ASSERT_TRUE(t.waitForMode(true));
    t.keys("\x03");
    EXPECT_TRUE(t.waitFor("^C" + prompt) && t.waitForMode(true));
    EXPECT_FALSE(t.seen.contains("line 19"));

    // COPY CON: Ctrl+Z (shown as ^Z) or F6 and Enter end the text; the interpreter is not suspended.
    t.keys("copy con c:\\typed.txt\rhello\rwor\x1a\r");
    EXPECT_TRUE(t.waitFor("wor^Z"));
    EXPECT_TRUE(said("        1 file(s) copied"));
    EXPECT_EQ(tp.readFile("c:\\typed.txt"), "hello\nwor");
    t.keys("copy con c:\\f6.txt\rx\x1b[17~\r");
    EXPECT_TRUE(said("        1 file(s) copied", 2));
    EXPECT_EQ(tp.readFile("c:\\f6.txt"), "x");
    // Ctrl+C makes no file.
    t.keys("copy con c:\\never.txt\rabc\r\x03");
    EXPECT_TRUE(t.waitFor("^C" + prompt, 2) && t.waitForMode(true));
    EXPECT_FALSE(QFileInfo::exists(tp.host("c:\\never.txt")));

    // CHOICE takes one key, no Enter; another key only beeps.
    t.keys("choice /c:yn Go on\r");
    ASSERT_TRUE(t.waitFor("Go on [Y,N]?"));
    ASSERT_TRUE(t.waitForMode(true));
    t.keys("qn");
    EXPECT_TRUE(t.waitFor("\aN\r\n"));
    t.keys("if errorlevel 2 echo said no\r");
    EXPECT_TRUE(said("said no"));
    // Ctrl+Z in an answer is a character, not the suspend key.
    t.keys("date\r");
    ASSERT_TRUE(t.waitFor("Enter new date (mm-dd-yy): "));
    ASSERT_TRUE(t.waitForMode(false));
    t.keys("\x1a\r");
    EXPECT_TRUE(t.waitFor("Invalid date\r\nEnter new date (mm-dd-yy): "));
    t.keys("\r");
    t.keys("exit 3\r");
    EXPECT_EQ(t.ended(), 3);
}
