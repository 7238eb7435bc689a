#include <QListWidget>
#include "fileops/frmCopy.h"
#include "fileops/frmGraph.h"
#include "fileops/frmInput.h"
#include "fileops/operations.h"
#include "fileops/validate.h"
#include "model/slots.h"
#include "browse/frmBrws.h"

namespace {
// The active window with files to act on; the tagged commands also need tags.
frmBrws* WindowWithFiles(bool tagged) {
    frmBrws* w = OpenDriveCount > 0 ? ActiveDriveWindow() : nullptr;
    if (!w || w->FileList->count() == 0) return nullptr;
    if (tagged && w->FileList->selectedItems().isEmpty()) return nullptr;
    if (!tagged && !w->FileList->currentItem()) return nullptr;
    return w;
}
}  // namespace

void CopyCommand(const QString& caption) {
    const bool tagged = caption.contains("tagged");
    frmBrws* w = WindowWithFiles(tagged);
    if (!w) return;
    QString as = CopyForm()->txtAs->text();
    if (!tagged) as = w->FileList->currentItem()->text();
    else if (!as.contains('*')) as = "*.*";
    ShowCopyDialog(caption, as);
}

void DeleteCommand(bool tagged) {
    if (WindowWithFiles(tagged)) StartOperation(tagged ? GraphCaption::DeleteTagged : GraphCaption::DeleteFile);
}

void ThrashCommand(bool tagged) {
    if (WindowWithFiles(tagged)) StartOperation(tagged ? GraphCaption::ThrashTagged : GraphCaption::ThrashFile);
}

void RenameCommand(bool tagged) {
    frmBrws* w = WindowWithFiles(tagged);
    if (!w) return;
    ShowInputDialog(tagged ? InputCaption::RenameTagged : InputCaption::RenameFile,
                    tagged ? QStringLiteral("*.*") : w->FileList->currentItem()->text());
    if (InputForm()->Confirmed) StartOperation(tagged ? GraphCaption::RenameTagged : GraphCaption::RenameFile);
}

void AttributesCommand(bool tagged) {
    if (!WindowWithFiles(tagged)) return;
    ShowInputDialog(tagged ? InputCaption::TaggedAttributes : InputCaption::FileAttributes, QString());
    if (InputForm()->Confirmed)
        StartOperation(tagged ? GraphCaption::AttributesTagged : GraphCaption::AttributesFile);
}
