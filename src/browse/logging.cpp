#include "browse/logging.h"
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTreeWidgetItem>
#include <algorithm>
#include <utility>
#include "browse/freespace.h"
#include "config/more.h"
#include "ui/errors.h"
#include "browse/filelist.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/volume.h"
#include "browse/hooks.h"
#include "ui/mainwindow.h"
#include "browse/driveframe.h"
#include "browse/frmBrws.h"
#include "browse/spoken.h"
#include "browse/tagging.h"

namespace {
// Commands act on the current slot, the slot of the active drive window.
DriveSlot& SlotOf(frmBrws*) { return CurrentDriveSlot(); }

QString Separator(const QString& path) { return path.size() == 2 ? QStringLiteral("\\") : QString(); }

bool ShowHiddenAndSystem() { return !Settings[setting::ShowHiddenSystem].isValid() || Settings[setting::ShowHiddenSystem].toBool(); }

const QString LoggingStatus = QStringLiteral("Logging folder...");


// One step of logging reads a folder once for its subfolders, its files and
// the copies a killed copy left in it.
struct FolderRead {
    QString path;
    QString checked;   // the folder whose drive and presence this step saw
    platform::FolderContents contents;
    ErrorCode code = err::None;
    bool done = false;
    // What this step read of the folder, or a new read; a failed read is tried again.
    ErrorCode Of(const QString& folder) {
        if (done && code == err::None && path == folder) return code;
        path = folder;
        code = platform::ReadFolder(folder + Separator(folder), &contents);
        done = true;
        return code;
    }
};

// Checks the drive and reads the folder, once per step: the drive's message,
// or "Disk has been changed" when the logged folder is gone. Other read
// errors are the caller's to tell.
bool CanReadFolder(const QString& path, FolderRead* read) {
    if (read->checked == path) return true;
    if (TestDrive(path.left(2)) != 0) {
        ShowFileError(LastError);
        return false;
    }
    if (read->Of(path) == err::PathNotFound) {
        ShowFileError(err::DiskChanged);
        return false;
    }
    read->checked = path;
    return true;
}

bool AddSubfolders(frmBrws* w, int nodeIndex, FolderRead* read);
bool LogFolderFiles(frmBrws* w, const QString& path, const QString& pattern, int nodeIndex, bool refill,
                    bool refreshIndex, FolderRead* read);
void LogFolder(frmBrws* w, int nodeIndex, bool quiet, bool endBusy, FolderRead* read, bool refreshIndex = true);
}  // namespace

const QString& NoMemoryMessage() {
    static const QString text = QStringLiteral("Not enough memory to log more files / folders");
    return text;
}

int FilesPerFolder() { return MoreNumber(more::FilesPerFolder); }
int LinesPerDrive() { return MoreNumber(more::LinesPerDrive); }

namespace {
struct LeftOut {
    int actions = 0;          // logging actions under way, the outermost first
    QPointer<frmBrws> freeSpace;   // a window whose free space is shown at the end
    qint64 byFolder = 0;      // files past "Files per folder"
    qint64 byDrive = 0;       // files past "Lines per drive"
};
LeftOut& leftOut() {
    static LeftOut tally;
    return tally;
}
}  // namespace

LoggingAction::LoggingAction() { ++leftOut().actions; }

LoggingAction::~LoggingAction() {
    LeftOut& tally = leftOut();
    if (--tally.actions > 0) return;
    if (frmBrws* w = std::exchange(tally.freeSpace, nullptr)) ShowAvailableBytes(w);
    const qint64 byFolder = std::exchange(tally.byFolder, 0), byDrive = std::exchange(tally.byDrive, 0);
    if (byFolder + byDrive > 0) ShowMessage(LeftOutMessage(byFolder, byDrive), MsgStyle::Critical, "Error");
}

