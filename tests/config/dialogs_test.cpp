#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include "config/frmFA.h"
#include "config/frmOpt.h"
#include "config/more.h"
#include "config/settings.h"
#include "fixture.h"
#include "model/slots.h"

namespace {

constexpr PromptAnswer Ok = PromptAnswer::Ok;

// A settings file with a non-ASCII byte (Latin-1), CRLF line ends and a section
// after [associations] other than [desktop].
const QByteArray Head =
    "[general]\r\nIgnore read only attribute=false\r\nMax folders=10\r\nFolder logging =fast\r\n"
    "Show system=true\r\nOverwrite=false\r\nDate=mm-dd-yy\r\nColumns=1\r\nProgram folder=c:\\quorl\r\n\r\n"
    "[compression]\r\nOverwrite=false\r\nCompress paths=true\r\nExtract paths=true\r\nVolume=Available\r\n"
    "Method=Fastest\r\nARJ=c:\\quorl\\arj.exe\r\nPkzip=c:\\quorl\\pkzip.exe\r\nPkunzip=c:\\quorl\\pkunzip.exe\r\n\r\n"
    "[fonts]\r\nTree font name=dejavu sans\r\nTree font size=9\r\nFile font name=dejavu sans mono\r\n"
    "File font size=10\r\n\r\n"
    "[supportedfiletypes]\r\n.txt,text\r\n.caf\xe9,caf\xe9 files\r\n\r\n";
const QByteArray Associations = "[associations]\r\n.txt,Text document,c:\\windows\\notepad.exe\r\n"
                                ".doc,Word, old style,c:\\windows\\write.exe\r\n\r\n";
const QByteArray Tail = "[desktop]\r\nWindowState = Normal\r\nWindowCoordinates = 1,2,3,4\r\n"
                        "[extra]\r\nkept=yes \xff\r\n";

class DialogTest : public ::testing::Test {
public:
    void SetUp() override {
        prefix.addDrive('c');
        for (const char* f : {"c:\\quorl\\Quorl.exe", "c:\\quorl\\arj.exe", "c:\\quorl\\pkzip.exe",
                              "c:\\quorl\\pkunzip.exe", "c:\\tools\\zip2.exe", "c:\\windows\\notepad.exe",
                              "c:\\windows\\write.exe", "c:\\program files\\viewer.exe"})
            prefix.writeFile(f, "program");
        prefix.writeFile(Ini, Head + Associations + Tail);
        ASSERT_TRUE(LoadSettings());
    }
    QByteArray file() const { return prefix.readFile(Ini); }

    const QString Ini = QStringLiteral("c:\\windows\\quorl.ini");
    TempPrefix prefix;
    ScriptedPrompter prompts;
    ScriptedForms forms;
};

void Type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

}  // namespace

