// The picture viewer and the media player, reached from a drive window. The
// media device is a fake that notes what it is told, except in the one test
// that plays a real sound through the machine's back end.
#include <QElapsedTimer>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include "viewers/dispatch.h"
#include "viewers/frmGV.h"
#include "viewers/frmMedia.h"
#include "viewers_fixture.h"

namespace {
using PromptAnswer::Ok;

// A PNG chunk: its length (or the one it claims), type, data and check sum.
QByteArray PngChunk(const QByteArray& type, const QByteArray& data, quint32 claimed = 0) {
    quint32 crc = 0xFFFFFFFF;
    for (const char c : type + data) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    QByteArray out(4, '\0');
    qToBigEndian(claimed ? claimed : quint32(data.size()), out.data());
    out += type + data + QByteArray(4, '\0');
    qToBigEndian(~crc, out.data() + out.size() - 4);
    return out;
}

QByteArray PngHeader(quint32 width, quint32 height) {
    QByteArray ihdr(13, '\0');
    qToBigEndian(width, ihdr.data());
    qToBigEndian(height, ihdr.data() + 4);
    ihdr[8] = 8;   // 8 bits per sample, true colour
    ihdr[9] = 2;
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", ihdr);
}

TEST_F(ViewersTest, APictureOpensAtNormalItsKeysZoomAndScrollWithinTheirLimitsAndATaggedWalkGoesOn) {
    picture("wide.png", 900, 700);
    picture("tall.png", 200, 1500);
    picture("small.png", 50, 50);
    put("broken.png", "this is not a picture");
    put("chunk.png", PngHeader(1, 1) + PngChunk("zTXt", "abcd", 0x7FFFFFF0));
    put("huge.png", PngHeader(60000, 60000) + PngChunk("IDAT", qCompress(QByteArray(180001, '\0')).mid(4)) +
                        PngChunk("IEND", ""));
    frmBrws* w = open("wide.png");
    forms.expect("frmGV", [&](QWidget* form) {
        auto* gv = static_cast<frmGV*>(form);
        PictureBox* box = gv->GvBox;
        EXPECT_EQ(gv->windowTitle(), "wide.png");
        EXPECT_FALSE(gv->mnuNext->isVisible());
        EXPECT_TRUE(gv->mnuZoom[1]->isChecked());
        EXPECT_EQ(box->PictureSize(), QSize(900, 700));
        const int hMax1 = box->HMax();
        ASSERT_GT(box->VMax(), 40);
        for (int i = 0; i < 4; ++i) QTest::keyClick(box, Qt::Key_Plus, Qt::KeypadModifier);
        EXPECT_EQ(box->Zoom(), 4);
        EXPECT_TRUE(gv->mnuZoom[4]->isChecked());
        EXPECT_FALSE(gv->mnuZoom[1]->isChecked());
        EXPECT_EQ(box->HMax() - hMax1, 3 * 900);   // the maxima follow the picture's size
        box->SetVPos(25);
        QTest::keyClick(box, Qt::Key_PageUp);
        EXPECT_EQ(box->VPos(), 0);
        box->SetVPos(box->VMax() - 10);
        QTest::keyClick(box, Qt::Key_PageDown);
        EXPECT_EQ(box->VPos(), box->VMax());
        QTest::keyClick(box, Qt::Key_Right, Qt::ControlModifier);
        EXPECT_EQ(box->HPos(), 20);
        QTest::keyClick(box, Qt::Key_Left, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Left, Qt::ControlModifier);
        EXPECT_EQ(box->HPos(), 0);
        for (int i = 0; i < 4; ++i) QTest::keyClick(box, Qt::Key_Minus, Qt::KeypadModifier);
        EXPECT_EQ(box->Zoom(), 1);
        gv->mnuZoom[4]->trigger();   // left at 400 %
        EXPECT_EQ(box->Zoom(), 4);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_FALSE(gv->isVisible());
    });
    key(w->FileList, Qt::Key_V);
    EXPECT_FALSE(AbortFlag);
    // The next picture starts at Normal again; Home and End leave alone an axis that fits.
    current(w, "tall.png");
    forms.expect("frmGV", [&](QWidget* form) {
        auto* gv = static_cast<frmGV*>(form);
        PictureBox* box = gv->GvBox;
        EXPECT_EQ(box->Zoom(), 1);
        EXPECT_TRUE(gv->mnuZoom[1]->isChecked());
        ASSERT_EQ(box->HMax(), 0);
        QTest::keyClick(box, Qt::Key_End);
        EXPECT_EQ(box->VPos(), box->VMax());
        EXPECT_EQ(box->HPos(), 0);
        QTest::keyClick(box, Qt::Key_Home);
        EXPECT_EQ(box->VPos(), 0);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    key(w->FileList, Qt::Key_V);
    EXPECT_TRUE(AbortFlag);
    // A picture that cannot be read gets a message and no window; a crafted one
    // fails before any decoder reads or allocates what it claims.
    QFile broken(d + "/broken.png");
    ASSERT_TRUE(broken.open(QIODevice::ReadOnly));
    QImageReader reader(&broken, "png");
    reader.read();
    const struct { const char* name; QString reason; } refused[] = {
        {"broken.png", reader.errorString()},
        {"chunk.png", "a part of the picture claims more bytes than the file holds"},
        {"huge.png", "the picture is too big to show (60000 x 60000 pixels)"},
    };
    for (const auto& r : refused) {
        current(w, r.name);
        prompts.expect("Can't show this picture: " + r.reason, Ok, "Error");
        key(w->FileList, Qt::Key_V);
        EXPECT_TRUE(AbortFlag);
    }

    // Tagged pictures walk on with Enter and stop at Esc.
    tag(w, {"small.png", "tall.png", "wide.png"});
    QStringList shown;
    forms.expect("frmGV", [&](QWidget* form) {
        shown << form->windowTitle();
        EXPECT_TRUE(static_cast<frmGV*>(form)->mnuNext->isVisible());
        QTest::keyClick(static_cast<frmGV*>(form)->GvBox, Qt::Key_Return);
    });
    forms.expect("frmGV", [&](QWidget* form) {
        shown << form->windowTitle();
        QTest::keyClick(static_cast<frmGV*>(form)->GvBox, Qt::Key_Escape);
    });
    main->item("mnuTaggedView")->trigger();
    EXPECT_EQ(shown, QStringList({"small.png", "tall.png"}));
}

// A media device that plays nothing and notes every command.
struct FakeDeviceState {
    QStringList log;
    qint64 length = 0;
    qint64 position = 0;
    int tracks = 0;
    int mode = ModeStopped;
    bool openFails = false;
    int track = 1;
};

class FakeDevice : public MediaDevice {
public:
    explicit FakeDevice(FakeDeviceState& s) : s_(s) {}
    bool Open(const QString& type, const QString& host) override {
        s_.log << "Open " + type + (host.isEmpty() ? QString() : " " + QFileInfo(host).fileName());
        return !s_.openFails;
    }
    void Close() override { s_.log << "Close"; }
    void Play() override { s_.log << "Play"; s_.mode = ModePlaying; }
    void Pause() override { s_.log << "Pause"; s_.mode = ModePaused; }
    void Stop() override { s_.log << "Stop"; s_.mode = ModeStopped; }
    void Seek(qint64 to) override {
        s_.log << "Seek " + QString::number(to);
        s_.position = to;
        for (int t = 1; t <= s_.tracks; ++t)
            if (TrackPosition(t) <= to) s_.track = t;
    }
    int Mode() const override { return s_.mode; }
    qint64 Length() const override { return s_.length; }
    qint64 Position() const override { return s_.position; }
    int Tracks() const override { return s_.tracks; }
    int CurrentTrack() const override { return s_.track; }
    qint64 TrackPosition(int track) const override { return (track - 1) * 60000; }
    QString ErrorText() const override { return s_.openFails ? "the file is damaged" : QString(); }

private:
    FakeDeviceState& s_;
};

class MediaTest : public ViewersTest {
protected:
    void SetUp() override {
        ViewersTest::SetUp();
        SetMediaDeviceMaker([this](const QString&) { return std::make_unique<FakeDevice>(device); });
    }
    void TearDown() override {
        SetMediaDeviceMaker(nullptr);
        if (frmMedia* m = MediaForm()) m->close();
        ViewersTest::TearDown();
    }
    // H on the named file; the player that shows.
    frmMedia* hear(frmBrws* w, const QString& name) {
        current(w, name);
        key(w->FileList, Qt::Key_H);
        return MediaForm();
    }
    FakeDeviceState device;
};

TEST_F(MediaTest, HearingAFilePlaysItTheBarFollowsThePositionACdTrackSeeksToItsTrackAndATaggedWalkGoesOn) {
    put({{"empty.wav", "RIFF"}, {"song.mp3", "ID3"}, {"track05.cda", "cd"}});
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) put(name, "RIFF");
    frmBrws* w = open();
    frmMedia* player = hear(w, "empty.wav");
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->isVisible());   // beside the drive window, not modal
    EXPECT_EQ(player->windowTitle(), "empty.wav");
    EXPECT_FALSE(player->mnuNext->isVisible());
    EXPECT_EQ(device.log, QStringList({"Open WaveAudio empty.wav", "Play"}));
    EXPECT_EQ(player->ProgressBar->maximum(), 100);   // a length of 0 leaves it
    EXPECT_EQ(player->mciSupport->UpdateInterval(), 1000);

    // Another file gets a fresh player; its bar runs to the length.
    device = FakeDeviceState{};
    device.length = 5000;
    player = hear(w, "song.mp3");
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(device.log.contains("Close"));   // the previous player's device
    EXPECT_TRUE(device.log.contains("Open MPEGVideo song.mp3"));
    EXPECT_EQ(player->ProgressBar->maximum(), 5000);
    device.position = 2500;
    player->mciSupport_StatusUpdate();
    EXPECT_EQ(player->ProgressBar->value(), 2500);
    // Pause stops the updates, Play brings them back; the end of the file rewinds.
    player->mciSupport->button[MciControl::Pause]->click();
    EXPECT_EQ(player->mciSupport->UpdateInterval(), 0);
    EXPECT_EQ(player->mciSupport->Mode(), ModePaused);
    player->mciSupport->button[MciControl::Play]->click();
    EXPECT_EQ(player->mciSupport->UpdateInterval(), 1000);
    device.mode = ModeStopped;
    device.log.clear();
    player->mciSupport_StatusUpdate();
    EXPECT_EQ(device.log, QStringList({"Stop", "Seek 0"}));
    EXPECT_EQ(player->ProgressBar->value(), 0);
    EXPECT_EQ(player->mciSupport->UpdateInterval(), 0);
    // Next outside a walk only gives the keyboard back; the player stays.
    player->mnuNext_Click();
    EXPECT_TRUE(player->isVisible());

    // A file the device refuses: a message, no player left playing.
    device = FakeDeviceState{};
    device.openFails = true;
    current(w, "song.mp3");
    prompts.expect("Can't play this file: the file is damaged", Ok, "Error");
    key(w->FileList, Qt::Key_H);
    EXPECT_TRUE(AbortFlag);
    EXPECT_FALSE(device.log.contains("Play"));

    // A CD track seeks to its track, and Stop goes back to track one.
    device = FakeDeviceState{};
    device.tracks = 9;
    player = hear(w, "track05.cda");
    ASSERT_TRUE(player);
    EXPECT_EQ(device.log, QStringList({"Open CDAudio", "Seek 240000", "Play"}));
    EXPECT_EQ(player->ProgressBar->maximum(), 9);
    EXPECT_EQ(player->ProgressBar->value(), 5);
    EXPECT_EQ(player->windowTitle(), "track05.cda");
    EXPECT_EQ(player->mciSupport->UpdateInterval(), 0);
    player->mciSupport->button[MciControl::Stop]->click();
    EXPECT_EQ(player->windowTitle(), "track01.cda");
    // The form rewinds first, then the button does its own stop.
    EXPECT_EQ(device.log.mid(3), QStringList({"Stop", "Seek 0", "Stop"}));
    EXPECT_EQ(player->ProgressBar->value(), 0);
    // Next moves on a track and the following update shows it once.
    player->mciSupport->button[MciControl::Play]->click();
    player->mciSupport->button[MciControl::Next]->click();
    EXPECT_EQ(player->mciSupport->UpdateInterval(), 1000);
    player->mciSupport_StatusUpdate();
    EXPECT_EQ(player->windowTitle(), "track02.cda");
    EXPECT_EQ(player->ProgressBar->value(), 2);
    EXPECT_EQ(player->mciSupport->UpdateInterval(), 0);

    // Without an audio CD the player says so.
    device = FakeDeviceState{};
    player = hear(w, "track05.cda");
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->lblStatus->isVisible());
    EXPECT_FALSE(player->lblStatus->text().isEmpty());

