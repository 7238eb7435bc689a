#pragma once
// Steps the per-file routines of copy, move, delete, rename, attributes and
// thrash share.
#include <QString>

class frmGraph;
struct DriveSlot;

void ShowSharingViolation();
// Status texts of the per-file routines are cut to the status bar.
void StatusFitted(const QString& text);
// Both probes of a folder about to be written; the first failure is shown.
bool DriveReadyAndWritable(const QString& folder);
// After a failed probe of a file (53 in LastError): its record leaves the picture.
void ForgetVanishedFile(DriveSlot& slot, int position);
int LetterBits(const QString& letters);
// True when another program holds the file (the routine then says "Sharing
// violation"). A file this user may not read is no sharing matter: what needs
// its bytes is refused access by its own step.
bool InUseByAnother(const QString& path);

// While a copy run lives, the copy's chunks show in its progress window: the
// bytes of a big file, and for a run of one file the bar follows them.
class CopyRunWindow {
public:
    CopyRunWindow(frmGraph* window, int files);
    ~CopyRunWindow();
    CopyRunWindow(const CopyRunWindow&) = delete;
    CopyRunWindow& operator=(const CopyRunWindow&) = delete;
};
