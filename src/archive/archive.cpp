#include "archive/archive.h"
#include <QFile>
#include <QPointer>
#include <QSaveFile>
#include "archive/commandlines.h"
#include "archive/runner.h"
#include "browse/filelist.h"
#include "browse/frmBrws.h"
#include "browse/logging.h"
#include "browse/views.h"
#include "fileops/frmCopy.h"
#include "fileops/operations.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/paths.h"
#include "ui/errors.h"
#include "ui/prompter.h"

namespace {
const QString DiskChangedMessage = QStringLiteral("Disk has been changed");
const QString SharingMessage = QStringLiteral("Sharing violation");
const QString NoArchiverMessage =
    QStringLiteral("Can't find the executable files to make the extraction / compression");

// The name typed for the last compression stays with the destination dialog,
// apart from the names copies and moves put there.
const char* const ArchiveNameProperty = "archiveName";
QString LastArchiveName() { return CopyForm()->property(ArchiveNameProperty).toString(); }
void KeepArchiveName(const QString& name) { CopyForm()->setProperty(ArchiveNameProperty, name); }

void Critical(const QString& text) { ShowMessage(text, MsgStyle::Critical, "Error"); }


// The full path of a list entry: its own folder in a global or branch view,
// else the window's folder.
QString EntryPath(const frmBrws* w, int row) {
    const DriveSlot& slot = Slot(w->GetFormNumber());
    const int line = FileLineOfItem(slot, row);
    if (line < 0 || line >= slot.LineCount) return QString();
    const QString folder = FolderOfListRow(slot, row);
    return folder.isEmpty() ? QString() : JoinPath(folder, FileNameOf(slot.Lines[line]));
}

QString CurrentEntryPath(const frmBrws* w) {
    const int row = w->FileList->currentRow();
    return row < 0 ? QString() : EntryPath(w, row);
}

// The archiver must be a file that can be read; else nothing is run.
bool ArchiverUsable(const QString& program) {
    if (!program.isEmpty() && FileExists(program) && !IsFileInUse(program)) return true;
    Critical(NoArchiverMessage);
    return false;
}

// A double quote cannot stand inside a quoted word of the command line.
bool FitsCommandLine(const QStringList& paths) {
    for (const QString& p : paths)
        if (p.contains('"')) {
            ShowFileError(err::BadFileName);
            return false;
        }
    return true;
}

void MakeWindowFolderCurrent(const DriveSlot& slot) {
    if (!slot.Drive.isEmpty()) platform::ChangeDrive(slot.Drive.at(0));
    platform::ChangeFolder(slot.CurrentPath);
}

bool WriteListFile(const QStringList& lines) {
    QString host;
    ErrorCode code = platform::DosToHost(ArchiveListFile, &host);
    if (code == 0) {
        QSaveFile file(host);
        QByteArray data;
        for (const QString& line : lines) data += line.toUtf8() + "\r\n";
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) code = err::DiskFull;
        if (code == err::DiskFull && file.error() == QFileDevice::OpenError) code = err::AccessDenied;
    }
    if (code != 0) ShowFileError(code);
    return code == 0;
}

QString FailureText(const ArchiverOutcome& outcome) {
    QString text = "The archiver ended with error code " + QString::number(outcome.exitStatus);
    QStringList tail = OutputLines(outcome.output);
    if (tail.size() > 6) tail = tail.mid(tail.size() - 6);
    if (!tail.isEmpty()) text += "\n\n" + tail.join('\n');
    return text;
}

// Runs the line and waits; the relog question comes only once the archiver has
// ended, so a Yes never reads a half-written folder.
void RunAndOfferRelog(frmBrws* w, const QString& line, const QString& status, const QString& destination,
                      const QString& question) {
    QPointer<frmBrws> window(w);
    const QString drive = Slot(w->GetFormNumber()).Drive;
    const ArchiverOutcome outcome = RunArchiver(InterpreterPrefix + line, status);
    EndBusy();
    if (!outcome.started) {
        ShowFileError(outcome.startError ? outcome.startError : err::FileNotFound);
        return;
    }
    if (!outcome.stopped && outcome.exitStatus != 0) Critical(FailureText(outcome));
    if (!window || destination.left(2).compare(drive, Qt::CaseInsensitive) != 0) return;
    if (AskYesNo(question.arg(drive), "Question")) RelogDrive(window);
}
}  // namespace

