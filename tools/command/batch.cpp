// Batch files and the commands that steer them: GOTO, CALL, SHIFT, IF, FOR, PAUSE.
#include "batch.h"
#include <QFile>
#include <QRegularExpression>
#include "builtins.h"
#include "parse.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "programs.h"
#include "texts.h"

namespace command {

QStringList BatchLines(const QByteArray& bytes) {
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    for (QString& l : lines)
        if (l.endsWith(u'\r')) l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

int FindLabel(const QStringList& lines, const QString& label) {
    const QString wanted = label.trimmed().toLower();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString l = lines[i].trimmed();
        if (!l.startsWith(u':')) continue;
        l = l.mid(1).trimmed();
        const QString name = l.section(u' ', 0, 0, QString::SectionSkipEmpty).toLower();
        if (!name.isEmpty() && name == wanted) return int(i) + 1;
    }
    return -1;
}

namespace {

bool LoadBatch(Shell& shell, Batch& b, const QString& path, const QStringList& args) {
    QString host;
    ErrorCode e = platform::DosToHost(path, &host);
    QFile f(host);
    if (!e && !f.open(QIODevice::ReadOnly)) e = err::FileNotFound;
    if (e) {
        WriteLine(shell, text::BatchMissing);
        return false;
    }
    b.path = path;
    b.args = args;
    b.lines = BatchLines(f.readAll());
    b.next = 0;
    b.stop = false;
    b.chained = false;
    return true;
}

void RunBatchLine(Shell& shell, Batch& b, const QString& raw) {
    QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(u':')) return;
    bool silent = false;
    while (line.startsWith(u'@')) {
        silent = true;
        line = line.mid(1).trimmed();
    }
    line = ExpandVariables(line, [&shell](const QString& name) { return Variable(shell, name); }, &b.args);
    if (line.trimmed().isEmpty()) return;
    if (shell.echo && !silent) WriteLine(shell, PromptText(shell) + line);
    ExecuteLine(shell, line);
}

// The first word of a text, quotes kept, and what follows it.
QString TakeWord(QString* text) {
    QString t = text->trimmed();
    qsizetype i = 0;
    bool quoted = false;
    for (; i < t.size(); ++i) {
        if (t[i] == u'"') quoted = !quoted;
        else if (t[i].isSpace() && !quoted) break;
    }
    *text = t.mid(i);
    return t.left(i);
}

QString Unquoted(QString s) {
    s.remove(u'"');
    return s;
}

bool Exists(const QString& operand) {
    QString path = Unquoted(operand);
    // "if exist folder\nul" is the DOS way to ask for a folder.
    if (path.toLower().endsWith(u"\\nul")) return IsFolder(path.chopped(4));
    QString folder, mask;
    if (SplitFileOperand(path, &folder, &mask) != err::None) return false;
    if (!HasWildcards(path)) {
        int attributes = 0;
        return platform::GetAttributes(path, &attributes) == err::None;
    }
    QList<platform::FileEntry> files;
    return platform::ListFiles(folder, mask, true, &files) == err::None && !files.isEmpty();
}

}  // namespace

void RunBatch(Shell& shell, const QString& dosPath, const QStringList& args, bool called) {
    Batch b;
    if (!LoadBatch(shell, b, dosPath, args)) {
        shell.errorLevel = 1;
        return;
    }
    Batch* outer = shell.batch;
    const bool savedEcho = shell.echo;
    shell.batch = &b;
    for (;;) {
        while (!b.stop && !shell.exitRequested && b.next < b.lines.size()) {
            if (TakeBreak()) {
                // Ctrl+C ends every batch file running, called ones and their callers.
                WriteLine(shell, QStringLiteral("^C"));
                shell.batchBroken = true;
            }
            if (shell.batchBroken) break;
            RunBatchLine(shell, b, b.lines[b.next++]);
        }
        if (!b.chained || shell.exitRequested || shell.batchBroken) break;
        if (!LoadBatch(shell, b, b.chainPath, b.chainArgs)) break;
    }
    shell.batch = outer;
    if (!outer) shell.batchBroken = false;
    // Back at the prompt, echo is on again; a called batch file leaves it as it set it.
    if (!outer && !called) shell.echo = savedEcho;
}

int Goto(Shell& shell, const QString& rest) {
    if (!shell.batch) return 0;
    QString label = rest.trimmed();
    if (label.startsWith(u':')) label = label.mid(1);
    label = label.section(u' ', 0, 0, QString::SectionSkipEmpty);
    const int at = FindLabel(shell.batch->lines, label);
    if (at < 0) {
        WriteLine(shell, text::LabelNotFound);
        shell.batch->stop = true;
        return 1;
    }
    shell.batch->next = at;
    return 0;
}

