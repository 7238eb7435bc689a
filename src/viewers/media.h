#pragma once
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

// Device modes as the media player reads them.
constexpr int ModeNotOpen = 524, ModeStopped = 525, ModePlaying = 526, ModePaused = 529;

// One media device: a sound, MIDI or video file, or the audio CD. Times are in
// milliseconds; for the CD, positions count from the start of the disc.
class MediaDevice {
public:
    virtual ~MediaDevice() = default;
    // Opens a file given by its host path (empty for the CD); false with
    // ErrorText() when the device cannot play it.
    virtual bool Open(const QString& deviceType, const QString& hostPath) = 0;
    virtual void Close() = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual void Seek(qint64 to) = 0;
    virtual int Mode() const = 0;
    virtual qint64 Length() const = 0;
    virtual qint64 Position() const = 0;
    virtual int Tracks() const { return 0; }
    // The track that holds the current position (1 when there are none).
    virtual int CurrentTrack() const { return 1; }
    virtual qint64 TrackPosition(int /*track*/) const { return 0; }
    virtual QString ErrorText() const = 0;
    // The picture of a video, or null.
    virtual QWidget* VideoWidget() { return nullptr; }
};

// Makes the device for a device type ("WaveAudio", "Sequencer", "AVIVideo",
// "MPEGVideo", "CDAudio"). Tests install a maker of fake devices.
using MediaDeviceMaker = std::function<std::unique_ptr<MediaDevice>(const QString& deviceType)>;
void SetMediaDeviceMaker(MediaDeviceMaker maker);
std::unique_ptr<MediaDevice> MakeMediaDevice(const QString& deviceType);

// The devices of this machine: files through Qt Multimedia, the audio CD
// through the CD-ROM drive.
std::unique_ptr<MediaDevice> MakeFileDevice();
std::unique_ptr<MediaDevice> MakeCdAudioDevice(const QString& hostDevice = QString());
// Whether the machine has a way to play sound at all (a media back end).
bool MediaBackendAvailable();
