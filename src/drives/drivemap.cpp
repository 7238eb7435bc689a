#include "drives/drivemap.h"
#include <QDir>
#include <QFileInfo>
#include <pwd.h>
#include <unistd.h>
#include "platform/prefix.h"

namespace {
QString DriveName(QChar letter) { return QString(letter) + u':'; }

// c: holds the program and z: the whole machine: both stay as setup made them.
bool IsFixedDrive(QChar letter) { return letter == u'c' || letter == u'z'; }

bool IsFree(const QList<MappedDrive>& map, QChar letter) {
    for (const MappedDrive& d : map)
        if (d.letter == letter) return d.folder.isEmpty();
    return false;
}

bool IsMapped(const QList<MappedDrive>& map, const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    for (const MappedDrive& d : map)
        if (!d.folder.isEmpty() && QDir::cleanPath(d.folder) == clean) return true;
    return false;
}

// Hard disks and media get letters from d: on, as the machine would give them;
// a: and b: are the floppy drives' and come last.
QChar FreeLetter(const QList<MappedDrive>& map, const QString& taken, QChar preferred) {
    if (!preferred.isNull() && IsFree(map, preferred) && !taken.contains(preferred)) return preferred;
    const QString order = QStringLiteral("defghijklmnopqrstuvwxyab");
    for (const QChar c : order)
        if (IsFree(map, c) && !taken.contains(c)) return c;
    return QChar();
}

QStringList Subfolders(const QString& root) {
    QStringList folders;
    if (root.isEmpty()) return folders;
    const QDir dir(root);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        folders << dir.filePath(name);
    return folders;
}

QString LoginName() {
    if (const passwd* pw = ::getpwuid(::getuid())) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}
}  // namespace

QList<MappedDrive> ReadDriveMap() {
    QList<MappedDrive> map;
    for (char c = 'a'; c <= 'z'; ++c) map.append({QChar(c), platform::DriveTarget(QChar(c))});
    return map;
}

QString DriveMapLine(const MappedDrive& drive) {
    return drive.folder.isEmpty() ? DriveName(drive.letter) : DriveName(drive.letter) + "  " + drive.folder;
}

DesktopPlaces UserPlaces() {
    const QString home = QDir::homePath();
    const QString canonical = QFileInfo(home).canonicalFilePath();
    const QString login = LoginName();
    DesktopPlaces places;
    places.home = canonical.isEmpty() ? home : canonical;
    if (!login.isEmpty()) places.removableRoots = {"/media/" + login, "/run/media/" + login};
    places.networkRoot = QStringLiteral("/run/user/%1/gvfs").arg(::getuid());
    return places;
}

QList<SuggestedFolder> SuggestFolders(const DesktopPlaces& places, const QList<MappedDrive>& map) {
    QList<SuggestedFolder> found;
    if (!places.home.isEmpty() && QFileInfo(places.home).isDir()) found.append({places.home, FolderKind::Home, u'h'});
    for (const QString& root : places.removableRoots)
        for (const QString& folder : Subfolders(root)) found.append({folder, FolderKind::Removable, QChar()});
    for (const QString& folder : Subfolders(places.networkRoot)) found.append({folder, FolderKind::Network, QChar()});

    QList<SuggestedFolder> suggestions;
    QString taken;
    for (SuggestedFolder s : found) {
        if (IsMapped(map, s.folder)) continue;
        s.letter = FreeLetter(map, taken, s.letter);
        if (s.letter.isNull()) break;
        taken += s.letter;
        suggestions.append(s);
    }
    return suggestions;
}

QString SuggestionLine(const SuggestedFolder& suggestion) {
    const char* kind = "";
    switch (suggestion.kind) {
    case FolderKind::Home: kind = "home folder"; break;
    case FolderKind::Removable: kind = "removable medium"; break;
    case FolderKind::Network: kind = "network share"; break;
    }
    return DriveName(suggestion.letter) + "  " + suggestion.folder + "  (" + kind + ")";
}

MapProblem CheckMapping(MapAction action, const QList<MappedDrive>& map, QChar letter, const QString& folder) {
    const bool known = letter >= u'a' && letter <= u'z';
    if (!known) return MapProblem::NoSuchDrive;
    const bool free = IsFree(map, letter);
    if (action == MapAction::Add && !free) return MapProblem::DriveExists;
    if (action != MapAction::Add && free) return MapProblem::NoSuchDrive;
    if ((action == MapAction::Change || action == MapAction::Remove) && IsFixedDrive(letter))
        return MapProblem::FixedDrive;
    if (action == MapAction::Add || action == MapAction::Change) {
        const QFileInfo info(folder);
        if (folder.isEmpty() || info.isRelative() || !info.exists()) return MapProblem::FolderNotFound;
        if (!info.isDir()) return MapProblem::NotAFolder;
    }
    return MapProblem::None;
}

QString MapProblemText(MapProblem problem, QChar letter) {
    const QString drive = DriveName(letter);
    switch (problem) {
    case MapProblem::None: return QString();
    case MapProblem::FolderNotFound: return QStringLiteral("Folder not found");
    case MapProblem::NotAFolder: return QStringLiteral("The specified path is a file, not a folder");
    case MapProblem::DriveExists: return "Drive " + drive + " already exists";
    case MapProblem::NoSuchDrive: return "Drive " + drive + " doesn't exist";
    case MapProblem::FixedDrive: return "Can't remove / change drive " + drive;
    }
    return QString();
}

QString FolderToMap(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}
