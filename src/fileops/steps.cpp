#include "fileops/steps.h"
#include "fileops/probes.h"
#include "fileops/redraw.h"
#include "model/slots.h"
#include "platform/files.h"
#include "ui/errors.h"
#include "ui/mainwindow.h"

void ShowSharingViolation() {
    ShowMessage("Sharing violation", MsgStyle::Critical, "Error");
    LastError = 0;
}

void StatusFitted(const QString& text) {
    // Fitting the text takes longer than a small file's step; the bar shows it at each frame.
    KeepStatus(text);
    if (redraw::Due()) ShowHeld();
}

// Write permission belongs to folders, so the folder about to be written is the one probed.
bool DriveReadyAndWritable(const QString& folder) {
    const ErrorCode ready = TestDrive(folder.left(2));
    const ErrorCode writable = TestWritableInRun(folder);
    LastError = ready ? ready : writable;
    if (LastError == 0) return true;
    ShowFileError(LastError);
    return false;
}

// So that the picture shows what the disk holds.
void ForgetVanishedFile(DriveSlot& slot, int position) {
    if (LastError == err::FileNotFound) MarkDeleted(slot, position);
}

int LetterBits(const QString& letters) {
    int bits = 0;
    for (const QChar c : letters.trimmed().toUpper()) {
        if (c == 'R') bits |= platform::attr::ReadOnly;
        if (c == 'A') bits |= platform::attr::Archive;
        if (c == 'S') bits |= platform::attr::System;
        if (c == 'H') bits |= platform::attr::Hidden;
    }
    return bits;
}

bool InUseByAnother(const QString& path) {
    if (!IsFileInUse(path)) return false;
    LastError = 0;
    return platform::HeldByAnother(path);
}
