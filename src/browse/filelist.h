#pragma once
#include <QString>

class frmBrws;
class QTreeWidgetItem;

// The file list and the status panels of a drive window, drawn from the picture.

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

// Line readers.
QString FileNameOf(const QString& line);
bool IsTagged(const QString& line);
qint64 FileSizeOf(const QString& line);
QString FileDateOf(const QString& line);
QString FileTimeOf(const QString& line);
QString FileAttributesOf(const QString& line);
