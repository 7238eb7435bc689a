// DIR and VOL.
#include <QSet>
#include "builtins.h"
#include "parse.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/prefix.h"
#include "platform/volume.h"
#include "texts.h"
#include "walk.h"

namespace command {

QString GroupDigits(qint64 n) {
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, u',');
    return n < 0 ? u'-' + digits : digits;
}

namespace {
QString ShortPart(const QString& part) {
    QString out;
    for (QChar c : part.toUpper()) {
        if (c == u' ' || c == u'.') continue;
        out += (c.unicode() > 127 || QStringLiteral("+,;=[]").contains(c)) ? QChar(u'_') : c;
    }
    return out;
}
}  // namespace

ShortName MakeShortName(const QString& name, int n) {
    if (name == u"." || name == u"..") return {name, QString()};
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot <= 0 ? name : name.left(dot);
    const QString ext = dot <= 0 ? QString() : name.mid(dot + 1);
    const QString b = ShortPart(base), e = ShortPart(ext);
    const bool fits = dot != 0 && !b.isEmpty() && b == base.toUpper() && e == ext.toUpper() && b.size() <= 8 &&
                      e.size() <= 3;
    if (fits) return {b, e};
    const QString tail = u'~' + QString::number(n);
    return {(b.isEmpty() ? QStringLiteral("_") : b).left(8 - tail.size()) + tail, e.left(3)};
}

QString DirEntryLine(const ShortName& alias, bool folder, qint64 size, const QDateTime& modified,
                     const QString& longName) {
    const QTime t = modified.time();
    const int hour = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    const QString time = QStringLiteral("%1:%2%3").arg(hour).arg(t.minute(), 2, 10, QChar(u'0')).arg(QChar(t.hour() < 12 ? u'a' : u'p'));
    const QString sizeField = folder ? QStringLiteral("  <DIR>").leftJustified(13) : GroupDigits(size).rightJustified(13);
    return QStringLiteral("%1 %2 %3  %4 %5  %6")
        .arg(alias.base.leftJustified(8), alias.ext.leftJustified(3), sizeField,
             modified.date().toString(QStringLiteral("MM-dd-yy")), time.rightJustified(6), longName);
}

QString FilesLine(qint64 files, qint64 bytes) {
    return QStringLiteral("%1 file(s) %2 bytes").arg(files, 9).arg(GroupDigits(bytes), 14);
}

qint64 FreeBytes(const platform::DiskSpace& space) {
    return space.sectorsPerCluster * space.bytesPerSector * space.freeClusters;
}

QString FreeLine(qint64 folders, qint64 freeBytes) {
    return QStringLiteral("%1 dir(s) %2 bytes free").arg(folders, 9).arg(GroupDigits(freeBytes), 15);
}

namespace {

struct DirOptions {
    bool wide = false, pause = false, bare = false, recurse = false, lower = false;
    bool all = false;          // /a: hidden and system entries too
    int must = 0, mustNot = 0; // /a:x attribute filters
    QString order;             // /o: the sort keys, each letter maybe behind "-"
};

struct DirRun {
    Shell& shell;
    DirOptions options;
    QString mask;
    int linesShown = 0;
    qint64 totalFiles = 0, totalBytes = 0, totalFolders = 0;
    bool anyShown = false;
    FolderWalk walk{};

