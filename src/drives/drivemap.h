#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// The drive map as the user edits it: which host folder each letter leads to,
// the folders a user usually wants as drives, and what may be changed.

struct MappedDrive {
    QChar letter;     // 'a' to 'z'
    QString folder;   // host folder of its link; empty for a letter without one
};

// Every letter from a: to z:, in order.
QList<MappedDrive> ReadDriveMap();
// "e:  /home/ann/music"; a letter without a folder stands alone.
QString DriveMapLine(const MappedDrive& drive);

enum class FolderKind { Home, Removable, Network };
struct SuggestedFolder {
    QString folder;
    FolderKind kind;
    QChar letter;     // a free letter for it
};
// Where the desktop puts what a user may want as a drive.
struct DesktopPlaces {
    QString home;
    QStringList removableRoots;   // each subfolder is a mounted medium
    QString networkRoot;          // each subfolder is a share the desktop has mounted
};
DesktopPlaces UserPlaces();
// The home folder, each mounted medium and each network share that no letter
// leads to yet, each with a free letter (h: for the home folder when it is free).
QList<SuggestedFolder> SuggestFolders(const DesktopPlaces& places, const QList<MappedDrive>& map);
// "h:  /home/ann  (home folder)".
QString SuggestionLine(const SuggestedFolder& suggestion);

enum class MapAction { Add, Change, Remove, Log };
enum class MapProblem { None, FolderNotFound, NotAFolder, DriveExists, NoSuchDrive, FixedDrive };
// What stands against an action on a letter; the folder counts for Add and
// Change only.
MapProblem CheckMapping(MapAction action, const QList<MappedDrive>& map, QChar letter, const QString& folder);
QString MapProblemText(MapProblem problem, QChar letter);
// The folder a new link leads to: the one the user chose, with every link on
// the way resolved, so the letter keeps leading there whatever those links do.
QString FolderToMap(const QString& folder);
