#include <gtest/gtest.h>
#include <QTest>
#include <functional>
#include "fileops/errors.h"
#include "fileops/frmInput.h"
#include "fileops/validate.h"
#include "fixture.h"
#include "model/slots.h"
#include "platform/volume.h"

namespace {

class InputDialogTest : public ::testing::Test {
protected:
    void SetUp() override { prefix.addDrive('d'); }

    // One drive window open on the drive, its focus in the given pane.
    void openDrive(QChar letter, int16_t pane) {
        OpenDriveCount = 1;
        CurrentSlot = 1;
        Slot(1).Drive = QString(letter) + ':';
        Slot(1).FocusPane = pane;
    }

    // Opens the dialog as a command does; the script plays the user.
    void show(const QString& caption, const QString& text, std::function<void(frmInput*)> script) {
        forms.expect("frmInput", [script](QWidget* form) {
            ASSERT_EQ(form, InputForm());
            script(static_cast<frmInput*>(form));
        });
        ShowInputDialog(caption, text);
    }

    static void type(frmInput* in, const QString& text) { QTest::keyClicks(in->txtBox, text); }
    static void press(frmInput* in, Qt::Key key) { QTest::keyClick(in->txtBox, key); }
    static void retype(frmInput* in, const QString& text) {
        QTest::keyClick(in->txtBox, Qt::Key_A, Qt::ControlModifier);
        type(in, text);
    }
    // Types the text and presses Enter; true when the dialog went away.
    static bool enter(frmInput* in, const QString& text) {
        retype(in, text);
        press(in, Qt::Key_Return);
        return !in->isVisible();
    }

