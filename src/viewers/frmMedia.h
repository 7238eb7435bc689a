#pragma once
#include <QAction>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>
#include "ui/dialogfocus.h"
#include "viewers/media.h"

// True while the media player is shown during a walk over all tagged files.
extern int16_t TaggedView;

// The multimedia control: the buttons Prev, Next, Play, Pause, Back, Step and
// Stop over one device, its properties, and a status update every
// UpdateInterval milliseconds. A command waits until the device has done it.
class MciControl : public QWidget {
    Q_OBJECT
public:
    explicit MciControl(QWidget* parent = nullptr);
    ~MciControl() override;

    enum Button { Prev, Next, Play, Pause, Back, Step, Stop, ButtonCount };
    QPushButton* button[ButtonCount] = {};
    QGridLayout* Grid = nullptr;   // row 0 for captions, row 1 for the buttons

    QString DeviceType;
    QString FileName;   // DOS path
    bool Notify = false;
    bool Wait = true;
    bool Shareable = false;
    qint64 To = 0;

    // "Open", "Close", "Play", "Pause", "Stop", "Seek", "Next", "Prev", "Step", "Back".
    void Command(const QString& command);
    int UpdateInterval() const { return updateInterval_; }
    void SetUpdateInterval(int milliseconds);
    int Mode() const;
    qint64 Length() const;
    qint64 Position() const;
    qint64 Start() const { return 0; }
    int Tracks() const;
    int Track() const;
    void SetTrack(int track) { track_ = track; }
    qint64 TrackPosition() const;
    bool IsOpen() const { return open_; }
    QString Error() const { return error_; }
    MediaDevice* Device() const { return device_.get(); }
    void ReleaseDevice();

signals:
    void StatusUpdate();
    // Sent before the control carries out the button's own action.
    void ButtonClick(int button);

private:
    void ButtonAction(int b);
    std::unique_ptr<MediaDevice> device_;
    QTimer statusTimer_;
    int updateInterval_ = 0;
    int track_ = 1;
    bool open_ = false;
    QString error_;
};

// The media player: one sound, MIDI, video or CD-audio file.
class frmMedia : public QDialog {
    Q_OBJECT
public:
    explicit frmMedia(QWidget* parent = nullptr);
    ~frmMedia() override;

    QMenuBar* MenuBar = nullptr;
    QAction* mnuNext = nullptr;
    MciControl* mciSupport = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QLabel* Label[8] = {};   // Label1 to Label7
    QLabel* lblStatus = nullptr;
    QWidget* VideoArea = nullptr;

    // Opens the file whose full path is the caption and plays it. False, with
    // the message shown, when the device cannot open it.
    bool OpenMedia();
    void MediaStop();
    void CloseForm();
    void mciSupport_StatusUpdate();
    void mciSupport_ButtonClick(int button);
    void mnuNext_Click();
    void Form_KeyDown(int keyCode);
    void Form_Unload();
    bool IsCd() const { return mciSupport->DeviceType == "CDAudio"; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void SetProgressMax(int max);
    void SetProgressValue(qint64 value);
    HeldFocusPane held_;
    int trackNumber_ = 0;
};

// The player is loaded afresh for every file: this drops the one there is
// and makes a new one.
frmMedia* NewMediaForm();
frmMedia* MediaForm();   // the current one, or null
// The checks of every viewer, then the full path into the player's caption.
bool CheckMedia(frmMedia* player, const QString& path);
