#include "viewers/frmGV.h"
#include <QCloseEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include "model/slots.h"
#include "platform/userfile.h"
#include "ui/errors.h"
#include "ui/keycodes.h"
#include "ui/mainwindow.h"
#include "ui/prompter.h"
#include "viewers/entries.h"
#include "viewers/filetypes.h"
#include "viewers/picturecheck.h"

// Paints only the part of the enlarged picture that is on the screen, so that
// a big picture at 400 % costs no more memory than at 100 %.
class PictureCanvas : public QWidget {
public:
    explicit PictureCanvas(PictureBox* box) : QWidget(box), box_(box) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        const QImage& image = box_->image_;
        if (image.isNull()) return;
        const int z = box_->zoom_;
        const QRect area = event->rect();
        const QRect source(area.x() / z, area.y() / z, area.width() / z + 2, area.height() / z + 2);
        const QRect clipped = source.intersected(image.rect());
        painter.drawImage(QRect(clipped.topLeft() * z, clipped.size() * z), image, clipped);
    }

private:
    PictureBox* box_;
};

PictureBox::PictureBox(QWidget* parent) : QScrollArea(parent) {
    setObjectName("GvBox");
    canvas_ = new PictureCanvas(this);
    setWidget(canvas_);
    setWidgetResizable(false);
    setFocusPolicy(Qt::StrongFocus);
    canvas_->installEventFilter(this);
    viewport()->installEventFilter(this);
}

bool PictureBox::SetPicture(QIODevice* file, const QByteArray& format, QString* error) {
    // A crafted file fails at once rather than stalling the program.
    if (const QString fault = PictureStructureFault(*file); !fault.isEmpty()) {
        *error = fault;
        return false;
    }
    QImageReader::setAllocationLimit(PictureMemoryLimitMB);
    QImageReader reader(file, format);
    reader.setAutoTransform(true);
    if (const QString fault = PictureSizeFault(reader.size()); !fault.isEmpty()) {
        *error = fault;
        return false;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        *error = reader.errorString();
        return false;
    }
    image_ = image;
    SetZoom(zoom_);
    return true;
}

void PictureBox::Release() {
    image_ = QImage();
    canvas_->resize(0, 0);
}

void PictureBox::SetZoom(int factor) {
    zoom_ = qBound(1, factor, 4);
    canvas_->resize(image_.size() * zoom_);
    canvas_->update();
}

int PictureBox::HPos() const { return horizontalScrollBar()->value(); }
int PictureBox::VPos() const { return verticalScrollBar()->value(); }
int PictureBox::HMax() const { return horizontalScrollBar()->maximum(); }
int PictureBox::VMax() const { return verticalScrollBar()->maximum(); }
void PictureBox::SetHPos(int value) { horizontalScrollBar()->setValue(value); }
void PictureBox::SetVPos(int value) { verticalScrollBar()->setValue(value); }

void PictureBox::keyPressEvent(QKeyEvent* event) {
    bool handled = false;
    emit keyDown(VirtualKeyCode(event), ShiftState(event->modifiers()), &handled);
    if (!handled) QScrollArea::keyPressEvent(event);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button(), event->globalPosition().toPoint());
}

bool PictureBox::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == canvas_ || watched == viewport()) && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        emit mouseDown(mouse->button(), mouse->globalPosition().toPoint());
        return true;
    }
    return QScrollArea::eventFilter(watched, event);
}