    TempPrefix prefix;
    ScriptedPrompter prompts;
    ScriptedForms forms;
};

TEST_F(InputDialogTest, OpensWithTheTextSelectedAndKeepsWhatIsTypedTrimmedAndLowerCase) {
    // Left with the cursor in the box and the selection gone, as a user may leave it.
    show(InputCaption::RenameFile, "first.txt", [](frmInput* in) {
        press(in, Qt::Key_End);
        EXPECT_FALSE(in->txtBox->hasSelectedText());
        press(in, Qt::Key_Escape);
    });
    show(InputCaption::RenameFile, "old.txt", [](frmInput* in) {
        EXPECT_EQ(in->windowTitle(), "Rename file");
        EXPECT_EQ(in->focusWidget(), in->txtBox);
        EXPECT_EQ(in->txtBox->selectedText(), "old.txt");
        type(in, "  New Name.TXT  ");
        press(in, Qt::Key_Return);
    });
    EXPECT_FALSE(InputForm()->isVisible());
    EXPECT_TRUE(InputForm()->Confirmed);
    EXPECT_EQ(InputForm()->txtBox->text(), "new name.txt");
}

TEST_F(InputDialogTest, EnterMeansOkEvenOnTheCancelButtonAndEscCancels) {
    show(InputCaption::RenameFile, "a.txt", [](frmInput* in) {
        in->btnCancel->setFocus();
        QTest::keyClick(in->btnCancel, Qt::Key_Return);
        EXPECT_FALSE(in->isVisible());
    });
    EXPECT_TRUE(InputForm()->Confirmed);

    // A fresh opening forgets the last confirmation.
    show(InputCaption::RenameFile, "a.txt", [](frmInput* in) {
        EXPECT_FALSE(in->Confirmed);
        press(in, Qt::Key_Escape);
    });
    EXPECT_FALSE(InputForm()->isVisible());
    EXPECT_FALSE(InputForm()->Confirmed);

    show(InputCaption::RenameFile, "a.txt", [](frmInput* in) { QTest::mouseClick(in->btnOk, Qt::LeftButton); });
    EXPECT_TRUE(InputForm()->Confirmed);
}

TEST_F(InputDialogTest, ARefusedNameKeepsTheDialogOpenUntilAGoodOneIsTyped) {
    prompts.expect(InvalidCharactersMessage, PromptAnswer::Ok, "Error");
    show(InputCaption::RenameFile, "", [this](frmInput* in) {
        type(in, "what?.txt");
        in->btnOk->setFocus();
        QTest::keyClick(in->btnOk, Qt::Key_Return);
        EXPECT_TRUE(in->isVisible());
        EXPECT_FALSE(in->Confirmed);
        EXPECT_EQ(in->focusWidget(), in->txtBox);
        EXPECT_TRUE(prompts.done());
        EXPECT_TRUE(enter(in, "what.txt"));
    });
    EXPECT_TRUE(InputForm()->Confirmed);
}

TEST_F(InputDialogTest, MasksForRenamingAllTaggedFiles) {
    prompts.expect("Invalid file mask", PromptAnswer::Ok, "Error")
        .expect("Invalid file mask", PromptAnswer::Ok, "Error")
        .expect("Invalid file mask", PromptAnswer::Ok, "Error");
    show(InputCaption::RenameTagged, "*.*", [](frmInput* in) {
        EXPECT_FALSE(enter(in, "a*b.txt"));
        EXPECT_FALSE(enter(in, "a.b.txt"));
        EXPECT_FALSE(enter(in, "abtxt"));
        EXPECT_TRUE(enter(in, "*.BAK"));
    });
    EXPECT_TRUE(InputForm()->Confirmed);
    EXPECT_EQ(InputForm()->txtBox->text(), "*.bak");
}

TEST_F(InputDialogTest, AttributeChangesForOneAndForAllTaggedFiles) {
    prompts.expect("Invalid file attributes", PromptAnswer::Ok, "Error")
        .expect("Invalid file attributes", PromptAnswer::Ok, "Error")
        .expect("Invalid file attributes", PromptAnswer::Ok, "Error")
        .expect("Invalid file attributes", PromptAnswer::Ok, "Error");
    show(InputCaption::FileAttributes, "", [](frmInput* in) {
        EXPECT_FALSE(enter(in, "+r-h"));
        EXPECT_FALSE(enter(in, "r+"));
        EXPECT_FALSE(enter(in, "+x"));
        EXPECT_TRUE(enter(in, "+R+A+S+H"));
    });
    EXPECT_TRUE(InputForm()->Confirmed);
    EXPECT_EQ(InputForm()->txtBox->text(), "+r+a+s+h");
    show(InputCaption::TaggedAttributes, "", [](frmInput* in) {
        EXPECT_FALSE(enter(in, "+r+a+s+h+r"));
        EXPECT_TRUE(enter(in, "-a"));
    });
    EXPECT_TRUE(InputForm()->Confirmed);
}

TEST_F(InputDialogTest, AFolderNameMustNotBeEmpty) {
    prompts.expect(InvalidCharactersMessage, PromptAnswer::Ok, "Error");
    show(InputCaption::MakeFolder, "", [](frmInput* in) {
        EXPECT_FALSE(enter(in, "   "));
        EXPECT_TRUE(enter(in, "Letters"));
    });
    EXPECT_TRUE(InputForm()->Confirmed);
    EXPECT_EQ(InputForm()->txtBox->text(), "letters");
}

TEST_F(InputDialogTest, TheDriveWindowsKeysRestWhileTheDialogIsUpAndItsPaneComesBack) {
    openDrive('d', 2);
    show(InputCaption::RenameFile, "a.txt", [](frmInput* in) {
        EXPECT_EQ(Slot(1).FocusPane, 0);
        press(in, Qt::Key_Escape);
    });
    EXPECT_EQ(Slot(1).FocusPane, 2);

    Slot(1).FocusPane = 3;
    show(InputCaption::RenameFile, "a.txt", [](frmInput* in) {
        EXPECT_EQ(Slot(1).FocusPane, 0);
        in->close();
    });
    EXPECT_FALSE(InputForm()->isVisible());
    EXPECT_FALSE(InputForm()->Confirmed);
    EXPECT_EQ(Slot(1).FocusPane, 3);

    Slot(1).FocusPane = 1;
    show(InputCaption::RenameFile, "a.txt", [](frmInput* in) { EXPECT_TRUE(enter(in, "b.txt")); });
    EXPECT_EQ(Slot(1).FocusPane, 1);
}

TEST_F(InputDialogTest, WithoutADriveWindowNoPaneIsTouched) {
    Slot(1).FocusPane = 2;
    show(InputCaption::RenameFile, "a.txt", [](frmInput* in) {
        EXPECT_EQ(Slot(1).FocusPane, 2);
        press(in, Qt::Key_Escape);
    });
    EXPECT_EQ(Slot(1).FocusPane, 2);
}

TEST_F(InputDialogTest, AVolumeLabelOfElevenCharactersIsWrittenLowerCase) {
    openDrive('d', 1);
    prompts.expect("Invalid volume name", PromptAnswer::Ok, "Error");
    show(InputCaption::DiskVolume, "", [](frmInput* in) {
        EXPECT_FALSE(enter(in, "Twelve Chars"));
        EXPECT_EQ(platform::VolumeLabel('d'), "");
        EXPECT_TRUE(enter(in, "  Eleven CHRS "));
    });
    EXPECT_EQ(platform::VolumeLabel('d'), "eleven chrs");
    EXPECT_EQ(prefix.readFile("d:\\.windows-label"), "eleven chrs\n");
    EXPECT_EQ(Slot(1).FocusPane, 1);

    // An empty label takes the old one away.
    show(InputCaption::DiskVolume, "eleven chrs", [](frmInput* in) {
        QTest::keyClick(in->txtBox, Qt::Key_Delete);
        press(in, Qt::Key_Return);
    });
    EXPECT_EQ(platform::VolumeLabel('d'), "");
}

TEST_F(InputDialogTest, AVolumeLabelOnADriveThatIsNotReadyShowsTheErrorAndCloses) {
    prefix.linkDrive('q', prefix.base() + "/no-disk");
    openDrive('q', 2);
    prompts.expect("Disk not ready", PromptAnswer::Ok, "Error");
    show(InputCaption::DiskVolume, "", [](frmInput* in) { EXPECT_TRUE(enter(in, "backup")); });
    EXPECT_EQ(LastError, 0);
    EXPECT_EQ(Slot(1).FocusPane, 2);
}

TEST_F(InputDialogTest, AFileSpecificationWithoutADriveWindowGoesToTheFirstSlot) {
    show(InputCaption::FileSpec, "*.*", [](frmInput* in) { EXPECT_TRUE(enter(in, " *.TXT *.Doc ")); });
    EXPECT_EQ(Slot(1).FileSpec, "*.txt;*.doc");
}

}  // namespace