QString LeftOutMessage(qint64 byFolderLimit, qint64 byDriveLimit) {
    const QString settings = byFolderLimit == 0  ? more::LinesPerDrive
                             : byDriveLimit == 0 ? more::FilesPerFolder
                                                 : more::FilesPerFolder + " and " + more::LinesPerDrive;
    return FormatCount(byFolderLimit + byDriveLimit) + " file(s) left out : see " + settings +
           " in Program, Options, More";
}

QStringList FoldersToRelog;

void HandleFoldersToRelog(frmBrws* w) {
    const LoggingAction action;
    DriveSlot& slot = SlotOf(w);
    for (QString& folder : FoldersToRelog) {
        if (folder.isEmpty() || folder.left(2) != slot.Drive) continue;
        const QString path = folder;
        folder.clear();
        if (FindFolderLine(slot, path, 0) < 0) continue;
        for (int i = 0; i + 1 < slot.NodeMap.size(); ++i) {
            if (EntryPath(slot.NodeMap[i]) != path) continue;
            QTreeWidgetItem* node = w->Node(EntryNode(slot.NodeMap[i]));
            if (!node) break;
            w->DirList->setCurrentItem(node);
            RelogFolder(w);
            break;
        }
    }
    FoldersToRelog.removeAll(QString());
}

bool FolderExists(const QString& path) {
    int attributes = 0;
    LastError = platform::GetAttributes(path, &attributes);
    return LastError == 0 && (attributes & platform::attr::Directory);
}

void LogDrive(const QString& requested) {
    const QString drive = requested.left(2).toLower();
    const int savedSlot = CurrentSlot;
    const QString savedDrive = Slot(savedSlot).Drive;
    const QString savedPath = Slot(savedSlot).CurrentPath;
    QMdiArea* area = DriveWindowArea();

    if (IsDriveOpen(drive)) {
        if (drive != Slot(CurrentSlot).Drive)
            for (frmBrws* w : DriveWindows())
                if (w->Caption().startsWith(WindowCaptionPrefix + drive)) SwitchToWindow(w->Caption());
        return;
    }
    if (OpenDriveCount == MaxDrives) {
        ShowMessage("Can't open more than 5 drives at the same time", MsgStyle::Critical, "Error");
        return;
    }
    // The user may insert the disk and try again; giving up ends here, with the
    // one message, before a window exists that would report it a second time.
    if (!WaitForDrive(drive)) {
        RestoreWindowFolder();
        return;
    }
    CurrentSlot = OpenDriveCount + 1;
    DriveSlot& slot = Slot(CurrentSlot);
    slot.FileSpec = "*.*";
    slot.LabelEdit = 0;
    slot.SelectingFiles = 0;
    slot.GlobalView = 0;
    slot.TreeClick = 0;
    slot.FocusPane = Pane::Tree;
    slot.Drive = drive;
    slot.CurrentPath = drive;
    LastError = 0;

    auto* w = new frmBrws;
    w->Form_Load();
    LogDriveTree(w);
    if (LastError != 0) {
        delete w;
        ClearSlot(slot);
        CurrentSlot = savedSlot;
        Slot(savedSlot).Drive = savedDrive;
        Slot(savedSlot).CurrentPath = savedPath;
        if (savedSlot == 1 && OpenDriveCount == 0) Slot(1).FileSpec = "*.*";
        if (!savedDrive.isEmpty()) {
            platform::ChangeDrive(savedDrive.at(0));
            platform::ChangeFolder(savedPath);
        }
        return;
    }
    w->SetFileColumns(Settings[setting::FileColumns].isValid() ? Settings[setting::FileColumns].toInt() : 1);
    OpenDriveCount += 1;
    slot.WindowKey = w->Caption();
    if (area) {
        auto* sub = new DriveFrame;
        sub->setWidget(w);
        area->addSubWindow(sub);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowIcon(w->windowIcon());
        sub->showMaximized();
        CallHook(Hooks().driveWindowOpened);
    } else {
        w->show();
    }
    w->GiveFocus(w->DirList);
    w->dirlist_GotFocus();
}

