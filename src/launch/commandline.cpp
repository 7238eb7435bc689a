#include "launch/commandline.h"
#include "platform/paths.h"

namespace {
bool IsWordLetter(QChar c) { return c >= u'a' && c <= u'z'; }

// Dots and doubled backslashes resolved, no trailing backslash; empty for a
// path that can't be one.
QString Normalised(const QString& path) {
    QString full;
    if (platform::FullDosPath(path, &full) != err::None) return QString();
    return full;
}

bool HasDriveColon(const QString& text) { return text.size() >= 2 && text[1] == u':'; }
}  // namespace

QString CommandWord(const QString& text) {
    qsizetype n = 0;
    while (n < text.size() && IsWordLetter(text[n])) ++n;
    return text.left(n);
}

QString CommandOperand(const QString& text) {
    QString rest = text.mid(CommandWord(text).size());
    qsizetype n = 0;
    while (n < rest.size() && rest[n] == u' ') ++n;
    return rest.mid(n);
}

DosCommandKind ClassifyCommand(const QString& word) {
    static const QStringList interpreter = {"chcp", "cls", "copy", "date", "del", "echo", "erase", "ren",
                                            "rename", "time", "for", "more", "find", "sort", "move", "xcopy",
                                            "attrib", "deltree", "choice", "tree", "label"};
    static const QStringList captured = {"dir", "type", "vol", "ver", "path", "set"};
    if (interpreter.contains(word)) return DosCommandKind::Interpreter;
    if (captured.contains(word)) return DosCommandKind::Captured;
    if (word == "cd" || word == "chdir") return DosCommandKind::ChangeFolder;
    if (word == "md" || word == "mkdir") return DosCommandKind::MakeFolder;
    if (word == "rd" || word == "rmdir") return DosCommandKind::RemoveFolder;
    return DosCommandKind::Program;
}

QStringList SplitCommandLine(const QString& line) {
    QStringList words;
    QString word;
    bool inWord = false, quoted = false;
    for (const QChar c : line) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == u' ' && !quoted) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words << word;
    return words;
}

QString QuoteArgument(const QString& word) {
    if (word.isEmpty() || word.contains(u' ')) return u'"' + word + u'"';
    return word;
}

QString JoinCommandLine(const QStringList& words) {
    QStringList quoted;
    for (const QString& w : words) quoted << QuoteArgument(w);
    return quoted.join(u' ');
}

QString AttemptCommandLine(const QString& line, int attempt) {
    QString text = line.trimmed();
    if (attempt > 1) {
        // The program part is the first word (quotes honoured); the arguments
        // keep their own spelling.
        const QStringList words = SplitCommandLine(text);
        if (words.isEmpty()) return QString();
        qsizetype cut = 0;
        bool quoted = false;
        while (cut < text.size() && (quoted || text[cut] != u' ')) {
            if (text[cut] == u'"') quoted = !quoted;
            ++cut;
        }
        const QString arguments = text.mid(cut).trimmed();
        text = QuoteArgument(words.first() + (attempt == 2 ? ".com" : ".bat"));
        if (!arguments.isEmpty()) text += u' ' + arguments;
    }
    if (attempt == 3 || text.contains(".bat", Qt::CaseInsensitive)) text = CommandInterpreter + " /c " + text;
    return text;
}

QString ResolveChdirTarget(const QString& operand, const QString& drive, const QString& currentPath,
                           const QString& parentPath) {
    if (operand.endsWith("..")) return parentPath;   // at the root there is no parent
    if (operand.size() < 4 && (operand.startsWith(u'\\') || HasDriveColon(operand))) {
        if (operand == "\\") return drive;
        if (operand.startsWith(u'\\')) return Normalised(drive + operand);
        // A bare drive: its root when it is this window's drive, else nothing,
        // since the command line never moves to another drive.
        const QString bare = operand.endsWith(u'\\') ? operand.chopped(1) : operand;
        return bare == drive ? drive : QString();
    }
    if (operand.startsWith(u'\\')) return Normalised(drive + operand);
    if (HasDriveColon(operand)) return Normalised(operand);
    return Normalised(currentPath + u'\\' + operand);
}

QString ResolveFolderOperand(const QString& operand, const QString& drive, const QString& currentPath) {
    if (operand.isEmpty()) return QString();
    if (operand.startsWith(u'\\')) return Normalised(drive + operand);
    if (HasDriveColon(operand)) return Normalised(operand);
    return Normalised(currentPath + u'\\' + operand);
}

QString ExtensionOf(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0 || name.indexOf(u'\\', dot) >= 0) return QString();
    const QString extension = name.mid(dot).toUpper();
    return extension.size() > 1 ? extension : QString();
}

bool IsProgramExtension(const QString& extension) {
    return extension == ".EXE" || extension == ".COM" || extension == ".BAT" || extension == ".LNK";
}

QString AssociatedProgram(const QStringList& associationLines, const QString& fileName) {
    const QString extension = ExtensionOf(fileName);
    // Without an extension nothing is associated: an empty extension would be
    // found in every line.
    if (extension.isEmpty()) return QString();
    for (const QString& line : associationLines) {
        if (line.trimmed().isEmpty()) continue;
        // Only the extension field counts, so that a description or a program
        // path that happens to hold the text never decides.
        if (!line.section(u',', 0, 0).toUpper().contains(extension)) continue;
        if (!line.contains(u',')) continue;
        return line.mid(line.lastIndexOf(u',') + 1).trimmed();
    }
    return QString();
}
