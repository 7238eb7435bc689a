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
#include "platform/paths.h"
#include "ui/errors.h"
#include "ui/mainwindow.h"
#include "ui/prompter.h"

namespace {
int& Patience() {
    static int milliseconds = 3000;
    return milliseconds;
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

int RunAndWait(const QString& commandLine) {
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

QString RunCaptured(const QString& program, const QString& commandLine) {
    if (!FileExists(program) || IsFileInUse(program)) return QString();
    QString batch;
    if (platform::DosToHost(ShellingBatch, &batch) != err::None) return QString();
    QFile out(batch);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QString();
    out.write(("@echo off\r\n" + commandLine + "\r\n").toUtf8());
    out.close();
    // An old capture never survives into this run.
    platform::CreateEmptyFile(DosDumpFile);
    RunAndWait(CommandInterpreter + " /c " + ShellingBatch);
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
