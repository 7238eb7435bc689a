// The filters: MORE, FIND and SORT read files or their input (a pipe, a
// redirected file, the console) and write lines.
#include <QFile>
#include <algorithm>
#include <unistd.h>
#include "builtins.h"
#include "console.h"
#include "parse.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "texts.h"

namespace command {

QStringList TextLines(const QByteArray& bytes) {
    QByteArray text = bytes;
    // Ctrl+Z ends a DOS text file.
    const qsizetype mark = text.indexOf('\x1a');
    if (mark >= 0) text.truncate(mark);
    QStringList lines = QString::fromUtf8(text).split(u'\n');
    for (QString& l : lines)
        if (l.endsWith(u'\r')) l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

namespace {

// The text of a filter's input: what was piped or redirected into it, or
// what the user types up to Ctrl+Z.
bool InputText(Shell& shell, QByteArray* bytes) {
    if (shell.in.console) return ReadConsoleText(shell, bytes);
    *bytes = shell.in.device ? shell.in.device->readAll() : QByteArray();
    return true;
}

struct NamedFile {
    QString shown;   // as the user wrote it, upper case
    QString dos;
};

// The files an operand names (wildcards allowed), hidden ones left out.
ErrorCode FilesOf(const QString& operand, QList<NamedFile>* files) {
    if (!HasWildcards(operand)) {
        if (IsFolder(operand)) return err::AccessDenied;
        int attributes = 0;
        if (const ErrorCode e = platform::GetAttributes(operand, &attributes)) return e;
        files->append({operand.toUpper(), operand});
        return err::None;
    }
    QString folder, mask;
    QList<platform::FileEntry> entries;
    if (const ErrorCode e = SplitFileOperand(operand, &folder, &mask)) return e;
    if (!IsFolder(folder)) return err::PathNotFound;
    if (const ErrorCode e = platform::ListFiles(folder, mask, false, &entries)) return e;
    if (entries.isEmpty()) return err::FileNotFound;
    const qsizetype cut = std::max(operand.lastIndexOf(u'\\'), operand.lastIndexOf(u':'));
    for (const auto& f : entries) files->append({(operand.left(cut + 1) + f.name).toUpper(), JoinPath(folder, f.name)});
    return err::None;
}

ErrorCode ReadWhole(const QString& dosPath, QByteArray* bytes) {
    QString host;
    if (const ErrorCode e = platform::DosToHost(dosPath, &host)) return e;
    QFile f(host);
    if (!f.open(QIODevice::ReadOnly)) {
        const ErrorCode e = platform::OpenForReading(dosPath);
        return e ? e : err::AccessDenied;
    }
    *bytes = f.readAll();
    return err::None;
}

void FileError(Shell& shell, ErrorCode e, const QString& operand) {
    WriteLine(shell, e == err::FileNotFound || e == err::PathNotFound ? text::FileNotFound + QStringLiteral(" - ") + operand
                                                                    : text::ForError(e));
}

// How many rows of the screen a line takes, tabs going to the next eighth column.
int RowsOf(const QString& line, int columns) {
    qsizetype width = 0;
    for (QChar c : line) width = c == u'\t' ? (width / 8 + 1) * 8 : width + 1;
    return int(std::max<qsizetype>(1, (width + columns - 1) / columns));
}

}  // namespace

// --- MORE ---

int More(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    if (!ops.switches.isEmpty()) {
        WriteLine(shell, text::InvalidSwitch.arg(ops.switches.first()));
        return 1;
    }
    QByteArray bytes;
    if (ops.args.isEmpty() && !InputText(shell, &bytes)) return 1;
    for (const QString& operand : ops.args) {
        QList<NamedFile> files;
        ErrorCode e = FilesOf(operand, &files);
        for (qsizetype i = 0; !e && i < files.size(); ++i) {
            QByteArray one;
            e = ReadWhole(files[i].dos, &one);
            bytes += one;
        }
        if (e) {
            FileError(shell, e, operand);
            return 1;
        }
    }
    const QStringList lines = TextLines(bytes);
    // Pages only on a screen; into a file or a pipe the text goes as it is.
    const bool paging = shell.out.console && ::isatty(STDOUT_FILENO) && console::HasKeyboard();
    const console::ScreenSize screen = console::Screen();
    int used = 0;
    for (const QString& line : lines) {
        if (shell.out.failed) return 1;
        const int rows = RowsOf(line, screen.columns);
        if (paging && used > 0 && used + rows > screen.rows - 1) {
            Write(shell, text::More);
            Key key;
            const bool got = console::ReadKey(&key);
            if (!got || key.code == KeyCode::Break) {
                WriteLine(shell, got ? QStringLiteral("^C") : QString());
                if (got) RequestBreak();
                return 0;
            }
            WriteLine(shell);
            used = 0;
        }
        WriteLine(shell, line);
        used += rows;
    }
    return 0;
}

// --- FIND ---

namespace {

struct FindOptions {
    bool invert = false, count = false, numbers = false, anyCase = false;
    QString wanted;
    bool haveString = false;
    QStringList operands;
};

bool ParseFind(const QString& rest, FindOptions* o, QString* bad) {
    for (const QString& word : RawWords(rest)) {
        if (word.startsWith(u'"')) {
            if (o->haveString) {
                o->operands << QString(word).remove(u'"');
                continue;
            }
            // "" inside the string is one quote.
            QString s = word.mid(1);
            if (s.endsWith(u'"')) s.chop(1);
            o->wanted = s.replace(QStringLiteral("\"\""), QStringLiteral("\""));
            o->haveString = true;
        } else if (word.startsWith(u'/')) {
            const QString s = word.mid(1).toLower();
            if (s == u"v") o->invert = true;
            else if (s == u"c") o->count = true;
            else if (s == u"n") o->numbers = true;
            else if (s == u"i") o->anyCase = true;
            else {
                *bad = text::InvalidSwitch.arg(s);
                return false;
            }
        } else if (!o->haveString) {
            *bad = text::FindParameterFormat;
            return false;
        } else {
            o->operands << word;
        }
    }
    if (!o->haveString) *bad = text::FindParameterFormat;
    return o->haveString;
}

// Writes the lines that match (or their count); true when any did.
bool FindIn(Shell& shell, const FindOptions& o, const QByteArray& bytes, const QString& header) {
    const Qt::CaseSensitivity cs = o.anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QStringList lines = TextLines(bytes);
    QStringList found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(o.wanted, cs) == o.invert) continue;
        found << (o.numbers ? QStringLiteral("[%1]").arg(i + 1) + lines[i] : lines[i]);
    }
    const QString rule = QStringLiteral("---------- ") + header;
    if (o.count) {
        WriteLine(shell, header.isNull() ? QString::number(found.size()) : rule + QStringLiteral(": ") + QString::number(found.size()));
        return !found.isEmpty();
    }
    if (!header.isNull()) {
        WriteLine(shell);
        WriteLine(shell, rule);
    }
    for (const QString& l : found) WriteLine(shell, l);
    return !found.isEmpty();
}

}  // namespace

