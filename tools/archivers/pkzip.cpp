#include "pkzip.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <sys/stat.h>
#include <utime.h>
#include <zip.h>
#include "dosnames.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "ziplisting.h"

namespace archivers {

namespace {

bool ParseSwitch(const QString& text, PkzipOptions* o, QString* error) {
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'p') {
            o->paths = PkzipOptions::Paths::Recursed;
        } else if (c == u'P') {
            o->paths = PkzipOptions::Paths::AsTyped;
        } else if (c.toLower() == u'r') {
            o->recurse = true;
        } else if (c.toLower() == u'o') {
            o->archiveDateLatest = true;
        } else if (c.toLower() == u'v') {
            o->view = true;
        } else if (c.toLower() == u'a') {
            // Add is what this PKZIP always does.
        } else if (c.toLower() == u'e') {
            const QChar how = i + 1 < text.size() ? text[i + 1].toLower() : QChar(u'n');
            static const QHash<QChar, int> levels = {{u'0', 0}, {u's', 1}, {u'f', 3}, {u'n', 6}, {u'x', 9}};
            if (!levels.contains(how)) {
                *error = "Unknown compression option: " + text;
                return false;
            }
            o->level = levels.value(how);
            if (i + 1 < text.size()) ++i;
        } else if (c.toLower() == u'w') {
            // -wh, -ws, -whs: hidden and system files are taken.
            qsizetype j = i + 1;
            while (j < text.size() && (text[j].toLower() == u'h' || text[j].toLower() == u's')) ++j;
            if (j == i + 1) {
                *error = "Unknown option: " + text;
                return false;
            }
            o->hiddenSystem = true;
            i = j - 1;
        } else {
            *error = "Unknown option: " + text;
            return false;
        }
    }
    return true;
}

// The name of a file in the archive, by the -p / -P rules, spelled as on disk
// (names.h): the archive holds the names a Linux program would see.
QString StoredName(const PkzipOptions& o, const QStringList& typedFolders, const QStringList& recursed,
                   const QString& name) {
    QStringList parts;
    if (o.paths == PkzipOptions::Paths::AsTyped) parts << typedFolders;
    if (o.paths != PkzipOptions::Paths::None) parts << recursed;
    parts << name;
    for (QString& part : parts) part = platform::NameToHost(part);
    return parts.join(u'/');
}

QByteArray Bytes(const QString& hostPath) { return platform::host::Encode(hostPath); }

