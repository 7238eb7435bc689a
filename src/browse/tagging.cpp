#include "browse/tagging.h"
#include <QApplication>
#include "browse/filelist.h"
#include "model/slots.h"
#include "browse/frmBrws.h"
#include "browse/views.h"

namespace {
DriveSlot& SlotOf(frmBrws*) { return CurrentDriveSlot(); }

// Sets one item and its line to the wanted state; true when the tag changed.
// A line that is not the item's own file is never written: a tag letter in the
// wrong place would tag another file or break a folder's header.
bool SetItemTag(frmBrws* w, DriveSlot& slot, int row, bool wanted) {
    QListWidgetItem* item = w->FileList->item(row);
    const int at = FileLineOfItem(slot, row);
    if (!item || at < 0 || FileNameOf(slot.Lines[at]) != item->text()) return false;
    const bool was = IsTagged(slot.Lines[at]);
    slot.Lines[at] = wanted ? MarkTagged(slot.Lines[at]) : MarkUntagged(slot.Lines[at]);
    if (item->isSelected() != wanted) item->setSelected(wanted);
    return was != wanted;
}

// The file panels and the file toolbar belong to the list; tagging from the
// tree leaves the tree's toolbar as it is.
void AfterTagging(frmBrws* w) {
    RecountTagged(w);
    if (SlotOf(w).FocusPane == Pane::Files) ShowCurrentFile(w);
}
}  // namespace

void RecountTagged(frmBrws* w) {
    // The totals are those of the list shown, so count and bytes always
    // describe the same files, also in a branch view.
    const DriveSlot& slot = SlotOf(w);
    qint64 count = 0, bytes = 0;
    for (int row = 0; row < w->FileList->count(); ++row) {
        if (!w->FileList->item(row)->isSelected()) continue;
        ++count;
        const int at = FileLineOfItem(slot, row);
        if (at >= 0) bytes += FileSizeOf(slot.Lines[at]);
    }
    SetTaggedBytes(w, FormatCount(bytes));
    SetTaggedFiles(w, FormatCount(count));
}

void TagFiles(frmBrws* w, TagChange change, TagScope scope) {
    QListWidget* list = w->FileList;
    if (list->count() == 0) return;
    DriveSlot& slot = SlotOf(w);
    if (!slot.GlobalView) slot.FirstFileLine = LookupFolderLine(slot, slot.CurrentPath) + 1;
    const bool tag = change == TagChange::Tag;
    {
        const QuietSelection quiet(slot);
        if (change == TagChange::Invert) {
            for (int row = 0; row < list->count(); ++row) SetItemTag(w, slot, row, !list->item(row)->isSelected());
        } else if (scope == TagScope::AllFiles) {
            for (int row = 0; row < list->count(); ++row) SetItemTag(w, slot, row, tag);
        } else {
            int row = list->currentRow();
            if (row < 0) row = 0;
            SetItemTag(w, slot, row, tag);
            // Repeated T or U walks down the list; the last item stays current.
            if (row < list->count() - 1) list->setCurrentRow(row + 1, QItemSelectionModel::NoUpdate);
            else list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        }
    }
    AfterTagging(w);
}

void SelectDeselectFile(frmBrws* w, bool& state) {
    DriveSlot& slot = SlotOf(w);
    const int row = w->FileList->currentRow();
    if (row >= 0) {
        const QuietSelection quiet(slot);
        SetItemTag(w, slot, row, state);
    }
    AfterTagging(w);
}

void FileListMouseDown(frmBrws* w, int row, int shift) {
    QListWidget* list = w->FileList;
    if (row < 0 || row >= list->count()) return;
    DriveSlot& slot = SlotOf(w);
    if (!slot.GlobalView) slot.FirstFileLine = LookupFolderLine(slot, slot.CurrentPath) + 1;
    const bool wanted = !list->item(row)->isSelected();
    const int from = (shift == 1 && w->RememberedIndex >= 0) ? qMin(w->RememberedIndex, list->count() - 1) : row;
    {
        const QuietSelection quiet(slot);
        for (int i = qMin(from, row); i <= qMax(from, row); ++i) SetItemTag(w, slot, i, wanted);
    }
    w->RememberedIndex = row;
    AfterTagging(w);
    ShowCurrentFile(w);
}

void SyncTagsWithList(frmBrws* w) {
    DriveSlot& slot = SlotOf(w);
    if (slot.SelectingFiles || w->FileList->count() == 0) return;
    // The user changes the list's selection only in the focused list. Emptying
    // the list to show another folder drops its selection first; that is no
    // untagging and must not reach the lines.
    if (QApplication::focusWidget() != w->FileList) return;
    if (!slot.GlobalView) slot.FirstFileLine = LookupFolderLine(slot, slot.CurrentPath) + 1;
    {
        const QuietSelection quiet(slot);
        for (int row = 0; row < w->FileList->count(); ++row)
            SetItemTag(w, slot, row, w->FileList->item(row)->isSelected());
    }
    AfterTagging(w);
}
