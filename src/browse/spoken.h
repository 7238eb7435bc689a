#pragma once
#include <QString>

class QListWidget;
class QListWidgetItem;
enum class ViewSelection;

// What a screen reader says for the panes of a drive window and its files:
// what they are, never the controls' own names.

QString FolderTreeName(const QString& drive);   // "Folder tree of d:"
// "Files of d:\x"; a root is written as the path line shows it, "d:\".
QString FolderFilesName(const QString& folder);
// A global view lists the drive's files, a branch view those under the folder.
QString ViewFilesName(ViewSelection selection, const QString& drive, const QString& folder);
QString TaggedFileName(const QString& text);    // "a.txt, tagged"

// From now on each tagged (selected) item of the list is announced as tagged,
// also after its text changes.
void SpeakTags(QListWidget* list);
