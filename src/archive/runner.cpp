#include "archive/runner.h"
#include "launch/commandline.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <unistd.h>
#include "platform/paths.h"
#include "ui/errors.h"
#include "ui/prompter.h"

namespace {
ArchiverRunner& InstalledRunner() {
    static ArchiverRunner runner;
    return runner;
}

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress: case QEvent::KeyRelease: case QEvent::ShortcutOverride: case QEvent::Shortcut:
    case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
    case QEvent::Wheel: case QEvent::Close: case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

// The processes of a group but its leader.
QList<pid_t> ProcessesBelowLeader(pid_t group) {
    QList<pid_t> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        QFile stat("/proc/" + entry + "/stat");
        if (!number || pid == group || !stat.open(QIODevice::ReadOnly)) continue;
        // After the command name in parentheses: state, parent, group.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toInt() == group) found << pid;
    }
    return found;
}

// The interpreter, the front end and the archiver share one process group.
// The programs below the interpreter are asked to end, and it ends when they
// have, so its output stays open while the archiver removes its temporary
// files (a write to a closed output would kill it half way); a program run
// on its own is asked itself.
void AskGroupToEnd(pid_t group) {
    const QList<pid_t> below = ProcessesBelowLeader(group);
    if (below.isEmpty()) ::kill(group, SIGTERM);
    for (pid_t pid : below) ::kill(pid, SIGTERM);
}

// While an archiver runs the windows keep painting, but the user's keys and
// clicks wait, so that no other command starts on a folder being written; Esc
// offers to stop the archiver.
class RunWatch : public QObject {
public:
    explicit RunWatch(QProcess* process) : process_(process) { qApp->installEventFilter(this); }
    ~RunWatch() override { qApp->removeEventFilter(this); }
    bool stopped = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (asking_ || !IsUserInput(event->type())) return QObject::eventFilter(watched, event);
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) askToStop();
        return true;
    }

private:
    void askToStop() {
        asking_ = true;
        const bool stop = AskYesNo(StopArchiverQuestion, "Question");
        asking_ = false;
        if (!stop || !process_ || process_->state() == QProcess::NotRunning) return;
        stopped = true;
        const pid_t group = pid_t(process_->processId());
        AskGroupToEnd(group);
        // An archiver that ignores the request is ended outright.
        QTimer::singleShot(3000, process_, [p = QPointer<QProcess>(process_), group] {
            if (p && p->state() != QProcess::NotRunning) ::kill(-group, SIGKILL);
        });
    }
    QPointer<QProcess> process_;
    bool asking_ = false;
};

QString LastLine(const QString& text) {
    const QStringList lines = OutputLines(text);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}
}  // namespace

QStringList OutputLines(const QString& output) {
    QStringList lines;
    QString line;
    qsizetype cursor = 0;
    const auto finish = [&] {
        while (line.endsWith(u' ')) line.chop(1);
        if (!line.isEmpty()) lines << line;
        line.clear();
        cursor = 0;
    };
    for (const QChar c : output) {
        if (c == u'\n') {
            finish();
        } else if (c == u'\r') {
            cursor = 0;
        } else if (c == u'\b') {
            cursor = qMax<qsizetype>(0, cursor - 1);
        } else if (c == u'\t' || c.category() != QChar::Other_Control) {
            const QChar shown = c == u'\t' ? QChar(u' ') : c;
            if (cursor < line.size()) line[cursor] = shown;
            else line += shown;
            ++cursor;
        }
    }
    finish();
    return lines;
}

void SetArchiverRunner(ArchiverRunner runner) { InstalledRunner() = std::move(runner); }

ArchiverOutcome RunArchiver(const QString& commandLine, const QString& statusText) {
    if (InstalledRunner()) return InstalledRunner()(commandLine, statusText);
    return RunArchiverProcess(commandLine, statusText);
}

ArchiverOutcome RunArchiverProcess(const QString& commandLine, const QString& statusText) {
    ArchiverOutcome outcome;
    QStringList words = SplitCommandLine(commandLine);
    if (words.isEmpty()) {
        outcome.startError = err::FileNotFound;
        return outcome;
    }
    QString program;
    outcome.startError = platform::DosToHost(words.takeFirst(), &program);
    if (outcome.startError == err::None && !QFileInfo(program).isFile()) outcome.startError = err::FileNotFound;
    if (outcome.startError != err::None) return outcome;

    QProcess process;
    process.setProgram(program);
    process.setArguments(words);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // No one answers an archiver's questions: one that asks reads the end of
    // its input and fails, rather than waiting for ever.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    QEventLoop loop;
    bool failedToStart = false;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        failedToStart = true;
        loop.quit();
    });
    QObject::connect(&process, &QProcess::readyRead, &loop, [&] {
        const QString more = QString::fromLocal8Bit(process.readAll());
        outcome.output += more;
        const QString last = LastLine(more);
        if (!last.isEmpty()) SetStatus(statusText + "  " + last);
    });
    SetStatus(statusText);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    RunWatch watch(&process);
    process.start();
    if (!failedToStart) loop.exec();
    QApplication::restoreOverrideCursor();
    if (failedToStart) {
        outcome.startError = err::AccessDenied;
        return outcome;
    }
    outcome.output += QString::fromLocal8Bit(process.readAll());
    outcome.started = true;
    outcome.stopped = watch.stopped;
    outcome.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return outcome;
}