QStringList ArchiveListLines(const frmBrws* w) {
    const DriveSlot& slot = Slot(w->GetFormNumber());
    QStringList lines;
    for (int row = 0; row < w->FileList->count(); ++row) {
        if (!w->FileList->item(row)->isSelected()) continue;
        const QString path = EntryPath(w, row);
        if (!path.isEmpty()) lines << ListFileLine(path, slot.CurrentPath);
    }
    return lines;
}

void ExtractCommand(frmBrws* w) {
    if (!w || w->FileList->count() == 0) return;
    const QString archive = CurrentEntryPath(w);
    if (archive.isEmpty() || ArchiveKindOfFile(archive) == ArchiveKind::None) return;
    QPointer<frmBrws> window(w);
    ShowArchiveDialog(CopyUse::Extract, ExtractCaption, "*.*", [window](const QString& to, const QString& as) {
        if (window) ExtractArchive(window, to, as);
    });
}

void CompressCommand(const QString& caption) {
    frmBrws* w = OpenDriveCount > 0 ? ActiveDriveWindow() : nullptr;
    if (!w || w->FileList->count() == 0 || w->FileList->selectedItems().isEmpty()) return;
    if (LastArchiveName().isEmpty()) KeepArchiveName("Archive name");
    const QString kind = caption == ArjCompressCaption ? "ARJ" : "Zip";
    QPointer<frmBrws> window(w);
    ShowArchiveDialog(CopyUse::Compress, caption, LastArchiveName(), [window, kind](const QString& to, const QString& as) {
        KeepArchiveName(as);
        if (window) CompressFiles(window, to, as, kind);
    });
}

void ExtractArchive(frmBrws* w, const QString& destination, const QString& fileSpec) {
    const DriveSlot& slot = Slot(w->GetFormNumber());
    const QString archive = CurrentEntryPath(w);
    MakeWindowFolderCurrent(slot);
    if (archive.isEmpty() || !FileExists(archive)) {
        Critical(DiskChangedMessage);
        return;
    }
    if (IsFileInUse(archive)) {
        Critical(SharingMessage);
        return;
    }
    const ArchiveKind kind = ArchiveKindOfFile(archive);
    if (kind == ArchiveKind::None) {
        Critical(DiskChangedMessage);
        return;
    }
    if (!ArchiverUsable(ArchiverProgram(kind, false))) return;
    if (!FitsCommandLine({archive, destination, fileSpec})) return;
    RunAndOfferRelog(w, ExtractLine(kind, archive, destination, fileSpec), "Extracting file(s)...", destination,
                     "Extracting file(s) to drive %1. After the extract process is advisable to relog the drive. "
                     "Do you want to relog the drive ?");
}

void CompressFiles(frmBrws* w, const QString& destination, const QString& archiveName, const QString& kind) {
    const DriveSlot& slot = Slot(w->GetFormNumber());
    const QStringList lines = ArchiveListLines(w);
    if (lines.isEmpty()) return;
    if (!WriteListFile(lines)) return;
    MakeWindowFolderCurrent(slot);
    const QString archive = ArchivePath(destination, archiveName);
    if (FileExists(archive) && IsFileInUse(archive)) {
        Critical(SharingMessage);
        return;
    }
    const ArchiveKind archiveKind = kind.compare("ARJ", Qt::CaseInsensitive) == 0 ? ArchiveKind::Arj : ArchiveKind::Zip;
    if (!ArchiverUsable(ArchiverProgram(archiveKind, true))) return;
    if (!FitsCommandLine({archive})) return;
    RunAndOfferRelog(w, CompressLine(archiveKind, archive), "Compressing file(s)...", destination,
                     "Compressing file(s) to drive %1. After the compression process is advisable to relog the "
                     "drive. Do you want to relog the drive ?");
}
