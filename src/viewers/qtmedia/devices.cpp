// The media devices of this machine through Qt Multimedia, in a module of
// their own: the program loads it the first time a device is needed, so that
// Qt Multimedia and the sound system it brings do not slow every start.
#include <QAudioDevice>
#include <QAudioOutput>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVideoWidget>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include "viewers/media.h"

namespace {
// Waits for the player to finish loading: "Wait" is set on the control, so
// every command returns when the device has done it.
bool WaitForLoad(QMediaPlayer& player, QString* error) {
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&player, &QMediaPlayer::mediaStatusChanged, &loop, [&](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::InvalidMedia || s == QMediaPlayer::BufferedMedia)
            loop.quit();
    });
    QObject::connect(&player, &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
    auto loaded = [&] {
        const auto s = player.mediaStatus();
        return s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia;
    };
    if (!loaded() && player.error() == QMediaPlayer::NoError && player.mediaStatus() != QMediaPlayer::InvalidMedia) {
        limit.start(10000);
        loop.exec();
    }
    if (loaded() && player.error() == QMediaPlayer::NoError) return true;
    *error = player.errorString();
    if (error->isEmpty()) *error = "the file could not be opened";
    return false;
}

// Sound, MIDI and video files through Qt Multimedia.
class FileDevice : public MediaDevice {
public:
    FileDevice() {
        player_.setAudioOutput(&audio_);
    }
    ~FileDevice() override {
        Close();
        player_.setVideoOutput(nullptr);
        // The picture may sit in a player window that is already gone with it.
        delete video_.data();
    }
    bool Open(const QString& deviceType, const QString& hostPath) override {
        error_.clear();
        if (hostPath.isEmpty()) {
            error_ = "no file";
            return false;
        }
        if (deviceType == "AVIVideo" || deviceType == "MPEGVideo") {
            if (!video_) video_ = new QVideoWidget;
            player_.setVideoOutput(video_.data());
        }
        player_.setSource(QUrl::fromLocalFile(hostPath));
        open_ = WaitForLoad(player_, &error_);
        if (!open_) player_.setSource(QUrl());
        return open_;
    }
    void Close() override {
        if (!open_) return;
        player_.stop();
        player_.setSource(QUrl());
        open_ = false;
    }
    void Play() override { if (open_) player_.play(); }
    void Pause() override { if (open_) player_.pause(); }
    void Stop() override { if (open_) player_.stop(); }
    void Seek(qint64 to) override { if (open_) player_.setPosition(to); }
    int Mode() const override {
        if (!open_) return ModeNotOpen;
        switch (player_.playbackState()) {
        case QMediaPlayer::PlayingState: return ModePlaying;
        case QMediaPlayer::PausedState: return ModePaused;
        default: return ModeStopped;
        }
    }
    qint64 Length() const override { return open_ ? player_.duration() : 0; }
    qint64 Position() const override { return open_ ? player_.position() : 0; }
    QString ErrorText() const override { return error_.isEmpty() ? player_.errorString() : error_; }
    QWidget* VideoWidget() override { return video_.data(); }

private:
    QMediaPlayer player_;
    QAudioOutput audio_;
    QPointer<QVideoWidget> video_;
    bool open_ = false;
    QString error_;
};

// The audio CD: the table of contents from the drive, the tracks played from
// the disc through the media back end.
class CdAudioDevice : public MediaDevice {
public:
    explicit CdAudioDevice(QString device) : device_(std::move(device)) { player_.setAudioOutput(&audio_); }
    bool Open(const QString&, const QString&) override {
        starts_.clear();
        error_.clear();
        QStringList candidates = device_.isEmpty() ? QStringList{"/dev/cdrom", "/dev/sr0"} : QStringList{device_};
        for (const QString& path : candidates) {
            const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
            if (fd < 0) continue;
            ReadTableOfContents(fd);
            ::close(fd);
            if (!starts_.isEmpty()) break;
        }
        // A drive without an audio disc still opens; it has no tracks.
        if (starts_.isEmpty()) error_ = "No audio CD can be read";
        return true;
    }
    void Close() override { player_.stop(); }
    void Play() override {
        if (starts_.isEmpty()) return;
        player_.setSource(QUrl(QString("cdda://%1").arg(track_)));
        player_.play();
    }
    void Pause() override { player_.pause(); }
    void Stop() override { player_.stop(); }
    void Seek(qint64 to) override {
        track_ = 1;
        for (int t = 1; t <= Tracks(); ++t)
            if (TrackPosition(t) <= to) track_ = t;
    }
    int Mode() const override {
        return player_.playbackState() == QMediaPlayer::PlayingState ? ModePlaying : ModeStopped;
    }
    qint64 Length() const override { return starts_.isEmpty() ? 0 : starts_.last(); }
    qint64 Position() const override { return TrackPosition(track_) + player_.position(); }
    int Tracks() const override { return qMax(0, int(starts_.size()) - 1); }
    int CurrentTrack() const override { return track_; }
    qint64 TrackPosition(int track) const override {
        return track >= 1 && track <= Tracks() ? starts_[track - 1] : 0;
    }
    QString ErrorText() const override { return error_; }

private:
    void ReadTableOfContents(int fd) {
        cdrom_tochdr header {};
        if (::ioctl(fd, CDROMREADTOCHDR, &header) != 0) return;
        // The start of every track and the lead-out, which ends the last one.
        QList<int> tracks;
        for (int t = header.cdth_trk0; t <= header.cdth_trk1; ++t) tracks << t;
        tracks << CDROM_LEADOUT;
        for (int t : tracks) {
            cdrom_tocentry entry {};
            entry.cdte_track = quint8(t);
            entry.cdte_format = CDROM_MSF;
            if (::ioctl(fd, CDROMREADTOCENTRY, &entry) != 0) {
                starts_.clear();
                return;
            }
            const auto& msf = entry.cdte_addr.msf;
            starts_ << (qint64(msf.minute) * 60 + msf.second) * 1000 + msf.frame * 1000 / 75;
        }
    }
    QString device_;
    QList<qint64> starts_;
    int track_ = 1;
    QString error_;
    QMediaPlayer player_;
    QAudioOutput audio_;
};
}  // namespace

// The module's two entry points, looked up by name (viewers/media.cpp).
extern "C" Q_DECL_EXPORT MediaDevice* QuorlMakeMediaDevice(const QString* cdDevice, bool cdAudio) {
    if (cdAudio) return new CdAudioDevice(*cdDevice);
    return new FileDevice;
}

extern "C" Q_DECL_EXPORT bool QuorlMediaBackendAvailable() { return !QMediaDevices::audioOutputs().isEmpty(); }