TEST_F(DialogTest, OptionsConfirmedReachSettingsAndTheFileAndReadBackTheSame) {
    forms.expect("frmOpt", [this](QWidget* f) {
        auto* o = static_cast<frmOpt*>(f);
        QApplication::setActiveWindow(o);
        QApplication::processEvents();
        // Loaded from the settings.
        EXPECT_EQ(o->cmbMethod->currentText(), "Fast");
        EXPECT_EQ(o->txtFolders->text(), "10");
        EXPECT_FALSE(o->chkGen[0]->isChecked());
        EXPECT_TRUE(o->chkGen[1]->isChecked());
        EXPECT_EQ(o->cmbVolumeSize->currentText(), "Available");
        EXPECT_EQ(o->cmbCompressionMethod->currentText(), "Fastest");
        EXPECT_EQ(o->txtArchiveFolders[1]->text(), "c:\\quorl\\pkzip.exe");
        EXPECT_TRUE(o->fraFolders->isVisibleTo(o));
        EXPECT_FALSE(o->fraArchives->isVisibleTo(o));
        o->tabOptions->setCurrentIndex(1);
        EXPECT_TRUE(o->fraArchives->isVisibleTo(o));
        EXPECT_FALSE(o->fraFiles->isVisibleTo(o));
        o->tabOptions->setCurrentIndex(0);

        // Every control changed.
        o->cmbMethod->setCurrentIndex(1);
        Type(o->txtFolders, "4x2");         // letters are dropped as they are typed
        EXPECT_EQ(o->txtFolders->text(), "42");
        o->chkGen[0]->setChecked(true);
        o->chkGen[1]->setChecked(false);
        o->chkGen[2]->setChecked(true);
        o->cmbDF->setCurrentIndex(1);
        Type(o->txtCol, "3");
        QTest::keyClick(o->txtCol, Qt::Key_Backspace);
        QTest::keyClicks(o->txtCol, "a-2.");
        EXPECT_EQ(o->txtCol->text(), "2");
        o->tabOptions->setCurrentIndex(1);
        o->chkARJZipGeneral[0]->setChecked(true);
        o->chkARJZipGeneral[1]->setChecked(false);
        o->chkARJZipGeneral[2]->setChecked(false);
        o->cmbVolumeSize->setCurrentIndex(4);
        o->cmbCompressionMethod->setCurrentIndex(1);
        Type(o->txtArchiveFolders[1], "C:\\Tools\\ZIP2.exe");
        // Browse takes the chosen file as a lower-case DOS path.
        forms.expect("cmDialog", [this](QWidget* d) {
            static_cast<QFileDialog*>(d)->selectFile(prefix.host("c:\\program files\\viewer.exe"));
            static_cast<QDialog*>(d)->accept();
        });
        QTest::mouseClick(o->btnArchiveBrowse[2], Qt::LeftButton);
        EXPECT_EQ(o->txtArchiveFolders[2]->text(), "c:\\program files\\viewer.exe");
        o->tabOptions->setCurrentIndex(2);
        // The font dialog: only the face and the size are taken.
        forms.expect("cmDialog", [](QWidget* d) {
            auto* fd = static_cast<QFontDialog*>(d);
            QFont font("DejaVu Serif", 14);
            font.setBold(true);
            fd->setCurrentFont(font);
            static_cast<QDialog*>(fd)->accept();
        });
        QTest::mouseClick(o->btnTreeFont, Qt::LeftButton);
        EXPECT_EQ(o->lblTreeFont->text(), "dejavu serif, 14");
        // Cancelling the font dialog keeps the font.
        forms.expect("cmDialog", [](QWidget* d) { static_cast<QDialog*>(d)->reject(); });
        QTest::mouseClick(o->btnFileFont, Qt::LeftButton);
        EXPECT_EQ(o->lblFileFont->text(), "dejavu sans mono, 10");
        // More: a file without the section deletes for good.
        o->tabOptions->setCurrentIndex(3);
        EXPECT_TRUE(o->fraMore->isVisibleTo(o));
        auto* trash = o->findChild<QCheckBox*>("chkMore0");
        ASSERT_TRUE(trash);
        EXPECT_EQ(trash->text(), "&Delete to trash");
        EXPECT_FALSE(trash->isChecked());
        trash->setChecked(true);
        // The limits of logging show the values of a file without them; a user raises one.
        auto* files = o->findChild<QLineEdit*>("txtMore1");
        auto* lines = o->findChild<QLineEdit*>("txtMore2");
        ASSERT_TRUE(files && lines);
        EXPECT_EQ(files->text(), "1500");
        EXPECT_EQ(lines->text(), "8000");
        files->setText("20000");
        QTest::mouseClick(o->btnOk, Qt::LeftButton);
    });
    EXPECT_TRUE(ShowOptions());

    const QVariant expected[21] = {{}, true, 42, QString("slow"), false, true, QString("dd-mm-yy"), 2,
                                   QString("c:\\quorl"), true, false, false, QString("1440 kb"), QString("slowest"),
                                   QString("c:\\quorl\\arj.exe"), QString("c:\\tools\\zip2.exe"),
                                   QString("c:\\program files\\viewer.exe"), QString("dejavu serif"), QString("14"),
                                   QString("dejavu sans mono"), QString("10")};
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(Settings[i], expected[i]) << "index " << i;

    const QByteArray text = file();
    EXPECT_TRUE(text.contains("\r\nFolder logging =slow\r\n"));
    EXPECT_TRUE(text.contains("\r\nMax folders=42\r\n"));
    EXPECT_TRUE(text.contains("\r\nVolume=1440 kb\r\n"));
    EXPECT_TRUE(text.contains("\r\nPkzip=c:\\tools\\zip2.exe\r\n"));
    EXPECT_TRUE(text.contains("\r\nTree font name=dejavu serif\r\nTree font size=14\r\n"));
    // Everything from [supportedfiletypes] on is byte for byte what it was, the new section before the associations.
    EXPECT_TRUE(text.endsWith("[supportedfiletypes]\r\n.txt,text\r\n.caf\xe9,caf\xe9 files\r\n\r\n"
                              "[more]\r\nDelete to trash=True\r\nFiles per folder=20000\r\n\r\n" + Associations +
                              Tail));

    // Read back: the same values (12 and 13 in the form loading gives them).
    ResetProgramState();
    ASSERT_TRUE(LoadSettings());
    for (int i = 1; i <= 20; ++i) {
        if (i == 12) EXPECT_EQ(Settings[i], QString("1440 KB"));
        else if (i == 13) EXPECT_EQ(Settings[i], QString("Slowest"));
        else EXPECT_EQ(Settings[i], expected[i]) << "index " << i;
    }
    EXPECT_TRUE(MoreSwitch(more::DeleteToTrash));
}

