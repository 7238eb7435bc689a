#include "drives/frmDrive.h"
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QVBoxLayout>
#include "browse/freespace.h"
#include "drives/freespace.h"
#include "ui/errors.h"
#include "ui/prompter.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "platform/prefix.h"
#include "platform/volume.h"
#include "ui/mainwindow.h"

const QString LogDriveCaption = QStringLiteral("Log drive");
const QString AvailableSpaceCaption = QStringLiteral("Available space");

QStringList DriveEntries() {
    QStringList entries;
    for (const QString& drive : platform::DriveLetters()) {
        const QString label = platform::VolumeLabel(drive.at(0));
        entries << (label.isEmpty() ? drive : drive + " [" + label.toLower() + "]");
    }
    return entries;
}

void RestoreOriginalValues(int slot, const QString& drive, const QString& path) {
    CurrentSlot = slot;
    Slot(slot).Drive = drive;
    Slot(slot).CurrentPath = path;
}

frmDrive::frmDrive(QWidget* parent) : QDialog(parent) {
    setObjectName("frmDrive");
    setWindowTitle(LogDriveCaption);
    Frame1 = new QGroupBox("Select drive", this);
    Frame1->setObjectName("Frame1");
    Drive1 = new QListWidget(Frame1);
    Drive1->setObjectName("Drive1");
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(Drive1);
    btnOk = new QPushButton("OK", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    connect(btnOk, &QPushButton::clicked, this, &frmDrive::btnOk_Click);
    connect(btnCancel, &QPushButton::clicked, this, &frmDrive::btnCancel_Click);
    for (QWidget* control : {static_cast<QWidget*>(Drive1), static_cast<QWidget*>(btnOk),
                             static_cast<QWidget*>(btnCancel)})
        control->installEventFilter(this);
    FillDrives();
}

QString frmDrive::Drive() const {
    const QListWidgetItem* item = Drive1->currentItem();
    return item ? item->text().left(2) : QString();
}

void frmDrive::FillDrives() {
    const QString chosen = Drive().isEmpty() ? QStringLiteral("c:") : Drive();
    Drive1->clear();
    Drive1->addItems(DriveEntries());
    for (int i = 0; i < Drive1->count(); ++i)
        if (Drive1->item(i)->text().startsWith(chosen)) Drive1->setCurrentRow(i);
    if (!Drive1->currentItem() && Drive1->count() > 0) Drive1->setCurrentRow(0);
}

void frmDrive::btnOk_Click() { proceed(); }

void frmDrive::btnCancel_Click() {
    hide();
    ReturnFocusToMainWindow();
}

void frmDrive::reject() { btnCancel_Click(); }

void frmDrive::proceed() {
    const QString drive = Drive();
    if (drive.isEmpty()) return;
    if (windowTitle() == LogDriveCaption) {
        // The dialog stays up while the drive is read, its caption saying so
        // (the window manager draws it while the program is busy).
        setWindowTitle(LogDriveCaption + " : loggin...");
        repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        LogDrive(drive);
        setWindowTitle(LogDriveCaption);
        hide();
        ReturnFocusToMainWindow();
    } else if (windowTitle() == AvailableSpaceCaption) {
        // An unreachable drive leaves the dialog up, to choose another one.
        if (!ASpaceSub(drive)) return;
        hide();
        ReturnFocusToMainWindow();
    }
}

bool frmDrive::ASpaceSub(const QString& drive) {
    if (TestDrive(drive) != 0) {
        ShowFileError(LastError);
        RestoreWindowFolder();
        return false;
    }
    const qint64 bytes = FreeBytes(drive);
    ShowMessage(AvailableSpaceReport(bytes), bytes < 0 ? MsgStyle::Critical : MsgStyle::Information,
                AvailableSpaceTitle(drive));
    RestoreWindowFolder();
    return true;
}

void frmDrive::RestoreOriginalValues(int slot, const QString& drive, const QString& path) {
    ::RestoreOriginalValues(slot, drive, path);
}

void frmDrive::Drive1_KeyPress(QChar key) {
    const QChar letter = key.toLower();
    for (int i = 0; i < Drive1->count(); ++i) {
        if (Drive1->item(i)->text().at(0) != letter) continue;
        if (TestDrive(QString(letter) + ':') != 0) {
            ShowFileError(LastError);
            RestoreWindowFolder();
            return;
        }
        Drive1->setCurrentRow(i);
        proceed();
        return;
    }
}

bool frmDrive::Form_KeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: btnOk_Click(); return true;
    case Qt::Key_Escape: btnCancel_Click(); return true;
    default: break;
    }
    const QString text = event->text();
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    if (text.size() != 1 || !text.at(0).isLetter()) return false;
    Drive1_KeyPress(text.at(0));
    return true;
}

bool frmDrive::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && Form_KeyDown(static_cast<QKeyEvent*>(event))) return true;
    return QDialog::eventFilter(watched, event);
}

void frmDrive::keyPressEvent(QKeyEvent* event) {
    if (!Form_KeyDown(event)) QDialog::keyPressEvent(event);
}

void frmDrive::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    FillDrives();
    held_.Hold();
}

void frmDrive::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) held_.Release();
}

frmDrive* DriveForm() {
    static QPointer<frmDrive> form;
    if (!form) form = new frmDrive(MainWindow());
    return form;
}

void ShowDriveDialog(const QString& caption) {
    frmDrive* form = DriveForm();
    form->setWindowTitle(caption);
    CenterForm(form, true);
}
