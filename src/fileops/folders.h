#pragma once
#include <QString>

class frmBrws;

// Making, renaming and deleting folders of the active drive window: the disk
// changes first, then the picture and the tree follow without a relog.
void MakeFolderCommand();
void MakeSub(const QString& name);
void RenameFolder(frmBrws* w, const QString& label);
void DeleteFolder(frmBrws* w);

// A path with the old folder path replaced by the new one, when it is that
// folder or lies below it ("c:\a" renames "c:\a\x" but not "c:\ab").
bool ReplaceFolderPrefix(QString& text, int offset, const QString& oldPath, const QString& newPath);
