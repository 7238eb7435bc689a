#include "platform/paths.h"
#include <QDir>
#include <QHash>
#include <QStringList>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include "platform/curdir.h"
#include "platform/hostfs.h"
#include "platform/prefix.h"

namespace platform {

namespace {
bool IsLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// DOS resolves "." and ".." by the text alone; ".." at the root stays at the root.
void AppendComponents(const QString& text, QStringList* components) {
    for (const QString& part : text.split(u'\\', Qt::SkipEmptyParts)) {
        if (part == u".") continue;
        if (part == u"..") {
            if (!components->isEmpty()) components->removeLast();
            continue;
        }
        components->append(part);
    }
}

QString Canonical(const QString& hostPath) {
    char buf[PATH_MAX];
    if (::realpath(host::Encode(hostPath).constData(), buf)) return host::Decode(buf);
    return QString();
}

// The canonical form of a path whose last components may not exist yet.
QString CanonicalAllowingMissing(const QString& hostPath) {
    QString existing = QDir::cleanPath(hostPath);
    QStringList rest;
    for (;;) {
        const QString c = Canonical(existing);
        if (!c.isEmpty()) {
            QString out = c;
            for (const QString& r : rest) out = host::Join(out, r);
            return out;
        }
        if (existing == u"/" || existing.isEmpty()) return QString();
        const qsizetype slash = existing.lastIndexOf(u'/');
        rest.prepend(existing.mid(slash + 1));
        existing = slash == 0 ? QStringLiteral("/") : existing.left(slash);
    }
}
}  // namespace

bool IsValidDosComponent(const QString& name) {
    if (name.isEmpty()) return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20) return false;
        switch (c.unicode()) {
        case '"': case '*': case '/': case ':': case '<': case '>': case '?': case '\\': case '|':
            return false;
        default: break;
        }
    }
    return true;
}

bool SplitDosPath(const QString& dosPath, QString* drive, QStringList* components) {
    if (dosPath.size() < 2 || !IsLetter(dosPath[0]) || dosPath[1] != u':') return false;
    if (dosPath.size() > 2 && dosPath[2] != u'\\') return false;
    *drive = QString(dosPath[0].toLower()) + u':';
    components->clear();
    AppendComponents(dosPath.mid(2), components);
    return true;
}

ErrorCode FullDosPath(const QString& dosPath, QString* fullPath) {
    if (dosPath.isEmpty()) return err::PathNotFound;
    QChar letter;
    QString rest;
    if (dosPath.size() >= 2 && dosPath[1] == u':') {
        if (!IsLetter(dosPath[0])) return err::BadFileName;
        letter = dosPath[0].toLower();
        rest = dosPath.mid(2);
    } else {
        letter = CurrentDrive()[0];
        rest = dosPath;
    }
    QStringList components;
    // The program writes a drive's root as "c:", so the letter alone is the root;
    // "c:name" is still taken from that drive's current folder, as in DOS.
    if (!rest.isEmpty() && !rest.startsWith(u'\\')) {
        QString d;
        SplitDosPath(CurrentFolder(letter), &d, &components);
    }
    AppendComponents(rest, &components);
    for (const QString& c : components)
        if (!IsValidDosComponent(c)) return err::BadFileName;
    QString out = QString(letter) + u':';
    for (const QString& c : components) out += u'\\' + c;
    *fullPath = out;
    return err::None;
}

