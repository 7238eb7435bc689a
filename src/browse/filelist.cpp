#include "browse/filelist.h"
#include <algorithm>
#include <QTreeWidgetItem>
#include "ui/errors.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "platform/names.h"
#include "browse/frmBrws.h"
#include "browse/tagging.h"
#include "browse/shownnames.h"
#include "browse/spoken.h"
#include "browse/views.h"

namespace {
// Commands act on the current slot, the slot of the active drive window.
DriveSlot& SlotOf(frmBrws*) { return CurrentDriveSlot(); }

void SetPanel(frmBrws* w, int index, const QString& text) { w->stsFileInfo[index]->setText(text); }

int PanelWidthTwips(const QLabel* panel) { return panel->width() * TwipsPerPixelX(); }

// The list shows a collapsed folder's counters but not its names when it has
// subfolders: its files would otherwise look like the contents of the branch.
bool ListNamesFor(const QTreeWidgetItem* node) {
    return !(node && node->childCount() > 0 && !node->isExpanded());
}
}  // namespace

QString FormatCount(qint64 number) {
    QString text = QString::number(number).trimmed();
    while (text.startsWith('0')) text.remove(0, 1);
    return text.isEmpty() ? QStringLiteral("0") : text;
}

void SetMatchingFiles(frmBrws* w, const QString& value) { SetPanel(w, 1, "Matching files : " + value); }
void SetMatchingBytes(frmBrws* w, const QString& value) { SetPanel(w, 2, "Matching bytes : " + value); }
void SetAvailableBytes(frmBrws* w, const QString& value) { SetPanel(w, 3, "Available bytes : " + value); }
void SetTaggedFiles(frmBrws* w, const QString& value) { SetPanel(w, 4, "Tagged files : " + value); }
void SetTaggedBytes(frmBrws* w, const QString& value) { SetPanel(w, 5, "Tagged bytes : " + value); }

void FillFileList(frmBrws* w, int h, bool listNames) {
    DriveSlot& slot = SlotOf(w);
    qint64 matching = 0, matchingBytes = 0, tagged = 0, taggedBytes = 0;
    if (h >= 0) {
        QStringList names;
        QList<bool> selected;
        for (int i = h + 1, end = FolderLinesEnd(slot, h); i < end; ++i) {
            const QString& line = slot.Lines[i];
            const qint64 size = FileSizeOf(line);
            selected << IsTagged(line);
            if (selected.last()) {
                ++tagged;
                taggedBytes += size;
            }
            if (listNames) names << FileNameOf(line);
            ++matching;
            matchingBytes += size;
        }
        if (listNames) {
            AddFileNames(w->FileList, names);
            const QuietSelection quiet(slot);
            SelectRows(w->FileList, selected);
        }
    }
    SetMatchingBytes(w, FormatCount(matchingBytes));
    SetMatchingFiles(w, FormatCount(matching));
    SetTaggedFiles(w, FormatCount(tagged));
    SetTaggedBytes(w, FormatCount(taggedBytes));
}

void ClearCounters(frmBrws* w) {
    SetMatchingFiles(w, "###");
    SetMatchingBytes(w, "###");
    SetTaggedFiles(w, "###");
    SetTaggedBytes(w, "###");
}

void ShowPath(frmBrws* w, const QString& path) {
    const QString shown = " Path : " + platform::ShownName(path) + (path.size() == 2 ? "\\" : "");
    w->Path3D->setText(FitText(w, shown, PanelWidthTwips(w->Path3D)));
    // A view keeps its own name while the path line follows its files' folders.
    if (!SlotOf(w).GlobalView) w->FileList->setAccessibleName(FolderFilesName(path));
}

void ShowFolderFiles(frmBrws* w, QTreeWidgetItem* node) {
    if (!node) return;
    DriveSlot& slot = SlotOf(w);
    const QString path = w->FullPath(node);
    ShowPath(w, path);
    w->ClearFileList();
    if (IsFolderLogged(slot, path)) FillFileList(w, LookupFolderLine(slot, path), ListNamesFor(node));
    else ClearCounters(w);
    slot.CurrentPath = path;
}

