// Free space, the drive dialog and the drive information dialog.
#include <gtest/gtest.h>
#include <QLocale>
#include <QTest>
#include "drives/driveinfo.h"
#include "browse/freespace.h"
#include "drives/freespace.h"
#include "drives/frmDInfo.h"
#include "drives/frmDrive.h"
#include "ui/errors.h"
#include "ui/prompter.h"
#include "fixture.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/volume.h"

namespace {

// A prefix with drives c: (with the Windows folder) and d:, and f: without disk.
class DrivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(prefix.addDrive('c') + "/windows");
        prefix.addDrive('d');
        prefix.linkDrive('f', prefix.base() + "/no-disk-in-f");
    }
    void TearDown() override {
        delete DriveForm();
        delete DriveInfoForm();
    }

    // A drive window on slot 1 showing the drive, as logging leaves it.
    void openWindowOn(const QString& drive, const QString& path, Pane focusPane) {
        OpenDriveCount = CurrentSlot = 1;
        Slot(1).Drive = drive;
        Slot(1).CurrentPath = path;
        Slot(1).FocusPane = focusPane;
    }

    TempPrefix prefix;
};

// Free bytes straight from the platform's figures.
qint64 PlatformFreeBytes(QChar letter) {
    platform::DiskSpace s;
    return platform::DiskFreeSpace(letter, &s) ? -1 : s.sectorsPerCluster * s.bytesPerSector * s.freeClusters;
}

// Other programs share the disk, so its free space may move while it is shown:
// an attempt returns whether it stayed put, and is repeated until one did.
bool UntilSteady(const std::function<bool()>& attempt) {
    for (int i = 0; i < 100; ++i)
        if (attempt()) return true;
    return false;
}

// Records every prompt (answered by a script, OK by default) for texts a test
// cannot know in advance.
struct PromptLog {
    std::vector<PromptRequest> seen;
    explicit PromptLog(std::function<PromptAnswer()> answer = [] { return PromptAnswer::Ok; }) {
        SetPromptHandler([this, answer](const PromptRequest& r) { seen.push_back(r); return answer(); });
    }
    ~PromptLog() { SetPromptHandler(nullptr); }
};

TEST(DriveTexts, ThousandsKilobytesReportsAndDiskTypes) {
    const struct { qint64 number; const char* text; } thousands[] = {{2000, "2,000"}, {0, "0"}, {999, "999"},
        {1000, "1,000"}, {123456, "123,456"}, {1234567, "1,234,567"}, {5000000000LL, "5,000,000,000"}};
    for (const auto& t : thousands) EXPECT_EQ(FormatThousands(t.number), t.text) << t.number;
    const qint64 rounding[][2] = {{2048000, 2000}, {511, 0}, {512, 1}, {1535, 1}, {1536, 2}, {1LL << 42, 1LL << 32}};
    for (const auto& r : rounding) EXPECT_EQ(KilobytesOf(r[0]), r[1]) << r[0];
    // 4 sectors per cluster, 512 bytes per sector, 1000 free clusters.
    EXPECT_EQ(AvailableSpaceReport(4 * 512 * 1000),
              "Bytes free on specified drive : 2048000\r\nKb free on specified drive     : 2,000\r\n");
    // Four terabytes would not fit a signed 32-bit count of bytes, nor of kilobytes.
    EXPECT_EQ(AvailableSpaceReport(4398046511104LL),
              "Bytes free on specified drive : 4398046511104\r\nKb free on specified drive     : 4,294,967,296\r\n");
    EXPECT_EQ(AvailableSpaceReport(-1), "Unknown available space");
    EXPECT_EQ(AvailableSpaceTitle("d:"), "Available space on disk : D");

    namespace t = platform::drivetype;
    const struct { int type; const char* text; } types[] = {{t::NoRoot, "Hard disk"}, {t::Fixed, "Hard disk"},
        {t::Removable, "Diskette"}, {t::CdRom, "CDROM"}, {t::Unknown, "Unknown drive type"},
        {t::Remote, "Unknown drive type"}, {t::RamDisk, "Unknown drive type"}, {7, "Unknown drive type"},
        {-1, "Unknown drive type"}};
    for (const auto& d : types) EXPECT_EQ(DiskTypeText(d.type), d.text) << d.type;
}

TEST_F(DrivesTest, FreeBytesAreThePlatformFiguresAndTheWaitForADriveEndsWhenTheUserGivesUp) {
    qint64 expected = 0, got = 0, withBackslash = 0;
    ASSERT_TRUE(UntilSteady([&] {
        expected = PlatformFreeBytes('d');
        got = FreeBytes("d:");
        withBackslash = FreeBytes("d:\\");
        return PlatformFreeBytes('d') == expected;
    }));
    EXPECT_GT(got, 0);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(withBackslash, expected);
    for (const char* root : {"f:", "q:", ""}) EXPECT_EQ(FreeBytes(root), -1) << root;

    // Waiting for the drive without disk: each Retry tests it again until the user gives up.
    int retries = 2;
    PromptLog prompts([&] { return retries-- > 0 ? PromptAnswer::Retry : PromptAnswer::Cancel; });
    EXPECT_FALSE(WaitForDrive("f:"));
    ASSERT_EQ(prompts.seen.size(), 3u);
    for (const PromptRequest& r : prompts.seen) {
        EXPECT_EQ(r.text + "|" + r.title, "Disk not ready|Error");
        EXPECT_TRUE(r.icon == PromptIcon::Critical && r.buttons == PromptButtons::RetryCancel);
    }
    EXPECT_EQ(LastError, 0);
}

