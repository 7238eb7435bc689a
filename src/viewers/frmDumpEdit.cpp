#include <QFileDialog>
#include "browse/freespace.h"
#include "browse/frmBrws.h"
#include "browse/shownnames.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/paths.h"
#include "ui/errors.h"
#include "ui/prompter.h"
#include "viewers/entries.h"
#include "viewers/frmDump.h"

// The editor's side of the text window: loading a file for editing, New, Save
// and Save as, and the question before an edit would be lost.

namespace {
QString FolderOf(const QString& path) {
    const int slash = path.lastIndexOf('\\');
    return slash <= 2 ? path.left(2) : path.left(slash);
}

void Message(const QString& text) { ShowMessage(text, MsgStyle::Critical, "Error"); }

const QString SavingFailedMessage = QStringLiteral("Error while saving file");
const QString UnsavedQuestion = QStringLiteral("The text has been changed. Save it ?");
}  // namespace

bool frmDump::LoadForEdit(const QString& path) {
    if (!CheckViewerFile(path)) return false;
    QByteArray bytes;
    qint64 size = 0;
    if (ErrorCode read = ReadFileStart(path, EditLimit + 1, &bytes, &size)) {
        AbortFlag = -1;
        ShowFileError(read);
        return false;
    }
    if (size > EditLimit) {
        Message(QString("This file is too big to edit (more than %1 MB)").arg(EditLimit / (1024 * 1024)));
        return false;
    }
    // A zero byte anywhere means a file that saving as text would damage.
    if (bytes.contains('\0')) {
        Message("You can only edit ASCII files");
        return false;
    }
    document_ = DecodeText(bytes);
    StopTextLoad();
    rtfBox[0]->show();
    rtfBox[1]->hide();
    viewMode_ = 0;
    rtfBox[0]->setPlainText(document_.text);
    savedText_ = EditedText();
    mnuViewMode[0]->setChecked(true);
    mnuViewMode[1]->setChecked(false);
    mnuViewMode[1]->setEnabled(false);
    documentPath_ = path;
    dumpPath_ = path;
    return true;
}

void frmDump::mnuNew_Click() {
    pendingText_.clear();
    pendingOffset_ = 0;
    rtfBox[0]->clear();
    setWindowTitle("untitled");
    document_ = TextDocument{};
    documentPath_.clear();
    savedText_.clear();
}

void frmDump::mnuSave_Click() { SaveDocument(); }

bool frmDump::SaveDocument() { return windowTitle() == "untitled" ? CanSaveAs() : CanSave(); }

QString frmDump::EditedText() const {
    return rtfBox[0]->document()->toRawText().replace(QChar::ParagraphSeparator, '\n');
}

bool frmDump::EditedSinceSave() const {
    return isVisible() && !closing_ && mnuFile->menuAction()->isVisible() && EditedText() != savedText_;
}

bool frmDump::MayClose() {
    if (!EditedSinceSave()) return true;
    switch (Prompt(UnsavedQuestion, PromptIcon::Question, PromptButtons::YesNoCancel, "Question")) {
    case PromptAnswer::Yes: return SaveDocument();   // a failed save keeps the text on the screen
    case PromptAnswer::No: return true;
    default: return false;
    }
}

bool frmDump::WriteDocument(const QString& path) {
    QByteArray bytes;
    const QString text = EditedText();
    if (!EncodeText(document_, text, &bytes)) {
        Message("The text holds characters that the file's code page can't hold");
        return false;
    }
    if (const ErrorCode code = SaveFileAtomically(path, bytes)) {
        if (code == err::DiskChanged) ShowFileError(code);
        else Message(SavingFailedMessage);
        return false;
    }
    SetAttributeLetters(path, "A");
    // What is on the disk now is what the next save compares with.
    const TextDocument written = DecodeTextAs(bytes, document_.encoding);
    document_.lines = written.lines;
    document_.ends = written.ends;
    savedText_ = text;
    saved_ = true;
    return true;
}

bool frmDump::CanSave() {
    const QString path = documentPath_;
    ErrorCode code = TestDrive(path.left(2));
    if (code == 0) code = TestWritable(FolderOf(path));
    RestoreWindowFolder();
    if (code != 0) {
        ShowFileError(code);
        return false;
    }
    if (IsFileInUse(path)) {
        Message("Sharing violation");
        return false;
    }
    return WriteDocument(path);
}

bool frmDump::CanSaveAs() {
    QFileDialog dialog(this, "Save as");
    dialog.setObjectName("dlgSaveAs");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter("All files (*)");
    QString start;
    if (platform::DosToHost(platform::CurrentFolder(platform::CurrentDrive().at(0)), &start) == 0)
        dialog.setDirectory(start);
    CenterForm(&dialog, true);
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = platform::HostToDos(dialog.selectedFiles().first()).toLower();
    if (path.isEmpty()) {
        ShowFileError(err::PathNotFound);
        return false;
    }
    if (!WriteDocument(path)) return false;
    setWindowTitle(path);
    documentPath_ = path;
    dumpPath_ = path;
    return true;
}

void frmDump::mnuSaveAs_Click() { CanSaveAs(); }

void EditFile(frmBrws* w) {
    if (!w || w->FileList->count() == 0) return;
    const int row = w->FileList->currentRow();
    QListWidgetItem* item = w->FileList->item(row);
    if (!item) return;
    frmDump* form = DumpForm();
    form->setWindowTitle(item->text());
    form->mnuNext->setVisible(false);
    if (!form->LoadForEdit(EntryPath(CurrentDriveSlot(), row, ItemName(item)))) return;
    form->SetMode(true, false);
    CenterForm(form, true);
}

