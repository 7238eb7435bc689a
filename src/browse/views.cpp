#include "browse/views.h"
#include "model/slots.h"

QString FolderOfListRow(const DriveSlot& slot, int row) {
    if (!slot.GlobalView) return slot.CurrentPath;
    int header = -1;
    if (row < 0 || row >= slot.GlobalList.size() || !GlobalLinePositions(slot.GlobalList[row], nullptr, &header))
        return QString();
    FolderHeader folder;
    if (header < 0 || header >= slot.LineCount || !ParseFolderHeader(slot.Lines[header], &folder)) return QString();
    return folder.path;
}

int FileLineOfItem(const DriveSlot& slot, int row) {
    if (row < 0) return -1;
    if (!slot.GlobalView) {
        // FirstFileLine is set when the list gets the focus; lines inserted or
        // removed since may have moved the folder, so its header is checked.
        int header = slot.FirstFileLine - 1;
        FolderHeader folder;
        if (header < 0 || header >= slot.LineCount || !ParseFolderHeader(slot.Lines[header], &folder) ||
            folder.path != slot.CurrentPath)
            header = LookupFolderLine(slot, slot.CurrentPath);
        if (header < 0) return -1;
        const int at = header + 1 + row;
        return at < slot.LineCount && !IsFolderHeader(slot.Lines[at]) ? at : -1;
    }
    int file = -1;
    if (row >= slot.GlobalList.size() || !GlobalLinePositions(slot.GlobalList[row], &file, nullptr)) return -1;
    return file < slot.LineCount ? file : -1;
}

#include <QApplication>
#include <QSet>
#include <QVariant>
#include <algorithm>
#include "ui/errors.h"
#include "browse/filelist.h"
#include "browse/frmBrws.h"
#include "browse/shownnames.h"
#include "browse/spoken.h"
#include "browse/tagging.h"

void BuildGlobalList(DriveSlot& slot, ViewSelection selection) {
    ClearGlobalList(slot);
    // Aux: one global line per logged file, sorted as the list box sorts them.
    QStringList aux;
    QSet<int> seen;
    for (int e = 0; e < slot.IndexCount; ++e) {
        const QString path = EntryPath(slot.FolderIndex[e]);
        int h = LookupFolderLine(slot, path);
        FolderHeader folder;
        if (h < 0 || h >= slot.LineCount || !ParseFolderHeader(slot.Lines[h], &folder) || folder.path != path)
            h = FindFolderLine(slot, path, 0);
        // A folder is listed once, however often the index names it.
        if (h < 0 || seen.contains(h)) continue;
        seen.insert(h);
        for (int i = h + 1, end = FolderLinesEnd(slot, h); i < end; ++i)
            aux << ViewEntry(FileNameOf(slot.Lines[i]), h, i);
    }
    std::stable_sort(aux.begin(), aux.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    const bool taggedOnly = selection == ViewSelection::GlobalTagged || selection == ViewSelection::BranchTagged;
    const bool branch = selection == ViewSelection::BranchMatching || selection == ViewSelection::BranchTagged;
    QStringList chosen;
    for (const QString& line : aux) {
        int file = 0, header = 0;
        GlobalLinePositions(line, &file, &header);
        if (taggedOnly && !IsTagged(slot.Lines[file])) continue;
        if (branch) {
            FolderHeader folder;
            ParseFolderHeader(slot.Lines[header], &folder);
            // Containment of the path text, as the branch has always been chosen.
            if (!folder.path.contains(slot.CurrentPath)) continue;
        }
        chosen << line;
    }
    if (!chosen.isEmpty()) slot.GlobalList = chosen + QStringList{QString()};
}

namespace {
// The selection a window's view was built with, for rebuilding it.
const char* const SelectionProperty = "viewSelection";

// Fills the list with the lines of GlobalList and shows their totals.
void FillView(frmBrws* w, DriveSlot& slot) {
    // Emptying the list drops the selection it showed; the files keep their tags.
    w->ClearFileList();
    qint64 total = 0;
    const int count = slot.GlobalList.size() - 1;
    QStringList names;
    for (int i = 0; i < count; ++i) {
        int file = 0;
        GlobalLinePositions(slot.GlobalList[i], &file, nullptr);
        names << FileNameOf(slot.Lines[file]);
        total += FileSizeOf(slot.Lines[file]);
    }
    AddFileNames(w->FileList, names);
    qint64 tagged = 0, taggedBytes = 0;
    QList<bool> selected(count, false);
    for (int i = 0; i < count; ++i) {
        int file = 0;
        GlobalLinePositions(slot.GlobalList[i], &file, nullptr);
        if (!IsTagged(slot.Lines[file])) continue;
        selected[i] = true;
        ++tagged;
        taggedBytes += FileSizeOf(slot.Lines[file]);
    }
    {
        const QuietSelection quiet(slot);
        SelectRows(w->FileList, selected);
    }
    SetMatchingBytes(w, FormatCount(total));
    SetMatchingFiles(w, FormatCount(count));
    SetTaggedFiles(w, FormatCount(tagged));
    SetTaggedBytes(w, FormatCount(taggedBytes));
}
}  // namespace

void ShowView(frmBrws* w, ViewSelection selection) {
    DriveSlot& slot = CurrentDriveSlot();
    SetStatus("Building global window...");
    SetBusy();
    BuildGlobalList(slot, selection);
    if (slot.GlobalList.first().isEmpty()) {
        EndBusy();
        return;
    }
    slot.GlobalView = -1;
    w->setProperty(SelectionProperty, int(selection));
    w->FileList->setAccessibleName(ViewFilesName(selection, slot.Drive, slot.CurrentPath));
    FillView(w, slot);
    w->ShowGlobalView();
    w->GiveFocus(w->FileList);
    w->FileList->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    ShowCurrentFile(w);
    EndBusy();
}

void RebuildView(frmBrws* w) {
    DriveSlot& slot = CurrentDriveSlot();
    if (!slot.GlobalView) return;
    const QVariant selection = w->property(SelectionProperty);
    BuildGlobalList(slot, selection.isValid() ? ViewSelection(selection.toInt()) : ViewSelection::GlobalMatching);
    // Nothing left to list: the folder view comes back rather than an empty list.
    if (slot.GlobalList.first().isEmpty()) {
        LeaveView(w);
        return;
    }
    FillView(w, slot);
    w->FileList->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    if (slot.FocusPane == Pane::Files) ShowCurrentFile(w);
}

void LeaveView(frmBrws* w) {
    DriveSlot& slot = CurrentDriveSlot();
    slot.GlobalView = 0;
    w->LeaveGlobalView();
}