    // With /p a full screen waits for a key before the next line, never after the last.
    void line(const QString& text) {
        if (options.pause && linesShown > 0 && linesShown % 23 == 0) {
            Write(shell, text::PressAnyKey);
            WaitForKey(shell);
            WriteLine(shell);
        }
        WriteLine(shell, text);
        ++linesShown;
    }
};

struct Row {
    QString name;
    platform::FileEntry entry;
    bool folder;
};

bool ParseAttributeSwitch(const QString& letters, DirOptions* o) {
    o->all = true;
    bool negate = false;
    for (QChar c : letters) {
        if (c == u':') continue;
        if (c == u'-') {
            negate = true;
            continue;
        }
        int bit = 0;
        switch (c.unicode()) {
        case 'd': bit = platform::attr::Directory; break;
        case 'h': bit = platform::attr::Hidden; break;
        case 's': bit = platform::attr::System; break;
        case 'r': bit = platform::attr::ReadOnly; break;
        case 'a': bit = platform::attr::Archive; break;
        default: return false;
        }
        (negate ? o->mustNot : o->must) |= bit;
        negate = false;
    }
    return true;
}

bool Wanted(const DirOptions& o, int attributes) {
    if (!o.all && (attributes & (platform::attr::Hidden | platform::attr::System))) return false;
    return (attributes & o.must) == o.must && !(attributes & o.mustNot);
}

QString ExtensionOf(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot <= 0 ? QString() : name.mid(dot + 1);
}

// One sort key: below 0 when a comes first.
int CompareBy(QChar key, const Row& a, const Row& b) {
    switch (key.unicode()) {
    case 'n': return QString::compare(a.name, b.name, Qt::CaseInsensitive);
    case 'e': return QString::compare(ExtensionOf(a.name), ExtensionOf(b.name), Qt::CaseInsensitive);
    case 's': return a.entry.size < b.entry.size ? -1 : a.entry.size > b.entry.size;
    case 'd': return a.entry.modified < b.entry.modified ? -1 : a.entry.modified > b.entry.modified;
    case 'g': return int(b.folder) - int(a.folder);   // folders first
    default: return 0;
    }
}

// By the keys of /o in turn, "-" turning one round; the name settles the rest.
void SortRows(const QString& order, QList<Row>* rows) {
    std::stable_sort(rows->begin(), rows->end(), [&order](const Row& a, const Row& b) {
        bool reverse = false;
        for (QChar k : order) {
            if (k == u'-') {
                reverse = true;
                continue;
            }
            const int c = CompareBy(k, a, b);
            if (c != 0) return reverse ? c > 0 : c < 0;
            reverse = false;
        }
        return CompareBy(u'n', a, b) < 0;
    });
}

ErrorCode Rows(const DirRun& run, const QString& folder, QList<Row>* rows) {
    QList<platform::FileEntry> folders, files;
    if (const ErrorCode e = platform::ListFolders(folder, true, &folders)) return e;
    if (const ErrorCode e = platform::ListFiles(folder, run.mask, true, &files)) return e;
    rows->clear();
    if (!run.options.bare && folder.size() > 2 && MatchesAll(run.mask)) {
        platform::FileEntry self;
        platform::GetFileInfo(folder, &self);
        self.attributes = platform::attr::Directory;
        for (const char* dots : {".", ".."})
            if (Wanted(run.options, self.attributes)) rows->append({dots, self, true});
    }
    QList<Row> named;
    for (const auto& f : folders)
        if (platform::MatchesFileSpec(f.name, run.mask) && Wanted(run.options, f.attributes))
            named.append({f.name, f, true});
    for (const auto& f : files)
        if (Wanted(run.options, f.attributes)) named.append({f.name, f, false});
    SortRows(run.options.order, &named);
    rows->append(named);
    return err::None;
}

// Lists one folder; false when it holds nothing to show.
bool ListOne(DirRun& run, const QString& folder, const QList<Row>& rows) {
    if (rows.isEmpty()) return false;
    run.anyShown = true;
    qint64 files = 0, bytes = 0, folders = 0;
    for (const Row& r : rows) {
        if (r.folder) ++folders;
        else {
            ++files;
            bytes += r.entry.size;
        }
    }
    run.totalFiles += files;
    run.totalBytes += bytes;
    run.totalFolders += folders;
    if (run.options.bare) {
        for (const Row& r : rows) {
            const QString name = run.options.lower ? r.name.toLower() : r.name;
            run.line(run.options.recurse ? JoinPath(run.options.lower ? folder.toLower() : Shown(folder), name) : name);
        }
        return true;
    }
    if (run.options.recurse) {
        run.line(text::DirectoryOf.arg(Shown(folder)));
        run.line(QString());
    }
    if (run.options.wide) {
        qsizetype width = 0;
        for (const Row& r : rows) width = std::max(width, r.name.size() + (r.folder ? 2 : 0));
        width = std::max<qsizetype>(width + 2, 16);
        const qsizetype columns = std::max<qsizetype>(1, 80 / width);
        QString current;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QString name = run.options.lower ? rows[i].name.toLower() : rows[i].name;
            const QString shown = rows[i].folder ? u'[' + name + u']' : name;
            current += (i % columns == columns - 1 || i + 1 == rows.size()) ? shown : shown.leftJustified(width);
            if (i % columns == columns - 1 || i + 1 == rows.size()) {
                run.line(current);
                current.clear();
            }
        }
    } else {
        QSet<QString> used;
        for (const Row& r : rows) {
            ShortName alias = MakeShortName(r.name, 1);
            for (int n = 2; used.contains(alias.base + u'.' + alias.ext) && n < 100000; ++n)
                alias = MakeShortName(r.name, n);
            used.insert(alias.base + u'.' + alias.ext);
            if (run.options.lower) alias = {alias.base.toLower(), alias.ext.toLower()};
            run.line(DirEntryLine(alias, r.folder, r.entry.size, r.entry.modified, r.name));
        }
    }
    run.line(FilesLine(files, bytes));
    return true;
}