TEST_F(DialogTest, OptionsCancelledOrRefusedChangeNeitherSettingsNorTheFile) {
    const QByteArray before = file();
    const auto settings = Settings;
    forms.expect("frmOpt", [](QWidget* f) {
        auto* o = static_cast<frmOpt*>(f);
        o->cmbMethod->setCurrentIndex(1);
        o->chkGen[2]->setChecked(true);
        Type(o->txtCol, "4");
        QTest::mouseClick(o->btnCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(ShowOptions());

    // An archiver box naming no file: "File not found" on leaving it and on OK; Esc then.
    forms.expect("frmOpt", [this](QWidget* f) {
        auto* o = static_cast<frmOpt*>(f);
        QApplication::setActiveWindow(o);
        QApplication::processEvents();
        o->tabOptions->setCurrentIndex(1);
        o->cmbMethod->setCurrentIndex(1);
        Type(o->txtArchiveFolders[0], "c:\\quorl\\nothing.exe");
        prompts.expect("File not found", Ok, "Error");
        QTest::keyClick(o->txtArchiveFolders[0], Qt::Key_Tab);   // onto its Browse button
        QApplication::processEvents();
        EXPECT_TRUE(o->txtArchiveFolders[0]->hasFocus());
        // Leaving it for Cancel asks nothing.
        o->btnCancel->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        o->txtArchiveFolders[0]->setFocus();
        prompts.expect("File not found", Ok, "Error");
        QTest::mouseClick(o->btnOk, Qt::LeftButton);
        QApplication::processEvents();
        EXPECT_TRUE(o->isVisible());
        QTest::keyClick(o, Qt::Key_Escape);
    });
    EXPECT_FALSE(ShowOptions());
    EXPECT_EQ(file(), before);
    EXPECT_EQ(Settings, settings);

    // Esc is code 27; the last is an Arabic-Indic three.
    for (const auto& [typed, taken] : {std::pair{QString("7"), true}, {"\b", true}, {"", true}, {"a", false},
                                       {"\x1b", false}, {QString::fromUtf8("\xd9\xa3"), false}})
        EXPECT_EQ(DigitBoxAccepts(typed), taken) << typed.toStdString();
}

TEST(Associations, LinesSplitAndJoinKeepingTheProgramAfterTheLastComma) {
    QString f[3];   // a description with commas is split in the dialog's Edit, below
    SplitAssociation(".x,c:\\p.exe", f);
    EXPECT_EQ(f[1], "");
    EXPECT_EQ(f[2], "c:\\p.exe");
    SplitAssociation("lonely", f);
    EXPECT_EQ(f[0], "lonely");

    EXPECT_EQ(JoinAssociation(" .ABC ", "A, B and C", "C:\\P.exe "), ".abc,A, B and C,c:\\p.exe");
    EXPECT_EQ(JoinAssociation(".abc", QString(2000, 'd'), "c:\\p.exe").size(), 2000 + 14);
    for (const auto& [e, d, p] : {std::tuple{"", "d", "c:\\p"}, {".a", "   ", "c:\\p"}, {".a", "d", ""},
                                  {".a,b", "d", "c:\\p"}, {".a", "d", "c:\\a,b.exe"}, {"[desktop]", "d", "c:\\p"},
                                  {".a", "two\nlines", "c:\\p"}})
        EXPECT_TRUE(JoinAssociation(e, d, p).isEmpty()) << e << "|" << d << "|" << p;
}

TEST_F(DialogTest, AssociationsAddEditRemoveAndOkRewriteOnlyTheirSection) {
    forms.expect("frmFA", [this](QWidget* f) {
        auto* a = static_cast<frmFA*>(f);
        QApplication::setActiveWindow(a);
        QApplication::processEvents();
        ASSERT_EQ(a->Entries(), QStringList({".txt,Text document,c:\\windows\\notepad.exe",
                                              ".doc,Word, old style,c:\\windows\\write.exe"}));
        EXPECT_EQ(a->lstFAssociations->currentRow(), 0);
        EXPECT_FALSE(a->fraEdition->isEnabled());

        // Add: empty or blank fields and a comma in the extension are refused.
        QTest::mouseClick(a->btnAdd, Qt::LeftButton);
        EXPECT_TRUE(a->fraEdition->isEnabled());
        EXPECT_FALSE(a->btnOk->isEnabled());
        prompts.expect(InvalidAssociationMessage, Ok, "Error");
        QTest::mouseClick(a->btnDone, Qt::LeftButton);
        Type(a->txtEdit[0], ".pas,x");
        QTest::keyClick(a->txtEdit[0], Qt::Key_Return);
        EXPECT_TRUE(a->txtEdit[1]->hasFocus());
        QTest::keyClicks(a->txtEdit[1], "   ");
        prompts.expect(InvalidAssociationMessage, Ok, "Error");
        QTest::mouseClick(a->btnDone, Qt::LeftButton);
        Type(a->txtEdit[0], ".pas");
        Type(a->txtEdit[1], "Pascal source, old");
        // A program that is not there: "File not found" when leaving the box.
        Type(a->txtEdit[2], "c:\\nowhere.exe");
        prompts.expect("File not found", Ok, "Error");
        QTest::keyClick(a->txtEdit[2], Qt::Key_Backtab);
        QApplication::processEvents();
        EXPECT_TRUE(a->txtEdit[2]->hasFocus());
        forms.expect("cmDialog", [this](QWidget* d) {
            auto* fd = static_cast<QFileDialog*>(d);
            fd->selectFile(prefix.host("c:\\program files\\viewer.exe"));
            static_cast<QDialog*>(fd)->accept();
        });
        QTest::mouseClick(a->btnBrowse, Qt::LeftButton);
        EXPECT_EQ(a->txtEdit[2]->text(), "c:\\program files\\viewer.exe");
        QTest::keyClick(a->txtEdit[2], Qt::Key_Return);
        EXPECT_TRUE(a->btnDone->hasFocus());
        QTest::mouseClick(a->btnDone, Qt::LeftButton);
        EXPECT_EQ(a->lstFAssociations->count(), 3);
        EXPECT_EQ(a->lstFAssociations->currentItem()->text(), ".pas,Pascal source, old,c:\\program files\\viewer.exe");
        EXPECT_FALSE(a->fraEdition->isEnabled());

        // Edit: the description keeps its comma; the program is the last field.
        a->lstFAssociations->setCurrentRow(1);
        QTest::mouseClick(a->btnEdit, Qt::LeftButton);
        EXPECT_EQ(a->txtEdit[0]->text(), ".doc");
        EXPECT_EQ(a->txtEdit[1]->text(), "Word, old style");
        EXPECT_EQ(a->txtEdit[2]->text(), "c:\\windows\\write.exe");
        Type(a->txtEdit[1], "Word, newer");
        Type(a->txtEdit[2], "C:\\WINDOWS\\Write.EXE");   // held lower case, as typed texts are
        QTest::mouseClick(a->btnDone, Qt::LeftButton);

        // Remove the first; its neighbour is selected.
        a->lstFAssociations->setCurrentRow(0);
        QTest::mouseClick(a->btnRemove, Qt::LeftButton);
        EXPECT_EQ(a->lstFAssociations->currentRow(), 0);
        QTest::mouseClick(a->btnOk, Qt::LeftButton);
    });
    EXPECT_TRUE(ShowFileAssociations());
    EXPECT_EQ(file(), Head +
                          "[associations]\r\n.doc,Word, newer,c:\\windows\\write.exe\r\n"
                          ".pas,Pascal source, old,c:\\program files\\viewer.exe\r\n\r\n" +
                          Tail);
    EXPECT_EQ(ReadSection("[associations]").size(), 3);

    // Cancel after changes leaves the file as it is.
    const QByteArray before = file();
    forms.expect("frmFA", [](QWidget* f) {
        auto* a = static_cast<frmFA*>(f);
        QTest::mouseClick(a->btnRemove, Qt::LeftButton);
        QTest::mouseClick(a->btnCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(ShowFileAssociations());
    EXPECT_EQ(file(), before);
}

// A program killed while it writes the associations leaves the old file or the new one.
TEST_F(DialogTest, AKilledAssociationsSaveLeavesTheOldFileOrTheNewOne) {
    const QByteArray old = file();
    QStringList many;
    for (int i = 0; i < 20000; ++i) many << QString(".e%1,Type %1,c:\\windows\\notepad.exe").arg(i);
    ASSERT_TRUE(ReplaceSettingsSection("[associations]", many));
    const QByteArray fresh = file();
    prefix.writeFile(Ini, old);
    for (int round = 0; round < 12; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ReplaceSettingsSection("[associations]", many);
            ::_exit(0);
        }
        ::usleep(useconds_t(round * 1500));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const QByteArray now = file();
        EXPECT_TRUE(now == old || now == fresh) << "round " << round << ": " << now.size() << " bytes";
        prefix.writeFile(Ini, old);
    }
}
