#pragma once
#include <gtest/gtest.h>
#include <QDir>
#include <functional>
#include <vector>
#include "fileops/prompter.h"
#include "fixture.h"
#include "model/slots.h"
#include "platform/volume.h"

// A prefix with a real drive c: (holding the Windows folder the drive test
// starts from), a real drive d: and a drive f: whose disk is missing.
class DrivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        c = prefix.addDrive('c');
        QDir().mkpath(c + "/windows");
        d = prefix.addDrive('d');
        prefix.linkDrive('f', prefix.base() + "/no-disk-in-f");
    }

    // A drive window on slot 1 showing the drive, as logging leaves it.
    void openWindowOn(const QString& drive, const QString& path, int16_t focusPane) {
        OpenDriveCount = 1;
        CurrentSlot = 1;
        Slot(1).Drive = drive;
        Slot(1).CurrentPath = path;
        Slot(1).FocusPane = focusPane;
    }

    TempPrefix prefix;
    QString c, d;
};

// Free bytes straight from the platform's figures.
inline qint64 PlatformFreeBytes(QChar letter) {
    platform::DiskSpace s;
    if (platform::DiskFreeSpace(letter, &s) != 0) return -1;
    return s.sectorsPerCluster * s.bytesPerSector * s.freeClusters;
}

// The disk under a test drive is shared with other programs, so its free space
// may move while a figure is being shown. An attempt returns whether the figure
// stayed put; the check is repeated until one attempt saw it steady.
inline bool UntilSteady(const std::function<bool()>& attempt) {
    for (int i = 0; i < 100; ++i)
        if (attempt()) return true;
    return false;
}

// Records every prompt and answers it by a script (OK by default); unlike the
// scripted prompter it lets a test look at texts it cannot know in advance.
class PromptLog {
public:
    explicit PromptLog(std::function<PromptAnswer(const PromptRequest&)> answer = nullptr)
        : answer_(std::move(answer)) {
        SetPromptHandler([this](const PromptRequest& r) {
            seen.push_back(r);
            return answer_ ? answer_(r) : PromptAnswer::Ok;
        });
    }
    ~PromptLog() { SetPromptHandler(nullptr); }
    std::vector<PromptRequest> seen;

private:
    std::function<PromptAnswer(const PromptRequest&)> answer_;
};
