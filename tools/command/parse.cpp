#include "parse.h"

namespace command {

QString ExpandVariables(const QString& line, const std::function<QString(const QString&)>& lookup,
                        const QStringList* batchArgs) {
    QString out;
    out.reserve(line.size());
    qsizetype i = 0;
    while (i < line.size()) {
        const QChar c = line[i];
        if (c != u'%') {
            out += c;
            ++i;
            continue;
        }
        if (batchArgs && i + 1 < line.size()) {
            const QChar n = line[i + 1];
            if (n == u'%') {
                out += u'%';
                i += 2;
                continue;
            }
            if (n.isDigit()) {
                const int k = n.digitValue();
                if (k < batchArgs->size()) out += batchArgs->at(k);
                i += 2;
                continue;
            }
        }
        const qsizetype close = line.indexOf(u'%', i + 1);
        if (close > i + 1) {
            const QString name = line.mid(i + 1, close - i - 1);
            if (!name.contains(u' ')) {
                const QString value = lookup(name.toUpper());
                if (!value.isEmpty() || batchArgs) {
                    out += value;
                    i = close + 1;
                    continue;
                }
            }
        }
        // A lone % in a batch file disappears, as in DOS; at the prompt it stays.
        if (!batchArgs) out += c;
        ++i;
    }
    return out;
}

QStringList SplitPipeline(const QString& line) {
    QStringList parts;
    QString current;
    bool quoted = false;
    for (QChar c : line) {
        if (c == u'"') quoted = !quoted;
        if (c == u'|' && !quoted) {
            parts << current;
            current.clear();
            continue;
        }
        current += c;
    }
    parts << current;
    return parts;
}

namespace {
// A file name after a redirection sign: blanks before it skipped, up to the next
// blank or sign outside quotes; quotes removed.
qsizetype ReadTarget(const QString& text, qsizetype i, QString* target) {
    while (i < text.size() && text[i].isSpace()) ++i;
    bool quoted = false;
    target->clear();
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && (c.isSpace() || c == u'<' || c == u'>' || c == u'|')) break;
        *target += c;
    }
    return i;
}
}  // namespace

bool ExtractRedirections(const QString& text, QString* command, Redirections* redirections) {
    QString rest;
    bool quoted = false;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'"') quoted = !quoted;
        if (quoted || (c != u'<' && c != u'>')) {
            rest += c;
            ++i;
            continue;
        }
        QString target;
        if (c == u'<') {
            i = ReadTarget(text, i + 1, &target);
            if (target.isEmpty()) return false;
            redirections->input = target;
        } else {
            const bool append = i + 1 < text.size() && text[i + 1] == u'>';
            i = ReadTarget(text, i + (append ? 2 : 1), &target);
            if (target.isEmpty()) return false;
            redirections->output = target;
            redirections->append = append;
        }
    }
    *command = rest;
    return true;
}

CommandWord SplitCommandWord(const QString& text, const QStringList& internalNames) {
    CommandWord result;
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    if (i < text.size() && text[i] == u'"') {
        const qsizetype close = text.indexOf(u'"', i + 1);
        const qsizetype end = close < 0 ? text.size() : close;
        result.word = text.mid(i + 1, end - i - 1);
        result.rest = close < 0 ? QString() : text.mid(close + 1);
        return result;
    }
    qsizetype end = i;
    while (end < text.size() && !text[end].isSpace() && text[end] != u'/' && text[end] != u'"') ++end;
    const QString token = text.mid(i, end - i);
    const QString lower = token.toLower();
    for (const QString& name : internalNames) {
        if (!lower.startsWith(name)) continue;
        // "cd..", "cd\", "md\temp", "echo." and "echo:" run the name into the operand.
        if (lower.size() == name.size() || QStringLiteral(".\\:+;=,[]").contains(lower[name.size()])) {
            result.word = name;
            result.rest = text.mid(i + name.size());
            result.internal = true;
            return result;
        }
    }
    result.word = token;
    result.rest = text.mid(end);
    return result;
}

QStringList SplitArguments(const QString& text) {
    QStringList args;
    QString current;
    bool inArg = false, quoted = false;
    for (QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
            inArg = true;
            continue;
        }
        if (c.isSpace() && !quoted) {
            if (inArg) args << current;
            current.clear();
            inArg = false;
            continue;
        }
        current += c;
        inArg = true;
    }
    if (inArg) args << current;
    return args;
}

QStringList RawWords(const QString& text) {
    QStringList words;
    QString word;
    bool quoted = false;
    for (QChar c : text) {
        if (c == u'"') quoted = !quoted;
        if (c.isSpace() && !quoted) {
            if (!word.isEmpty()) words << word;
            word.clear();
            continue;
        }
        word += c;
    }
    if (!word.isEmpty()) words << word;
    return words;
}

Operands ParseOperands(const QString& text) {
    Operands result;
    for (const QString& arg : SplitArguments(text)) {
        // A quoted name keeps its slashes only if it has no switch form; names
        // with "/" cannot stand in a DOS path anyway.
        QStringList pieces = arg.split(u'/');
        if (!pieces.first().isEmpty()) result.args << pieces.first();
        for (qsizetype k = 1; k < pieces.size(); ++k)
            if (!pieces[k].isEmpty()) result.switches << pieces[k].toLower();
    }
    return result;
}

bool HasWildcards(const QString& name) { return name.contains(u'*') || name.contains(u'?'); }

namespace {
QString MaskPart(const QString& source, const QString& mask) {
    QString out;
    for (qsizetype k = 0; k < mask.size(); ++k) {
        const QChar m = mask[k];
        if (m == u'*') {
            if (k < source.size()) out += source.mid(k);
            break;
        }
        if (m == u'?') {
            if (k < source.size()) out += source[k];
            continue;
        }
        out += m;
    }
    return out;
}

void SplitExtension(const QString& name, QString* base, QString* ext, bool* dot) {
    const qsizetype i = name.lastIndexOf(u'.');
    *dot = i >= 0;
    *base = i < 0 ? name : name.left(i);
    *ext = i < 0 ? QString() : name.mid(i + 1);
}
}  // namespace

QString ApplyMask(const QString& name, const QString& mask) {
    QString nb, ne, mb, me;
    bool nameDot, maskDot;
    SplitExtension(name, &nb, &ne, &nameDot);
    SplitExtension(mask, &mb, &me, &maskDot);
    // "*" alone stands for the whole name, extension included.
    if (!maskDot && mb == u"*") return name;
    const QString base = MaskPart(nb, mb);
    const QString ext = maskDot ? MaskPart(ne, me) : QString();
    return ext.isEmpty() ? base : base + u'.' + ext;
}

}  // namespace command
