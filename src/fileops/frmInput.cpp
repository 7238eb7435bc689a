#include "fileops/frmInput.h"
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QShowEvent>
#include <QVBoxLayout>
#include "ui/errors.h"
#include "ui/prefilled.h"
#include "ui/prompter.h"
#include "fileops/validate.h"
#include "browse/filelist.h"
#include "model/slots.h"
#include "platform/volume.h"
#include "ui/mainwindow.h"
#include "browse/frmBrws.h"

namespace {

constexpr int KeyEnter = 13;
constexpr int KeyEscape = 27;

QString PromptFor(const QString& caption) {
    if (caption == InputCaption::FileSpec) return QStringLiteral("Files :");
    if (caption == InputCaption::RenameFile) return QStringLiteral("New name :");
    if (caption == InputCaption::RenameTagged) return QStringLiteral("Mask :");
    if (caption == InputCaption::FileAttributes || caption == InputCaption::TaggedAttributes)
        return QStringLiteral("Attributes :");
    if (caption == InputCaption::MakeFolder) return QStringLiteral("Folder :");
    if (caption == InputCaption::DiskVolume) return QStringLiteral("Label :");
    return QStringLiteral("As :");
}

// The user goes on where he was in the drive window the dialog covered.
void FocusDriveWindow() {
    frmBrws* w = ActiveDriveWindow();
    if (!w) return;
    QWidget* control = w->focusWidget();
    if (control && control->isVisible()) control->setFocus();
}

QPushButton* MakeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Enter means OK wherever the focus is, so no button may take it for itself.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

frmInput::frmInput(QWidget* parent) : QDialog(parent) {
    setObjectName("frmInput");
    setModal(true);
    Label1 = new QLabel(PromptFor(QString()), this);
    Label1->setObjectName("Label1");
    txtBox = new QLineEdit(this);
    txtBox->setObjectName("txtBox");
    txtBox->installEventFilter(this);
    Label1->setBuddy(txtBox);
    btnOk = MakeButton("OK", "btnOk", this);
    btnCancel = MakeButton("&Cancel", "btnCancel", this);

    auto* line = new QHBoxLayout;
    line->addWidget(Label1);
    line->addWidget(txtBox, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(line);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(btnOk, &QPushButton::clicked, this, &frmInput::btnOk_Click);
    connect(btnCancel, &QPushButton::clicked, this, &frmInput::btnCancel_Click);
}

void frmInput::Form_Activate() {
    Confirmed = false;
    Label1->setText(PromptFor(mode()));
    held_.Hold();
    txtBox->setFocus();
    txtBox_GotFocus();
}

void frmInput::txtBox_GotFocus() { txtBox->selectAll(); }

void frmInput::Form_KeyPress(int& keyAscii) {
    if (keyAscii == KeyEnter) {
        keyAscii = 0;
        btnOk_Click();
    } else if (keyAscii == KeyEscape) {
        keyAscii = 0;
        btnCancel_Click();
    }
}

void frmInput::btnOk_Click() {
    NormalizeField(txtBox, NormalizeTyped);
    const QString m = mode();
    if (m == InputCaption::FileSpec) FSub();
    else if (m == InputCaption::DiskVolume) VSub();
    else if (m == InputCaption::RenameFile || m == InputCaption::RenameTagged) RSub();
    else if (m == InputCaption::FileAttributes || m == InputCaption::TaggedAttributes) ASub();
    else if (m == InputCaption::MakeFolder) MakeSub();
    else putAway();
}

void frmInput::btnCancel_Click() {
    Confirmed = false;
    putAway();
}

void frmInput::FSub() {
    const QString text = txtBox->text();
    putAway();
    SetFileSpec(text);
}

void frmInput::VSub() {
    if (!CheckText()) return;
    const QString drive = OpenDriveCount > 0 ? CurrentDriveSlot().Drive : QString();
    const ErrorCode code =
        drive.isEmpty() ? err::DeviceUnavailable : platform::SetVolumeLabel(drive.at(0), txtBox->text());
    if (code != err::None) ShowFileError(code);
    putAway();
}

void frmInput::RSub() {
    if (CheckText()) confirm();
}

void frmInput::ASub() {
    if (CheckText()) confirm();
}

void frmInput::MakeSub() {
    if (CheckText()) confirm();
}

bool frmInput::CheckText() {
    const QString message = CheckTextMessage(mode(), txtBox->text());
    if (message.isEmpty()) return true;
    ShowMessage(message, MsgStyle::Critical, "Error");
    txtBox->setFocus();
    return false;
}

bool frmInput::ParseRM() {
    NormalizeField(txtBox, NormalizeTyped);
    return ParseRMText(mode(), FieldName(txtBox));
}

bool frmInput::ParseAttr() { return ::ParseAttr(txtBox->text()); }

void frmInput::confirm() {
    Confirmed = true;
    putAway();
}

void frmInput::putAway() {
    hide();
    held_.Release();
    FocusDriveWindow();
}

void frmInput::reject() { btnCancel_Click(); }

void frmInput::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Form_Activate();
}

void frmInput::keyPressEvent(QKeyEvent* event) {
    int keyAscii = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) keyAscii = KeyEnter;
    else if (event->key() == Qt::Key_Escape) keyAscii = KeyEscape;
    if (keyAscii != 0) {
        Form_KeyPress(keyAscii);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtBox && event->type() == QEvent::FocusIn) txtBox_GotFocus();
    return QDialog::eventFilter(watched, event);
}

frmInput* InputForm() {
    static QPointer<frmInput> form;
    if (!form) form = new frmInput(MainWindow());
    return form;
}

void ShowInputDialog(const QString& caption, const QString& text) {
    frmInput* form = InputForm();
    form->setWindowTitle(caption);
    // A rename starts from the file's own name.
    if (caption == InputCaption::RenameFile) SetPrefilled(form->txtBox, text);
    else SetTyped(form->txtBox, text);
    CenterForm(form, true);
}