    // In a tagged walk Next goes on, and Esc closes the device and ends the walk.
    device = FakeDeviceState{};
    tag(w, {"a.wav", "b.wav", "c.wav"});
    QStringList shown;
    forms.expect("frmMedia", [&](QWidget* form) {
        auto* m = static_cast<frmMedia*>(form);
        shown << m->windowTitle();
        EXPECT_TRUE(m->mnuNext->isVisible());
        EXPECT_TRUE(TaggedView);
        m->mnuNext->trigger();
        EXPECT_FALSE(m->isVisible());
    });
    forms.expect("frmMedia", [&](QWidget* form) {
        auto* m = static_cast<frmMedia*>(form);
        shown << m->windowTitle();
        device.log.clear();
        QTest::keyClick(m->mciSupport->button[MciControl::Play], Qt::Key_Escape);
        EXPECT_FALSE(m->isVisible());
        EXPECT_TRUE(device.log.contains("Close"));
    });
    key(w->FileList, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(shown, QStringList({"a.wav", "b.wav"}));
    EXPECT_TRUE(AbortFlag);
    // Outside a walk Esc leaves the player open behind the drive window.
    player = hear(w, "c.wav");
    ASSERT_TRUE(player);
    QTest::keyClick(player->mciSupport->button[MciControl::Play], Qt::Key_Escape);
    EXPECT_TRUE(player->isVisible());
}

// A real WAV file: 3 s of a quiet tone, 8 kHz, 8-bit mono.
QByteArray Wave() {
    QByteArray samples;
    for (int i = 0; i < 24000; ++i) samples += char(128 + ((i / 10) % 2 ? 20 : -20));
    auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto le16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    return "RIFF" + le32(36 + samples.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(8000) +
           le32(8000) + le16(1) + le16(8) + "data" + le32(samples.size()) + samples;
}

TEST_F(ViewersTest, ARealWaveFilePlaysThroughTheMachinesDeviceAndAVideoPlayerGivesWayToTheNext) {
    put("tone.wav", Wave());
    put("tone.avi", Wave());   // a video device over a sound: the player gets a picture area
    // The program starts without the media libraries: their module is loaded
    // the first time something plays, and it is there to be loaded.
    QProcess readelf;
    readelf.start("readelf", {"-d", QCoreApplication::applicationDirPath() + "/Quorl"});
    ASSERT_TRUE(readelf.waitForFinished());
    const QByteArray needed = readelf.readAllStandardOutput();
    EXPECT_TRUE(needed.contains("libQt6Widgets")) << needed.constData();
    EXPECT_FALSE(needed.contains("Multimedia")) << needed.constData();
    {
        QString host = d + "/tone.wav";
        auto probe = MakeFileDevice();
        const bool plays = probe->Open("WaveAudio", host);
        ASSERT_FALSE(probe->ErrorText().startsWith("the media player is missing")) << probe->ErrorText().toStdString();
        if (!plays)
            GTEST_SKIP() << "the media back end cannot play a WAV file here: " << probe->ErrorText().toStdString();
    }
    frmBrws* w = open("tone.wav");
    key(w->FileList, Qt::Key_H);
    frmMedia* player = MediaForm();
    ASSERT_TRUE(player);
    EXPECT_EQ(player->ProgressBar->maximum(), 3000);
    QElapsedTimer waited;
    waited.start();
    while (player->ProgressBar->value() == 0 && waited.elapsed() < 5000) QTest::qWait(50);
    EXPECT_GT(player->ProgressBar->value(), 0);
    // Twice a video: the second player replaces the first, picture and all.
    current(w, "tone.avi");
    for (int i = 0; i < 2; ++i) {
        key(w->FileList, Qt::Key_V);
        ASSERT_TRUE(MediaForm());
        EXPECT_TRUE(MediaForm()->VideoArea->isVisibleTo(MediaForm()));
        QTest::qWait(200);
    }
    MediaForm()->close();
}

// A real MP4: 3 s of a moving ball in H.264, made by the GStreamer tools.
QString MakeMp4(const QString& path, QString* why) {
    const QString gst = QStandardPaths::findExecutable("gst-launch-1.0");
    if (gst.isEmpty()) {
        *why = "gst-launch-1.0 is not installed";
        return {};
    }
    QProcess make;
    make.start(gst, {"-q", "-e", "videotestsrc", "num-buffers=90", "pattern=ball", "!",
                     "video/x-raw,width=160,height=120,framerate=30/1", "!", "x264enc", "!", "mp4mux", "!",
                     "filesink", "location=" + path});
    if (!make.waitForFinished(30000) || make.exitCode() != 0 || QFileInfo(path).size() == 0) {
        *why = "no H.264 encoder (x264enc) to make a test MP4";
        return {};
    }
    return path;
}

TEST_F(ViewersTest, ARealMp4PlaysToTheEndWithItsProgressBarMoving) {
    QString why;
    const QString host = MakeMp4(d + "/ball.mp4", &why);
    if (host.isEmpty()) GTEST_SKIP() << why.toStdString();
    {
        auto probe = MakeFileDevice();
        if (!probe->Open("MPEGVideo", host))
            GTEST_SKIP() << "the media back end cannot decode MP4 here: " << probe->ErrorText().toStdString();
    }
    frmBrws* w = open("ball.mp4");
    key(w->FileList, Qt::Key_V);
    frmMedia* player = MediaForm();
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->VideoArea->isVisibleTo(player));
    EXPECT_EQ(player->ProgressBar->maximum(), 3000);
    // The bar moves on while the picture plays, and the end of the film
    // stops the player back at the start.
    QList<int> seen;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 8000 && player->mciSupport->Mode() == ModePlaying) {
        if (seen.isEmpty() || seen.last() != player->ProgressBar->value()) seen << player->ProgressBar->value();
        QTest::qWait(50);
    }
    EXPECT_GE(seen.size(), 3) << "the bar did not move through the film";
    EXPECT_GT(*std::max_element(seen.begin(), seen.end()), 1000);
    EXPECT_EQ(player->mciSupport->Mode(), ModeStopped);
    player->close();
}

