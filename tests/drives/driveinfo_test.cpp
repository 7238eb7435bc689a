#include <QTest>
#include "drives/driveinfo.h"
#include "drives/frmDInfo.h"
#include "drives/volumename.h"
#include "drives_fixture.h"
#include "fileops/frmInput.h"

namespace {

TEST(DiskType, EachDriveTypeNumberHasItsText) {
    namespace t = platform::drivetype;
    for (int type : {t::NoRoot, t::Fixed}) EXPECT_EQ(DiskTypeText(type), "Hard disk") << type;
    EXPECT_EQ(DiskTypeText(t::Removable), "Diskette");
    EXPECT_EQ(DiskTypeText(t::CdRom), "CDROM");
    for (int type : {t::Unknown, t::Remote, t::RamDisk, 7, -1})
        EXPECT_EQ(DiskTypeText(type), "Unknown drive type") << type;
}

TEST(DriveFigures, GeneralAndTechnicalFiguresOfADiskette) {
    // 4 sectors per cluster, 512 bytes per sector, 1000 of 2847 clusters free.
    const DriveInfoTexts texts = DescribeDrive({4, 512, 1000, 2847}, platform::drivetype::Removable, "backup");
    EXPECT_EQ(texts.general, QStringList({"Diskette", "2048000", "5830656", "3782656", "backup"}));
    EXPECT_EQ(texts.technical, QStringList({"1000", "2847", "512", "4", "11388", "2048"}));
}

TEST(DriveFigures, FiguresOfALargeDiskDoNotWrapAround) {
    const DriveInfoTexts texts = DescribeDrive({8, 512, 200000000, 500000000}, platform::drivetype::Fixed, "");
    EXPECT_EQ(texts.general,
              QStringList({"Hard disk", "819200000000", "2048000000000", "1228800000000", ""}));
    EXPECT_EQ(texts.technical[4], "4000000000");
    EXPECT_EQ(texts.technical[5], "4096");
}

class DriveInfoTest : public DrivesTest {
protected:
    void TearDown() override { delete DriveInfoForm(); }
    static frmDInfo* form(QWidget* w) { return static_cast<frmDInfo*>(w); }
    static QStringList texts(QLabel* const* labels, int n) {
        QStringList list;
        for (int i = 0; i < n; ++i) list << labels[i]->text();
        return list;
    }
};

TEST_F(DriveInfoTest, ShowsTheFiguresAndLabelOfTheActiveDrive) {
    ASSERT_EQ(platform::SetVolumeLabel('d', "Work"), 0);
    openWindowOn("d:", "d:", 2);
    ScriptedPrompter prompts;
    platform::DiskSpace s;
    QStringList general, technical;
    ASSERT_TRUE(UntilSteady([&] {
        ScriptedForms forms;
        forms.expect("frmDInfo", [&](QWidget* w) {
            general = texts(form(w)->general, 5);
            technical = texts(form(w)->technical, 6);
            EXPECT_EQ(Slot(1).FocusPane, 0);
            QTest::keyClick(w, Qt::Key_Return);
            EXPECT_FALSE(w->isVisible());
        });
        EXPECT_EQ(platform::DiskFreeSpace('d', &s), 0);
        ShowDriveInfo();
        platform::DiskSpace after;
        platform::DiskFreeSpace('d', &after);
        return after.freeClusters == s.freeClusters;
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
    EXPECT_EQ(Slot(1).FocusPane, 2);
}

TEST_F(DriveInfoTest, CaptionsKeepTheirBlanks) {
    frmDInfo* f = DriveInfoForm();
    EXPECT_EQ(f->windowTitle(), "Drive info");
    EXPECT_EQ(f->Frame1->title(), "General");
    EXPECT_EQ(f->Frame2->title(), "Technical");
    QStringList captions;
    for (QLabel* label : f->findChildren<QLabel*>())
        if (label->objectName().isEmpty()) captions << label->text();
    EXPECT_EQ(captions, QStringList({"Disk type                  :", "Available disk space :",
                                     "Total disk space       :", "Used disk space       :",
                                     "Disk name                :", "Free clusters          :",
                                     "Total clusters         :", "Bytes per sector     :",
                                     "Sectors per cluster :", "Total sectors          :",
                                     "Cluster size             :"}));
    EXPECT_EQ(f->findChildren<QLabel*>("general").size(), 5);
    EXPECT_EQ(f->findChildren<QLabel*>("technical").size(), 6);
}

TEST_F(DriveInfoTest, EscapeClosesAndAnUnlabelledDriveHasNoName) {
    openWindowOn("c:", "c:\\windows", 3);
    ScriptedPrompter prompts;
    ScriptedForms forms;
    forms.expect("frmDInfo", [&](QWidget* w) {
        EXPECT_EQ(form(w)->general[4]->text(), "");
        EXPECT_EQ(Slot(1).FocusPane, 0);
        QTest::keyClick(w, Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible());
    });
    ShowDriveInfo();
    EXPECT_EQ(Slot(1).FocusPane, 3);
}

TEST_F(DriveInfoTest, ADriveWithoutDiskGetsItsErrorAndNoDialog) {
    openWindowOn("f:", "f:", 2);
    ScriptedPrompter prompts;
    prompts.expect("Disk not ready", PromptAnswer::Ok, "Error");
    ScriptedForms noForms;
    ShowDriveInfo();
    EXPECT_EQ(Slot(1).FocusPane, 2);
}

class VolumeTest : public DrivesTest {
protected:
    static frmInput* input(QWidget* w) { return static_cast<frmInput*>(w); }
};

TEST_F(VolumeTest, TheDialogStartsWithTheLabelInLowerCase) {
    ASSERT_EQ(platform::SetVolumeLabel('d', "WORK DISK"), 0);
    openWindowOn("d:", "d:", 1);
    ScriptedPrompter prompts;
    ScriptedForms forms;
    forms.expect("frmInput", [&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Disk volume");
        EXPECT_EQ(input(w)->txtBox->text(), "work disk");
        QTest::keyClick(input(w)->txtBox, Qt::Key_Escape);
    });
    VolumeCommand();
    EXPECT_EQ(platform::VolumeLabel('d'), "WORK DISK");
}

TEST_F(VolumeTest, AnUnlabelledDriveStartsEmptyAndGetsTheConfirmedLabel) {
    openWindowOn("d:", "d:", 1);
    ScriptedPrompter prompts;
    ScriptedForms forms;
    forms.expect("frmInput", [&](QWidget* w) {
        EXPECT_EQ(input(w)->txtBox->text(), "");
        QTest::keyClicks(input(w)->txtBox, "Backup");
        QTest::keyClick(input(w)->txtBox, Qt::Key_Return);
    });
    VolumeCommand();
    EXPECT_EQ(platform::VolumeLabel('d'), "backup");
}

}  // namespace
