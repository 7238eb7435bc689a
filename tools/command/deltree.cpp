// DELTREE and TREE: the commands that go down a whole tree of folders.
#include <QFile>
#include <QRegularExpression>
#include <sys/stat.h>
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

namespace {

// --- DELTREE ---

struct Doomed {
    QString path;    // full DOS path
    QString shown;   // as the user wrote it
};

// What an operand names: with wildcards every entry that matches, hidden and
// system ones too; else the one entry.
QList<Doomed> DoomedBy(const QString& operand, const QString& full) {
    QList<Doomed> out;
    if (!HasWildcards(operand)) {
        int attributes = 0;
        if (platform::IsLink(full) || platform::GetAttributes(full, &attributes) == err::None)
            out.append({full, operand});
        return out;
    }
    QString folder, mask;
    if (SplitFileOperand(operand, &folder, &mask) != err::None || !IsFolder(folder)) return out;
    const qsizetype cut = std::max(operand.lastIndexOf(u'\\'), operand.lastIndexOf(u':'));
    QList<platform::FileEntry> folders, files;
    platform::ListFolders(folder, true, &folders);
    platform::ListFiles(folder, mask, true, &files);
    for (const auto& f : folders)
        if (platform::MatchesFileSpec(f.name, mask)) out.append({JoinPath(folder, f.name), operand.left(cut + 1) + f.name});
    for (const auto& f : files) out.append({JoinPath(folder, f.name), operand.left(cut + 1) + f.name});
    return out;
}

// The device a folder lives on; a tree is removed on its own device only, so
// that a disk mounted inside it is never emptied.
dev_t DeviceOf(const QString& dosPath) {
    QString host;
    struct stat st {};
    if (platform::DosToHost(dosPath, &host) != err::None || ::stat(QFile::encodeName(host).constData(), &st) != 0)
        return 0;
    return st.st_dev;
}

struct Removal {
    Shell& shell;
    dev_t device = 0;
    FolderWalk walk{};
    int result = 0;

    void report(ErrorCode e, const QString& path) {
        WriteLine(shell, text::ForError(e) + QStringLiteral(" - ") + ShownEntry(path));
        result = 1;
    }

    // DELTREE takes read-only entries too: the attribute goes first.
    void writable(const QString& path) {
        int attributes = 0;
        if (platform::GetAttributes(path, &attributes) == err::None && (attributes & platform::attr::ReadOnly))
            platform::SetEntryAttributes(path, attributes & ~platform::attr::ReadOnly);
    }

    void remove(const QString& path) {
        if (shell.out.failed) return;
        // A link goes as a link: what it points at is never entered.
        if (platform::IsLink(path)) {
            if (const ErrorCode e = platform::DeleteLink(path)) report(e, path);
            return;
        }
        if (!IsFolder(path)) {
            writable(path);
            if (const ErrorCode e = platform::DeleteFile(path)) report(e, path);
            return;
        }
        if (DeviceOf(path) != device || !walk.Enter(path)) return report(err::AccessDenied, path);
        writable(path);
        QList<platform::FileEntry> folders, files;
        platform::ListFolders(path, true, &folders);
        for (const auto& f : folders) remove(JoinPath(path, f.name));
        platform::ListFiles(path, QString(), true, &files);
        for (const auto& f : files) remove(JoinPath(path, f.name));
        if (const ErrorCode e = platform::RemoveFolder(path)) report(e, path);
    }
};

bool HoldsCurrentFolder(const QString& path) {
    const QString current = platform::CurrentFolder(path[0]);
    return current.compare(path, Qt::CaseInsensitive) == 0 ||
           current.startsWith(path + u'\\', Qt::CaseInsensitive);
}

}  // namespace

