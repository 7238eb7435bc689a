#include "launch/waiting.h"
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QVBoxLayout>
#include "launch/commandline.h"
#include "launch/programs.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "ui/errors.h"
#include "ui/mainwindow.h"
#include "ui/prompter.h"
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
int& Patience() {
    static int milliseconds = 3000;
    return milliseconds;
}

qint64& CaptureLimit() {
    static qint64 bytes = qint64(64) << 20;
    return bytes;
}

CapturedOutputViewer& Viewer() {
    static CapturedOutputViewer viewer;
    return viewer;
}

// The current folder of the current drive, or the root of drive C: when that
// folder went away, so that no process starts in a deleted folder.
QString StartingFolder() {
    const QString current = platform::CurrentFolder(platform::CurrentDrive().at(0));
    QString host;
    if (platform::DosToHost(current, &host) == err::None && QFileInfo(host).isDir()) return current;
    return "c:";
}

// The window that offers the way out of a wait that lasts.
class frmWait : public QDialog {
public:
    explicit frmWait(const QString& program) : QDialog(MainWindow()) {
        setObjectName("frmWait");
        setWindowTitle("Waiting");
        auto* layout = new QVBoxLayout(this);
        auto* label = new QLabel(QString("Waiting for %1 to end.\nPress Esc to stop waiting.").arg(program), this);
        label->setObjectName("lblWait");
        layout->addWidget(label);
        setModal(true);
    }
};

bool StopWaiting(QProcess& process) {
    if (!AskYesNo("The program has not ended yet. Stop waiting for it ?", "Question")) return false;
    process.terminate();
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished(-1);
    }
    return true;
}
}  // namespace

void SetWaitPatience(int milliseconds) { Patience() = milliseconds; }
void SetCaptureLimit(qint64 bytes) { CaptureLimit() = bytes; }

namespace {
// fileSizeLimit > 0: no file the process or the programs it starts write grows past it.
int RunAndWaitLimited(const QString& commandLine, qint64 fileSizeLimit) {
    StartPlan plan;
    if (const ErrorCode e = PlanCommandLine(commandLine, StartingFolder(), &plan)) {
        LastError = e;
        return -1;
    }
    QProcess process;
    process.setProgram(plan.program);
    process.setArguments(plan.arguments);
    process.setWorkingDirectory(plan.workingFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    if (fileSizeLimit > 0) {
        process.setChildProcessModifier([fileSizeLimit] {
            const struct rlimit limit {rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    process.start();
    if (!process.waitForStarted(-1)) {
        LastError = err::FileNotFound;
        return -1;
    }
    if (!process.waitForFinished(Patience())) {
        frmWait wait(QFileInfo(plan.program).fileName());
        QObject::connect(&process, &QProcess::finished, &wait, [&wait] { wait.accept(); });
        while (process.state() != QProcess::NotRunning) {
            wait.setResult(QDialog::Rejected);
            CenterForm(&wait, true);
            if (process.state() == QProcess::NotRunning) break;
            if (wait.result() == QDialog::Rejected && StopWaiting(process)) return -1;
        }
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// A capture that reached the limit was cut there; its last lines give way to
// the note, so that the file still ends within the limit.
void NoteCutCapture(const QString& dumpHost, qint64 limit) {
    struct stat st;
    if (::lstat(platform::host::Encode(dumpHost).constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < limit) return;
    const QByteArray note = "\n" + QStringLiteral("--- Output cut at %1 MB ---").arg(limit >> 20).toUtf8() + "\n";
    QFile dump(dumpHost);
    if (limit <= note.size() || !dump.open(QIODevice::ReadWrite)) return;
    qint64 end = limit - note.size();
    // At a line's end where one is near, so that no line or character is shown half.
    const qint64 from = qMax<qint64>(0, end - 4096);
    dump.seek(from);
    const QByteArray tail = dump.read(end - from);
    qsizetype cut = tail.lastIndexOf('\n');
    if (cut < 0) {
        cut = tail.size();
        while (cut > 0 && (quint8(tail[cut - 1]) & 0xC0) == 0x80) --cut;   // UTF-8 continuation bytes
        if (cut > 0 && quint8(tail[cut - 1]) >= 0xC0) --cut;                // and the character's first byte
    }
    end = from + cut;
    if (!dump.resize(end) || !dump.seek(end)) return;
    dump.write(note);
}
}  // namespace

int RunAndWait(const QString& commandLine) { return RunAndWaitLimited(commandLine, 0); }

QString RunCaptured(const QString& program, const QString& commandLine) {
    if (!FileExists(program) || IsFileInUse(program)) return QString();
    QString batch;
    if (platform::DosToHost(ShellingBatch, &batch) != err::None) return QString();
    // The batch file has the program's own name on drive C:; a link planted
    // there is replaced, never written through.
    struct stat st;
    if (::lstat(platform::host::Encode(batch).constData(), &st) == 0 && S_ISLNK(st.st_mode)) QFile::remove(batch);
    QFile out(batch);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QString();
    // In a batch file the interpreter reads "%x%" as a variable and drops a
    // lone "%": doubled, each one reaches the command as it was ("100%.txt").
    out.write(("@echo off\r\n" + QString(commandLine).replace(u'%', QStringLiteral("%%")) + "\r\n").toUtf8());
    out.close();
    // An old capture never survives into this run.
    platform::CreateEmptyFile(DosDumpFile);
    RunAndWaitLimited(CommandInterpreter + " /c " + ShellingBatch, CaptureLimit());
    QString dumpHost;
    if (platform::DosToHost(DosDumpFile, &dumpHost) == err::None) NoteCutCapture(dumpHost, CaptureLimit());
    return DosDumpFile;
}

void SetCapturedOutputViewer(CapturedOutputViewer viewer) { Viewer() = std::move(viewer); }

void ShowCapturedFile(const QString& dumpFile, const QString& caption) {
    if (Viewer()) {
        Viewer()(dumpFile, caption);
        return;
    }
    QString host;
    if (platform::DosToHost(dumpFile, &host) != err::None) return;
    QFile in(host);
    if (!in.open(QIODevice::ReadOnly)) return;
    QDialog window(MainWindow());
    window.setObjectName("frmCaptured");
    window.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&window);
    auto* text = new QPlainTextEdit(&window);
    text->setObjectName("txtCaptured");
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFont("Monospace"));
    text->setPlainText(QString::fromUtf8(in.readAll()));
    layout->addWidget(text);
    window.resize(640, 400);
    CenterForm(&window, true);
}
