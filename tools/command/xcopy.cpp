// XCOPY and MOVE: files and trees to another place, never losing the source
// before its copy is complete.
#include "builtins.h"
#include "parse.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "texts.h"
#include "walk.h"

namespace command {

namespace {

// True when `inner` is `outer` or lies below it, by way of links or other
// spellings too: the same folder on disk is met on the way up.
bool IsWithin(const QString& inner, const QString& outer) {
    QString path;
    if (platform::FullDosPath(inner, &path) != err::None) return false;
    for (;;) {
        if (IsFolder(path) && platform::IsSameFile(path, outer)) return true;
        if (path.size() <= 2) return false;
        const qsizetype cut = path.lastIndexOf(u'\\');
        path = cut <= 2 ? path.left(2) : path.left(cut);
    }
}

// --- XCOPY ---

// XCOPY's errorlevels.
constexpr int kNoFiles = 1, kBroken = 2, kBadStart = 4, kWriteError = 5;

struct XcopyRun {
    Shell& shell;
    OverwriteQuestion overwrite;
    bool recurse = false, empties = false, archivedOnly = false, resetArchive = false, confirmEach = false;
    QString mask{};
    QString targetName{};   // the one file name the copies go to, when the target is a file
    FolderWalk walk{};
    int found = 0, copied = 0, result = 0;

    bool stopped() const { return result != 0 || shell.out.failed; }

    void fail(int level, const QString& message) {
        WriteLine(shell, message);
        result = level;
    }

    void copyOne(const QString& from, const QString& folder, const platform::FileEntry& f) {
        const QString source = JoinPath(from, f.name);
        const QString target = JoinPath(folder, targetName.isEmpty() ? f.name : targetName);
        if (confirmEach && !AskYes(shell, Shown(source) + QStringLiteral(" (Y/N)?"))) return;
        if (!overwrite.mayOverwrite(target)) return;
        if (MakeFolders(folder) != err::None) return fail(kWriteError, text::CannotMakeDirectory);
        if (platform::IsSameFile(source, target)) return fail(kBadStart, text::CopiedOntoItself);
        WriteLine(shell, JoinPath(Shown(from), f.name));
        if (const ErrorCode e = platform::CopyFileTo(source, target)) return fail(kWriteError, text::ForError(e));
        ++copied;
        if (resetArchive) platform::SetAttributes(source, f.attributes & ~platform::attr::Archive);
    }