frmGV::frmGV(QWidget* parent) : QDialog(parent) {
    setObjectName("frmGV");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    resize(640, 480);
    MenuBar = new QMenuBar(this);
    mnuNext = MenuBar->addAction("&Next");
    mnuNext->setObjectName("mnuNext");
    connect(mnuNext, &QAction::triggered, this, [this] { mnuNext_Click(); });
    mnuAppearence = new QMenu("&Appearence", this);
    mnuAppearence->setObjectName("mnuAppearence");
    const char* captions[] = {"", "&Normal", "&Zoom     200 %", "Z&oom     300 %", "Zoo&m     400 %"};
    for (int i = 1; i <= 4; ++i) {
        mnuZoom[i] = mnuAppearence->addAction(captions[i]);
        mnuZoom[i]->setObjectName("mnuZoom");
        mnuZoom[i]->setProperty("Index", i);
        mnuZoom[i]->setCheckable(true);
        connect(mnuZoom[i], &QAction::triggered, this, [this, i] { mnuZoom_Click(i); });
    }
    GvBox = new PictureBox(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(MenuBar);
    layout->addWidget(GvBox, 1);
    connect(GvBox, &PictureBox::keyDown, this, &frmGV::GvBox_KeyDown);
    connect(GvBox, &PictureBox::mouseDown, this, &frmGV::GvBox_MouseDown);
}

bool frmGV::LoadPictureFile(const QString& path) {
    if (!CheckViewerFile(path)) return false;
    QFile file;
    QString error;
    const ErrorCode opened = platform::OpenUserFile(path, &file);
    // The extension names the format, as the file's name would tell the reader.
    const QByteArray format = FileExtension(NameFromPath(path)).mid(1).toLower().toLatin1();
    if (opened == 0 && GvBox->SetPicture(&file, format, &error)) return true;
    AbortFlag = -1;
    if (opened != 0) ShowFileError(opened);
    else ShowMessage("Can't show this picture: " + error, MsgStyle::Critical, "Error");
    return false;
}

void frmGV::ZoomChk(int index) {
    for (int i = 1; i <= 4; ++i) mnuZoom[i]->setChecked(false);
    mnuZoom[index]->setChecked(true);
    GvBox->SetZoom(index);
}

void frmGV::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    closing_ = false;
    GvBox->setFocus();
    ZoomChk(1);
    held_.Hold();
}

void frmGV::GvBox_KeyDown(int keyCode, int shift, bool* handled) {
    *handled = true;
    PictureBox* b = GvBox;
    const bool ctrl = shift & 2;
    switch (keyCode) {
    case 27: AbortFlag = -1; CloseForm(); return;
    case 9: case 13: CloseForm(); return;
    case 33:
        if (b->VMax() > 0) b->SetVPos(qMax(0, b->VPos() - 40));
        return;
    case 34:
        if (b->VMax() >= 1) b->SetVPos(qMin(b->VMax(), b->VPos() + 40));
        return;
    case 36:
        if (b->VMax() > 0) b->SetVPos(0);
        if (b->HMax() > 0) b->SetHPos(0);
        return;
    case 35:
        if (b->VMax() > 0) b->SetVPos(b->VMax());
        if (b->HMax() > 0) b->SetHPos(b->HMax());
        return;
    case 107:
        if (b->Zoom() != 4) ZoomChk(b->Zoom() + 1);
        return;
    case 109:
        if (b->Zoom() != 1) ZoomChk(b->Zoom() - 1);
        return;
    case 37: case 39:
        if (ctrl) {
            b->SetHPos(qBound(0, b->HPos() + (keyCode == 37 ? -20 : 20), b->HMax()));
            return;
        }
        break;
    case 38: case 40:
        if (ctrl) {
            b->SetVPos(qBound(0, b->VPos() + (keyCode == 38 ? -20 : 20), b->VMax()));
            return;
        }
        break;
    default: break;
    }
    *handled = false;
}

void frmGV::GvBox_MouseDown(Qt::MouseButton button, QPoint globalAt) {
    if (button == Qt::LeftButton) CloseForm();
    else if (button == Qt::RightButton) mnuAppearence->popup(globalAt);
}

void frmGV::CloseForm() {
    if (closing_) return;
    closing_ = true;
    hide();
    GvBox->Release();
    if (QWidget* main = MainWindow()) main->update();
    held_.Release();
    ReturnFocusToMainWindow();
}

void frmGV::Form_Unload() {
    AbortFlag = -1;
    CloseForm();
}

void frmGV::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmGV::reject() { Form_Unload(); }

frmGV* PictureForm() {
    static QPointer<frmGV> form;
    if (!form) form = new frmGV(MainWindow());
    return form;
}