bool SameFile(const QString& a, const QString& b) {
    struct stat sa, sb;
    return ::stat(Bytes(a).constData(), &sa) == 0 && ::stat(Bytes(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

struct Collector {
    const PkzipOptions& options;
    QString archiveHost;
    struct stat archiveStat {};
    bool archiveExists = false;
    QList<FileToStore> files;
    QHash<QString, qsizetype> byName;   // stored name -> index
    QStringList* notes;

    bool isArchive(const QString& host) const {
        struct stat st;
        if (archiveExists && ::stat(Bytes(host).constData(), &st) == 0)
            return st.st_dev == archiveStat.st_dev && st.st_ino == archiveStat.st_ino;
        return QDir::cleanPath(host) == QDir::cleanPath(archiveHost);
    }

    // Two files of one stored name can't both go in (the first stays); names
    // that differ only in case are two files on a Linux disk and go in both.
    // The same file named twice goes in once.
    void add(const QString& dosPath, const QString& stored, int attributes) {
        QString host;
        if (platform::DosToHost(dosPath, &host) != err::None || isArchive(host)) return;
        const QString& key = stored;
        const auto it = byName.constFind(key);
        if (it != byName.constEnd()) {
            if (!SameFile(files[*it].hostPath, host))
                *notes << "Duplicate name skipped: " + dosPath + " (" + DosEntryName(stored) + " is taken)";
            return;
        }
        if (const ErrorCode e = platform::OpenForReading(dosPath)) {
            *notes << "Can't read " + dosPath + ": " + ErrorText(e);
            return;
        }
        byName.insert(key, files.size());
        files.append({host, stored, attributes});
    }

    // Every file of a folder the pattern takes, and of its sub-folders with -r.
    int walk(const QString& folder, const QString& pattern, const QStringList& typedFolders, const QStringList& recursed) {
        QList<platform::FileEntry> entries;
        int found = 0;
        if (platform::ListFiles(folder, pattern, options.hiddenSystem, &entries) == err::None) {
            for (const platform::FileEntry& e : entries) {
                add(folder + u'\\' + e.name, StoredName(options, typedFolders, recursed, e.name), e.attributes);
                ++found;
            }
        }
        if (!options.recurse) return found;
        QList<platform::FileEntry> folders;
        if (platform::ListFolders(folder, options.hiddenSystem, &folders) != err::None) return found;
        for (const platform::FileEntry& f : folders)
            found += walk(folder + u'\\' + f.name, pattern, typedFolders, QStringList(recursed) << f.name);
        return found;
    }

    void collect(const QString& name) {
        QString dos;
        if (const ErrorCode e = ArgumentToDos(name, &dos)) {
            *notes << "Can't find " + name + ": " + ErrorText(e);
            return;
        }
        const QStringList written = WrittenComponents(name, dos);
        QString folder, last;
        SplitLast(dos, &folder, &last);
        platform::FileEntry info;
        const bool wild = HasWildcard(last);
        const ErrorCode found = wild ? err::FileNotFound : platform::GetFileInfo(dos, &info);
        if (!wild && found == err::None && (info.attributes & platform::attr::Directory)) {
            // A folder stands for all of its files.
            if (walk(dos, "*.*", OnDiskTail(dos, written.size()), {}) == 0)
                *notes << "No file(s) found: " + name;
            return;
        }
        const QStringList typedFolders = OnDiskTail(folder, written.size() - 1);
        if (!wild && !options.recurse) {
            if (found != err::None) {
                *notes << "File not found: " + name;
            } else if (!options.hiddenSystem && (info.attributes & (platform::attr::Hidden | platform::attr::System))) {
                *notes << "Hidden/system file skipped (use -whs): " + name;
            } else {
                add(dos, StoredName(options, typedFolders, {}, info.name), info.attributes);
            }
            return;
        }
        if (walk(folder, last, typedFolders, {}) == 0) *notes << "No file(s) found: " + name;
    }
};

}  // namespace

bool ParsePkzipArguments(const QStringList& arguments, PkzipOptions* options, QString* error) {
    for (const QString& raw : arguments) {
        const QString a = Unquoted(raw);
        if (a.startsWith(u'-') && a.size() > 1) {
            if (!ParseSwitch(a, options, error)) return false;
        } else if (a.isEmpty()) {
            continue;
        } else if (options->archive.isEmpty()) {
            options->archive = a;
        } else {
            options->names << a;
        }
    }
    if (options->archive.isEmpty()) {
        *error = "No ZIP file name given";
        return false;
    }
    return true;
}

QList<FileToStore> CollectFiles(const PkzipOptions& options, const QStringList& names, const QString& archiveHost,
                                QStringList* notes) {
    Collector c{options, archiveHost, {}, false, {}, {}, notes};
    c.archiveExists = ::stat(Bytes(archiveHost).constData(), &c.archiveStat) == 0;
    for (const QString& name : names) c.collect(name);
    return c.files;
}

}  // namespace archivers

namespace archivers {

namespace {

// Reads a list file named behind "@": one name per line.
bool ExpandNames(const QStringList& names, QStringList* out, QString* error) {
    for (const QString& name : names) {
        if (!name.startsWith(u'@')) {
            *out << name;
            continue;
        }
        QString dos, host;
        ErrorCode e = ArgumentToDos(Unquoted(name.mid(1)), &dos);
        if (e == err::None) e = platform::DosToHost(dos, &host);
        bool ok = false;
        if (e == err::None) *out << ReadListFile(host, &ok);
        if (!ok) {
            *error = "Can't read list file " + name.mid(1) + (e ? ": " + ErrorText(e) : QString());
            return false;
        }
    }
    return true;
}

// Info-ZIP's layout: the Unix mode in the high half, the DOS attributes in the low byte.
zip_uint32_t ExternalAttributes(const struct stat& st, int dosAttributes) {
    const int dosBits = dosAttributes & (platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::System |
                                         platform::attr::Archive);
    return (zip_uint32_t(st.st_mode & 0xFFFF) << 16) | zip_uint32_t(dosBits);
}

struct Added {
    QString stored;
    bool updated = false;
};

// Names go in as their bytes on disk: flagged UTF-8 when they are, else as
// they are (as Info-ZIP stores them on Linux), and are found the same way.
zip_flags_t NameEncoding(const QByteArray& name) {
    return QString::fromUtf8(name).toUtf8() == name ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_GUESS;
}
zip_int64_t Locate(zip_t* za, const QString& stored, zip_flags_t flags = 0) {
    return zip_name_locate(za, Bytes(stored).constData(), flags | ZIP_FL_ENC_RAW);
}

// The entry a file replaces when the archive is updated: its own name, else
// one that differs only in case (the entry then takes the file's spelling)
// unless that one came in by this run.
zip_int64_t EntryToReplace(zip_t* za, const QString& stored, const QList<Added>& added) {
    const zip_int64_t exact = Locate(za, stored);
    if (exact >= 0) return exact;
    const zip_int64_t other = Locate(za, stored, ZIP_FL_NOCASE);
    if (other < 0) return other;
    const QString name = platform::host::Decode(zip_get_name(za, zip_uint64_t(other), ZIP_FL_ENC_RAW));
    for (const Added& a : added)
        if (a.stored == name) return -1;
    return other;
}

// Puts one file into the open archive; false with a note when libzip refuses it.
bool AddFile(zip_t* za, const FileToStore& file, int level, QList<Added>* added, QStringList* notes) {
    const QByteArray host = Bytes(file.hostPath);
    const QByteArray stored = Bytes(file.storedName);
    struct stat st;
    if (::stat(host.constData(), &st) != 0) {
        *notes << "Can't read " + file.hostPath;
        return false;
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(host.constData(), 0, -1, &error);
    if (!source) {
        *notes << "Can't read " + file.hostPath + ": " + QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        return false;
    }
    zip_error_fini(&error);
    zip_int64_t index = EntryToReplace(za, file.storedName, *added);
    const bool updating = index >= 0;
    if (updating) {
        if (zip_file_replace(za, zip_uint64_t(index), source, 0) != 0) index = -1;
        // The entry takes the spelling the file has now.
        else if (zip_get_name(za, zip_uint64_t(index), ZIP_FL_ENC_RAW) != stored)
            zip_file_rename(za, zip_uint64_t(index), stored.constData(), NameEncoding(stored));
    } else {
        index = zip_file_add(za, stored.constData(), source, NameEncoding(stored));
    }
    if (index < 0) {
        zip_source_free(source);
        *notes << "Can't add " + DosEntryName(file.storedName) + ": " + QString::fromUtf8(zip_strerror(za));
        return false;
    }
    const zip_uint64_t i = zip_uint64_t(index);
    if (level == 0) zip_set_file_compression(za, i, ZIP_CM_STORE, 0);
    else zip_set_file_compression(za, i, ZIP_CM_DEFLATE, zip_uint32_t(level));
    zip_file_set_mtime(za, i, st.st_mtime, 0);
    zip_file_set_external_attributes(za, i, 0, ZIP_OPSYS_UNIX, ExternalAttributes(st, file.attributes));
    added->append({file.storedName, updating});
    return true;
}

// Like PKZIP, a file that deflating would make larger is stored instead.
// libzip copies every other entry over as it is.
void StoreWhereDeflateGrew(const QString& archiveHost, const QList<Added>& added) {
    int code = 0;
    zip_t* za = zip_open(Bytes(archiveHost).constData(), 0, &code);
    if (!za) return;
    bool any = false;
    for (const Added& a : added) {
        const zip_int64_t i = Locate(za, a.stored);
        zip_stat_t st;
        if (i < 0 || zip_stat_index(za, zip_uint64_t(i), 0, &st) != 0) continue;
        if (st.comp_method != ZIP_CM_STORE && st.comp_size >= st.size) {
            zip_set_file_compression(za, zip_uint64_t(i), ZIP_CM_STORE, 0);
            any = true;
        }
    }
    // A failure leaves the archive as it was written the first time.
    if (!any || zip_close(za) != 0) zip_discard(za);
}

// After the archive is written: what each file came to, and with -o the
// archive's own date set to that of its newest entry.
void Report(const QString& archiveHost, const QList<Added>& added, bool dateLatest, QTextStream& out) {
    QString error;
    zip_t* za = OpenArchive(archiveHost, &error);
    time_t latest = 0;
    for (const Added& a : added) {
        zip_stat_t st;
        const zip_int64_t i = za ? Locate(za, a.stored) : -1;
        out << (a.updated ? "Updating: " : "  Adding: ") << DosEntryName(a.stored);
        if (i >= 0 && zip_stat_index(za, zip_uint64_t(i), 0, &st) == 0)
            out << (st.comp_method == ZIP_CM_STORE ? "  Storing " : "  Deflating ") << "("
                << Ratio(qint64(st.size), qint64(st.comp_size)) << "%), done.";
        out << "\n";
    }
    if (za && dateLatest) {
        const zip_int64_t n = zip_get_num_entries(za, 0);
        for (zip_int64_t i = 0; i < n; ++i) {
            zip_stat_t st;
            if (zip_stat_index(za, zip_uint64_t(i), 0, &st) == 0 && st.mtime > latest) latest = st.mtime;
        }
    }
    if (za) zip_discard(za);
    if (dateLatest && latest > 0) {
        const struct utimbuf times = {latest, latest};
        ::utime(Bytes(archiveHost).constData(), &times);
    }
}

}  // namespace

int RunPkzip(const QStringList& arguments, QTextStream& out) {
    PkzipOptions o;
    QString error;
    if (!ParsePkzipArguments(arguments, &o, &error)) {
        out << error << "\nusage: pkzip [-e0|-es|-ef|-en|-ex] [-p|-P] [-r] [-whs] [-o] [-v] zipfile [@list] [files...]\n";
        return status::BadUsage;
    }
    QString archiveDos;
    if (const ErrorCode e = ArgumentToDos(o.archive, &archiveDos)) {
        out << "Can't use ZIP file " << o.archive << ": " << ErrorText(e) << "\n";
        return status::Failed;
    }
    QString folder, last;
    SplitLast(archiveDos, &folder, &last);
    if (!last.contains(u'.')) archiveDos += ".zip";
    QString archiveHost;
    if (const ErrorCode e = platform::DosToHost(archiveDos, &archiveHost)) {
        out << "Can't use ZIP file " << archiveDos << ": " << ErrorText(e) << "\n";
        return status::Failed;
    }
    if (o.view) return ListArchive(archiveHost, archiveDos, o.names, out);
    struct stat archiveStat;
    if (::stat(Bytes(archiveHost).constData(), &archiveStat) == 0 && S_ISDIR(archiveStat.st_mode)) {
        out << "Can't use ZIP file " << archiveDos << ": it is a folder\n";
        return status::Failed;
    }

    QStringList names;
    if (!ExpandNames(o.names, &names, &error)) {
        out << error << "\n";
        return status::Failed;
    }
    QStringList notes;
    const QList<FileToStore> files = CollectFiles(o, names, archiveHost, &notes);
    if (files.isEmpty()) {
        for (const QString& n : notes) out << n << "\n";
        out << "Nothing to do!\n";
        return status::Warning;
    }

    int code = 0;
    zip_t* za = zip_open(Bytes(archiveHost).constData(), ZIP_CREATE, &code);
    if (!za) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        out << "Can't use ZIP file " << archiveDos << ": "
            << (code == ZIP_ER_NOZIP ? QStringLiteral("not a ZIP archive") : QString::fromUtf8(zip_error_strerror(&e)))
            << "\n";
        zip_error_fini(&e);
        return status::Failed;
    }
    const bool existed = zip_get_num_entries(za, 0) > 0;
    out << (existed ? "Updating ZIP: " : "Creating ZIP: ") << archiveDos << "\n";
    QList<Added> added;
    for (const FileToStore& f : files) AddFile(za, f, o.level, &added, &notes);
    if (added.isEmpty()) {
        zip_discard(za);
        for (const QString& n : notes) out << n << "\n";
        out << "Nothing to do!\n";
        return status::Warning;
    }
    // libzip writes a new archive beside the old one and renames it only when
    // complete, so a failure here leaves the old archive as it was.
    if (zip_close(za) != 0) {
        out << "Can't write " << archiveDos << ": " << QString::fromUtf8(zip_strerror(za)) << "\n";
        zip_discard(za);
        return status::Failed;
    }
    if (o.level != 0) StoreWhereDeflateGrew(archiveHost, added);
    Report(archiveHost, added, o.archiveDateLatest, out);
    for (const QString& n : notes) out << n << "\n";
    return notes.isEmpty() ? status::Ok : status::Warning;
}

}  // namespace archivers
