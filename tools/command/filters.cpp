// The filters: MORE, FIND and SORT read files or their input (a pipe, a
// redirected file, the console) and write lines.
#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <optional>
#include <unistd.h>
#include "builtins.h"
#include "console.h"
#include "parse.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "texts.h"

namespace command {

namespace {

// Lines of a text read in pieces, so that a text of any size passes through
// in little memory: CR LF or LF, up to a Ctrl+Z, which ends a DOS text. A line
// past kLongestLine bytes comes in pieces of that size.
class LineReader {
public:
    explicit LineReader(QIODevice* in) : in_(in) {}

    bool next(QString* line) {
        for (;;) {
            const qsizetype end = buffer_.indexOf('\n', start_);
            if (end < 0 && !ended_ && buffer_.size() - start_ < kLongestLine) {
                buffer_.remove(0, start_);
                start_ = 0;
                const QByteArray piece = in_ ? in_->read(1 << 16) : QByteArray();
                if (piece.isEmpty()) ended_ = true;
                buffer_ += piece;
                continue;
            }
            if (start_ >= buffer_.size()) return false;
            const qsizetype take = std::min(end < 0 ? buffer_.size() - start_ : end + 1 - start_, kLongestLine);
            QByteArray raw = buffer_.mid(start_, take);
            start_ += take;
            const qsizetype mark = raw.indexOf('\x1a');
            if (mark >= 0) {
                raw.truncate(mark);
                buffer_.clear();
                start_ = 0;
                ended_ = true;
                if (raw.isEmpty()) return false;
            }
            if (raw.endsWith('\n')) raw.chop(1);
            if (raw.endsWith('\r')) raw.chop(1);
            *line = QString::fromUtf8(raw);
            return true;
        }
    }

private:
    static constexpr qsizetype kLongestLine = 1 << 20;
    QIODevice* in_;
    QByteArray buffer_;
    qsizetype start_ = 0;
    bool ended_ = false;
};

// A filter's text: a file, or (for a null path) its input: what was piped or
// redirected into it, or what the user types up to Ctrl+Z.
class Source {
public:
    ErrorCode open(Shell& shell, const QString& dosPath) {
        if (dosPath.isNull()) {
            if (!shell.in.console) {
                reader_.emplace(shell.in.device);
                return err::None;
            }
            QByteArray typed;
            if (!ReadConsoleText(shell, &typed)) return err::Cancelled;
            typed_.setData(typed);
            typed_.open(QIODevice::ReadOnly);
            reader_.emplace(&typed_);
            return err::None;
        }
        QString host;
        if (const ErrorCode e = platform::DosToHost(dosPath, &host)) return e;
        file_.setFileName(host);
        if (!file_.open(QIODevice::ReadOnly)) {
            const ErrorCode e = platform::OpenForReading(dosPath);
            return e ? e : err::AccessDenied;
        }
        reader_.emplace(&file_);
        return err::None;
    }
    bool next(QString* line) { return reader_ && reader_->next(line); }

private:
    QFile file_;
    QBuffer typed_;
    std::optional<LineReader> reader_;
};

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

void FileError(Shell& shell, ErrorCode e, const QString& operand) {
    if (e == err::Cancelled) return;   // Ctrl+C at the console said it already
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

namespace {

// Writes lines, a screenful at a time on a screen; false when the user broke off.
struct Pager {
    Shell& shell;
    // Pages only on a screen; into a file or a pipe the text goes as it is.
    bool paging = shell.out.console && ::isatty(STDOUT_FILENO) && console::HasKeyboard();
    console::ScreenSize screen = console::Screen();
    int used = 0;

    bool show(const QString& line) {
        const int rows = RowsOf(line, screen.columns);
        if (paging && used > 0 && used + rows > screen.rows - 1) {
            Write(shell, text::More);
            Key key;
            const bool got = console::ReadKey(&key);
            if (!got || key.code == KeyCode::Break) {
                WriteLine(shell, got ? QStringLiteral("^C") : QString());
                if (got) RequestBreak();
                return false;
            }
            WriteLine(shell);
            used = 0;
        }
        WriteLine(shell, line);
        used += rows;
        return !shell.out.failed;
    }
};

}  // namespace

int More(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    if (!ops.switches.isEmpty()) {
        WriteLine(shell, text::InvalidSwitch.arg(ops.switches.first()));
        return 1;
    }
    QList<NamedFile> files;
    for (const QString& operand : ops.args) {
        if (const ErrorCode e = FilesOf(operand, &files)) {
            FileError(shell, e, operand);
            return 1;
        }
    }
    if (ops.args.isEmpty()) files.append({QString(), QString()});
    Pager pager{shell};
    for (const NamedFile& f : files) {
        Source source;
        if (const ErrorCode e = source.open(shell, f.dos)) {
            FileError(shell, e, f.shown);
            return 1;
        }
        QString line;
        while (source.next(&line))
            if (!pager.show(line)) return 0;
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
bool FindIn(Shell& shell, const FindOptions& o, Source& source, const QString& header) {
    const Qt::CaseSensitivity cs = o.anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QString rule = QStringLiteral("---------- ") + header;
    if (!header.isNull() && !o.count) {
        WriteLine(shell);
        WriteLine(shell, rule);
    }
    qint64 number = 0, found = 0;
    QString line;
    while (source.next(&line) && !shell.out.failed) {
        ++number;
        if (line.contains(o.wanted, cs) == o.invert) continue;
        ++found;
        if (!o.count) WriteLine(shell, o.numbers ? QStringLiteral("[%1]").arg(number) + line : line);
    }
    if (o.count)
        WriteLine(shell, header.isNull() ? QString::number(found) : rule + QStringLiteral(": ") + QString::number(found));
    return found > 0;
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
        Source input;
        if (input.open(shell, QString())) return 2;
        return FindIn(shell, o, input, QString()) ? 0 : 1;
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
            Source source;
            if (const ErrorCode e = source.open(shell, f.dos)) {
                FileError(shell, e, f.shown);
                failed = true;
                continue;
            }
            any = FindIn(shell, o, source, f.shown) || any;
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
    Source source;
    if (const ErrorCode e = source.open(shell, ops.args.isEmpty() ? QString() : ops.args.first())) {
        FileError(shell, e, ops.args.value(0));
        return 1;
    }
    QStringList lines;
    QString line;
    while (source.next(&line)) lines << line;
    // Letters sort without regard to case, each line from the column asked for.
    std::stable_sort(lines.begin(), lines.end(), [column, reverse](const QString& a, const QString& b) {
        const int c = QString::compare(a.mid(column), b.mid(column), Qt::CaseInsensitive);
        return reverse ? c > 0 : c < 0;
    });
    for (const QString& l : lines) WriteLine(shell, l);
    return 0;
}

}  // namespace command
