#pragma once
#include <QElapsedTimer>
#include <QThread>
#include "../shell/shell_fixture.h"
#include "launch/waiting.h"
#include "platform/names.h"
#include "ui/errors.h"

// Readable names in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// The program on a temporary machine whose command interpreter, terminal
// emulator and programs are small recording scripts: each writes its folder and
// its arguments, one per line, to a record file.
class LaunchTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        records = prefix.base() + "/records";
        QDir().mkpath(records);
        // The console: the fake terminal records, then runs what it was given
        // after "-e", as a terminal does.
        terminal = script(prefix.base() + "/bin/fake-term", "terminal", "shift\nexec \"$@\"\n");
        qputenv("QUORL_TERMINAL", QFile::encodeName(terminal));
        // The interpreter records its arguments and, for a captured run, writes
        // the batch file's command line into the capture file.
        const QString c = prefix.host("c:");
        QFile::remove(c + "/command.com");
        script(c + "/command.com", "command",
               QString("if [ \"$1\" = /c ] && [ \"$2\" = 'c:\\shelling.bat' ]; then\n"
                       "  tail -n 1 '%1/shelling.bat' | tr -d '\\r' > '%1/dosdump.tmp'\nfi\n").arg(c));
        SetCapturedOutputViewer([this](const QString& dump, const QString& caption) {
            shown << caption + "|" + QString::fromUtf8(prefix.readFile(dump)).trimmed();
        });
    }
    void TearDown() override {
        SetCapturedOutputViewer(nullptr);
        qunsetenv("QUORL_TERMINAL");
        SetWaitPatience(3000);
        SetCaptureLimit(64 << 20);
        ShellTest::TearDown();
    }
    // An executable script that records its folder and arguments under `name`.
    QString script(const QString& hostPath, const QString& name, const QString& then = QString()) {
        QDir().mkpath(QFileInfo(hostPath).path());
        QFile f(hostPath);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QString("#!/bin/sh\nprintf '%s\\0' \"$PWD\" \"$@\" > '%1/%2.part'\nmv '%1/%2.part' '%1/%2'\n%3")
                    .arg(records, name, then)
                    .toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
        return hostPath;
    }
    // What a recorder wrote: its folder, then its arguments, each as its bytes
    // came (names.h). Started programs run on their own, so this waits for the
    // record to appear.
    QStringList record(const QString& name) {
        const QString path = records + "/" + name;
        QElapsedTimer t;
        t.start();
        while (!QFileInfo::exists(path) && t.elapsed() < 10000) {
            QApplication::processEvents();
            QThread::msleep(20);
        }
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList words;
        for (const QByteArray& word : f.readAll().split('\0')) words << platform::host::Decode(word);
        if (!words.isEmpty() && words.last().isEmpty()) words.removeLast();
        QFile::remove(path);
        return words;
    }
    bool recorded(const QString& name) const { return QFileInfo::exists(records + "/" + name); }
    void typeCommand(frmBrws* w, const QString& text) {
        w->txtDos->setFocus();
        w->txtDos->setText(text);
        key(w->txtDos, Qt::Key_Return);
    }

    QString records, terminal;
    QStringList shown;
};