void LogDriveTree(frmBrws* w) {
    DriveSlot& slot = SlotOf(w);
    const QString drive = slot.Drive;
    if (TestDrive(drive) != 0) {
        const ErrorCode code = LastError;
        ShowFileError(code);
        LastError = code;
        return;
    }
    const QString label = platform::VolumeLabel(drive.at(0));
    w->setWindowTitle(WindowCaptionPrefix + drive.toLower() + (label.isEmpty() ? QString() : " [" + label.toLower() + "]"));
    w->DirList->setAccessibleName(FolderTreeName(drive.toLower()));
    ShowPath(w, slot.CurrentPath);

    auto fontFrom = [](int nameIndex, int sizeIndex, QFont font) {
        const QString name = Settings[nameIndex].toString();
        if (!name.isEmpty()) font.setFamily(name);
        const int size = Settings[sizeIndex].toString().toInt();
        if (size > 0) font.setPointSize(size);
        return font;
    };
    w->DirList->setFont(fontFrom(17, 18, w->DirList->font()));
    w->FileList->setFont(fontFrom(19, 20, w->FileList->font()));

    w->ClearFileList();
    w->ClearNodes();
    platform::ChangeDrive(drive.at(0));
    FolderRead read;
    QList<platform::FileEntry> subfolders;
    if (read.Of(drive) == err::None) platform::ListFolders(read.contents, ShowHiddenAndSystem(), &subfolders);
    w->DirList->setRootIsDecorated(!subfolders.isEmpty());

    const int root = w->AddNode(nullptr, drive);
    AddNodeEntry(slot, drive, root);
    AddFolderLine(slot, drive, root, HeaderState::Logged);
    AddIndexEntry(slot, drive, 0);
    {
        const QSignalBlocker block(w->DirList);
        w->DirList->setCurrentItem(w->Node(root));
    }
    SetStatus(LoggingStatus);
    LastError = 0;
    AddSubfolders(w, root, &read);
    LogFolderFiles(w, drive, slot.FileSpec, root, true, false, &read);
    SetStatus("User");
    // A failure while reading the root is reported; the window stays logged.
    LastError = 0;
}

bool AddSubfolders(frmBrws* w, int nodeIndex) {
    FolderRead read;
    return AddSubfolders(w, nodeIndex, &read);
}

bool LogFolderFiles(frmBrws* w, const QString& path, const QString& pattern, int nodeIndex, bool refill,
                    bool refreshIndex) {
    FolderRead read;
    return LogFolderFiles(w, path, pattern, nodeIndex, refill, refreshIndex, &read);
}

void LogFolder(frmBrws* w, int nodeIndex, bool quiet, bool endBusy) {
    FolderRead read;
    LogFolder(w, nodeIndex, quiet, endBusy, &read);
}

