// The command table, the simple internal commands and what they all share.
#include "builtins.h"
#include <algorithm>
#include <unistd.h>
#include "console.h"
#include "parse.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prefix.h"
#include "programs.h"
#include "texts.h"

namespace command {

const QList<BuiltinEntry>& Builtins() {
    static const QList<BuiltinEntry> table = {
        {"dir", Dir, false},     {"vol", Vol, true},       {"type", Type, false},   {"copy", Copy, false},
        {"del", Del, false},     {"erase", Del, false},    {"rename", Ren, false},  {"ren", Ren, false},
        {"chdir", Cd, false},    {"cd", Cd, false},        {"mkdir", Md, false},    {"md", Md, false},
        {"rmdir", Rd, false},    {"rd", Rd, false},        {"echo", Echo, true},    {"set", Set, true},
        {"path", Path, true},    {"ver", Ver, true},       {"cls", Cls, true},      {"date", Date, true},
        {"time", Time, true},    {"chcp", Chcp, true},     {"exit", Exit, true},    {"rem", Rem, true},
        {"pause", Pause, true},  {"if", If, true},         {"goto", Goto, true},    {"call", Call, true},
        {"shift", Shift, true},  {"for", For, true},       {"prompt", Prompt, true}, {"more", More, false},
        {"find", Find, false},   {"sort", Sort, false},    {"xcopy", Xcopy, false}, {"move", Move, false},
        {"deltree", Deltree, false}, {"tree", Tree, false}, {"attrib", Attrib, false}, {"label", Label, false},
        {"choice", Choice, false},
    };
    return table;
}

QStringList BuiltinNames() {
    static const QStringList names = [] {
        QStringList n;
        for (const BuiltinEntry& b : Builtins()) n << b.name;
        // The longer name first where one begins another ("rename" before "ren").
        std::stable_sort(n.begin(), n.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
        return n;
    }();
    return names;
}

namespace {
// IF, CALL and batch files run commands inside commands, each a level deeper on
// the stack: a batch file that calls itself ends here with a message, long
// before the stack would run out.
constexpr int kMaxNesting = 500;

struct NestingLevel {
    Shell& shell;
    explicit NestingLevel(Shell& s) : shell(s) { ++shell.nesting; }
    ~NestingLevel() { --shell.nesting; }
};
}  // namespace

void ExecuteCommand(Shell& shell, const QString& text) {
    const CommandWord cw = SplitCommandWord(text, BuiltinNames());
    if (cw.word.isEmpty()) return;
    if (shell.nesting >= kMaxNesting) {
        WriteLine(shell, text::NestingTooDeep);
        shell.errorLevel = 1;
        // Every batch file running ends, as after Ctrl+C: back in its caller a
        // recursive batch file would only call itself again.
        if (shell.batch) shell.batchBroken = true;
        return;
    }
    const NestingLevel level(shell);
    if (cw.internal) {
        for (const BuiltinEntry& b : Builtins()) {
            if (b.name != cw.word) continue;
            const int result = b.run(shell, cw.rest);
            if (result || !b.keepsLevel) shell.errorLevel = result;
            return;
        }
    }
    // "d:" alone makes drive D current.
    if (cw.word.size() == 2 && cw.word[1] == u':' && cw.word[0].isLetter() && cw.rest.trimmed().isEmpty()) {
        const ErrorCode e = platform::ChangeDrive(cw.word[0]);
        if (e) WriteLine(shell, text::InvalidDrive);
        shell.errorLevel = e ? 1 : 0;
        return;
    }
    RunProgram(shell, cw.word, cw.rest, false);
}

// --- Shared helpers ---

ErrorCode FullFolder(const QString& operand, QString* folder) {
    const QString o = operand.trimmed();
    if (o.isEmpty()) {
        *folder = platform::CurrentFolder(platform::CurrentDrive()[0]);
        return err::None;
    }
    if (o.size() == 2 && o[1] == u':') {
        QString root;
        if (const ErrorCode e = platform::DriveRoot(o[0].toLower(), &root)) return e;
        *folder = platform::CurrentFolder(o[0]);
        return err::None;
    }
    QString full;
    if (const ErrorCode e = platform::FullDosPath(o, &full)) return e;
    QString root;
    if (const ErrorCode e = platform::DriveRoot(full[0], &root)) return e;
    *folder = full;
    return err::None;
}

ErrorCode SplitFileOperand(const QString& operand, QString* folder, QString* mask) {
    const QString o = operand.trimmed();
    const qsizetype cut = std::max(o.lastIndexOf(u'\\'), o.lastIndexOf(u':'));
    QString name = o.mid(cut + 1);
    QString part = o.left(cut + 1);
    if (part.endsWith(u'\\') && part.size() > 1 && !part.endsWith(QStringLiteral(":\\"))) part.chop(1);
    if (!HasWildcards(name)) {
        // A name that is a folder (or "." and "..") stands for the files in it.
        QString whole;
        if (const ErrorCode e = FullFolder(o, &whole)) return e;
        if (name.isEmpty() || name == u"." || name == u".." || IsFolder(whole)) {
            *folder = whole;
            *mask = QStringLiteral("*.*");
            return err::None;
        }
    }
    if (const ErrorCode e = FullFolder(part, folder)) return e;
    *mask = name;
    return err::None;
}

QString JoinPath(const QString& folder, const QString& name) {
    return folder.endsWith(u'\\') ? folder + name : folder + u'\\' + name;
}

bool IsFolder(const QString& dosPath) {
    int attributes = 0;
    return platform::GetAttributes(dosPath, &attributes) == err::None && (attributes & platform::attr::Directory);
}

QString Shown(const QString& dosPath) {
    const QString upper = dosPath.toUpper();
    return upper.size() == 2 ? upper + u'\\' : upper;
}

bool MatchesAll(const QString& mask) {
    const QString m = mask.trimmed();
    return m == u"*.*" || m == u"*" || m == u"????????.???";
}

void ShowError(Shell& shell, ErrorCode e) { WriteLine(shell, text::ForError(e)); }

QString ShownEntry(const QString& fullPath) {
    const qsizetype cut = fullPath.lastIndexOf(u'\\');
    if (cut < 0 || fullPath.size() <= 3) return Shown(fullPath);
    return JoinPath(Shown(cut == 2 ? fullPath.left(2) : fullPath.left(cut)), fullPath.mid(cut + 1));
}

bool AsksBeforeOverwriting(const Shell& shell) {
    return !shell.batch && !Variable(shell, "COPYCMD").toLower().contains(QStringLiteral("/y"));
}

bool OverwriteQuestion::mayOverwrite(const QString& target) {
    if (!ask || all) return true;
    int attributes = 0;
    if (platform::GetAttributes(target, &attributes) != err::None) return true;
    Write(shell, text::Overwrite.arg(Shown(target)) + u' ');
    const QString answer = ReadLine(shell).trimmed().toLower();
    if (!shell.in.console) WriteLine(shell, answer);
    if (answer.startsWith(u'a')) all = true;
    return answer.startsWith(u'y') || answer.startsWith(u'a');
}

void WaitForKey(Shell& shell) {
    // One key, without waiting for Enter, as DOS does; Ctrl+C there breaks a batch file.
    if (shell.in.console && ::isatty(STDIN_FILENO)) {
        Key key;
        if (console::ReadKey(&key) && key.code == KeyCode::Break) RequestBreak();
        return;
    }
    ReadLine(shell);
}

// --- Simple commands ---

int Echo(Shell& shell, const QString& rest) {
    if (rest.isEmpty()) {
        WriteLine(shell, shell.echo ? text::EchoIsOn : text::EchoIsOff);
        return 0;
    }
    // "echo." and its kin print what follows the sign, an empty line for nothing.
    if (!rest[0].isSpace()) {
        WriteLine(shell, rest.mid(1));
        return 0;
    }
    const QString said = rest.mid(1);
    const QString word = said.trimmed().toLower();
    if (word.isEmpty()) WriteLine(shell, shell.echo ? text::EchoIsOn : text::EchoIsOff);
    else if (word == u"on") shell.echo = true;
    else if (word == u"off") shell.echo = false;
    else WriteLine(shell, said);
    return 0;
}

int Set(Shell& shell, const QString& rest) {
    const QString text = rest.trimmed();
    if (text.isEmpty()) {
        for (const auto& v : shell.variables) WriteLine(shell, v.first + u'=' + v.second);
        return 0;
    }
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0) {
        WriteLine(shell, text::SyntaxError);
        return 1;
    }
    SetVariable(shell, text.left(eq).trimmed(), text.mid(eq + 1));
    return 0;
}

int Path(Shell& shell, const QString& rest) {
    QString text = rest.trimmed();
    if (text.startsWith(u'=')) text = text.mid(1).trimmed();
    if (text.isEmpty()) {
        const QString path = Variable(shell, "PATH");
        WriteLine(shell, path.isEmpty() ? text::NoPath : QStringLiteral("PATH=") + path);
        return 0;
    }
    SetVariable(shell, "PATH", text == u";" ? QString() : text.toUpper());
    return 0;
}

int Ver(Shell& shell, const QString&) {
    WriteLine(shell);
    WriteLine(shell, text::Version);
    WriteLine(shell);
    return 0;
}

int Cls(Shell& shell, const QString&) {
    if (shell.out.console && ::isatty(STDOUT_FILENO)) Write(shell, QStringLiteral("\x1b[H\x1b[2J"));
    return 0;
}

// The interpreter speaks UTF-8 only.
int Chcp(Shell& shell, const QString& rest) {
    const QString page = rest.trimmed();
    if (!page.isEmpty() && page != u"65001") {
        WriteLine(shell, text::InvalidCodePage);
        return 1;
    }
    WriteLine(shell, text::ActiveCodePage.arg(65001));
    return 0;
}

int Exit(Shell& shell, const QString& rest) {
    bool ok = false;
    const int level = rest.trimmed().toInt(&ok);
    if (ok) shell.errorLevel = level & 0xFF;
    shell.exitRequested = true;
    return 0;
}

int Rem(Shell&, const QString&) { return 0; }

// PROMPT alone goes back to the usual prompt, the current folder and ">".
int Prompt(Shell& shell, const QString& rest) {
    QString codes = rest.trimmed();
    if (codes.startsWith(u'=')) codes = codes.mid(1).trimmed();
    SetVariable(shell, "PROMPT", codes);
    return 0;
}

}  // namespace command
