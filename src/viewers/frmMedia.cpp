#include "viewers/frmMedia.h"
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include "model/slots.h"
#include "platform/paths.h"
#include "ui/errors.h"
#include "ui/keycodes.h"
#include "ui/mainwindow.h"
#include "viewers/entries.h"

int16_t TaggedView = 0;

namespace {
// The leading digits as a number, as the old Val() read them.
int LeadingNumber(const QString& text) {
    int value = 0;
    for (const QChar c : text) {
        if (!c.isDigit() || value > 100000) break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

QString TrackFileName(int track) { return QString("track%1.cda").arg(track, 2, 10, QChar('0')); }
}  // namespace

MciControl::MciControl(QWidget* parent) : QWidget(parent) {
    setObjectName("mciSupport");
    Grid = new QGridLayout(this);
    Grid->setContentsMargins(0, 0, 0, 0);
    const char* names[ButtonCount] = {"Prev", "Next", "Play", "Pause", "Back", "Step", "Stop"};
    const char* glyphs[ButtonCount] = {"|◀◀", "▶▶|", "▶", "❚❚", "◀|", "|▶", "■"};
    for (int b = 0; b < ButtonCount; ++b) {
        button[b] = new QPushButton(QString::fromUtf8(glyphs[b]), this);
        button[b]->setObjectName(QString("btn") + names[b]);
        button[b]->setAutoDefault(false);
        button[b]->setToolTip(names[b]);
        Grid->addWidget(button[b], 1, b);
        connect(button[b], &QPushButton::clicked, this, [this, b] {
            emit ButtonClick(b);
            ButtonAction(b);
        });
    }
    connect(&statusTimer_, &QTimer::timeout, this, [this] { emit StatusUpdate(); });
}

MciControl::~MciControl() = default;

void MciControl::ReleaseDevice() {
    device_.reset();
    open_ = false;
}

void MciControl::SetUpdateInterval(int milliseconds) {
    updateInterval_ = milliseconds;
    if (milliseconds > 0) statusTimer_.start(milliseconds);
    else statusTimer_.stop();
}

void MciControl::Command(const QString& command) {
    if (command == "Open") {
        device_ = MakeMediaDevice(DeviceType);
        QString host;
        if (!FileName.isEmpty()) platform::DosToHost(FileName, &host);
        open_ = device_ && device_->Open(DeviceType, host);
        error_ = device_ ? device_->ErrorText() : QString("no device");
        return;
    }
    if (!device_ || !open_) return;
    const bool cd = DeviceType == "CDAudio";
    if (command == "Close") {
        device_->Close();
        open_ = false;
    } else if (command == "Play") {
        device_->Play();
    } else if (command == "Pause") {
        device_->Pause();
    } else if (command == "Stop") {
        device_->Stop();
    } else if (command == "Seek") {
        device_->Seek(To);
        if (cd) track_ = device_->CurrentTrack();
    } else if (command == "Next" || command == "Prev") {
        const bool next = command == "Next";
        if (cd) {
            const int t = qBound(1, device_->CurrentTrack() + (next ? 1 : -1), qMax(1, Tracks()));
            const bool playing = Mode() == ModePlaying;
            device_->Stop();
            device_->Seek(device_->TrackPosition(t));
            track_ = t;
            if (playing) device_->Play();
        } else {
            device_->Seek(next ? Length() : 0);
        }
    } else if (command == "Step" || command == "Back") {
        device_->Seek(qBound<qint64>(0, Position() + (command == "Step" ? 1000 : -1000), Length()));
    }
}

void MciControl::ButtonAction(int b) {
    switch (b) {
    case Prev: Command("Prev"); break;
    case Next: Command("Next"); break;
    case Play: Command("Play"); break;
    case Pause:
        if (Mode() == ModePlaying) Command("Pause");
        else if (Mode() == ModePaused) Command("Play");
        break;
    case Back: Command("Back"); break;
    case Step: Command("Step"); break;
    case Stop: Command("Stop"); break;
    default: break;
    }
}

int MciControl::Mode() const { return device_ && open_ ? device_->Mode() : ModeNotOpen; }
qint64 MciControl::Length() const { return device_ && open_ ? device_->Length() : 0; }
qint64 MciControl::Position() const { return device_ && open_ ? device_->Position() : 0; }
int MciControl::Tracks() const { return device_ && open_ ? device_->Tracks() : 0; }
int MciControl::Track() const {
    return device_ && open_ && Mode() == ModePlaying ? device_->CurrentTrack() : track_;
}
qint64 MciControl::TrackPosition() const { return device_ && open_ ? device_->TrackPosition(track_) : 0; }

frmMedia::frmMedia(QWidget* parent) : QDialog(parent) {
    setObjectName("frmMedia");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    MenuBar = new QMenuBar(this);
    mnuNext = MenuBar->addAction("&Next");
    mnuNext->setObjectName("mnuNext");
    mnuNext->setVisible(false);
    connect(mnuNext, &QAction::triggered, this, [this] { mnuNext_Click(); });
    VideoArea = new QWidget(this);
    VideoArea->setObjectName("VideoArea");
    new QVBoxLayout(VideoArea);
    VideoArea->layout()->setContentsMargins(0, 0, 0, 0);
    VideoArea->hide();
    mciSupport = new MciControl(this);
    // The captions stand above their buttons.
    const struct { const char* text; int button; } captions[8] = {
        {"", 0}, {"Play", MciControl::Play}, {"Prev", MciControl::Prev}, {"Next", MciControl::Next},
        {"Pause", MciControl::Pause}, {"Step", MciControl::Step}, {"Stop", MciControl::Stop}, {"Back", MciControl::Back}};
    for (int i = 1; i <= 7; ++i) {
        Label[i] = new QLabel(captions[i].text, mciSupport);
        Label[i]->setObjectName(QString("Label%1").arg(i));
        Label[i]->setAlignment(Qt::AlignCenter);
        mciSupport->Grid->addWidget(Label[i], 0, captions[i].button);
    }
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setTextVisible(false);
    ProgressBar->setRange(0, 100);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(MenuBar);
    layout->addWidget(VideoArea, 1);
    layout->addWidget(mciSupport);
    layout->addWidget(ProgressBar);
    layout->addWidget(lblStatus);
    connect(mciSupport, &MciControl::StatusUpdate, this, [this] { mciSupport_StatusUpdate(); });
    connect(mciSupport, &MciControl::ButtonClick, this, [this](int b) { mciSupport_ButtonClick(b); });
    for (QPushButton* b : mciSupport->button) b->installEventFilter(this);
}

// The device goes first: its picture sits among the window's controls.
frmMedia::~frmMedia() { mciSupport->ReleaseDevice(); }

void frmMedia::SetProgressMax(int max) { ProgressBar->setMaximum(qMax(0, max)); }

void frmMedia::SetProgressValue(qint64 value) {
    ProgressBar->setValue(int(qBound(qint64(ProgressBar->minimum()), value, qint64(ProgressBar->maximum()))));
}

bool frmMedia::OpenMedia() {
    setWindowState(Qt::WindowNoState);
    MediaStop();
    mciSupport->Command("Close");
    const QString fullPath = windowTitle();
    const QString extension = fullPath.mid(fullPath.lastIndexOf('.')).toLower();
    const QString name = fullPath.mid(fullPath.lastIndexOf('\\') + 1).toLower();
    setWindowTitle(name);
    if (name.startsWith("track")) trackNumber_ = LeadingNumber(name.mid(5));
    MciControl* mci = mciSupport;
    if (extension == ".mid" || extension == ".rmi") mci->DeviceType = "Sequencer";
    else if (extension == ".wav") mci->DeviceType = "WaveAudio";
    else if (extension == ".avi") mci->DeviceType = "AVIVideo";
    else if (extension == ".cda") mci->DeviceType = "CDAudio";
    // Every other sound or video of the file-type table goes to the general
    // media device, which reads what the back end can decode.
    else mci->DeviceType = "MPEGVideo";
    if (IsCd()) mci->Command("Open");
    else mci->FileName = fullPath;
    mci->Notify = false;
    mci->Wait = true;
    mci->Shareable = false;
    mci->SetUpdateInterval(IsCd() ? 0 : 1000);
    ProgressBar->setMinimum(0);
    ProgressBar->setValue(0);
    repaint();
    if (!IsCd()) {
        mci->Command("Open");
        if (!mci->IsOpen()) {
            mci->SetUpdateInterval(0);
            ShowMessage("Can't play this file: " + mci->Error(), MsgStyle::Critical, "Error");
            return false;
        }
        if (mci->Length() > 0) SetProgressMax(int(qMin<qint64>(mci->Length(), INT_MAX)));
        if (QWidget* video = mci->Device()->VideoWidget()) {
            VideoArea->layout()->addWidget(video);
            VideoArea->show();
            resize(qMax(width(), 480), qMax(height(), 360));
        }
    } else if (mci->Tracks() > 0) {
        SetProgressMax(mci->Tracks());
        mci->SetTrack(trackNumber_);
        mci->To = mci->TrackPosition();
        mci->Command("Seek");
        SetProgressValue(mci->Track());
    } else {
        lblStatus->setText(mci->Error().isEmpty() ? QString("No audio CD can be read") : mci->Error());
        lblStatus->show();
    }
    mci->Command("Play");
    return true;
}

void frmMedia::MediaStop() {
    MciControl* mci = mciSupport;
    mci->SetUpdateInterval(0);
    ProgressBar->setValue(0);
    mci->Command("Stop");
    if (IsCd()) {
        mci->SetTrack(1);
        mci->To = mci->TrackPosition();
        setWindowTitle(TrackFileName(1));
    } else {
        mci->To = mci->Start();
    }
    mci->Command("Seek");
}

void frmMedia::mciSupport_StatusUpdate() {
    MciControl* mci = mciSupport;
    const int mode = mci->Mode();
    if (mode == ModeStopped) {
        MediaStop();
    } else if (mode == ModePlaying && IsCd()) {
        SetProgressValue(mci->Track());
        setWindowTitle(TrackFileName(mci->Track()));
        mci->SetUpdateInterval(0);
    } else if (mode == ModePlaying) {
        SetProgressValue(mci->Position());
    }
}

void frmMedia::mciSupport_ButtonClick(int button) {
    MciControl* mci = mciSupport;
    switch (button) {
    case MciControl::Back: mci->SetUpdateInterval(0); break;
    case MciControl::Pause: mci->SetUpdateInterval(mci->Mode() == ModePlaying ? 0 : 1000); break;
    case MciControl::Play:
        if (ProgressBar->value() != ProgressBar->maximum()) mci->SetUpdateInterval(1000);
        break;
    case MciControl::Next:
        if (IsCd()) {
            mci->SetUpdateInterval(1000);
        } else {
            mci->Command("Next");
            ProgressBar->setValue(ProgressBar->maximum());
            mci->SetUpdateInterval(0);
        }
        break;
    case MciControl::Prev:
        if (IsCd()) {
            mci->SetUpdateInterval(1000);
        } else {
            ProgressBar->setValue(0);
            mci->Command("Prev");
        }
        break;
    case MciControl::Stop: MediaStop(); break;
    default: break;
    }
}

void frmMedia::Form_KeyDown(int keyCode) {
    if (keyCode == VK_TAB || keyCode == VK_RETURN) {
        CloseForm();
    } else if (keyCode == VK_ESCAPE) {
        AbortFlag = -1;
        CloseForm();
        if (TaggedView) {
            MediaStop();
            mciSupport->Command("Close");
            hide();
        }
    }
}

void frmMedia::mnuNext_Click() {
    if (TaggedView) {
        MediaStop();
        mciSupport->Command("Close");
        hide();
    }
    CloseForm();
}

void frmMedia::CloseForm() {
    if (!TaggedView) lower();
    if (OpenDriveCount > 0 && !TaggedView) {
        if (QWidget* main = MainWindow()) main->update();
        held_.Release();
        ReturnFocusToMainWindow();
    }
}

void frmMedia::Form_Unload() {
    AbortFlag = -1;
    mciSupport->Command("Close");
}

bool frmMedia::event(QEvent* event) {
    // Form_Activate: the drive window's pane is noted, to be given back.
    if (event->type() == QEvent::WindowActivate && OpenDriveCount > 0)
        held_.Note();
    return QDialog::event(event);
}

bool frmMedia::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int code = VirtualKeyCode(static_cast<QKeyEvent*>(event));
        if (code == VK_TAB || code == VK_RETURN || code == VK_ESCAPE) {
            Form_KeyDown(code);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMedia::keyPressEvent(QKeyEvent* event) {
    const int code = VirtualKeyCode(event);
    if (code == VK_TAB || code == VK_RETURN || code == VK_ESCAPE) {
        Form_KeyDown(code);
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmMedia::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// Esc reaches the dialog's own handling only when no control took it first.
void frmMedia::reject() { Form_KeyDown(VK_ESCAPE); }

namespace {
QPointer<frmMedia>& current() {
    static QPointer<frmMedia> form;
    return form;
}
}  // namespace

frmMedia* NewMediaForm() {
    if (current()) {
        current()->mciSupport->Command("Close");
        current()->mciSupport->ReleaseDevice();
        delete current();
    }
    current() = new frmMedia(MainWindow());
    return current();
}

frmMedia* MediaForm() { return current(); }

bool CheckMedia(frmMedia* player, const QString& path) {
    if (!CheckViewerFile(path)) return false;
    player->setWindowTitle(path);
    return true;
}