// A standard MIDI file of one track: a middle C held for half a second.
QByteArray Midi() {
    auto be32 = [](quint32 v) {
        const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(bytes, 4);
    };
    const QByteArray track = QByteArray::fromHex("00903c40" "8340803c00" "00ff2f00");
    return "MThd" + be32(6) + QByteArray::fromHex("000000010060") + "MTrk" + be32(track.size()) + track;
}

TEST_F(ViewersTest, AMidiFileEitherPlaysOrSaysWhyItCannot) {
    put("tune.mid", Midi());
    auto probe = MakeFileDevice();
    const bool synthesizer = probe->Open("Sequencer", d + "/tune.mid");
    const QString why = probe->ErrorText();
    probe.reset();
    frmBrws* w = open("tune.mid");
    if (synthesizer) {
        key(w->FileList, Qt::Key_H);
        ASSERT_TRUE(MediaForm());
        EXPECT_GT(MediaForm()->ProgressBar->maximum(), 0);
        MediaForm()->close();
        return;
    }
    // Without a synthesizer the user is told so, never left with a silent player.
    ASSERT_FALSE(why.trimmed().isEmpty());
    prompts.expect("Can't play this file: " + why, Ok, "Error");
    key(w->FileList, Qt::Key_H);
}

}  // namespace
