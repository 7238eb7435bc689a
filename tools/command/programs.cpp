#include "programs.h"
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include "batch.h"
#include "builtins.h"
#include "parse.h"
#include "platform/curdir.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "texts.h"
#include <sys/stat.h>
#include <unistd.h>

namespace command {

namespace {

bool IsBatchName(const QString& name) { return name.endsWith(QStringLiteral(".bat"), Qt::CaseInsensitive); }

QStringList SearchFolders(const Shell& shell) {
    QStringList folders{platform::CurrentFolder(platform::CurrentDrive()[0])};
    for (const QString& entry : Variable(shell, "PATH").split(u';', Qt::SkipEmptyParts)) {
        QString full;
        if (platform::FullDosPath(entry.trimmed(), &full) == err::None) folders << full.toLower();
    }
    return folders;
}

// The host environment (Linux programs need their own PATH, HOME, DISPLAY),
// with the interpreter's variables added, all but those that only mean
// something to DOS.
QProcessEnvironment ProgramEnvironment(const Shell& shell) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& v : shell.variables) {
        if (v.first == u"PATH" || v.first == u"COMSPEC" || v.first == u"PROMPT") continue;
        env.insert(v.first, v.second);
    }
    return env;
}

void RunExecutable(Shell& shell, const Program& program, const QStringList& args) {
    QProcess process;
    process.setProgram(program.hostPath);
    process.setArguments(args);
    QString cwd;
    if (platform::DosToHost(platform::CurrentFolder(platform::CurrentDrive()[0]), &cwd) == err::None)
        process.setWorkingDirectory(cwd);
    process.setProcessEnvironment(ProgramEnvironment(shell));
    platform::CarryExactly(&process);

    const Stream& out = shell.out;
    const Stream& in = shell.in;
    bool capture = false;
    if (out.console) {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
    } else {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (!out.hostFile.isEmpty()) process.setStandardOutputFile(out.hostFile, QIODevice::Append);
        else capture = out.device != nullptr;
        if (!out.hostFile.isEmpty() || !out.device) capture = false;
    }
    bool feed = false;
    if (in.console) process.setInputChannelMode(QProcess::ForwardedInputChannel);
    else if (!in.hostFile.isEmpty()) process.setStandardInputFile(in.hostFile);
    else if (in.device) feed = true;
    else process.setStandardInputFile(QProcess::nullDevice());

    process.start();
    if (!process.waitForStarted(-1)) {
        WriteLine(shell, text::BadCommand);
        shell.errorLevel = 1;
        return;
    }
    if (feed) {
        process.write(in.device->readAll());
        process.closeWriteChannel();
    }
    while (process.state() != QProcess::NotRunning) {
        if (capture) {
            process.waitForReadyRead(200);
            WriteBytes(shell, process.readAllStandardOutput());
        } else {
            process.waitForFinished(-1);
        }
    }
    if (capture) WriteBytes(shell, process.readAllStandardOutput());
    shell.errorLevel = process.exitStatus() == QProcess::NormalExit ? (process.exitCode() & 0xFF) : 255;
}

}  // namespace

bool FindProgram(const Shell& shell, const QString& word, Program* found) {
    QStringList folders;
    QString name = word;
    const qsizetype cut = std::max(word.lastIndexOf(u'\\'), word.lastIndexOf(u':'));
    if (cut >= 0) {
        QString folder;
        const QString part = word.left(cut + 1);
        // "c:\x\prog" -> folder "c:\x"; "c:prog" -> c:'s current folder; "\prog" -> the root.
        const QString operand = part.endsWith(u'\\') && part.size() > 1 && !part.endsWith(u":\\")
                                    ? part.chopped(1)
                                    : part;
        if (FullFolder(operand, &folder) != err::None) return false;
        folders << folder;
        name = word.mid(cut + 1);
    } else {
        folders = SearchFolders(shell);
    }
    if (name.isEmpty() || HasWildcards(name)) return false;
    const QStringList candidates =
        name.contains(u'.') ? QStringList{name} : QStringList{name + ".com", name + ".exe", name + ".bat"};
    for (const QString& folder : folders) {
        for (const QString& candidate : candidates) {
            const QString dos = JoinPath(folder, candidate);
            QString host;
            if (platform::DosToHost(dos, &host) != err::None) continue;
            const QByteArray bytes = platform::host::Encode(host);
            struct stat st;
            if (::stat(bytes.constData(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
            const bool batch = IsBatchName(candidate);
            if (!batch && ::access(bytes.constData(), X_OK) != 0) continue;
            const QFileInfo info(host);
            found->dosPath = dos;
            found->hostPath = host;
            found->batch = batch;
            found->projectTool = QFileInfo(info.canonicalFilePath()).fileName().startsWith(QStringLiteral("quorl-"));
            return true;
        }
    }
    return false;
}

QStringList HostArguments(const QStringList& args) {
    QStringList out;
    for (const QString& arg : args) out << platform::HostWord(arg);
    return out;
}

void RunProgram(Shell& shell, const QString& word, const QString& rest, bool called) {
    Program program;
    if (!FindProgram(shell, word, &program)) {
        WriteLine(shell, text::BadCommand);
        shell.errorLevel = 1;
        return;
    }
    QStringList args = SplitArguments(rest);
    if (!program.batch) {
        RunExecutable(shell, program, program.projectTool ? args : HostArguments(args));
        return;
    }
    args.prepend(word);
    if (shell.batch && !called) {
        shell.batch->chained = true;
        shell.batch->chainPath = program.dosPath;
        shell.batch->chainArgs = args;
        shell.batch->stop = true;
        return;
    }
    RunBatch(shell, program.dosPath, args, called);
}

}  // namespace command
