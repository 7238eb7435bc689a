#pragma once
#include <QString>

class frmBrws;
class QTreeWidgetItem;

// The file list and the status panels of a drive window, drawn from the picture.

// What a command on files acts on: the list's current file or all tagged files.
enum class FileScope { CurrentFile, TaggedFiles };

void FillFileList(frmBrws* w, int headerPosition, bool listNames);
void ShowFolderFiles(frmBrws* w, QTreeWidgetItem* node);
void ClearCounters(frmBrws* w);
void ShowCurrentFile(frmBrws* w);
// The OK step of the file specification dialog.
void SetFileSpec(const QString& text);
void ApplyFileSpec(frmBrws* w);
void ShowFileSpec(frmBrws* w);
QString FileSpecPanelText(const QString& fileSpec);
// The path line: " Path : " and the folder, a backslash after a root.
void ShowPath(frmBrws* w, const QString& path);
QString FormatCount(qint64 number);

// Panel setters.
void SetMatchingFiles(frmBrws* w, const QString& value);
void SetMatchingBytes(frmBrws* w, const QString& value);
void SetAvailableBytes(frmBrws* w, const QString& value);
void SetTaggedFiles(frmBrws* w, const QString& value);
void SetTaggedBytes(frmBrws* w, const QString& value);