// The errorlevel: 0 when a line matched, 1 when none did, 2 after an error.
int Find(Shell& shell, const QString& rest) {
    FindOptions o;
    QString bad;
    if (!ParseFind(rest, &o, &bad)) {
        WriteLine(shell, bad);
        return 2;
    }
    if (o.operands.isEmpty()) {
        QByteArray bytes;
        if (!InputText(shell, &bytes)) return 2;
        return FindIn(shell, o, bytes, QString()) ? 0 : 1;
    }
    bool any = false, failed = false;
    for (const QString& operand : o.operands) {
        QList<NamedFile> files;
        if (const ErrorCode e = FilesOf(operand, &files)) {
            FileError(shell, e, operand.toUpper());
            failed = true;
            continue;
        }
        for (const NamedFile& f : files) {
            QByteArray bytes;
            if (const ErrorCode e = ReadWhole(f.dos, &bytes)) {
                FileError(shell, e, f.shown);
                failed = true;
                continue;
            }
            any = FindIn(shell, o, bytes, f.shown) || any;
        }
    }
    return failed ? 2 : any ? 0 : 1;
}

// --- SORT ---

int Sort(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    bool reverse = false;
    int column = 0;
    for (const QString& s : ops.switches) {
        if (s == u"r") {
            reverse = true;
            continue;
        }
        bool ok = false;
        if (s.startsWith(u'+')) column = s.mid(1).toInt(&ok) - 1;
        if (!ok || column < 0) {
            WriteLine(shell, text::InvalidSwitch.arg(s));
            return 1;
        }
    }
    if (ops.args.size() > 1) {
        WriteLine(shell, text::TooManyParameters);
        return 1;
    }
    QByteArray bytes;
    if (ops.args.isEmpty()) {
        if (!InputText(shell, &bytes)) return 1;
    } else if (const ErrorCode e = ReadWhole(ops.args.first(), &bytes)) {
        FileError(shell, e, ops.args.first());
        return 1;
    }
    QStringList lines = TextLines(bytes);
    // Letters sort without regard to case, each line from the column asked for.
    std::stable_sort(lines.begin(), lines.end(), [column, reverse](const QString& a, const QString& b) {
        const int c = QString::compare(a.mid(column), b.mid(column), Qt::CaseInsensitive);
        return reverse ? c > 0 : c < 0;
    });
    for (const QString& l : lines) WriteLine(shell, l);
    return 0;
}

}  // namespace command
