// The commands that work on files and folders: TYPE, COPY, DEL, REN, CD, MD, RD.
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <functional>
#include "builtins.h"
#include "parse.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "texts.h"

namespace command {

namespace {

bool IsDriveError(ErrorCode e) { return e == err::DeviceUnavailable || e == err::DiskNotReady; }

// The files a file operand names, without hidden and system ones, as DOS does.
ErrorCode MatchingFiles(const QString& operand, QString* folder, QList<platform::FileEntry>* files) {
    QString mask;
    if (const ErrorCode e = SplitFileOperand(operand, folder, &mask)) return e;
    if (!IsFolder(*folder)) return err::PathNotFound;
    return platform::ListFiles(*folder, mask, false, files);
}

bool IsReadOnly(const QString& dosPath) {
    int attributes = 0;
    return platform::GetAttributes(dosPath, &attributes) == err::None && (attributes & platform::attr::ReadOnly);
}

}  // namespace

namespace {
ErrorCode TypeOne(Shell& shell, const QString& path) {
    QString host;
    int attributes = 0;
    ErrorCode e = platform::DosToHost(path, &host);
    if (!e) e = platform::GetAttributes(path, &attributes);
    if (!e && (attributes & platform::attr::Directory)) e = err::AccessDenied;
    QFile f(host);
    if (!e && !f.open(QIODevice::ReadOnly)) {
        e = platform::OpenForReading(path);
        if (!e) e = err::AccessDenied;
    }
    while (!e && !f.atEnd() && !shell.out.failed) WriteBytes(shell, f.read(1 << 16));
    return e;
}
}  // namespace

// Several files, and every file a mask matches, follow each other.
int Type(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    if (ops.args.isEmpty()) {
        WriteLine(shell, text::RequiredParameterMissing);
        return 1;
    }
    int result = 0;
    for (const QString& arg : ops.args) {
        QStringList paths{arg};
        if (HasWildcards(arg)) {
            QString folder;
            QList<platform::FileEntry> files;
            paths.clear();
            if (MatchingFiles(arg, &folder, &files) == err::None)
                for (const auto& f : files) paths << JoinPath(folder, f.name);
            if (paths.isEmpty()) {
                ShowError(shell, err::FileNotFound);
                result = 1;
            }
        }
        for (const QString& path : paths) {
            if (const ErrorCode e = TypeOne(shell, path)) {
                ShowError(shell, e);
                result = 1;
            }
        }
    }
    return result;
}

// --- COPY ---

namespace {

// "a+b c", "a + b c" and "a+ b c" all give the groups {a,b} and {c}.
QList<QStringList> CopyGroups(const QStringList& args) {
    QList<QStringList> groups;
    bool join = false;
    for (const QString& arg : args) {
        const QStringList pieces = arg.split(u'+');
        for (qsizetype k = 0; k < pieces.size(); ++k) {
            if (k > 0) join = true;
            const QString p = pieces[k].trimmed();
            if (p.isEmpty()) continue;
            if (join && !groups.isEmpty()) groups.last() << p;
            else groups << QStringList{p};
            join = false;
        }
    }
    return groups;
}

// The target is written aside and put in place only when complete, so a
// target that is also a source is read whole before it changes, and a failure
// leaves the old target as it was.
ErrorCode WriteWhole(const QString& target, const std::function<ErrorCode(QSaveFile&)>& fill) {
    QString host;
    if (const ErrorCode e = platform::DosToHost(target, &host)) return e;
    if (IsFolder(target)) return err::PathFileConflict;
    if (IsReadOnly(target)) return err::AccessDenied;
    if (!QFileInfo(QFileInfo(host).path()).isDir()) return err::PathNotFound;
    QSaveFile out(host);
    if (!out.open(QIODevice::WriteOnly)) return err::AccessDenied;
    if (const ErrorCode e = fill(out)) return e;
    if (!out.commit()) return errno == ENOSPC ? err::DiskFull : err::IoError;
    return err::None;
}

ErrorCode Concatenate(const QStringList& sources, const QString& target) {
    return WriteWhole(target, [&sources](QSaveFile& out) {
        for (const QString& source : sources) {
            QString sourceHost;
            if (const ErrorCode e = platform::DosToHost(source, &sourceHost)) return e;
            QFile in(sourceHost);
            if (!in.open(QIODevice::ReadOnly)) {
                const ErrorCode e = platform::OpenForReading(source);
                return e ? e : err::AccessDenied;
            }
            while (!in.atEnd()) {
                const QByteArray chunk = in.read(1 << 20);
                if (out.write(chunk) != chunk.size()) return errno == ENOSPC ? err::DiskFull : err::IoError;
            }
        }
        return err::None;
    });
}

bool IsConsole(const QString& name) {
    const QString n = name.toLower();
    return n == u"con" || n == u"con:";
}

// COPY CON file: what the user types, up to Ctrl+Z, becomes the file. Ctrl+C
// leaves the file as it was: -1, when there is nothing more to say.
int CopyFromConsole(Shell& shell, const QString& target, OverwriteQuestion* overwrite, int* copied) {
    QString full;
    if (const ErrorCode e = platform::FullDosPath(target, &full)) {
        ShowError(shell, e);
        return 1;
    }
    if (!overwrite->mayOverwrite(full)) return 0;
    QByteArray typed;
    if (!ReadConsoleText(shell, &typed)) return -1;
    const ErrorCode e = WriteWhole(full, [&typed](QSaveFile& out) {
        return out.write(typed) == typed.size() ? err::None : errno == ENOSPC ? err::DiskFull : err::IoError;
    });
    if (e) {
        ShowError(shell, e);
        return 1;
    }
    *copied = 1;
    return 0;
}

}  // namespace

int Copy(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    bool ask = AsksBeforeOverwriting(shell);
    for (const QString& s : ops.switches) {
        if (s == u"y") ask = false;
        else if (s == u"-y") ask = true;
        else if (s != u"a" && s != u"b" && s != u"v") {
            WriteLine(shell, text::InvalidSwitch.arg(s));
            return 1;
        }
    }
    const QList<QStringList> groups = CopyGroups(ops.args);
    if (groups.isEmpty()) {
        WriteLine(shell, text::RequiredParameterMissing);
        return 1;
    }
    if (groups.size() > 2 || (groups.size() == 2 && groups[1].size() > 1)) {
        WriteLine(shell, text::TooManyParameters);
        return 1;
    }
    OverwriteQuestion run{shell, ask};
    int copied = 0;
    const auto done = [&](int result) {
        WriteLine(shell, text::FilesCopied.arg(copied, 9));
        return result;
    };
    if (IsConsole(groups[0].first())) {
        if (groups.size() < 2 || groups[0].size() > 1) {
            WriteLine(shell, groups.size() < 2 ? text::RequiredParameterMissing : text::TooManyParameters);
            return 1;
        }
        const int result = CopyFromConsole(shell, groups[1][0], &run, &copied);
        return result < 0 ? 1 : done(result);
    }

    // Every source file, in order.
    QStringList sources;
    bool wildcard = false;
    for (const QString& operand : groups[0]) {
        QString folder;
        QList<platform::FileEntry> files;
        const ErrorCode e = MatchingFiles(operand, &folder, &files);
        if (IsDriveError(e)) {
            WriteLine(shell, text::InvalidDrive);
            return done(1);
        }
        if (e || files.isEmpty()) {
            WriteLine(shell, e && e != err::PathNotFound ? text::ForError(e) : text::FileNotFound + " - " + operand);
            return done(1);
        }
        // A mask or a folder as the source means "these files", even when one matches.
        wildcard = wildcard || HasWildcards(operand) || IsFolder(operand) || files.size() > 1;
        for (const auto& f : files) sources << JoinPath(folder, f.name);
    }
    const bool concatenation = groups[0].size() > 1;

    // COPY file CON shows the files.
    if (groups.size() == 2 && IsConsole(groups[1][0])) {
        for (const QString& source : sources) {
            QString host;
            QFile f;
            if (platform::DosToHost(source, &host) == err::None) f.setFileName(host);
            if (!f.open(QIODevice::ReadOnly)) {
                ShowError(shell, err::AccessDenied);
                return done(1);
            }
            while (!f.atEnd() && !shell.out.failed) WriteBytes(shell, f.read(1 << 16));
            ++copied;
        }
        return done(0);
    }

    // The destination: a folder, a name mask, or one file.
    const QString dest = groups.size() == 2 ? groups[1][0] : QString();
    QString destFolder, destMask;
    const ErrorCode de = SplitFileOperand(dest, &destFolder, &destMask);
    if (IsDriveError(de)) {
        WriteLine(shell, text::InvalidDrive);
        return done(1);
    }
    if (de || !IsFolder(destFolder)) {
        WriteLine(shell, text::PathNotFound);
        return done(1);
    }
    const bool toOneFile = !MatchesAll(destMask) && !HasWildcards(destMask);

    if (concatenation || (toOneFile && wildcard)) {
        // Without a destination the sources are added to the first one.
        const QString target = dest.isEmpty() ? sources.first() : JoinPath(destFolder, destMask);
        if (!sources.contains(target, Qt::CaseInsensitive) && !run.mayOverwrite(target)) return done(0);
        if (const ErrorCode e = Concatenate(sources, target)) {
            ShowError(shell, e);
            return done(1);
        }
        copied = 1;
        return done(0);
    }

    for (const QString& source : sources) {
        const QString name = source.section(u'\\', -1);
        const QString target = JoinPath(destFolder, MatchesAll(destMask) ? name : ApplyMask(name, destMask));
        if (platform::IsSameFile(source, target) || source.compare(target, Qt::CaseInsensitive) == 0) {
            WriteLine(shell, text::CopiedOntoItself);
            if (sources.size() == 1) return done(1);
            continue;
        }
        if (!run.mayOverwrite(target)) continue;
        if (const ErrorCode e = platform::CopyFileTo(source, target)) {
            ShowError(shell, e);
            return done(1);
        }
        ++copied;
    }
    return done(0);
}

// --- DEL ---

int Del(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    bool each = false;
    for (const QString& s : ops.switches) {
        if (s == u"p") each = true;
        else {
            WriteLine(shell, text::InvalidSwitch.arg(s));
            return 1;
        }
    }
    if (ops.args.isEmpty()) {
        WriteLine(shell, text::RequiredParameterMissing);
        return 1;
    }
    int result = 0;
    for (const QString& operand : ops.args) {
        QString folder, mask;
        ErrorCode e = SplitFileOperand(operand, &folder, &mask);
        if (!e && !IsFolder(folder)) e = err::PathNotFound;
        if (e) {
            WriteLine(shell, IsDriveError(e) ? text::InvalidDrive : text::ForError(e));
            result = 1;
            continue;
        }
        if (MatchesAll(mask) && !each && !AskYes(shell, text::DeleteAll + u' ')) continue;
        QList<platform::FileEntry> files;
        if (platform::ListFiles(folder, mask, false, &files) != err::None || files.isEmpty()) {
            WriteLine(shell, text::FileNotFound);
            result = 1;
            continue;
        }
        for (const auto& f : files) {
            const QString path = JoinPath(folder, f.name);
            if (each && !AskYes(shell, Shown(path) + QStringLiteral(",    Delete (Y/N)? "))) continue;
            if (const ErrorCode de = platform::DeleteFile(path)) {
                WriteLine(shell, text::ForError(de) + QStringLiteral(" - ") + Shown(path));
                result = 1;
            }
        }
    }
    return result;
}

// --- REN ---

int Ren(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    if (!ops.switches.isEmpty()) {
        WriteLine(shell, text::InvalidSwitch.arg(ops.switches.first()));
        return 1;
    }
    if (ops.args.size() < 2) {
        WriteLine(shell, text::RequiredParameterMissing);
        return 1;
    }
    if (ops.args.size() > 2) {
        WriteLine(shell, text::TooManyParameters);
        return 1;
    }
    const QString newMask = ops.args[1];
    // The new name is a name only: REN never moves a file.
    if (newMask.contains(u'\\') || newMask.contains(u':')) {
        WriteLine(shell, text::InvalidParameter);
        return 1;
    }
    const QString operand = ops.args[0];
    QString folder, mask;
    QStringList names;
    if (!HasWildcards(operand)) {
        // One file or folder by its name.
        QString full;
        int attributes = 0;
        if (platform::FullDosPath(operand, &full) != err::None || platform::GetAttributes(full, &attributes) != err::None ||
            full.size() <= 3) {
            WriteLine(shell, text::DuplicateOrNotFound);
            return 1;
        }
        folder = full.left(full.lastIndexOf(u'\\'));
        names << full.mid(full.lastIndexOf(u'\\') + 1);
    } else {
        QList<platform::FileEntry> files;
        const ErrorCode e = MatchingFiles(operand, &folder, &files);
        if (IsDriveError(e)) {
            WriteLine(shell, text::InvalidDrive);
            return 1;
        }
        for (const auto& f : files) names << f.name;
    }
    if (names.isEmpty()) {
        WriteLine(shell, text::DuplicateOrNotFound);
        return 1;
    }
    int result = 0;
    for (const QString& name : names) {
        const QString newName = HasWildcards(newMask) ? ApplyMask(name, newMask) : newMask;
        if (newName == name) continue;
        if (newName.isEmpty() || !platform::IsValidDosComponent(newName)) {
            WriteLine(shell, text::ForError(err::BadFileName));
            result = 1;
            continue;
        }
        const ErrorCode e = platform::RenamePath(JoinPath(folder, name), JoinPath(folder, newName));
        if (e) {
            const bool duplicate = e == err::FileExists || e == err::PathFileConflict || e == err::FileNotFound;
            WriteLine(shell, duplicate ? text::DuplicateOrNotFound : text::ForError(e));
            result = 1;
        }
    }
    return result;
}

// --- CD, MD, RD ---

namespace {
// The whole operand of a folder command: a long name may hold blanks unquoted.
QString FolderOperand(const QString& rest) { return ParseOperands(rest).args.join(u' '); }
}  // namespace

int Cd(Shell& shell, const QString& rest) {
    const QString operand = FolderOperand(rest);
    if (operand.isEmpty() || (operand.size() == 2 && operand[1] == u':')) {
        QString folder;
        if (FullFolder(operand, &folder) != err::None) {
            WriteLine(shell, text::InvalidDrive);
            return 1;
        }
        WriteLine(shell, Shown(folder));
        return 0;
    }
    const ErrorCode e = platform::ChangeFolder(operand);
    if (e) {
        WriteLine(shell, IsDriveError(e) ? text::InvalidDrive : text::InvalidDirectory);
        return 1;
    }
    return 0;
}

// The full path of md's and rd's folder operand; false (with the message
// shown) when the operand is missing.
static bool FullFolderOperand(Shell& shell, const QString& rest, QString* full, ErrorCode* e) {
    const QString operand = FolderOperand(rest);
    if (operand.isEmpty()) {
        WriteLine(shell, text::RequiredParameterMissing);
        return false;
    }
    *e = platform::FullDosPath(operand, full);
    return true;
}

int Md(Shell& shell, const QString& rest) {
    QString full;
    ErrorCode e = 0;
    if (!FullFolderOperand(shell, rest, &full, &e)) return 1;
    if (!e) e = platform::MakeFolder(full);
    if (e) {
        WriteLine(shell, IsDriveError(e) ? text::InvalidDrive : text::CannotMakeDirectory);
        return 1;
    }
    return 0;
}

int Rd(Shell& shell, const QString& rest) {
    QString full;
    ErrorCode e = 0;
    if (!FullFolderOperand(shell, rest, &full, &e)) return 1;
    if (!e && full.compare(platform::CurrentFolder(full[0]), Qt::CaseInsensitive) == 0 && full.size() > 2) {
        WriteLine(shell, text::RemoveCurrentDirectory + Shown(full));
        return 1;
    }
    if (!e) e = IsFolder(full) ? platform::RemoveFolder(full) : err::PathNotFound;
    if (e) {
        WriteLine(shell, IsDriveError(e) ? text::InvalidDrive : text::CannotRemoveDirectory);
        return 1;
    }
    return 0;
}

}  // namespace command