int Deltree(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    bool ask = true;
    for (const QString& s : ops.switches) {
        if (s != u"y") {
            WriteLine(shell, text::InvalidSwitch.arg(s));
            return 1;
        }
        ask = false;
    }
    if (ops.args.isEmpty()) {
        WriteLine(shell, text::RequiredParameterMissing);
        return 1;
    }
    int result = 0;
    for (const QString& operand : ops.args) {
        const bool wild = HasWildcards(operand);
        QString full, mask, root;
        ErrorCode e = wild ? SplitFileOperand(operand, &full, &mask) : platform::FullDosPath(operand, &full);
        if (!e) e = platform::DriveRoot(full[0].toLower(), &root);
        if (e) {
            WriteLine(shell, e == err::DeviceUnavailable || e == err::DiskNotReady ? text::InvalidDrive : text::ForError(e));
            result = 1;
            continue;
        }
        // A drive is never emptied whole, neither by its root nor by a mask over all of it.
        if (full.size() <= 2 && (!wild || MatchesAll(mask))) {
            WriteLine(shell, text::DeltreeRoot);
            result = 1;
            continue;
        }
        for (const Doomed& d : DoomedBy(operand, full)) {
            const bool folder = IsFolder(d.path);
            if (ask) {
                Write(shell, (folder ? text::DeltreeFolderQuestion : text::DeltreeFileQuestion).arg(d.shown) + u' ');
                const KeyAnswer a = AskKey(shell, QStringLiteral("yn"), false);
                if (a.kind != KeyAnswer::Kind::Key) {
                    WriteLine(shell, a.kind == KeyAnswer::Kind::Broken ? QStringLiteral("^C") : QString());
                    return 1;
                }
                WriteLine(shell, a.index == 0 ? QStringLiteral("y") : QStringLiteral("n"));
                if (a.index != 0) continue;
            }
            if (folder && !platform::IsLink(d.path) && HoldsCurrentFolder(d.path)) {
                WriteLine(shell, text::RemoveCurrentDirectory + Shown(d.path));
                result = 1;
                continue;
            }
            WriteLine(shell, text::Deleting.arg(d.shown));
            Removal removal{shell, DeviceOf(d.path)};
            removal.remove(d.path);
            result |= removal.result;
        }
    }
    return result;
}

// --- TREE ---

namespace {

struct TreeRun {
    Shell& shell;
    bool files = false;
    bool ascii = false;
    FolderWalk walk{};
    bool anyFolder = false;

    QString branch(bool last) const {
        if (ascii) return last ? QStringLiteral("\\---") : QStringLiteral("+---");
        return last ? QStringLiteral("└───") : QStringLiteral("├───");
    }
    QString stem(bool more) const {
        if (!more) return QStringLiteral("    ");
        return ascii ? QStringLiteral("|   ") : QStringLiteral("│   ");
    }

    void list(const QString& folder, const QString& indent) {
        QList<platform::FileEntry> folders;
        platform::ListFolders(folder, false, &folders);
        anyFolder = anyFolder || !folders.isEmpty();
        if (files) {
            QList<platform::FileEntry> entries;
            platform::ListFiles(folder, QString(), false, &entries);
            const QString lead = indent + stem(!folders.isEmpty());
            for (const auto& f : entries) WriteLine(shell, lead + f.name);
            if (!entries.isEmpty()) WriteLine(shell, QString(lead).remove(QRegularExpression("\\s+$")));
        }
        for (qsizetype i = 0; i < folders.size() && !shell.out.failed; ++i) {
            const bool last = i + 1 == folders.size();
            WriteLine(shell, indent + branch(last) + folders[i].name);
            const QString path = JoinPath(folder, folders[i].name);
            // A link to a folder and a folder met before show, but are not gone into.
            if (walk.Enter(path)) list(path, indent + stem(!last));
        }
    }
};

}  // namespace

int Tree(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    TreeRun run{shell};
    for (const QString& s : ops.switches) {
        if (s == u"f") run.files = true;
        else if (s == u"a") run.ascii = true;
        else {
            WriteLine(shell, text::InvalidSwitch.arg(s));
            return 1;
        }
    }
    if (ops.args.size() > 1) {
        WriteLine(shell, text::TooManyParameters);
        return 1;
    }
    QString folder;
    const QString operand = ops.args.value(0);
    if (FullFolder(operand, &folder) != err::None || !IsFolder(folder)) {
        WriteLine(shell, text::InvalidPath + operand.toUpper());
        return 1;
    }
    const QString label = platform::VolumeLabel(folder[0]);
    WriteLine(shell, label.isEmpty() ? text::TreeListing : text::TreeListingOfVolume.arg(label));
    WriteLine(shell, operand.isEmpty() ? folder.left(1).toUpper() + QStringLiteral(":.") : Shown(folder));
    run.walk.Enter(folder);
    run.list(folder, QString());
    if (!run.anyFolder) {
        WriteLine(shell);
        WriteLine(shell, text::NoSubdirectories);
    }
    return 0;
}

}  // namespace command