namespace {
bool AddSubfolders(frmBrws* w, int nodeIndex, FolderRead* read) {
    DriveSlot& slot = SlotOf(w);
    QTreeWidgetItem* node = w->Node(nodeIndex);
    if (!node) return true;
    if (w->SubfoldersRead(node)) return true;
    const QString path = w->FullPath(node);
    if (!CanReadFolder(path, read)) return true;
    QList<platform::FileEntry> folders;
    const ErrorCode code = read->Of(path);
    if (code == err::None) platform::ListFolders(read->contents, ShowHiddenAndSystem(), &folders);
    w->MarkSubfoldersRead(node);
    if (code != 0) {
        ShowFileError(code);
        return true;
    }
    const int linesPerDrive = LinesPerDrive();
    for (const platform::FileEntry& folder : folders) {
        if (slot.LineCount >= linesPerDrive) {
            ShowMessage(NoMemoryMessage(), MsgStyle::Critical, "Error");
            return false;
        }
        const QString& name = folder.listName;
        const QString full = path + "\\" + name;
        const int child = w->AddNode(node, name);
        AddFolderLine(slot, full, child, HeaderState::Unlogged);
        AddNodeEntry(slot, full, child);
    }
    return true;
}

bool LogFolderFiles(frmBrws* w, const QString& path, const QString& pattern, int nodeIndex, bool refill,
                    bool refreshIndex, FolderRead* read) {
    const LoggingAction action;
    DriveSlot& slot = SlotOf(w);
    if (!CanReadFolder(path, read)) return false;
    if (const ErrorCode code = read->Of(path)) {
        ShowFileError(code);
        return false;
    }
    // What a killed copy left behind goes before the files are listed.
    platform::RemoveStaleCopies(&read->contents);
    QList<platform::FileEntry> files;
    platform::ListFiles(read->contents, pattern, ShowHiddenAndSystem(), &files);
    const int h = FindFolderLine(slot, path, 0);
    if (h < 0) return false;
    const qint64 withinFolder = std::min<qint64>(files.size(), FilesPerFolder());
    const qint64 taken = std::clamp<qint64>(LinesPerDrive() - slot.LineCount, 0, withinFolder);
    leftOut().byFolder += files.size() - withinFolder;
    leftOut().byDrive += withinFolder - taken;
    QStringList lines;
    lines.reserve(taken);
    for (qint64 i = 0; i < taken; ++i) {
        const platform::FileEntry& f = files[i];
        lines << MakeFileLine(f.listName, f.size, f.modified, f.attributes);
    }
    if (!lines.isEmpty()) InsertFileLines(slot, h, lines, refreshIndex);
    QTreeWidgetItem* node = w->Node(nodeIndex);
    if (refill && node && node == w->DirList->currentItem()) {
        w->ClearFileList();
        const bool listNames = !(node->childCount() > 0 && !node->isExpanded());
        FillFileList(w, h, listNames);
    }
    // Deep down a tree a folder can hold files and folders that no call reaches
    // by name; the folder would look emptier than it is.
    if (platform::EntriesBeyondPathLimit(read->contents) > 0)
        ShowMessage("Path too long to log more files / folders", MsgStyle::Critical, "Error");
    return true;
}

void LogFolder(frmBrws* w, int nodeIndex, bool quiet, bool endBusy, FolderRead* read, bool refreshIndex) {
    DriveSlot& slot = SlotOf(w);
    QTreeWidgetItem* node = w->Node(nodeIndex);
    if (!node) return;
    const QString path = w->FullPath(node);
    if (slot.LineCount >= LinesPerDrive()) {
        if (!IsFolderLogged(slot, path) && !node->isExpanded())
            ShowMessage(NoMemoryMessage(), MsgStyle::Critical, "Error");
        return;
    }
    if (!IsFolderLogged(slot, path)) {
        SetBusy();
        if (!quiet) SetStatus(LoggingStatus);
        int position = 0;
        MarkFolderLogged(slot, path, &position);
        if (!LogFolderFiles(w, path, slot.FileSpec, nodeIndex, true, refreshIndex, read)) {
            // What could not be read is not in the picture: the folder stays unlogged.
            UnlogFolder(w, path, true);
        }
        if (node->childCount() == 0) w->SetNodeImage(node, false);
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        if (endBusy) SetStatus("User");
    }
    if (leftOut().actions > 0) leftOut().freeSpace = w;
    else ShowAvailableBytes(w);
}
}  // namespace

void ExpandFolder(frmBrws* w, int nodeIndex) {
    QTreeWidgetItem* node = w->Node(nodeIndex);
    if (!node) return;
    const LoggingAction action;
    const OneMessage oneMessage;
    w->SetNodeImage(node, true);
    if (node == w->DirList->currentItem()) LogFolder(w, nodeIndex, false, false);
    SetBusy();
    SetStatus("Expanding folder...");
    const bool slow = Settings[setting::LoggingMethod].toString() == "slow";
    const int maxFolders = Settings[setting::SlowLoggingFolders].isValid() ? Settings[setting::SlowLoggingFolders].toInt() : 0;
    const int children = node->childCount();
    // The subfolders' lines go in one after another; the index is brought up
    // to date once for them all rather than read through after each.
    for (int i = 0; i < children; ++i) {
        const int child = w->NodeIndex(node->child(i));
        FolderRead read;
        if (!AddSubfolders(w, child, &read)) break;
        if (slow && children <= maxFolders) LogFolder(w, child, true, false, &read, false);
    }
    if (slow && children <= maxFolders) RefreshFolderIndex(SlotOf(w));
    EndBusy();
}

