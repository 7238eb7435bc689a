// quorl-command: the command interpreter the prefix knows as c:\command.com.
//   quorl-command              an interactive prompt (lines edited and recalled at a terminal)
//   quorl-command /c line      runs the line and ends with its errorlevel
//   quorl-command /k line      runs the line, then gives the prompt
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <csignal>
#include <cstdio>
#include "console.h"
#include "shell.h"
#include "texts.h"

namespace {

// Interpreters started by interpreters (a batch file that runs "command.com /c"
// on itself) are counted through the environment the next one inherits, so
// that such a chain ends with a message instead of filling the memory.
constexpr int kMaxInterpreters = 16;
const char* const kInterpreterDepth = "QUORL_COMMAND_DEPTH";

void Ignore(int) {}

// The command line the arguments after /c or /k stand for. One argument is
// the line itself; several are an argv split at the blanks, and those that
// hold blanks get their quotes back.
QString JoinArguments(const QStringList& args) {
    if (args.size() == 1) return args.first();
    QStringList parts;
    for (const QString& a : args)
        parts << (a.contains(QRegularExpression("\\s")) && !a.startsWith(u'"') ? u'"' + a + u'"' : a);
    return parts.join(u' ');
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    enum class Mode { Interactive, RunAndExit, RunAndStay } mode = Mode::Interactive;
    QString line;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        if (a.size() < 2 || a[0] != u'/') continue;   // a folder for COMSPEC, as DOS takes it: not needed here
        const QChar s = a[1].toLower();
        if (s != u'c' && s != u'k') continue;          // /p, /e:nnnn and the like change nothing here
        mode = s == u'c' ? Mode::RunAndExit : Mode::RunAndStay;
        QStringList rest = args.mid(i + 1);
        if (a.size() > 2) rest.prepend(a.mid(2));
        line = JoinArguments(rest);
        break;
    }

    // Ctrl+C is the started program's; the interpreter stays (reads restart).
    struct sigaction onBreak {};
    onBreak.sa_handler = [](int) { command::RequestBreak(); };
    onBreak.sa_flags = SA_RESTART;
    sigemptyset(&onBreak.sa_mask);
    sigaction(SIGINT, &onBreak, nullptr);
    // A write past the size a captured run may write fails instead of ending the
    // interpreter, which then stops the command. A handled signal is back to its
    // default in a started program, which ends there.
    struct sigaction onTooLarge {};
    onTooLarge.sa_handler = Ignore;
    sigemptyset(&onTooLarge.sa_mask);
    sigaction(SIGXFSZ, &onTooLarge, nullptr);
    const int depth = qEnvironmentVariableIntValue(kInterpreterDepth) + 1;
    qputenv(kInterpreterDepth, QByteArray::number(depth));

    QFile out, in;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    in.open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered);
    command::Shell shell;
    command::InitShell(shell);
    shell.out = {&out, QString(), true};
    shell.in = {&in, QString(), true};
    command::AdoptHostFolder();
    if (depth > kMaxInterpreters) {
        command::WriteLine(shell, command::text::NestingTooDeep);
        return 1;
    }

    if (mode != Mode::Interactive) {
        command::RunLine(shell, line);
        if (mode == Mode::RunAndExit || shell.exitRequested) return shell.errorLevel;
    }
    const bool editing = command::console::Interactive();
    QStringList history;
    for (;;) {
        command::WriteLine(shell);
        const QString prompt = command::PromptText(shell);
        command::Write(shell, prompt);
        QString typed;
        if (editing) {
            // The cells the prompt's last row takes: colour codes ($e[...m) take none.
            static const QRegularExpression codes("\x1b\\[[0-9;?]*[A-Za-z]");
            const QString lastRow = prompt.mid(prompt.lastIndexOf(u'\n') + 1).remove(codes);
            const auto end = command::console::EditLine(command::LineEditor::Mode::Prompt, history, lastRow.size(), &typed);
            if (end == command::console::LineEnd::Closed) break;
            if (end == command::console::LineEnd::Cancelled) continue;
            command::Remember(&history, typed);
        } else {
            typed = command::ReadLine(shell);
            if (typed.isNull()) {
                command::WriteLine(shell);
                break;
            }
        }
        command::TakeBreak();
        command::RunLine(shell, typed);
        if (shell.exitRequested) break;
    }
    return shell.errorLevel;
}
