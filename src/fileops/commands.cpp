#include <QListWidget>
#include "fileops/frmCopy.h"
#include "fileops/frmGraph.h"
#include "fileops/frmInput.h"
#include "fileops/operations.h"
#include "fileops/validate.h"
#include "model/slots.h"
#include "browse/frmBrws.h"
#include "browse/shownnames.h"

namespace {
// The active window with files to act on; the tagged commands also need tags.
frmBrws* WindowWithFiles(FileScope scope) {
    frmBrws* w = OpenDriveCount > 0 ? ActiveDriveWindow() : nullptr;
    if (!w || w->FileList->count() == 0) return nullptr;
    if (scope == FileScope::TaggedFiles && w->FileList->selectedItems().isEmpty()) return nullptr;
    if (scope == FileScope::CurrentFile && !w->FileList->currentItem()) return nullptr;
    return w;
}

bool Tagged(FileScope scope) { return scope == FileScope::TaggedFiles; }
}  // namespace

void CopyCommand(const Run& run) {
    frmBrws* w = WindowWithFiles(run.scope);
    if (!w) return;
    QString as = CopyForm()->txtAs->text();
    if (!Tagged(run.scope)) as = ItemName(w->FileList->currentItem());
    else if (!as.contains('*')) as = "*.*";
    ShowCopyDialog(run, as);
}

void DeleteCommand(FileScope scope) {
    if (WindowWithFiles(scope)) StartOperation({RunKind::Delete, scope});
}

void ThrashCommand(FileScope scope) {
    if (WindowWithFiles(scope)) StartOperation({RunKind::Thrash, scope});
}

void RenameCommand(FileScope scope) {
    frmBrws* w = WindowWithFiles(scope);
    if (!w) return;
    ShowInputDialog(Tagged(scope) ? InputCaption::RenameTagged : InputCaption::RenameFile,
                    Tagged(scope) ? QStringLiteral("*.*") : ItemName(w->FileList->currentItem()));
    if (InputForm()->Confirmed) StartOperation({RunKind::Rename, scope});
}

void AttributesCommand(FileScope scope) {
    if (!WindowWithFiles(scope)) return;
    ShowInputDialog(Tagged(scope) ? InputCaption::TaggedAttributes : InputCaption::FileAttributes, QString());
    if (InputForm()->Confirmed) StartOperation({RunKind::Attributes, scope});
}
