#include "browse/tagging.h"
#include <QApplication>
#include <QItemSelection>
#include "browse/filelist.h"
#include "model/slots.h"
#include "browse/frmBrws.h"
#include "browse/shownnames.h"
#include "browse/views.h"

namespace {
DriveSlot& SlotOf(frmBrws*) { return CurrentDriveSlot(); }

// The line of a row gets the wanted tag; false when the line is not the
// item's own file. Such a line is never written: a tag letter in the wrong
// place would tag another file or break a folder's header.
bool WriteTag(frmBrws* w, DriveSlot& slot, int row, bool wanted) {
    QListWidgetItem* item = w->FileList->item(row);
    const int at = FileLineOfItem(slot, row);
    if (!item || at < 0 || FileNameOf(slot.Lines[at]) != ItemName(item)) return false;
    slot.Lines[at] = wanted ? MarkTagged(slot.Lines[at]) : MarkUntagged(slot.Lines[at]);
    return true;
}

// Sets one item and its line to the wanted state.
void SetItemTag(frmBrws* w, DriveSlot& slot, int row, bool wanted) {
    QListWidgetItem* item = w->FileList->item(row);
    if (WriteTag(w, slot, row, wanted) && item->isSelected() != wanted) item->setSelected(wanted);
}

// Rows [from, to] to the wanted state each, the list's selection changed once.
template <typename Wanted>
void SetRowTags(frmBrws* w, DriveSlot& slot, int from, int to, Wanted wanted) {
    QList<bool> rows = SelectedRows(w->FileList);
    for (int row = from; row <= to; ++row) {
        const bool state = wanted(row, rows[row]);
        if (WriteTag(w, slot, row, state)) rows[row] = state;
    }
    SelectRows(w->FileList, rows);
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
    const QList<bool> rows = SelectedRows(w->FileList);
    for (int row = 0; row < rows.size(); ++row) {
        if (!rows[row]) continue;
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
            SetRowTags(w, slot, 0, list->count() - 1, [](int, bool was) { return !was; });
        } else if (scope == TagScope::AllFiles) {
            SetRowTags(w, slot, 0, list->count() - 1, [tag](int, bool) { return tag; });
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
        SetRowTags(w, slot, qMin(from, row), qMax(from, row), [wanted](int, bool) { return wanted; });
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
        const QList<bool> rows = SelectedRows(w->FileList);
        for (int row = 0; row < rows.size(); ++row) WriteTag(w, slot, row, rows[row]);
    }
    AfterTagging(w);
}

QList<bool> SelectedRows(const QListWidget* list) {
    QList<bool> rows(list->count(), false);
    for (const QItemSelectionRange& range : list->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (row >= 0 && row < rows.size()) rows[row] = true;
    return rows;
}

void SelectRows(QListWidget* list, const QList<bool>& selected) {
    QItemSelection selection;
    QAbstractItemModel* model = list->model();
    for (int row = 0; row < selected.size(); ++row) {
        if (!selected[row]) continue;
        const int first = row;
        while (row + 1 < selected.size() && selected[row + 1]) ++row;
        selection.select(model->index(first, 0), model->index(row, 0));
    }
    list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}
