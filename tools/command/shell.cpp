#include "shell.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <csignal>
#include <memory>
#include <optional>
#include "batch.h"
#include "builtins.h"
#include "console.h"
#include "parse.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prefix.h"
#include "texts.h"

namespace command {

QString DefaultPath() {
    return (platform::WindowsDirectory() + u';' + platform::SystemDirectory() + u';' + platform::ProgramDirectory())
        .toUpper();
}

void InitShell(Shell& shell) {
    shell.variables.clear();
    SetVariable(shell, "COMSPEC", "C:\\COMMAND.COM");
    SetVariable(shell, "PATH", DefaultPath());
    SetVariable(shell, "PROMPT", "$p$g");
}

QString Variable(const Shell& shell, const QString& name) {
    const QString key = name.toUpper();
    for (const auto& v : shell.variables)
        if (v.first == key) return v.second;
    return QString();
}

void SetVariable(Shell& shell, const QString& name, const QString& value) {
    const QString key = name.toUpper();
    for (qsizetype i = 0; i < shell.variables.size(); ++i) {
        if (shell.variables[i].first != key) continue;
        if (value.isEmpty()) shell.variables.removeAt(i);
        else shell.variables[i].second = value;
        return;
    }
    if (!value.isEmpty()) shell.variables.append({key, value});
}

QString PromptText(const Shell& shell) {
    QString codes = Variable(shell, "PROMPT");
    if (codes.isEmpty()) codes = QStringLiteral("$p$g");
    QString out;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (codes[i] != u'$' || i + 1 == codes.size()) {
            out += codes[i];
            continue;
        }
        switch (codes[++i].toLower().unicode()) {
        case 'p': out += Shown(platform::CurrentFolder(platform::CurrentDrive()[0])); break;
        case 'n': out += platform::CurrentDrive().left(1).toUpper(); break;
        case 'g': out += u'>'; break;
        case 'l': out += u'<'; break;
        case 'b': out += u'|'; break;
        case 'q': out += u'='; break;
        case '$': out += u'$'; break;
        case '_': out += u'\n'; break;
        case 'd': out += QDate::currentDate().toString("ddd MM-dd-yyyy"); break;
        case 't': out += QTime::currentTime().toString("hh:mm:ss.zzz").chopped(1); break;
        case 'v': out += text::Version; break;
        case 'e': out += QChar(0x1b); break;
        case 'h': out.chop(1); break;   // a backspace takes back the character before it
        default: break;
        }
    }
    return out;
}

void Write(Shell& shell, const QString& text) { WriteBytes(shell, text.toUtf8()); }

void WriteBytes(Shell& shell, const QByteArray& bytes) {
    if (!shell.out.device || shell.out.failed) return;
    if (shell.out.device->write(bytes) != bytes.size()) shell.out.failed = true;
}

void WriteLine(Shell& shell, const QString& text) { Write(shell, text + u'\n'); }

QString ReadLine(Shell& shell) {
    QIODevice* in = shell.in.device;
    if (!in) return QString();
    std::optional<console::SuspendKeyOff> noSuspend;
    if (shell.in.console) noSuspend.emplace();
    QByteArray line = in->readLine();
    if (line.isEmpty()) return QString();
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    return QString::fromUtf8(line);
}

bool AskYes(Shell& shell, const QString& question) {
    Write(shell, question);
    const QString answer = ReadLine(shell);
    if (!shell.in.console) WriteLine(shell, answer);   // the terminal shows what was typed
    return answer.trimmed().startsWith(u'y', Qt::CaseInsensitive);
}

namespace {
volatile sig_atomic_t breakRequested = 0;
}

void RequestBreak() { breakRequested = 1; }

bool TakeBreak() {
    const bool was = breakRequested != 0;
    breakRequested = 0;
    return was;
}

void AdoptHostFolder() {
    const QString dos = platform::HostToDos(QDir::currentPath());
    if (dos.size() >= 2 && platform::ChangeDrive(dos[0]) == err::None) {
        platform::ChangeFolder(dos);
        return;
    }
    platform::ChangeDrive(u'c');
}

void RunLine(Shell& shell, const QString& line) {
    const QString expanded =
        ExpandVariables(line, [&shell](const QString& name) { return Variable(shell, name); }, nullptr);
    ExecuteLine(shell, expanded);
}