    void copyFolder(const QString& from, const QString& to) {
        if (stopped() || !walk.Enter(from)) return;
        if (empties && MakeFolders(to) != err::None) return fail(kWriteError, text::CannotMakeDirectory);
        QList<platform::FileEntry> files;
        platform::ListFiles(from, mask, false, &files);
        for (const auto& f : files) {
            if (stopped()) return;
            if (TakeBreak()) return fail(kBroken, QStringLiteral("^C"));
            if (archivedOnly && !(f.attributes & platform::attr::Archive)) continue;
            ++found;
            copyOne(from, to, f);
        }
        if (!recurse) return;
        QList<platform::FileEntry> folders;
        platform::ListFolders(from, false, &folders);
        for (const auto& sub : folders) copyFolder(JoinPath(from, sub.name), JoinPath(to, sub.name));
    }
};

enum class TargetKind { Folder, File, Unknown };

// A target that is neither an existing folder nor written as one ("x\")
// is asked about, as DOS does.
TargetKind AskTargetKind(Shell& shell, const QString& typed) {
    Write(shell, text::FileOrDirectory.arg(typed.toUpper()));
    const KeyAnswer a = AskKey(shell, QStringLiteral("FD"), false);
    if (a.kind != KeyAnswer::Kind::Key) {
        WriteLine(shell);
        return TargetKind::Unknown;
    }
    WriteLine(shell, a.index == 0 ? QStringLiteral("F") : QStringLiteral("D"));
    return a.index == 0 ? TargetKind::File : TargetKind::Folder;
}

}  // namespace

ErrorCode MakeFolders(const QString& dosFolder) {
    QString full, drive;
    QStringList parts;
    if (const ErrorCode e = platform::FullDosPath(dosFolder, &full)) return e;
    platform::SplitDosPath(full, &drive, &parts);
    QString path = drive;
    for (const QString& part : parts) {
        path = JoinPath(path, part);
        if (IsFolder(path)) continue;
        if (const ErrorCode e = platform::MakeFolder(path)) return e;
    }
    return err::None;
}

int Xcopy(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    XcopyRun run{shell, {shell, AsksBeforeOverwriting(shell)}};
    bool waitFirst = false;
    for (const QString& s : ops.switches) {
        if (s == u"s") run.recurse = true;
        else if (s == u"e") run.empties = true;
        else if (s == u"y") run.overwrite.ask = false;
        else if (s == u"-y") run.overwrite.ask = true;
        else if (s == u"a") run.archivedOnly = true;
        else if (s == u"m") run.archivedOnly = run.resetArchive = true;
        else if (s == u"p") run.confirmEach = true;
        else if (s == u"w") waitFirst = true;
        else if (s != u"v") {
            WriteLine(shell, text::InvalidSwitch.arg(s));
            return kBadStart;
        }
    }
    if (ops.args.isEmpty() || ops.args.size() > 2) {
        WriteLine(shell, ops.args.isEmpty() ? text::RequiredParameterMissing : text::TooManyParameters);
        return kBadStart;
    }
    run.empties = run.empties && run.recurse;
    QString from;
    const ErrorCode se = SplitFileOperand(ops.args[0], &from, &run.mask);
    if (se || !IsFolder(from)) {
        WriteLine(shell, se == err::DeviceUnavailable || se == err::DiskNotReady ? text::InvalidDrive : text::PathNotFound);
        return kBadStart;
    }

    const QString typedTarget = ops.args.value(1);
    QString to;
    if (const ErrorCode e = typedTarget.isEmpty() ? FullFolder(QString(), &to) : platform::FullDosPath(typedTarget, &to)) {
        WriteLine(shell, e == err::DeviceUnavailable || e == err::DiskNotReady ? text::InvalidDrive : text::ForError(e));
        return kBadStart;
    }
    if (!typedTarget.isEmpty() && !IsFolder(to) && !typedTarget.endsWith(u'\\')) {
        // An existing file is a file; anything else new is asked about.
        int attributes = 0;
        const TargetKind kind = platform::GetAttributes(to, &attributes) == err::None ? TargetKind::File
                                                                                     : AskTargetKind(shell, typedTarget);
        if (kind == TargetKind::Unknown) return kBadStart;
        if (kind == TargetKind::File) {
            run.targetName = to.mid(to.lastIndexOf(u'\\') + 1);
            to = to.left(std::max<qsizetype>(2, to.lastIndexOf(u'\\')));
        }
    }
    // A copy into its own source would copy its copies.
    if (IsFolder(to) && platform::IsSameFile(from, to) && run.targetName.isEmpty()) {
        WriteLine(shell, text::CopiedOntoItself);
        WriteLine(shell, text::XcopyFilesCopied.arg(0, 9));
        return kBadStart;
    }
    if (run.recurse && IsWithin(to, from)) {
        WriteLine(shell, text::CyclicCopy);
        return kBadStart;
    }

    if (waitFirst) {
        Write(shell, text::PressKeyToCopy);
        WaitForKey(shell);
        WriteLine(shell);
    }
    WriteLine(shell, text::ReadingSource);
    run.copyFolder(from, to);
    if (run.found == 0 && run.result == 0) {
        WriteLine(shell, text::FileNotFound + QStringLiteral(" - ") + run.mask.toUpper());
        run.result = kNoFiles;
    }
    WriteLine(shell, text::XcopyFilesCopied.arg(run.copied, 9));
    return run.result;
}

// --- MOVE ---

namespace {

struct MoveSource {
    QString folder, name;
};

// The entries the source operands name: files by wildcard, or one file or
// folder by name. False (with the message written) when one names nothing.
bool MoveSources(Shell& shell, const QStringList& operands, QList<MoveSource>* sources) {
    for (const QString& operand : operands) {
        if (!HasWildcards(operand)) {
            QString full;
            int attributes = 0;
            if (platform::FullDosPath(operand, &full) != err::None || full.size() <= 2 ||
                platform::GetAttributes(full, &attributes) != err::None) {
                WriteLine(shell, text::FileNotFound + QStringLiteral(" - ") + operand);
                return false;
            }
            const qsizetype cut = full.lastIndexOf(u'\\');
            sources->append({cut <= 2 ? full.left(2) : full.left(cut), full.mid(cut + 1)});
            continue;
        }
        QString folder, mask;
        QList<platform::FileEntry> files;
        if (SplitFileOperand(operand, &folder, &mask) != err::None || !IsFolder(folder) ||
            platform::ListFiles(folder, mask, false, &files) != err::None || files.isEmpty()) {
            WriteLine(shell, text::FileNotFound + QStringLiteral(" - ") + operand);
            return false;
        }
        for (const auto& f : files) sources->append({folder, f.name});
    }
    return true;
}

// A file over another: the copy replaces the target whole, and only then
// does the source go.
ErrorCode Replace(const QString& source, const QString& target) {
    if (const ErrorCode e = platform::CopyFileTo(source, target)) return e;
    int attributes = 0;
    if (platform::GetAttributes(source, &attributes) == err::None && (attributes & platform::attr::ReadOnly))
        platform::SetEntryAttributes(source, attributes & ~platform::attr::ReadOnly);
    return platform::DeleteFile(source);
}

}  // namespace

int Move(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    OverwriteQuestion overwrite{shell, AsksBeforeOverwriting(shell)};
    for (const QString& s : ops.switches) {
        if (s == u"y") overwrite.ask = false;
        else if (s == u"-y") overwrite.ask = true;
        else {
            WriteLine(shell, text::InvalidSwitch.arg(s));
            return 1;
        }
    }
    QStringList operands;
    for (const QString& arg : ops.args) operands << arg.split(u',', Qt::SkipEmptyParts);
    if (operands.size() < 2) {
        WriteLine(shell, text::RequiredParameterMissing);
        return 1;
    }
    const QString typedTarget = operands.takeLast();
    QString target;
    if (platform::FullDosPath(typedTarget, &target) != err::None) {
        WriteLine(shell, text::InvalidParameter);
        return 1;
    }
    QList<MoveSource> sources;
    if (!MoveSources(shell, operands, &sources)) return 1;
    const bool intoFolder = IsFolder(target) && !(sources.size() == 1 && platform::IsSameFile(
                                                     JoinPath(sources[0].folder, sources[0].name), target));
    if (!intoFolder && sources.size() > 1) {
        WriteLine(shell, text::MoveManyToOne);
        return 1;
    }
    int result = 0;
    for (const MoveSource& s : sources) {
        if (shell.out.failed) return 1;
        const QString source = JoinPath(s.folder, s.name);
        const QString to = intoFolder ? JoinPath(target, s.name) : target;
        const QString said = ShownEntry(source) + QStringLiteral(" => ") + ShownEntry(to) + QStringLiteral(" [");
        int attributes = 0;
        const bool taken = platform::GetAttributes(to, &attributes) == err::None;
        // The same file by its own name or another: nothing to move, and nothing
        // to lose. Only a change of the name's case is a move.
        if (taken && platform::IsSameFile(source, to) &&
            (to == source || to.compare(source, Qt::CaseInsensitive) != 0)) {
            WriteLine(shell, said + text::CopiedOntoItself + u']');
            result = 1;
            continue;
        }
        // A folder cannot go inside itself.
        const qsizetype cut = to.lastIndexOf(u'\\');
        if (IsFolder(source) && !platform::IsLink(source) && IsWithin(cut <= 2 ? to.left(2) : to.left(cut), source)) {
            WriteLine(shell, said + text::CyclicCopy + u']');
            result = 1;
            continue;
        }
        const bool replacing = taken && !(attributes & platform::attr::Directory) && !IsFolder(source) &&
                               !platform::IsSameFile(source, to);
        if (replacing && !overwrite.mayOverwrite(to)) continue;
        const ErrorCode e = replacing ? Replace(source, to) : platform::RenamePath(source, to);
        WriteLine(shell, said + (e ? text::ForError(e) : QStringLiteral("ok")) + u']');
        if (e) result = 1;
    }
    return result;
}

}  // namespace command