void UnlogFolder(frmBrws* w, const QString& path, bool quiet, bool batch, bool keepIndex) {
    DriveSlot& slot = SlotOf(w);
    if (!IsFolderLogged(slot, path)) return;
    if (!quiet) SetStatus("Unlogging folder...");
    int h = 0;
    MarkFolderUnlogged(slot, path, &h);
    if (!keepIndex) RemoveIndexEntry(slot, path);
    RemoveFileLines(slot, h);
    if (!batch) {
        RefreshFolderIndex(slot);
        w->ClearFileList();
        ClearCounters(w);
        if (!quiet) SetStatus("User");
    }
    if (!batch) ShowAvailableBytes(w);
}

void RelogFolder(frmBrws* w) {
    DriveSlot& slot = SlotOf(w);
    SetStatus("Relogging folder...");
    const QString path = slot.CurrentPath;
    const QSet<QString> tagged =
        IsFolderLogged(slot, path) ? TaggedFileNames(slot, LookupFolderLine(slot, path)) : QSet<QString>();
    UnlogFolder(w, path, true);
    // A relog that cannot read the folder still ends idle.
    if (TestDrive(slot.Drive) != 0) {
        ShowFileError(LastError);
        SetStatus("User");
        return;
    }
    if (!FolderExists(path + Separator(path))) {
        // The folder was logged, so its absence means the disk changed under it.
        ShowFileError(err::DiskChanged);
        SetStatus("User");
        return;
    }
    LogFolder(w, w->SelectedNodeIndex(), true, false);
    const int header = LookupFolderLine(slot, path);
    if (header >= 0 && !tagged.isEmpty()) {
        // The tags go back into the lines even when the list shows no names (a
        // collapsed folder with subfolders), so that no tag is lost on the way.
        TagFilesNamed(slot, header, tagged);
        qint64 count = 0, bytes = 0;
        const QuietSelection quiet(slot);
        QList<bool> selected = SelectedRows(w->FileList);
        for (int at = header + 1, row = 0, end = FolderLinesEnd(slot, header); at < end; ++at, ++row) {
            if (!tagged.contains(FileNameOf(slot.Lines[at]))) continue;
            if (row < selected.size()) selected[row] = true;
            ++count;
            bytes += FileSizeOf(slot.Lines[at]);
        }
        SelectRows(w->FileList, selected);
        SetTaggedFiles(w, FormatCount(count));
        SetTaggedBytes(w, FormatCount(bytes));
    }
    SetStatus("User");
}

void RelogDrive(frmBrws* w) {
    DriveSlot& slot = SlotOf(w);
    if (TestDrive(slot.Drive) != 0) {
        ShowFileError(LastError);
        return;
    }
    platform::ChangeDrive(slot.Drive.at(0));
    if (slot.GlobalView) {
        slot.GlobalView = 0;
        w->LeaveGlobalView();
    }
    ClearFolderLines(slot);
    ClearNodeMap(slot);
    ClearFolderIndex(slot);
    ClearGlobalList(slot);
    slot.WindowKey.clear();
    slot.CurrentPath.clear();
    slot.GlobalView = 0;
    slot.SelectingFiles = 0;
    slot.FocusPane = Pane::Tree;
    slot.LabelEdit = 0;
    slot.TreeClick = 0;
    slot.CurrentPath = slot.Drive;
    LogDriveTree(w);
    slot.WindowKey = w->Caption();
    w->GiveFocus(w->DirList);
    CallHook(Hooks().refreshToolbar);
}