TEST_F(DrivesTest, DriveDialogReportsFreeSpaceOnlyForADriveWithADiskAndTheWindowKeepsItsPlace) {
    openWindowOn("c:", "c:\\windows", Pane::Files);
    ASSERT_EQ(platform::ChangeFolder("c:\\windows"), 0);
    qint64 bytes = 0;
    std::vector<PromptRequest> seen;
    ASSERT_TRUE(UntilSteady([&] {
        PromptLog prompts;
        ScriptedForms forms;
        forms.expect("frmDrive", [&](QWidget* w) {
            frmDrive* f = static_cast<frmDrive*>(w);
            EXPECT_EQ(Slot(1).FocusPane, Pane::Dialog);
            // A retry finds the dialog on the drive chosen last time.
            const QString start = f->Drive();
            QTest::keyClick(f->Drive1, 'f');   // a drive without disk: the error, no report
            EXPECT_TRUE(w->isVisible());
            EXPECT_EQ(f->Drive(), start);
            QTest::keyClick(f->Drive1, 'k');   // names no drive: nothing happens
            EXPECT_TRUE(w->isVisible());
            EXPECT_EQ(f->Drive(), start);
            f->Drive1->setCurrentItem(f->Drive1->findItems("f:", Qt::MatchStartsWith).value(0));
            QTest::mouseClick(f->btnOk, Qt::LeftButton);
            EXPECT_TRUE(w->isVisible());
            f->Drive1->setCurrentItem(f->Drive1->findItems("d:", Qt::MatchStartsWith).value(0));
            QTest::keyClick(f->Drive1, Qt::Key_Return);
            EXPECT_FALSE(w->isVisible());
        });
        bytes = PlatformFreeBytes('d');
        ShowDriveDialog(AvailableSpaceCaption);
        seen = prompts.seen;
        return PlatformFreeBytes('d') == bytes;
    }));
    ASSERT_EQ(seen.size(), 3u);
    for (int i : {0, 1}) EXPECT_EQ(seen[i].text + "|" + seen[i].title, "Disk not ready|Error");
    // The report as the user should read it, worked out apart from the program.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(seen[2].text, "Bytes free on specified drive : " + QString::number(bytes) + "\r\n" +
                                "Kb free on specified drive     : " +
                                english.toString(qRound64(bytes / 1024.0)) + "\r\n");
    EXPECT_EQ(seen[2].title, "Available space on disk : D");
    EXPECT_EQ(seen[2].icon, PromptIcon::Information);
    EXPECT_EQ(Slot(1).FocusPane, Pane::Files);
    EXPECT_EQ(platform::CurrentDrive() + platform::CurrentFolder('c'), "c:c:\\windows");
}

TEST_F(DrivesTest, DriveInfoShowsThePlatformFiguresAndLabelOfTheActiveDrive) {
    ASSERT_EQ(platform::SetVolumeLabel('d', "Work"), 0);
    openWindowOn("d:", "d:", Pane::Files);
    ScriptedPrompter prompts;
    platform::DiskSpace s;
    QStringList general, technical;
    ASSERT_TRUE(UntilSteady([&] {
        ScriptedForms forms;
        forms.expect("frmDInfo", [&](QWidget* w) {
            general = technical = {};
            for (QLabel* label : static_cast<frmDInfo*>(w)->general) general << label->text();
            for (QLabel* label : static_cast<frmDInfo*>(w)->technical) technical << label->text();
            EXPECT_EQ(Slot(1).FocusPane, Pane::Dialog);
            QTest::keyClick(w, Qt::Key_Return);
            EXPECT_FALSE(w->isVisible());
        });
        EXPECT_EQ(platform::DiskFreeSpace('d', &s), 0);
        ShowDriveInfo();
        return PlatformFreeBytes('d') == s.sectorsPerCluster * s.bytesPerSector * s.freeClusters;
    }));
    const qint64 cluster = s.sectorsPerCluster * s.bytesPerSector;
    const qint64 available = cluster * s.freeClusters, total = cluster * s.totalClusters;
    EXPECT_EQ(general, QStringList({DiskTypeText(platform::DriveType('d')), QString::number(available),
                                    QString::number(total), QString::number(total - available), "Work"}));
    EXPECT_EQ(technical,
              QStringList({QString::number(s.freeClusters), QString::number(s.totalClusters),
                           QString::number(s.bytesPerSector), QString::number(s.sectorsPerCluster),
                           QString::number(s.sectorsPerCluster * s.totalClusters), QString::number(cluster)}));
    EXPECT_GT(total, 0);
    EXPECT_EQ(Slot(1).FocusPane, Pane::Files);

    openWindowOn("f:", "f:", Pane::Dos);
    prompts.expect("Disk not ready", PromptAnswer::Ok, "Error");
    ScriptedForms noDialog;
    ShowDriveInfo();
    EXPECT_EQ(Slot(1).FocusPane, Pane::Dos);
}

}  // namespace
