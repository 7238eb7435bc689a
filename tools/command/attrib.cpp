// ATTRIB and LABEL: the attributes of files and the label of a drive, read and
// written where the file manager reads and writes them.
#include "builtins.h"
#include "parse.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prefix.h"
#include "platform/volume.h"
#include "texts.h"
#include "walk.h"

namespace command {

QString AttribLine(int attributes, const QString& shownPath) {
    const auto letter = [attributes](int bit, char c) { return QChar((attributes & bit) ? c : ' '); };
    return QStringLiteral("%1  %2%3%4     %5")
        .arg(letter(platform::attr::Archive, 'A'), letter(platform::attr::System, 'S'),
             letter(platform::attr::Hidden, 'H'), letter(platform::attr::ReadOnly, 'R'), shownPath);
}

namespace {

struct AttribRun {
    Shell& shell;
    int plus = 0, minus = 0;
    bool recurse = false;
    FolderWalk walk{};
    int matched = 0, result = 0;

    bool changing() const { return plus || minus; }

    void apply(const QString& path, int attributes) {
        ++matched;
        const QString shown = ShownEntry(path);
        if (!changing()) {
            WriteLine(shell, AttribLine(attributes, shown));
            return;
        }
        // A system or hidden file keeps its attributes unless the command names that one.
        const int named = plus | minus;
        if ((attributes & platform::attr::System) && !(named & platform::attr::System)) {
            WriteLine(shell, text::NotResettingSystem + shown);
            return;
        }
        if ((attributes & platform::attr::Hidden) && !(named & platform::attr::Hidden)) {
            WriteLine(shell, text::NotResettingHidden + shown);
            return;
        }
        const int wanted = ((attributes & ~minus) | plus) & ~platform::attr::Directory;
        if (const ErrorCode e = platform::SetAttributes(path, wanted)) {
            WriteLine(shell, text::ForError(e) + QStringLiteral(" - ") + shown);
            result = 1;
        }
    }

    void visit(const QString& folder, const QString& mask) {
        if (shell.out.failed || !walk.Enter(folder)) return;
        QList<platform::FileEntry> files;
        platform::ListFiles(folder, mask, true, &files);
        for (const auto& f : files) apply(JoinPath(folder, f.name), f.attributes);
        if (!recurse) return;
        QList<platform::FileEntry> folders;
        platform::ListFolders(folder, true, &folders);
        for (const auto& sub : folders) visit(JoinPath(folder, sub.name), mask);
    }
};

// "+r", "-h" and the like: the bit, or 0 for a word that is none.
int AttributeBit(const QString& word) {
    if (word.size() != 2) return 0;
    switch (word[1].toLower().unicode()) {
    case 'r': return platform::attr::ReadOnly;
    case 'h': return platform::attr::Hidden;
    case 's': return platform::attr::System;
    case 'a': return platform::attr::Archive;
    default: return 0;
    }
}

}  // namespace

int Attrib(Shell& shell, const QString& rest) {
    AttribRun run{shell};
    QStringList operands;
    for (const QString& word : SplitArguments(rest)) {
        const int bit = AttributeBit(word);
        if (bit && word[0] == u'+') run.plus |= bit;
        else if (bit && word[0] == u'-') run.minus |= bit;
        else if (word.compare(QStringLiteral("/s"), Qt::CaseInsensitive) == 0) run.recurse = true;
        else if (word.startsWith(u'/')) {
            WriteLine(shell, text::InvalidSwitch.arg(word.mid(1).toLower()));
            return 1;
        } else if (word.startsWith(u'+') || word.startsWith(u'-')) {
            WriteLine(shell, text::InvalidParameter);
            return 1;
        } else {
            operands << word;
        }
    }
    if (run.plus & run.minus) {
        WriteLine(shell, text::InvalidParameter);
        return 1;
    }
    if (operands.isEmpty()) operands << QStringLiteral("*.*");
    for (const QString& operand : operands) {
        const int before = run.matched;
        int attributes = 0;
        QString full;
        // A folder named as it is: its own attributes, not those of its files.
        if (!HasWildcards(operand) && platform::FullDosPath(operand, &full) == err::None && full.size() > 2 &&
            IsFolder(full) && platform::GetAttributes(full, &attributes) == err::None) {
            run.apply(full, attributes);
            continue;
        }
        QString folder, mask;
        const ErrorCode e = SplitFileOperand(operand, &folder, &mask);
        if (e == err::DeviceUnavailable || e == err::DiskNotReady) {
            WriteLine(shell, text::InvalidDrive);
            return 1;
        }
        if (!e && IsFolder(folder)) run.visit(folder, mask);
        if (run.matched == before) {
            WriteLine(shell, text::FileNotFound + QStringLiteral(" - ") + operand);
            run.result = 1;
        }
    }
    return run.result;
}

// --- LABEL ---

namespace {

constexpr int kLabelLength = 11;

bool IsLabelText(const QString& label) {
    for (QChar c : label)
        if (c.unicode() < 32 || QStringLiteral("*?/\\|.,;:+=[]<>\"").contains(c)) return false;
    return true;
}

}  // namespace

int Label(Shell& shell, const QString& rest) {
    QString text = rest.trimmed();
    QChar letter = platform::CurrentDrive()[0];
    if (text.size() >= 2 && text[1] == u':') {
        letter = text[0].toLower();
        text = text.mid(2).trimmed();
    }
    QString root;
    if (platform::DriveRoot(letter, &root) != err::None) {
        WriteLine(shell, text::InvalidDrive);
        return 1;
    }
    const QString current = platform::VolumeLabel(letter);
    if (text.isEmpty()) {
        WriteLine(shell, VolumeLine(letter));
        Write(shell, text::LabelQuestion);
        text = ReadLine(shell);
        if (!shell.in.console) WriteLine(shell, text);
        text = text.trimmed();
        if (text.isEmpty()) {
            // Enter alone takes the label away, once the user agrees.
            if (current.isEmpty() || !AskYes(shell, u'\n' + text::DeleteLabel)) return 0;
            if (const ErrorCode e = platform::SetVolumeLabel(letter, QString())) {
                ShowError(shell, e);
                return 1;
            }
            return 0;
        }
    }
    if (text.size() > kLabelLength || !IsLabelText(text)) {
        WriteLine(shell, text.size() > kLabelLength ? text::LabelTooLong : text::InvalidLabel);
        return 1;
    }
    if (const ErrorCode e = platform::SetVolumeLabel(letter, text.toUpper())) {
        ShowError(shell, e);
        return 1;
    }
    return 0;
}

}  // namespace command