void ShowCurrentFile(frmBrws* w) {
    w->FileToolbar();
    DriveSlot& slot = SlotOf(w);
    const int row = w->FileList->currentRow();
    const int at = row < 0 ? -1 : FileLineOfItem(slot, row);
    // No current file, or none left: the panels describe nothing rather than a
    // file the list no longer shows.
    if (at < 0) {
        w->EmptyFileInfo();
        return;
    }
    const QString line = slot.Lines[at];
    int header = -1;
    if (slot.GlobalView && GlobalLinePositions(slot.GlobalList[row], nullptr, &header)) {
        FolderHeader folder;
        if (header >= 0 && header < slot.LineCount && ParseFolderHeader(slot.Lines[header], &folder))
            ShowPath(w, folder.path);
    }
    SetPanel(w, 6, "File bytes : " + (" " + QString::number(FileSizeOf(line))));
    SetPanel(w, 7, "File date : " + FileDateOf(line));
    SetPanel(w, 8, "File time : " + FileTimeOf(line));
    SetPanel(w, 9, "File attributes : " + FileAttributesOf(line));
    SetPanel(w, 10, FitText(w, "File : " + w->FileList->item(row)->text(), PanelWidthTwips(w->stsFileInfo[10])));
}

QString FileSpecPanelText(const QString& fileSpec) { return "File specification : " + fileSpec; }

void ShowFileSpec(frmBrws* w) {
    const DriveSlot& slot = SlotOf(w);
    SetPanel(w, 0, FitText(w, FileSpecPanelText(slot.FileSpec), PanelWidthTwips(w->stsFileInfo[0])));
}

void SetFileSpec(const QString& text) {
    const int s = OpenDriveCount > 0 ? CurrentSlot : 1;
    DriveSlot& slot = Slot(s);
    const QString old = slot.FileSpec;
    slot.FileSpec = QString(text).replace(' ', ';');
    frmBrws* w = ActiveDriveWindow();
    if (OpenDriveCount > 0 && w && slot.FileSpec != old) {
        ShowFileSpec(w);
        SetStatus("Changing file specification...");
        ApplyFileSpec(w);
        SetStatus("User");
    }
}

void ApplyFileSpec(frmBrws* w) {
    DriveSlot& slot = SlotOf(w);
    // The logged folders, by header position, path and node, before their lines move.
    struct Logged {
        int header;
        QString path;
        int node;
    };
    QList<Logged> folders;
    for (int i = 0; i < slot.IndexCount; ++i) {
        const QString path = EntryPath(slot.FolderIndex[i]);
        FolderHeader header;
        const int h = FindFolderLine(slot, path, 0);
        if (h >= 0 && ParseFolderHeader(slot.Lines[h], &header)) folders.append({h, path, header.nodeIndex});
    }
    // From the last header up: relogging a folder moves only the lines after it,
    // so the index still finds every folder that is yet to be done.
    std::sort(folders.begin(), folders.end(), [](const Logged& a, const Logged& b) { return a.header > b.header; });
    const LoggingAction action;
    for (const auto& [h, path, node] : folders) {
        UnlogFolder(w, path, true, true, true);
        int position = 0;
        MarkFolderLogged(slot, path, &position, true);
        LogFolderFiles(w, path, slot.FileSpec, node, false);
    }
    RefreshFolderIndex(slot);
    w->ClearFileList();
    QTreeWidgetItem* selected = w->Node(w->SelectedNodeIndex());
    // The fill counts a logged folder even when its names are not listed (a
    // collapsed folder with subfolders); only a folder without lines shows 0.
    if (selected && IsFolderLogged(slot, w->FullPath(selected)))
        FillFileList(w, LookupFolderLine(slot, w->FullPath(selected)), ListNamesFor(selected));
    else {
        SetMatchingFiles(w, "0");
        SetMatchingBytes(w, "0");
        SetTaggedFiles(w, "0");
        SetTaggedBytes(w, "0");
    }
    // A view shown is built again from the relogged folders.
    if (slot.GlobalView) RebuildView(w);
}
