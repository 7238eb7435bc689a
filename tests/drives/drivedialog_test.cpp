#include <QApplication>
#include <QLocale>
#include <QTest>
#include "drives/frmDrive.h"
#include "drives_fixture.h"
#include "platform/curdir.h"
#include "platform/prefix.h"
#include "shell/frmBrws.h"

namespace {

class DriveDialogTest : public DrivesTest {
protected:
    void TearDown() override { delete DriveForm(); }

    static frmDrive* form(QWidget* w) { return static_cast<frmDrive*>(w); }
    static void choose(frmDrive* f, const QString& drive) {
        for (int i = 0; i < f->Drive1->count(); ++i)
            if (f->Drive1->item(i)->text().startsWith(drive)) f->Drive1->setCurrentRow(i);
        ASSERT_EQ(f->Drive(), drive);
    }
    static void press(QWidget* w, Qt::Key key) { QTest::keyClick(w, key); }
    static void press(QWidget* w, char letter) { QTest::keyClick(w, letter); }

    // The report as the user should read it, worked out apart from the program.
    static QString expectedReport(qint64 bytes) {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        return "Bytes free on specified drive : " + QString::number(bytes) + "\r\n" +
               "Kb free on specified drive     : " + english.toString(qRound64(bytes / 1024.0)) + "\r\n";
    }
};

TEST_F(DriveDialogTest, ListsTheDrivesOfTheMapWithTheirLabelsAndStartsAtC) {
    ASSERT_EQ(platform::SetVolumeLabel('d', "Work"), 0);
    ScriptedPrompter prompts;
    ScriptedForms forms;
    forms.expect("frmDrive", [&](QWidget* w) {
        frmDrive* f = form(w);
        EXPECT_EQ(f->windowTitle(), "Log drive");
        QStringList drives;
        for (int i = 0; i < f->Drive1->count(); ++i) drives << f->Drive1->item(i)->text().left(2);
        EXPECT_EQ(drives, platform::DriveLetters());
        EXPECT_EQ(f->Drive1->item(1)->text(), "d: [work]");
        EXPECT_EQ(f->Drive(), "c:");
        EXPECT_EQ(f->Frame1->title(), "Select drive");
        EXPECT_EQ(f->btnCancel->text(), "&Cancel");
        press(f->Drive1, Qt::Key_Escape);
        EXPECT_FALSE(f->isVisible());
    });
    ShowDriveDialog(LogDriveCaption);
}

TEST_F(DriveDialogTest, EnterReportsTheFreeSpaceOfTheChosenDrive) {
    qint64 bytes = 0;
    std::vector<PromptRequest> seen;
    ASSERT_TRUE(UntilSteady([&] {
        PromptLog prompts;
        ScriptedForms forms;
        forms.expect("frmDrive", [&](QWidget* w) {
            choose(form(w), "d:");
            press(form(w)->Drive1, Qt::Key_Return);
            EXPECT_FALSE(w->isVisible());
        });
        bytes = PlatformFreeBytes('d');
        ShowDriveDialog(AvailableSpaceCaption);
        seen = prompts.seen;
        return PlatformFreeBytes('d') == bytes;
    }));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, expectedReport(bytes));
    EXPECT_EQ(seen[0].title, "Available space on disk : D");
    EXPECT_EQ(seen[0].icon, PromptIcon::Information);
}

TEST_F(DriveDialogTest, ADriveLetterChoosesTheDriveAndRunsAtOnce) {
    PromptLog prompts;
    ScriptedForms forms;
    forms.expect("frmDrive", [&](QWidget* w) {
        press(form(w)->Drive1, 'd');
        EXPECT_EQ(form(w)->Drive(), "d:");
        EXPECT_FALSE(w->isVisible());
    });
    ShowDriveDialog(AvailableSpaceCaption);
    ASSERT_EQ(prompts.seen.size(), 1u);
    EXPECT_EQ(prompts.seen[0].title, "Available space on disk : D");
    EXPECT_TRUE(prompts.seen[0].text.startsWith("Bytes free on specified drive : "));
}

TEST_F(DriveDialogTest, ADriveLetterOfADriveWithoutDiskShowsTheErrorAndNoReport) {
    ScriptedPrompter prompts;
    prompts.expect("Disk not ready", PromptAnswer::Ok, "Error");
    ScriptedForms forms;
    forms.expect("frmDrive", [&](QWidget* w) {
        press(form(w)->Drive1, 'f');
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(form(w)->Drive(), "c:");
        // A letter that names no drive does nothing at all.
        press(form(w)->Drive1, 'k');
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(form(w)->Drive(), "c:");
        press(form(w)->Drive1, Qt::Key_Escape);
    });
    ShowDriveDialog(AvailableSpaceCaption);
    EXPECT_EQ(prompts.seen(), QStringList{"Disk not ready"});
}

TEST_F(DriveDialogTest, OkOnADriveWithoutDiskShowsTheErrorAndKeepsTheDialog) {
    ScriptedPrompter prompts;
    prompts.expect("Disk not ready", PromptAnswer::Ok, "Error");
    ScriptedForms forms;
    forms.expect("frmDrive", [&](QWidget* w) {
        choose(form(w), "f:");
        QTest::mouseClick(form(w)->btnOk, Qt::LeftButton);
        EXPECT_TRUE(w->isVisible());
        QTest::mouseClick(form(w)->btnCancel, Qt::LeftButton);
        EXPECT_FALSE(w->isVisible());
    });
    ShowDriveDialog(AvailableSpaceCaption);
}

TEST_F(DriveDialogTest, TheWindowKeepsItsFocusPaneDriveAndFolder) {
    openWindowOn("c:", "c:\\windows", 2);
    ASSERT_EQ(platform::ChangeFolder("c:\\windows"), 0);
    PromptLog prompts;
    ScriptedForms forms;
    forms.expect("frmDrive", [&](QWidget* w) {
        EXPECT_EQ(Slot(1).FocusPane, 0);
        choose(form(w), "d:");
        press(form(w)->Drive1, Qt::Key_Enter);
    });
    forms.expect("frmDrive", [&](QWidget* w) {
        EXPECT_EQ(Slot(1).FocusPane, 0);
        press(w, Qt::Key_Escape);
    });
    ShowDriveDialog(AvailableSpaceCaption);
    EXPECT_EQ(prompts.seen.size(), 1u);
    EXPECT_EQ(Slot(1).FocusPane, 2);
    EXPECT_EQ(platform::CurrentDrive(), "c:");
    EXPECT_EQ(platform::CurrentFolder('c'), "c:\\windows");
    ShowDriveDialog(LogDriveCaption);
    EXPECT_EQ(Slot(1).FocusPane, 2);
}

TEST_F(DriveDialogTest, LogDriveHidesTheDialogAndOpensAWindowForTheDrive) {
    ScriptedPrompter prompts;
    ScriptedForms forms;
    forms.expect("frmDrive", [&](QWidget* w) {
        choose(form(w), "d:");
        press(form(w)->Drive1, Qt::Key_Return);
        EXPECT_FALSE(w->isVisible());
    });
    ShowDriveDialog(LogDriveCaption);
    EXPECT_EQ(OpenDriveCount, 1);
    EXPECT_EQ(CurrentDriveSlot().Drive, "d:");
    QList<frmBrws*> windows;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<frmBrws*>(top)) windows << b;
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->Caption().startsWith("Tree structure of d:"));
    delete windows[0];
}

}  // namespace
