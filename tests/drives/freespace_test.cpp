#include "drives/freespace.h"
#include "drives_fixture.h"
#include "fileops/errors.h"
#include "platform/curdir.h"
#include "shell/frmBrws.h"

namespace {

TEST(FreeSpaceTexts, ThousandsSeparatorsGroupThreeDigitsFromTheRight) {
    EXPECT_EQ(FormatThousands(2000), "2,000");
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(1234567), "1,234,567");
    EXPECT_EQ(FormatThousands(123456), "123,456");
    EXPECT_EQ(FormatThousands(5000000000LL), "5,000,000,000");
}

TEST(FreeSpaceTexts, KilobytesAreRoundedToTheNearestWholeNumber) {
    EXPECT_EQ(KilobytesOf(2048000), 2000);
    EXPECT_EQ(KilobytesOf(511), 0);
    EXPECT_EQ(KilobytesOf(512), 1);
    EXPECT_EQ(KilobytesOf(1535), 1);
    EXPECT_EQ(KilobytesOf(1536), 2);
    EXPECT_EQ(KilobytesOf(4398046511104LL), 4294967296LL);
}

TEST(FreeSpaceTexts, ReportHasTwoLinesEachEndedByCarriageReturnAndLineFeed) {
    // 4 sectors per cluster, 512 bytes per sector, 1000 free clusters.
    EXPECT_EQ(AvailableSpaceReport(4 * 512 * 1000),
              "Bytes free on specified drive : 2048000\r\nKb free on specified drive     : 2,000\r\n");
    // Four terabytes would not fit a signed 32-bit count of bytes, nor of kilobytes.
    EXPECT_EQ(AvailableSpaceReport(4398046511104LL),
              "Bytes free on specified drive : 4398046511104\r\nKb free on specified drive     : 4,294,967,296\r\n");
    EXPECT_EQ(AvailableSpaceReport(0), "Bytes free on specified drive : 0\r\nKb free on specified drive     : 0\r\n");
    EXPECT_EQ(AvailableSpaceReport(-1), "Unknown available space");
    EXPECT_EQ(AvailableSpaceTitle("d:"), "Available space on disk : D");
}

using FreeSpaceTest = DrivesTest;

TEST_F(FreeSpaceTest, FreeBytesOfARealDriveIsThePlatformFiguresMultipliedIn64Bits) {
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
}

TEST_F(FreeSpaceTest, FreeBytesIsMinusOneWhenTheDriveCannotTell) {
    EXPECT_EQ(FreeBytes("f:"), -1);   // no disk
    EXPECT_EQ(FreeBytes("q:"), -1);   // no such drive
    EXPECT_EQ(FreeBytes(""), -1);
}

TEST_F(FreeSpaceTest, WaitingForAReadyDriveAsksNothing) {
    PromptLog prompts;
    EXPECT_TRUE(WaitForDrive("d:"));
    EXPECT_TRUE(prompts.seen.empty());
    EXPECT_EQ(platform::CurrentDrive(), "d:");
}

TEST_F(FreeSpaceTest, GivingUpOnADriveWithoutDiskEndsTheWait) {
    PromptLog prompts([](const PromptRequest&) { return PromptAnswer::Cancel; });
    EXPECT_FALSE(WaitForDrive("f:"));
    ASSERT_EQ(prompts.seen.size(), 1u);
    EXPECT_EQ(prompts.seen[0].text, "Disk not ready");
    EXPECT_EQ(prompts.seen[0].title, "Error");
    EXPECT_EQ(prompts.seen[0].icon, PromptIcon::Critical);
    EXPECT_EQ(prompts.seen[0].buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(LastError, 0);
}

TEST_F(FreeSpaceTest, EachRetryTestsTheDriveAgainUntilTheUserGivesUp) {
    int retries = 2;
    PromptLog prompts([&](const PromptRequest&) { return retries-- > 0 ? PromptAnswer::Retry : PromptAnswer::Cancel; });
    EXPECT_FALSE(WaitForDrive("f:"));
    EXPECT_EQ(prompts.seen.size(), 3u);
}

TEST_F(FreeSpaceTest, InsertingTheDiskAndRetryingGoesOn) {
    PromptLog prompts([&](const PromptRequest&) {
        prefix.addDrive('f');
        return PromptAnswer::Retry;
    });
    EXPECT_TRUE(WaitForDrive("f:"));
    EXPECT_EQ(prompts.seen.size(), 1u);
    EXPECT_EQ(platform::CurrentDrive(), "f:");
}

class AvailableBytesPanelTest : public DrivesTest {
protected:
    QString panel() const { return w.stsFileInfo[3]->text(); }
    frmBrws w;
};

TEST_F(AvailableBytesPanelTest, ShowsTheFreeBytesAndMakesTheDriveRootCurrent) {
    QDir().mkpath(d + "/sub");
    openWindowOn("d:", "d:\\sub", 1);
    ASSERT_EQ(platform::ChangeFolder("d:\\sub"), 0);
    ScriptedPrompter prompts;
    qint64 expected = 0;
    ASSERT_TRUE(UntilSteady([&] {
        expected = PlatformFreeBytes('d');
        ShowAvailableBytes(&w);
        return PlatformFreeBytes('d') == expected;
    }));
    EXPECT_EQ(panel(), "Available bytes : " + QString::number(expected));
    EXPECT_EQ(platform::CurrentDrive(), "d:");
    EXPECT_EQ(platform::CurrentFolder('d'), "d:");
}

TEST_F(AvailableBytesPanelTest, ADriveTheUserGaveUpOnShowsHashes) {
    openWindowOn("f:", "f:", 1);
    PromptLog prompts([](const PromptRequest&) { return PromptAnswer::Cancel; });
    ShowAvailableBytes(&w);
    EXPECT_EQ(panel(), "Available bytes : ###");
    EXPECT_EQ(prompts.seen.size(), 1u);
}

}  // namespace