namespace {

bool IsDeviceName(const QString& name, const char* device) {
    const QString n = name.trimmed().toLower();
    return n == QLatin1String(device) || n == QLatin1String(device) + u':';
}

const QString NullDevice = QStringLiteral("/dev/null");

// Opens a redirection file; a message and false when it can't be had.
bool OpenInput(Shell& shell, const QString& name, QFile* file, Stream* stream) {
    QString host = NullDevice;
    if (!IsDeviceName(name, "nul")) {
        int attributes = 0;
        ErrorCode e = platform::DosToHost(name, &host);
        if (!e) e = platform::GetAttributes(name, &attributes);
        if (!e && (attributes & platform::attr::Directory)) e = err::AccessDenied;
        if (e) {
            ShowError(shell, e);
            return false;
        }
    }
    file->setFileName(host);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        ShowError(shell, err::AccessDenied);
        return false;
    }
    *stream = {file, host, false};
    return true;
}

bool OpenOutput(Shell& shell, const QString& name, bool append, QFile* file, Stream* stream) {
    QString host = NullDevice;
    if (!IsDeviceName(name, "nul")) {
        ErrorCode e = platform::DosToHost(name, &host);
        // ">" starts the file afresh; ">>" adds to it and makes it when missing.
        if (!e && (!append || !QFileInfo::exists(host))) e = platform::CreateEmptyFile(name);
        if (e) {
            ShowError(shell, e);
            return false;
        }
    }
    file->setFileName(host);
    // Always appending, so that the interpreter's own lines and those of the
    // programs it starts on the same file follow each other.
    const QIODevice::OpenMode mode = host == NullDevice ? QIODevice::WriteOnly : QIODevice::Append;
    if (!file->open(mode | QIODevice::Unbuffered)) {
        ShowError(shell, err::AccessDenied);
        return false;
    }
    *stream = {file, host, false};
    return true;
}

}  // namespace

void ExecuteLine(Shell& shell, const QString& line) {
    QString text = line.trimmed();
    while (text.startsWith(u'@')) text = text.mid(1).trimmed();
    if (text.isEmpty() || text.startsWith(u':')) return;
    // A remark is not parsed: its signs redirect nothing.
    if (SplitCommandWord(text, BuiltinNames()).word == u"rem") return;

    // The whole line is checked before any part of it runs.
    const QStringList parts = SplitPipeline(text);
    QList<QPair<QString, Redirections>> commands;
    for (const QString& part : parts) {
        QString cmd;
        Redirections r;
        if (!ExtractRedirections(part, &cmd, &r) || (parts.size() > 1 && cmd.trimmed().isEmpty())) {
            WriteLine(shell, text::SyntaxError);
            shell.errorLevel = 1;
            return;
        }
        commands.append({cmd, r});
    }
    std::unique_ptr<QTemporaryFile> previous;
    for (qsizetype i = 0; i < commands.size() && !shell.exitRequested; ++i) {
        const QString& cmd = commands[i].first;
        const Redirections& r = commands[i].second;
        const Stream savedIn = shell.in, savedOut = shell.out;
        QFile inFile, outFile, pipeIn;
        std::unique_ptr<QTemporaryFile> pipeOut;
        bool ok = true;
        if (!r.input.isEmpty() && !IsDeviceName(r.input, "con")) {
            ok = OpenInput(shell, r.input, &inFile, &shell.in);
        } else if (previous) {
            pipeIn.setFileName(previous->fileName());
            ok = pipeIn.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
            shell.in = {&pipeIn, previous->fileName(), false};
        }
        if (ok && !r.output.isEmpty() && !IsDeviceName(r.output, "con")) {
            ok = OpenOutput(shell, r.output, r.append, &outFile, &shell.out);
        } else if (ok && i + 1 < commands.size()) {
            // A pipe is a temporary file: the next command reads what this one wrote.
            pipeOut = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/quorl-pipe-XXXXXX");
            ok = pipeOut->open();
            if (ok) {
                pipeOut->close();
                outFile.setFileName(pipeOut->fileName());
                ok = outFile.open(QIODevice::Append | QIODevice::Unbuffered);
                shell.out = {&outFile, pipeOut->fileName(), false};
            }
        }
        if (ok) ExecuteCommand(shell, cmd);
        else shell.errorLevel = 1;
        shell.in = savedIn;
        shell.out = savedOut;
        if (!ok) return;
        previous = std::move(pipeOut);
    }
}

}  // namespace command