void ListTree(DirRun& run, const QString& folder) {
    // Output that can no longer be written (a capture at its limit, a full disk) ends the walk.
    if (run.shell.out.failed || !run.walk.Enter(folder)) return;
    QList<Row> rows;
    if (Rows(run, folder, &rows) != err::None) return;
    if (ListOne(run, folder, rows) && !run.options.bare) run.line(QString());
    QList<platform::FileEntry> subfolders;
    if (platform::ListFolders(folder, run.options.all, &subfolders) != err::None) return;
    for (const auto& f : subfolders) ListTree(run, JoinPath(folder, f.name));
}

}  // namespace

QString VolumeLine(QChar letter) {
    const QString label = platform::VolumeLabel(letter);
    const QString drive = QString(letter.toUpper());
    return label.isEmpty() ? text::VolumeNoLabel.arg(drive) : text::VolumeLabel.arg(drive, label);
}

namespace {

// One switch of DIR; "-x" turns off what DIRCMD turned on. False for one DIR does not know.
bool TakeSwitch(const QString& s, DirOptions* o) {
    const bool on = !s.startsWith(u'-');
    const QString name = on ? s : s.mid(1);
    if (name.isEmpty()) return false;
    const QString value = name.mid(1).remove(u':');
    switch (name[0].unicode()) {
    case 'w': o->wide = on; return value.isEmpty();
    case 'p': o->pause = on; return value.isEmpty();
    case 'b': o->bare = on; return value.isEmpty();
    case 's': o->recurse = on; return value.isEmpty();
    case 'l': o->lower = on; return value.isEmpty();
    case 'a':
        o->all = false;
        o->must = o->mustNot = 0;
        return !on ? value.isEmpty() : ParseAttributeSwitch(value, o);
    case 'o':
        // /o alone: folders first, then by name.
        o->order = !on ? QString() : value.isEmpty() ? QStringLiteral("gn") : value;
        for (QChar k : o->order)
            if (!QStringLiteral("nesdg-").contains(k)) return false;
        return on || value.isEmpty();
    default: return false;
    }
}

}  // namespace

int Dir(Shell& shell, const QString& rest) {
    const Operands ops = ParseOperands(rest);
    DirRun run{shell, {}, {}};
    // The switches of DIRCMD come first; those typed override them.
    const QStringList switches = ParseOperands(Variable(shell, "DIRCMD")).switches + ops.switches;
    for (const QString& s : switches) {
        if (!TakeSwitch(s, &run.options)) {
            WriteLine(shell, text::InvalidSwitch.arg(s));
            return 1;
        }
    }
    if (ops.args.size() > 1) {
        WriteLine(shell, text::TooManyParameters);
        return 1;
    }
    QString folder;
    const ErrorCode e = SplitFileOperand(ops.args.value(0), &folder, &run.mask);
    if (e == err::DeviceUnavailable || e == err::DiskNotReady) {
        WriteLine(shell, text::InvalidDrive);
        return 1;
    }
    if (e) {
        ShowError(shell, e);
        return 1;
    }
    if (run.mask.isEmpty()) run.mask = QStringLiteral("*.*");
    const auto line = [&run](const QString& t) { run.line(t); };
    if (!run.options.bare) {
        line(QString());
        line(VolumeLine(folder[0]));
        if (!run.options.recurse) line(text::DirectoryOf.arg(Shown(folder)));
        line(QString());
    }
    if (!IsFolder(folder)) {
        if (!run.options.bare) line(text::FileNotFound);
        return 1;
    }
    if (run.options.recurse) {
        ListTree(run, folder);
    } else {
        QList<Row> rows;
        if (const ErrorCode le = Rows(run, folder, &rows)) {
            ShowError(shell, le);
            return 1;
        }
        ListOne(run, folder, rows);
    }
    if (!run.anyShown) {
        if (!run.options.bare) line(text::FileNotFound);
        return 1;
    }
    if (run.options.bare) return 0;
    platform::DiskSpace space;
    const qint64 free = platform::DiskFreeSpace(folder[0], &space) == err::None ? FreeBytes(space) : 0;
    if (run.options.recurse) {
        line(QStringLiteral("     Total files listed:"));
        line(FilesLine(run.totalFiles, run.totalBytes));
    }
    line(FreeLine(run.totalFolders, free));
    return 0;
}

int Vol(Shell& shell, const QString& rest) {
    const QString operand = rest.trimmed();
    QChar letter = platform::CurrentDrive()[0];
    if (!operand.isEmpty()) {
        if (operand.size() > 3 || operand.size() < 2 || operand[1] != u':' ||
            (operand.size() == 3 && operand[2] != u'\\')) {
            WriteLine(shell, text::InvalidParameter);
            return 1;
        }
        letter = operand[0].toLower();
    }
    QString root;
    if (platform::DriveRoot(letter, &root) != err::None) {
        WriteLine(shell, text::InvalidDrive);
        return 1;
    }
    WriteLine(shell);
    WriteLine(shell, VolumeLine(letter));
    return 0;
}

}  // namespace command
