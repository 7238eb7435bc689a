#include <QApplication>
#include <QProgressBar>
#include <functional>
#include "browse/filelist.h"
#include "browse/freespace.h"
#include "browse/frmBrws.h"
#include "fileops/frmGraph.h"
#include "fileops/operations.h"
#include "fileops/probes.h"
#include "fileops/redraw.h"
#include "fileops/steps.h"
#include "model/slots.h"
#include "platform/files.h"
#include "ui/errors.h"
#include "ui/prompter.h"

namespace {
frmGraph* copyWindow = nullptr;
bool barFollowsBytes = false;
std::function<void(qint64, qint64)> copyChunkHook;

// A big file shows its bytes in the progress window as they go, and Esc there
// stops it within a chunk.
platform::CopyProgress CopyProgressOf(const QString& name) {
    return [name](qint64 copied, qint64 total) {
        constexpr qint64 kBigFile = qint64(4) << 20;
        constexpr int kBarSteps = 1000;
        if (copyChunkHook) copyChunkHook(copied, total);
        if (total >= kBigFile && copyWindow && copyWindow->isVisible()) {
            copyWindow->lblMessage->setText(name + " : " + FormatCount(copied) + " of " + FormatCount(total) +
                                            " bytes");
            // The bar counts files; with one file it would stand still until the end.
            if (barFollowsBytes) {
                copyWindow->ProgressBar->setMaximum(kBarSteps);
                copyWindow->ProgressBar->setValue(int(copied * kBarSteps / total));
            }
        }
        redraw::Pump();
        return AbortFlag == 0;
    };
}
}  // namespace

CopyRunWindow::CopyRunWindow(frmGraph* window, int files) {
    copyWindow = window;
    barFollowsBytes = files == 1;
}

CopyRunWindow::~CopyRunWindow() {
    copyWindow = nullptr;
    barFollowsBytes = false;
}

void ShowNameRefused(const QString& path) {
    ShowMessage("The file : " + path + " can't have this name on that disk", MsgStyle::Critical, "Error");
    LastError = 0;
}

void SetCopyChunkHook(std::function<void(qint64, qint64)> hook) { copyChunkHook = std::move(hook); }

CopyOutcome CopyFile(const QString& source, const QString& destination, bool ignoreReadOnly, bool automaticOverwrite,
                     const QString& attributeLetters, platform::LastName toName) {
    StatusFitted("Copying file : " + NameFromPath(source));
    platform::FileEntry old;
    const bool exists = platform::GetFileInfo(destination, &old, toName) == 0;
    const int oldAttributes = exists ? old.attributes : 0;
    if (exists && (oldAttributes & platform::attr::Directory)) {
        LastError = err::PathFileConflict;
        return CopyOutcome::Failed;
    }
    if (exists && !automaticOverwrite) {
        const QString prefix = "The file : " + destination;
        if (!AskYesNo(prefix + " already exist. Overwrite it anyway ?", "Warning", PromptIcon::Exclamation))
            return CopyOutcome::Skipped;
        if ((oldAttributes & platform::attr::ReadOnly) && !ignoreReadOnly &&
            !AskYesNo(prefix + " has read-only attrribute. Overwrite it anyway ?", "Warning", PromptIcon::Exclamation))
            return CopyOutcome::Skipped;
    }
    if (exists && platform::IsSameFile(source, destination)) return CopyOutcome::SameFile;
    if (exists && platform::HaveSameContent(source, destination)) {
        platform::SetEntryAttributes(destination, LetterBits(attributeLetters));
        return CopyOutcome::Identical;
    }
    if (exists) platform::SetEntryAttributes(destination, platform::attr::Archive);
    // The copy takes its attributes before its name: no second look at it afterwards.
    const ErrorCode code = platform::CopyFileTo(source, destination, CopyProgressOf(NameFromPath(source)), toName,
                                                LetterBits(attributeLetters));
    if (code != 0) {
        // The destination was never touched by the failed copy; its attributes come back.
        if (exists) platform::SetEntryAttributes(destination, oldAttributes);
        LastError = 0;
        if (code == err::Cancelled) {
            AbortFlag = -1;
        } else if (code == err::DiskFull) {
            if (AskYesNo("Insuficient disk space. Abort copying process ?", "Question")) AbortFlag = -1;
        } else {
            // A file that was not copied is never passed over in silence: the
            // user would take it for copied.
            LastError = code;
        }
        return CopyOutcome::Failed;
    }
    LastError = 0;
    return CopyOutcome::Copied;
}

CopyOutcome CopyFileEntry(frmBrws* w, int position, const QString& sourceFolder, const QString& destination,
                          bool endBusy, platform::LastName toName) {
    DriveSlot& slot = CurrentDriveSlot();
    FileLine file;
    if (!ParseFileLine(slot.Lines[position], &file)) return CopyOutcome::Failed;
    const QString source = JoinPath(sourceFolder, file.name);
    ErrorCode code = TestDrive(source.left(2));
    // The source's drive was tested a moment ago; another drive is tested too.
    if (code == 0 && destination.left(2).compare(source.left(2), Qt::CaseInsensitive) != 0)
        code = TestDrive(destination.left(2));
    if (code == 0) code = TestWritableInRun(destination.left(destination.lastIndexOf('\\')));
    if (code != 0) {
        ShowFileError(code);
        return CopyOutcome::Failed;
    }
    if (!FileExists(source)) {
        ForgetVanishedFile(slot, position);
        ShowFileError(LastError ? LastError : err::FileNotFound);
        return CopyOutcome::Failed;
    }
    if (InUseByAnother(source)) {
        ShowSharingViolation();
        return CopyOutcome::Failed;
    }
    SetBusy();
    // Without settings read, the user is asked rather than his files overwritten.
    const bool ignoreReadOnly = Settings[setting::IgnoreReadOnly].isValid() && Settings[setting::IgnoreReadOnly].toBool();
    const bool automatic = Settings[setting::AutoOverwrite].isValid() && Settings[setting::AutoOverwrite].toBool();
    const CopyOutcome outcome = CopyFile(source, destination, ignoreReadOnly, automatic, file.attributes, toName);
    // Reading the free space would overwrite the copy's error.
    const ErrorCode failure = LastError;
    // A source that is no file any more (a pipe in its place) is not found, as the listing would have it.
    ForgetVanishedFile(slot, position);
    // In a run the end of the run shows the free space; between, as often as the window is drawn.
    if (destination.left(2) == slot.Drive && (endBusy || redraw::Due())) ShowAvailableBytes(w);
    if (endBusy) EndBusy();
    if (failure == err::BadFileName) ShowNameRefused(destination);
    else if (failure) ShowFileError(failure);
    return outcome;
}