int Call(Shell& shell, const QString& rest) {
    const CommandWord cw = SplitCommandWord(rest, BuiltinNames());
    if (cw.word.isEmpty()) return 0;
    if (cw.internal) {
        ExecuteCommand(shell, rest);
        return 0;
    }
    RunProgram(shell, cw.word, cw.rest, true);
    return 0;   // the called program's errorlevel stands
}

int Shift(Shell& shell, const QString&) {
    if (shell.batch && !shell.batch->args.isEmpty()) shell.batch->args.removeFirst();
    return 0;
}

int Pause(Shell& shell, const QString&) {
    Write(shell, text::PressAnyKey);
    WaitForKey(shell);
    WriteLine(shell);
    return 0;
}

int If(Shell& shell, const QString& rest) {
    QString text = rest;
    QString word = TakeWord(&text);
    bool negate = false;
    if (word.toLower() == u"not") {
        negate = true;
        word = TakeWord(&text);
    }
    bool condition = false;
    if (word.toLower() == u"errorlevel") {
        bool ok = false;
        const int level = TakeWord(&text).toInt(&ok);
        if (!ok) {
            WriteLine(shell, text::SyntaxError);
            return 1;
        }
        condition = shell.errorLevel >= level;
    } else if (word.toLower() == u"exist") {
        const QString path = TakeWord(&text);
        if (path.isEmpty()) {
            WriteLine(shell, text::SyntaxError);
            return 1;
        }
        condition = Exists(path);
    } else {
        // string1==string2, the blanks around "==" optional.
        QString whole = word + text;
        const qsizetype eq = whole.indexOf(QStringLiteral("=="));
        if (eq <= 0) {
            WriteLine(shell, text::SyntaxError);
            return 1;
        }
        const QString left = whole.left(eq).trimmed();
        text = whole.mid(eq + 2);
        const QString right = TakeWord(&text);
        if (left.isEmpty() || right.isEmpty()) {
            WriteLine(shell, text::SyntaxError);
            return 1;
        }
        condition = left == right;
    }
    if (text.trimmed().isEmpty()) {
        WriteLine(shell, text::SyntaxError);
        return 1;
    }
    // The command run sets the errorlevel; a false condition leaves it alone.
    if (condition != negate) ExecuteCommand(shell, text.trimmed());
    return 0;
}

// --- FOR ---

namespace {

// The members of a FOR set: blanks, commas, semicolons and "=" separate them;
// a member with wildcards stands for the files it matches, the folder part kept
// as it was written.
QStringList ForMembers(const QString& set) {
    QStringList members;
    for (const QString& item : set.split(QRegularExpression("[\\s,;=]+"), Qt::SkipEmptyParts)) {
        if (!HasWildcards(item)) {
            members << item;
            continue;
        }
        const qsizetype cut = std::max(item.lastIndexOf(u'\\'), item.lastIndexOf(u':'));
        QString folder, mask;
        QList<platform::FileEntry> files;
        if (SplitFileOperand(item, &folder, &mask) != err::None || !IsFolder(folder) ||
            platform::ListFiles(folder, mask, false, &files) != err::None)
            continue;
        for (const auto& f : files) members << item.left(cut + 1) + f.name;
    }
    return members;
}

}  // namespace

int For(Shell& shell, const QString& rest) {
    static const QRegularExpression form(
        "^\\s*%([^\\s%])\\s+in\\s*\\(([^)]*)\\)\\s*do\\s+(\\S.*)$", QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(rest);
    if (!m.hasMatch()) {
        WriteLine(shell, text::SyntaxError);
        return 1;
    }
    const QString variable = u'%' + m.captured(1);
    const QString command = m.captured(3);
    for (const QString& member : ForMembers(m.captured(2))) {
        if (TakeBreak()) {
            WriteLine(shell, QStringLiteral("^C"));
            if (shell.batch) shell.batchBroken = true;
            break;
        }
        if (shell.exitRequested || shell.batchBroken || (shell.batch && shell.batch->stop)) break;
        QString line = command;
        line.replace(variable, member);
        // With echo on, each command shows behind the prompt before it runs.
        if (shell.echo) {
            WriteLine(shell);
            WriteLine(shell, PromptText(shell) + line);
        }
        ExecuteCommand(shell, line);
    }
    return 0;
}

}  // namespace command
