#include "arjfront.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <csignal>
#include "dosnames.h"
#include "platform/curdir.h"
#include "platform/names.h"
#include "platform/paths.h"

namespace archivers {

namespace {

bool IsSwitch(const QString& a) { return a.size() > 1 && a.startsWith(u'-'); }

bool IsExtraction(const QString& command) {
    const QString c = command.toLower();
    return c == u"e" || c == u"x";
}

// A list file's names, translated into a temporary list that lives as long as the call.
bool TranslateList(const QString& dosList, ArjCall* call, QString* listHost, QString* error) {
    QString host;
    if (!TranslateArjPath(dosList, &host, error)) return false;
    bool ok = false;
    const QStringList lines = ReadListFile(host, &ok);
    if (!ok) {
        *error = "Can't read list file " + dosList;
        return false;
    }
    auto temp = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/quorl-arj-XXXXXX.lst");
    if (!temp->open()) {
        *error = "Can't write a temporary list file: " + temp->errorString();
        return false;
    }
    QByteArray text;
    for (const QString& line : lines) {
        QString translated = line;
        // The line is unquoted already: a blank at either end is the name's own.
        if (!IsSwitch(line) && !TranslateArjName(line, &translated, error)) return false;
        text += platform::host::Encode(translated) + '\n';
    }
    if (temp->write(text) != text.size() || !temp->flush()) {
        *error = "Can't write a temporary list file: " + temp->errorString();
        return false;
    }
    temp->close();
    *listHost = temp->fileName();
    call->lists.push_back(std::move(temp));
    return true;
}

}  // namespace

bool TranslateArjPath(const QString& dosText, QString* hostText, QString* error) {
    return TranslateArjName(Unquoted(dosText), hostText, error);
}

bool TranslateArjName(const QString& text, QString* hostText, QString* error) {
    if (IsHostPath(text)) {
        *hostText = text;
        return true;
    }
    const bool trailing = text.endsWith(u'\\') || (text.size() == 2 && text[1] == u':');
    QString dos;
    ErrorCode e = ArgumentToDos(text, &dos);
    QString folder, last;
    if (e == err::None) SplitLast(dos, &folder, &last);
    const bool wild = e == err::None && HasWildcard(last);
    QString host;
    if (e == err::None) e = platform::DosToHost(wild ? folder : dos, &host);
    if (e != err::None) {
        *error = "Can't use " + text + ": " + ErrorText(e);
        return false;
    }
    // arj reads "\\" as a folder and "*" "?" as wildcards, and trims the lines
    // of its list file: such a name would be left out or take other files.
    static const QString unfit = platform::NameFromHost(QStringLiteral("\\*?\n\r"));
    if (!wild && (std::any_of(dos.cbegin(), dos.cend(), [](QChar c) { return unfit.contains(c); }) ||
                  (!trailing && dos.endsWith(u' ')))) {
        *error = "Can't use " + platform::ShownName(text) + ": ARJ can't store this name exactly";
        return false;
    }
    // Below the current folder arj gets a relative name, so that it stores the
    // names as the program wrote them, relative to that folder.
    const QString current = platform::CurrentFolder(platform::CurrentDrive()[0]);
    QString currentHost;
    if (platform::DosToHost(current, &currentHost) == err::None) {
        if (host == currentHost) host = QStringLiteral(".");
        else if (host.startsWith(currentHost + u'/')) host = host.mid(currentHost.size() + 1);
        else if (currentHost == u"/" && host.startsWith(u'/')) host = host.mid(1);
    }
    // DOS's "*.*" takes every name; arj's would skip names without a dot.
    if (wild) host = (host == u"." ? QString() : host + u'/') + (last == u"*.*" ? QStringLiteral("*") : last);
    if (trailing && !host.endsWith(u'/')) host += u'/';
    // A blank it would trim at the start stays behind "./".
    if (host.startsWith(u' ')) host.prepend(QStringLiteral("./"));
    *hostText = host;
    return true;
}

bool TranslateArjArguments(const QStringList& arguments, ArjCall* call, QString* error) {
    QString command;
    int positional = 0;
    for (const QString& raw : arguments) {
        if (IsSwitch(raw)) {
            call->arguments << raw;
            continue;
        }
        ++positional;
        if (positional == 1) {
            command = raw;
            call->arguments << raw;
            continue;
        }
        if (raw.startsWith(u'!') || raw.startsWith(u'@')) {
            QString list;
            if (!TranslateList(raw.mid(1), call, &list, error)) return false;
            call->arguments << raw.left(1) + list;
            continue;
        }
        QString host;
        if (!TranslateArjPath(raw, &host, error)) return false;
        if (positional == 3 && IsExtraction(command) && !host.endsWith(u'/') && !HasWildcard(host) &&
            QFileInfo(host).isDir())
            host += u'/';
        call->arguments << host;
    }
    return true;
}

QString ArjProgram() { return QStringLiteral("/usr/bin/arj"); }

int RunArj(const QStringList& arguments, QTextStream& out, const QString& program) {
    ArjCall call;
    QString error;
    if (!TranslateArjArguments(arguments, &call, &error)) {
        out << error << "\n";
        return 2;
    }
    if (!QFileInfo(program).isExecutable()) {
        out << "ARJ is not installed (" << program << " is missing)\n";
        return 2;
    }
    out.flush();
    QProcess arj;
    arj.setProcessChannelMode(QProcess::ForwardedChannels);
    arj.setInputChannelMode(QProcess::ForwardedInputChannel);
    arj.start(program, call.arguments);
    if (!arj.waitForStarted(-1)) {
        out << "Can't start " << program << ": " << arj.errorString() << "\n";
        return 2;
    }
    // Asked to end, arj removes its temporary files first; this front end
    // waits for that rather than leaving it behind, and reports how it ended.
    const auto previous = ::signal(SIGTERM, SIG_IGN);
    arj.waitForFinished(-1);
    ::signal(SIGTERM, previous);
    if (arj.exitStatus() != QProcess::NormalExit) {
        out << program << " ended abnormally\n";
        return 255;
    }
    return arj.exitCode();
}

}  // namespace archivers
