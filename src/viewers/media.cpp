#include "viewers/media.h"
#include <QCoreApplication>
#include <QLibrary>

namespace {
MediaDeviceMaker& maker() {
    static MediaDeviceMaker m;
    return m;
}

// The devices come from a module loaded the first time one is needed (see
// qtmedia/devices.cpp): beside the program when built, in the tools' folder
// when installed.
struct MediaModule {
    MediaDevice* (*make)(const QString* cdDevice, bool cdAudio) = nullptr;
    bool (*available)() = nullptr;
    QString error;
};

const MediaModule& Module() {
    static const MediaModule module = [] {
        MediaModule m;
        const QString here = QCoreApplication::applicationDirPath();
        for (const QString& folder : {here, here + "/" QUORL_MEDIA_FROM_BIN}) {
            QLibrary library(folder + "/quorl-media");
            if (!library.load()) {
                if (m.error.isEmpty()) m.error = library.errorString();
                continue;
            }
            m.make = reinterpret_cast<decltype(m.make)>(library.resolve("QuorlMakeMediaDevice"));
            m.available = reinterpret_cast<decltype(m.available)>(library.resolve("QuorlMediaBackendAvailable"));
            if (m.make && m.available) return m;
            m.error = library.errorString();
        }
        m.make = nullptr;
        m.available = nullptr;
        return m;
    }();
    return module;
}

// Without the module nothing plays; opening says why.
class MissingDevice : public MediaDevice {
public:
    bool Open(const QString&, const QString&) override { return false; }
    void Close() override {}
    void Play() override {}
    void Pause() override {}
    void Stop() override {}
    void Seek(qint64) override {}
    int Mode() const override { return ModeNotOpen; }
    qint64 Length() const override { return 0; }
    qint64 Position() const override { return 0; }
    QString ErrorText() const override { return "the media player is missing: " + Module().error; }
};

std::unique_ptr<MediaDevice> FromModule(const QString& cdDevice, bool cdAudio) {
    if (!Module().make) return std::make_unique<MissingDevice>();
    return std::unique_ptr<MediaDevice>(Module().make(&cdDevice, cdAudio));
}
}  // namespace

void SetMediaDeviceMaker(MediaDeviceMaker m) { maker() = std::move(m); }

std::unique_ptr<MediaDevice> MakeMediaDevice(const QString& deviceType) {
    if (maker()) return maker()(deviceType);
    if (deviceType == "CDAudio") return MakeCdAudioDevice();
    return MakeFileDevice();
}

std::unique_ptr<MediaDevice> MakeFileDevice() { return FromModule(QString(), false); }

std::unique_ptr<MediaDevice> MakeCdAudioDevice(const QString& hostDevice) { return FromModule(hostDevice, true); }

bool MediaBackendAvailable() { return Module().available && Module().available(); }