ErrorCode DosToHost(const QString& dosPath, QString* hostPath, LastName last) {
    // An entry a batch found a moment ago, by its absolute path: no current folder is involved.
    host::BatchMemo* batch = host::Batch();
    const bool absolute = dosPath.size() > 3 && dosPath[1] == u':' && dosPath[2] == u'\\';
    if (batch && absolute)
        if (const QString* kept = batch->EntryOf(dosPath, int(last))) {
            *hostPath = *kept;
            return err::None;
        }
    QString full, drive;
    QStringList components;
    if (const ErrorCode e = FullDosPath(dosPath, &full)) return e;
    SplitDosPath(full, &drive, &components);
    // The folder part of the path, as a batch keeps it: every component found.
    const qsizetype folderParts = components.size() - 1;
    const QString folderKey = batch && folderParts > 0 ? full.left(full.lastIndexOf(u'\\')) : QString();
    QString current;
    qsizetype i = 0;
    if (!folderKey.isEmpty() && batch->folders.contains(folderKey)) {
        current = batch->folders.value(folderKey);
        i = folderParts;
    } else {
        if (const ErrorCode e = DriveRoot(drive[0], &current)) return e;
        if (folderParts > 0) host::CountFolderWalk();
    }
    bool found = true;
    for (; i < components.size(); ++i) {
        const QString& c = components[i];
        // The exact spelling first, so that each of names that differ only in
        // case is reached by its own, whatever order the folder lists them in.
        const QString exact = host::Join(current, NameToHost(c));
        if (last == LastName::AsSpelled && i + 1 == components.size()) found = false;
        if (found) {
            if (i + 1 == components.size()) host::CountEntryLookup();
            struct stat st;
            if (::lstat(host::Encode(exact).constData(), &st) == 0) {
                current = exact;
            } else if (const QString match = host::FindCaseMatch(current, c); !match.isEmpty()) {
                current = host::Join(current, NameToHost(match));
            } else {
                // From here on nothing exists; the rest is kept as written so it can be made.
                found = false;
                current = exact;
            }
            if (found && i + 1 == folderParts && !folderKey.isEmpty()) batch->folders.insert(folderKey, current);
            continue;
        }
        current = exact;
    }
    if (batch && absolute && found && !components.isEmpty()) batch->KeepEntry(dosPath, int(last), current);
    *hostPath = current;
    return err::None;
}

QString HostToDos(const QString& hostPath) {
    if (hostPath.isEmpty()) return QString();
    const QString absolute = QDir::isRelativePath(hostPath) ? host::CurrentHostFolder() + u'/' + hostPath : hostPath;
    const QString canonical = CanonicalAllowingMissing(absolute);
    if (canonical.isEmpty()) return QString();
    QString bestDrive, bestRoot;
    for (const QString& drive : DriveLetters()) {
        QString root;
        if (DriveRoot(drive[0], &root) != err::None) continue;
        root = Canonical(root);
        if (root.isEmpty()) continue;
        const bool inside = canonical == root || root == u"/" || canonical.startsWith(root + u'/');
        // Equal roots: the first letter wins, as the drive map is read in order.
        if (inside && root.size() > bestRoot.size()) {
            bestDrive = drive;
            bestRoot = root;
        }
    }
    if (bestDrive.isEmpty()) return QString();
    QString out = bestDrive, folder = bestRoot;
    for (const QString& c : canonical.mid(bestRoot.size()).split(u'/', Qt::SkipEmptyParts)) {
        QStringList names;
        host::ReadFolderNames(folder, &names);
        out += u'\\' + host::ListedName(NameFromHost(c), names);
        folder = host::Join(folder, c);
    }
    return out;
}

bool IsDosPathWord(const QString& word) {
    const QString path = (word.startsWith(u'@') || word.startsWith(u'!')) ? word.mid(1) : word;
    if (path.startsWith(QStringLiteral("\\\\")) || path == u"\\") return false;
    if (path.size() >= 2 && path[1] == u':') return IsLetter(path[0]);
    return path.contains(u'\\');
}

QString HostWord(const QString& word) {
    if (!IsDosPathWord(word)) return word;
    const qsizetype lead = (word.startsWith(u'@') || word.startsWith(u'!')) ? 1 : 0;
    const QString path = word.mid(lead);
    QString host;
    if (DosToHost(path, &host) != err::None) return word;
    // A drive letter says it is a path, even of a file still to be made.
    if (path.size() >= 2 && path[1] == u':') return word.left(lead) + host;
    // Without one, the folder it lies in must be there; a word that ends in
    // "\\" names a folder itself.
    const QString folder = word.endsWith(u'\\') ? host : host::ParentOf(host);
    struct stat st;
    if (::stat(host::Encode(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return word;
    return word.left(lead) + host;
}

}  // namespace platform
