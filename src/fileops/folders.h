#pragma once
#include <QString>

class frmBrws;

// Making, renaming and deleting folders of the active drive window: the disk
// changes first, then the picture and the tree follow without a relog.
void MakeFolderCommand();
void MakeSub(const QString& name);
void RenameFolder(frmBrws* w, const QString& label);
void DeleteFolder(frmBrws* w);
