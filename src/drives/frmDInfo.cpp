#include "drives/frmDInfo.h"
#include <QGridLayout>
#include <QPointer>
#include <QShowEvent>
#include <QVBoxLayout>
#include "drives/driveinfo.h"
#include "browse/freespace.h"
#include "ui/errors.h"
#include "ui/prompter.h"
#include "model/slots.h"
#include "platform/volume.h"
#include "ui/mainwindow.h"

namespace {
// Each caption beside a value label of the array; the blanks of the captions
// line their colons up in the dialog's font.
QGroupBox* makeFrame(QWidget* parent, const QString& title, const QString& objectName,
                     const QStringList& captions, QLabel** values) {
    auto* frame = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < captions.size(); ++i) {
        grid->addWidget(new QLabel(captions[i], frame), i, 0);
        values[i] = new QLabel(frame);
        values[i]->setObjectName(objectName);
        values[i]->setProperty("Index", i);
        grid->addWidget(values[i], i, 1);
    }
    grid->setColumnStretch(1, 1);
    return frame;
}
}  // namespace

frmDInfo::frmDInfo(QWidget* parent) : QDialog(parent) {
    setObjectName("frmDInfo");
    setWindowTitle("Drive info");
    Frame1 = makeFrame(this, "General", "general",
                       {"Disk type                  :", "Available disk space :", "Total disk space       :",
                        "Used disk space       :", "Disk name                :"},
                       general);
    Frame1->setObjectName("Frame1");
    Frame2 = makeFrame(this, "Technical", "technical",
                       {"Free clusters          :", "Total clusters         :", "Bytes per sector     :",
                        "Sectors per cluster :", "Total sectors          :", "Cluster size             :"},
                       technical);
    Frame2->setObjectName("Frame2");
    btnOk = new QPushButton("OK", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addWidget(btnOk, 0, Qt::AlignRight);
}

void frmDInfo::Form_Load(const QString& drive) {
    const QChar letter = drive.at(0);
    platform::DiskSpace space;
    // A failed query leaves the figures at zero, which is what the dialog shows.
    platform::DiskFreeSpace(letter, &space);
    const DriveInfoTexts texts = DescribeDrive(space, platform::DriveType(letter), platform::VolumeLabel(letter));
    for (int i = 0; i < 5; ++i) general[i]->setText(texts.general[i]);
    for (int i = 0; i < 6; ++i) technical[i]->setText(texts.technical[i]);
}

void frmDInfo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) held_.Hold();
}

void frmDInfo::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) held_.Release();
}

frmDInfo* DriveInfoForm() {
    static QPointer<frmDInfo> form;
    if (!form) form = new frmDInfo(MainWindow());
    return form;
}

void ShowDriveInfo() {
    const QString drive = ActiveDrive();
    const ErrorCode code = TestDrive(drive);
    RestoreWindowFolder();
    if (code != 0) {
        ShowFileError(code);
        return;
    }
    frmDInfo* form = DriveInfoForm();
    form->Form_Load(drive);
    CenterForm(form, true);
}
