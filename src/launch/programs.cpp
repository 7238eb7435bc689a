#include "launch/programs.h"
#include <QFileInfo>
#include <QStandardPaths>
#include <sys/stat.h>
#include <unistd.h>
#include "launch/commandline.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "platform/prefix.h"
#include "platform/process.h"

namespace {
QString JoinDos(const QString& folder, const QString& name) {
    return folder.endsWith(u'\\') ? folder + name : folder + u'\\' + name;
}

// Host file of a DOS path when it is a file the host can start.
QString Startable(const QString& dosPath) {
    QString host;
    if (platform::DosToHost(dosPath, &host) != err::None) return QString();
    const QByteArray bytes = platform::host::Encode(host);
    struct stat st;
    if (::stat(bytes.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return QString();
    if (::access(bytes.constData(), X_OK) != 0 && ExtensionOf(dosPath) != ".BAT") return QString();
    return host;
}

QString Canonical(const QString& hostPath) { return QFileInfo(hostPath).canonicalFilePath(); }

// The project's own tools take DOS paths themselves; they are built as quorl-*.
bool IsProjectTool(const QString& hostPath) { return QFileInfo(Canonical(hostPath)).fileName().startsWith("quorl-"); }

bool IsInterpreter(const QString& hostPath) {
    QString interpreter;
    if (platform::DosToHost(CommandInterpreter, &interpreter) != err::None) return false;
    return !Canonical(hostPath).isEmpty() && Canonical(hostPath) == Canonical(interpreter);
}

// Programs that know nothing of drive letters get host paths.
QStringList HostArguments(const QStringList& words) {
    QStringList out;
    for (const QString& word : words) out << platform::HostWord(word);
    return out;
}
}  // namespace

QStringList ProgramSearchPath() {
    return {platform::WindowsDirectory(), platform::SystemDirectory(), platform::ProgramDirectory()};
}

QString FindProgram(const QString& word, const QString& currentFolder, const QStringList& extensions) {
    if (word.isEmpty() || word.contains(u'*') || word.contains(u'?')) return QString();
    QStringList candidates;
    const qsizetype cut = std::max(word.lastIndexOf(u'\\'), word.lastIndexOf(u':'));
    if (cut >= 0) {
        QString full;
        if (platform::FullDosPath(word.startsWith(u'\\') || word.contains(u':') ? word : JoinDos(currentFolder, word),
                                  &full) != err::None)
            return QString();
        for (const QString& extension : extensions) candidates << full + extension;
    } else {
        for (const QString& folder : QStringList{currentFolder} + ProgramSearchPath())
            for (const QString& extension : extensions) candidates << JoinDos(folder, word + extension);
    }
    for (const QString& candidate : candidates)
        if (!Startable(candidate).isEmpty()) return candidate;
    return QString();
}

ErrorCode PlanCommandLine(const QString& line, const QString& currentFolder, StartPlan* plan) {
    const QStringList words = SplitCommandLine(line);
    if (words.isEmpty()) return err::FileNotFound;
    QString folder;
    struct stat st;
    if (platform::DosToHost(currentFolder, &folder) != err::None ||
        ::stat(platform::host::Encode(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return err::PathNotFound;
    // Without an extension the name is also tried as ".exe", as the system did.
    const QStringList extensions = ExtensionOf(words.first()).isEmpty() ? QStringList{"", ".exe"} : QStringList{""};
    const QString dosProgram = FindProgram(words.first(), currentFolder, extensions);
    if (dosProgram.isEmpty()) return err::FileNotFound;
    StartPlan p;
    p.workingFolder = folder;
    QStringList arguments = words.mid(1);
    if (ExtensionOf(dosProgram) == ".BAT") {
        // A batch file is the interpreter's to run.
        p.program = Startable(CommandInterpreter);
        if (p.program.isEmpty()) return err::FileNotFound;
        arguments.prepend(dosProgram);
        arguments.prepend("/c");
    } else {
        p.program = Startable(dosProgram);
    }
    p.console = IsInterpreter(p.program);
    p.arguments = IsProjectTool(p.program) || p.console ? arguments : HostArguments(arguments);
    *plan = p;
    return err::None;
}

QString TerminalEmulator() {
    const QString chosen = qEnvironmentVariable("QUORL_TERMINAL");
    if (!chosen.isEmpty()) return QStandardPaths::findExecutable(chosen).isEmpty() && !QFileInfo(chosen).isExecutable()
                                      ? QString()
                                      : chosen;
    for (const char* name : {"x-terminal-emulator", "xterm"}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty()) return found;
    }
    return QString();
}

ErrorCode StartDetached(const StartPlan& plan, qint64* processId) {
    QString program = plan.program;
    QStringList arguments = plan.arguments;
    if (plan.console) {
        program = TerminalEmulator();
        if (program.isEmpty()) return err::FileNotFound;
        arguments = QStringList{"-e", plan.program} + plan.arguments;
    }
    return platform::StartDetachedProcess(program, arguments, plan.workingFolder, processId);
}
