#include "launch/external.h"
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include "browse/filelist.h"
#include "browse/frmBrws.h"
#include "browse/shownnames.h"
#include "browse/logging.h"
#include "browse/views.h"
#include "config/settings.h"
#include "launch/commandline.h"
#include "launch/programs.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "platform/prefix.h"
#include "platform/userfile.h"
#include "ui/errors.h"

namespace {
std::function<void()>& AssociationsDialog() {
    static std::function<void()> show;
    return show;
}

// The folder of the current list entry: its own folder in a global or branch
// view, else the window's folder.
QString EntryFolder(const DriveSlot& slot, int row) {
    const QString folder = FolderOfListRow(slot, row);
    return folder.isEmpty() ? slot.CurrentPath : folder;
}

QString JoinDos(const QString& folder, const QString& name) {
    return folder.endsWith(u'\\') ? folder + name : folder + u'\\' + name;
}

// A file's URL from the bytes of its name, so that a name that is no UTF-8
// reaches the desktop as it is on disk.
QUrl FileUrl(const QString& hostPath) {
    return QUrl::fromEncoded("file://" + platform::host::Encode(hostPath).toPercentEncoding("/"), QUrl::StrictMode);
}

void StartIn(const QString& commandLine, const QString& folder) {
    SetBusy();
    if (OpenDriveCount > 0) SetStatus("Opening external application...");
    StartPlan plan;
    ErrorCode e = PlanCommandLine(commandLine, folder, &plan);
    if (e == err::None) e = StartDetached(plan);
    if (e == err::None) {
        if (OpenDriveCount > 0) EndBusy();
    } else {
        ShowFileError(e);
    }
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}
}  // namespace

void SetAssociationsDialog(std::function<void()> show) { AssociationsDialog() = std::move(show); }

QString AccessoryCommandLine(const QString& programName) { return WindowsFolder() + u'\\' + programName; }

QString ControlPanelCommandLine(const QString& appletName) {
    return WindowsFolder() + "\\control.exe " + platform::SystemDirectory().trimmed().toLower() + u'\\' + appletName;
}

void RunControlPanel(const QString& appletName) {
    // control.exe hands over to the panel and can't tell when it is missing.
    if (!FileExists(platform::SystemDirectory() + u'\\' + appletName)) {
        ShowFileError(err::FileNotFound);
        return;
    }
    RunExternal(ControlPanelCommandLine(appletName));
}

void RunExternal(const QString& commandLine) {
    QString folder = platform::CurrentFolder(platform::CurrentDrive().at(0));
    if (!FolderExists(folder)) folder = platform::CurrentDrive();
    StartIn(commandLine, folder);
}

void ExecuteFile(frmBrws* w) {
    if (!w || w->FileList->count() == 0) return;
    const int row = w->FileList->currentRow();
    if (row < 0) return;
    const DriveSlot& slot = Slot(w->GetFormNumber());
    const int at = FileLineOfItem(slot, row);
    const QString name = at >= 0 && at < slot.LineCount ? FileNameOf(slot.Lines[at]) : RowName(w->FileList, row);
    if (IsProgramExtension(ExtensionOf(name))) {
        OpenWith(w, name, name);
        return;
    }
    const QString program = AssociatedProgram(ReadSection("[associations]"), name);
    if (!program.isEmpty()) {
        OpenWith(w, name, program);
        return;
    }
    ShowMessage("Can't find an association for this file", MsgStyle::Critical, "Error");
    if (AssociationsDialog()) AssociationsDialog()();
}

void OpenWith(frmBrws* w, const QString& fileName, const QString& givenProgram) {
    if (!w) return;
    CurrentSlot = w->GetFormNumber();
    const DriveSlot& slot = CurrentDriveSlot();
    const QString folder = EntryFolder(slot, w->FileList->currentRow());
    const QString file = JoinDos(folder, fileName);
    const QString program = givenProgram == fileName ? QString() : givenProgram;
    if (const ErrorCode e = TestDrive(slot.Drive)) {
        ShowFileError(e);
        return;
    }
    if (!FileExists(file) || !platform::IsRegularFile(file)) {
        ShowMessage("Disk has been changed", MsgStyle::Critical, "Error");
        return;
    }
    // A program named by an association that isn't installed is simply not found.
    if (!program.isEmpty() && FindProgram(program, folder, {""}).isEmpty()) {
        ShowFileError(err::FileNotFound);
        return;
    }
    if (IsFileInUse(file) || (!program.isEmpty() && FileExists(program) && IsFileInUse(program))) {
        ShowMessage("Sharing violation", MsgStyle::Critical, "Error");
        return;
    }
    platform::ChangeFolder(folder);
    if (fileName.endsWith("lnk", Qt::CaseInsensitive)) {
        QString host;
        if (platform::DosToHost(file, &host) != err::None || !QDesktopServices::openUrl(FileUrl(host)))
            ShowFileError(err::FileNotFound);
    } else {
        // The program starts in the file's folder and gets the file's full
        // path: a Linux program its host path as on disk (a name that begins
        // with "-" is then no option), a tool of the program's own the DOS path.
        const QString line = program.isEmpty() ? QuoteArgument(file) : QuoteArgument(program) + u' ' + QuoteArgument(file);
        StartIn(line, folder);
    }
    platform::ChangeFolder(slot.Drive + "\\");
}
