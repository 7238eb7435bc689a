// The text and hex viewer-editor reached from a drive window as a user does:
// keys, menus, the double click, the tagged walk, and the Help menu.
#include <QRegularExpression>
#include <QTextBlock>
#include <fcntl.h>
#include <sys/stat.h>
#include "viewers/dispatch.h"
#include "viewers/hooks.h"
#include "viewers_fixture.h"

namespace {
using PromptAnswer::Cancel;
using PromptAnswer::No;
using PromptAnswer::Ok;
using PromptAnswer::Yes;
const QString UnsavedQuestion = "The text has been changed. Save it ?";

QByteArray Lines(int bytes) {
    QByteArray out;
    for (int i = 0; out.size() < bytes; ++i) out += QByteArray("line ") + QByteArray::number(i) + "\r\n";
    return out.left(bytes);
}

TEST_F(ViewersTest, VShowsTheTextThenTheHexDumpInPartsEscEndsTheViewAndFindSelectsEachMatch) {
    QByteArray thirty;
    for (int i = 0; i < 30; ++i) thirty += char('a' + i % 26);
    thirty[1] = '\t';
    put({{"small.dat", thirty}, {"notes.txt", Lines(5000)}, {"words.txt", "alpha beta\nALPHA gamma"}});
    frmBrws* w = open("small.dat");
    const Pane paneBefore = slotOf(w).FocusPane;
    expectDump([&](frmDump* f) {
        EXPECT_EQ(f->windowTitle(), "small.dat");
        EXPECT_EQ(slotOf(w).FocusPane, Pane::Dialog);
        EXPECT_FALSE(f->mnuFile->menuAction()->isVisible());
        EXPECT_FALSE(f->mnuNext->isVisible());
        EXPECT_TRUE(f->rtfBox[0]->isReadOnly());
        EXPECT_TRUE(f->mnuViewMode[0]->isChecked());
        ASSERT_TRUE(f->mnuViewMode[1]->isEnabled());
        EXPECT_EQ(text(f), QString::fromLatin1(thirty));
        f->mnuViewMode[1]->trigger();
        EXPECT_TRUE(f->rtfBox[1]->isVisible());
        EXPECT_FALSE(f->rtfBox[0]->isVisible());
        const QStringList lines = text(f, 1).split('\n');
        ASSERT_GE(lines.size(), 2);
        EXPECT_EQ(lines[0], "6109636465666768696A6B6C6D6E6F707172737475767778797A6162  a" + QString(DumpPlaceholder) +
                                "cdefghijklmnopqrstuvwxyzab");
        EXPECT_EQ(lines[1], "6364" + QString(54, ' ') + "cd");
        QTest::keyClick(f->rtfBox[1], Qt::Key_Escape);
        EXPECT_FALSE(f->isVisible());
    });
    key(w->FileList, Qt::Key_V);
    EXPECT_TRUE(AbortFlag);
    EXPECT_EQ(slotOf(w).FocusPane, paneBefore);

    // A bigger file appears in parts of 2048 bytes, one part a tick.
    current(w, "notes.txt");
    expectDump([&](frmDump* f) {
        EXPECT_TRUE(text(f).startsWith("line 0\nline 1\n"));
        f->mnuViewMode[1]->trigger();
        EXPECT_EQ(dumpedBytes(f), 2048);
        for (const int shown : {4096, 5000, 5000}) {
            f->HexTimer_Timer();
            EXPECT_EQ(dumpedBytes(f), shown);
        }
        EXPECT_EQ(f->HexPosition(), 5001);
        f->mnuViewMode[0]->trigger();
        EXPECT_TRUE(f->rtfBox[0]->isVisible());
        f->close();
    });
    main->item("mnuView")->trigger();
    // Viewed again, the window starts from the text view with an empty dump.
    expectDump([&](frmDump* f) {
        EXPECT_EQ(f->CurrentViewMode(), 0);
        EXPECT_TRUE(text(f, 1).isEmpty());
        f->close();
    });
    key(w->FileList, Qt::Key_F7);

    // Find selects each match and says when there is no more.
    current(w, "words.txt");
    expectDump([&](frmDump* f) {
        f->mnuFind->trigger();
        EXPECT_TRUE(f->picFind->isVisible());
        QTest::keyClicks(f->txtFind, "Alpha");
        QTest::keyClick(f->txtFind, Qt::Key_Return);
        EXPECT_FALSE(f->picFind->isVisible());
        EXPECT_EQ(f->rtfBox[0]->textCursor().selectionStart(), 0);
        EXPECT_EQ(f->rtfBox[0]->textCursor().selectedText(), "alpha");
        f->mnuFindNext->trigger();
        EXPECT_EQ(f->rtfBox[0]->textCursor().selectionStart(), 11);
        prompts.expect("Text not found", Ok, "Error");
        f->mnuFindNext->trigger();
        EXPECT_EQ(f->rtfBox[0]->textCursor().selectedText(), "ALPHA");
        // A click elsewhere starts the next search there.
        QTextCursor c = f->rtfBox[0]->textCursor();
        c.setPosition(3);
        f->rtfBox[0]->setTextCursor(c);
        f->FindTimer_Timer();
        EXPECT_EQ(f->SearchStart(), 4);
        f->mnuFindNext->trigger();
        EXPECT_EQ(f->rtfBox[0]->textCursor().selectionStart(), 11);
        // The Edit menu of a viewer offers no change to the text.
        f->UpdateEditMenu();
        EXPECT_TRUE(f->mnuCopy->isEnabled());
        EXPECT_FALSE(f->mnuCut->isEnabled());
        EXPECT_FALSE(f->mnuDelete->isEnabled());
        EXPECT_FALSE(f->mnuPaste->isEnabled());
        f->close();
    });
    key(w->FileList, Qt::Key_V);
}

TEST_F(ViewersTest, GifsAndArchivesGoToTheViewerAndOtherFilesAreExecutedOrRefused) {
    put({{"pic.gif", "GIF89a\x01\x00\x01\x00"}, {"pack.zip", "PK\x03\x04 archive bytes"}, {"makefile", "all:\n"},
         {"clip.avi", "RIFF"}});
    QStringList executed;
    QList<QStringList> captured;
    SetExecuteFileHandler([&](const QString& path) { executed << path; });
    SetRunCapturedHandler([&](const QString& program, const QStringList& args, const QString& capture) {
        captured << (QStringList{program} + args + QStringList{capture});
        prefix.writeFile(capture, "Archive listing of pack.zip\r\n");
        return true;
    });
    frmBrws* w = open();
    auto doubleClick = [&](const QString& name) {
        current(w, name);
        const QRect r = w->FileList->visualItemRect(w->FileList->currentItem());
        QTest::mouseDClick(w->FileList->viewport(), Qt::LeftButton, {}, r.center());
        QApplication::processEvents();
    };
    expectDump([&](frmDump* f) {
        EXPECT_EQ(f->windowTitle(), "pic.gif");
        EXPECT_TRUE(text(f).startsWith("GIF89a"));
        f->close();
    });
    doubleClick("pic.gif");
    expectDump([&](frmDump* f) {
        EXPECT_EQ(text(f), "Archive listing of pack.zip\n");
        EXPECT_FALSE(QFile::exists(prefix.host("c:\\dosdump.tmp")));
        f->mnuViewMode[1]->trigger();
        EXPECT_TRUE(text(f, 1).startsWith("504B0304"));   // the archive's own bytes
        f->close();
    });
    doubleClick("pack.zip");
    EXPECT_EQ(captured, QList<QStringList>({{"c:\\quorl\\pkunzip.exe", "-v", "d:\\pack.zip", "c:\\dosdump.tmp"}}));
    EXPECT_TRUE(executed.isEmpty());
    // No extension: executed on a double click, viewed with V, refused when heard.
    doubleClick("makefile");
    EXPECT_EQ(executed, QStringList({"d:\\makefile"}));
    EXPECT_EQ(listed(w, true), QStringList());   // the double click left the tag as it was
    prompts.expect(CantPlayMessage, Ok, "Error");
    key(w->FileList, Qt::Key_H);
    forms.expect("frmDump", [](QWidget* form) { static_cast<frmDump*>(form)->close(); });
    key(w->FileList, Qt::Key_V);
    // A video is heard nowhere.
    current(w, "clip.avi");
    prompts.expect(CantPlayMessage, Ok, "Error");
    main->item("mnuHear")->trigger();
    EXPECT_TRUE(AbortFlag);
    SetExecuteFileHandler(nullptr);
    SetRunCapturedHandler(nullptr);
}

// A named pipe where a file was; opening it the ordinary way waits for a writer.
void ReplaceByPipe(const QString& hostPath) {
    QFile::remove(hostPath);
    ASSERT_EQ(::mkfifo(QFile::encodeName(hostPath).constData(), 0600), 0);
}

TEST_F(ViewersTest, ATaggedWalkGoesOnWithNextAndFilesGoneLockedOrPipedSinceTaggingGetTheirMessage) {
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.png", "e.txt"}) put(name, name);
    frmBrws* w = open();
    tag(w, {"a.txt", "b.txt", "c.txt"});
    QStringList shown;
    auto next = [&](QWidget* form) {
        auto* f = static_cast<frmDump*>(form);
        shown << f->windowTitle();
        EXPECT_TRUE(f->mnuNext->isVisible());
        EXPECT_EQ(text(f), f->windowTitle());
        f->mnuNext->trigger();
    };
    forms.expect("frmDump", next).expect("frmDump", next).expect("frmDump", next);
    key(w->FileList, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(shown, QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_FALSE(AbortFlag);
    // The close box of the second one ends the walk.
    shown.clear();
    forms.expect("frmDump", next).expect("frmDump", [&](QWidget* form) {
        shown << form->windowTitle();
        form->close();
    });
    main->button("tbView")->trigger();
    EXPECT_EQ(shown, QStringList({"a.txt", "b.txt"}));
    // From the tree the guarded key does nothing.
    w->DirList->setFocus();
    QApplication::processEvents();
    key(w->DirList, Qt::Key_V, Qt::ControlModifier);

    // The tagged files change on disk; the walk stops at the first with a message.
    ASSERT_EQ(tagged(w), QStringList({"a.txt", "b.txt", "c.txt"}));
    QFile::remove(d + "/a.txt");
    QDir().mkdir(d + "/a.txt");   // even a folder in its place is not the file
    current(w, "a.txt");
    prompts.expect("Disk has been changed", Ok, "Error");
    key(w->FileList, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(AbortFlag);
    const int fd = ::open(QFile::encodeName(d + "/b.txt").constData(), O_RDWR | O_CLOEXEC);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
    current(w, "b.txt");
    prompts.expect("Sharing violation", Ok, "Error");
    key(w->FileList, Qt::Key_V);
    prompts.expect("Sharing violation", Ok, "Error");
    key(w->FileList, Qt::Key_E);
    ::close(fd);

    // A pipe in a logged file's place is refused, never opened.
    ReplaceByPipe(d + "/c.txt");
    ReplaceByPipe(d + "/d.png");
    current(w, "c.txt");
    prompts.expect("Disk has been changed", Ok, "Error").expect("Disk has been changed", Ok, "Error");
    key(w->FileList, Qt::Key_V);
    key(w->FileList, Qt::Key_E);
    current(w, "d.png");
    prompts.expect("Disk has been changed", Ok, "Error");
    key(w->FileList, Qt::Key_V);
    // One that turns into a pipe while it is on the screen: the hex view and a save refuse it.
    current(w, "e.txt");
    expectDump([&](frmDump* f) {
        ReplaceByPipe(d + "/e.txt");
        prompts.expect("Disk has been changed", Ok, "Error");
        f->mnuViewMode[1]->trigger();
        f->close();
    });
    key(w->FileList, Qt::Key_V);
    current(w, "b.txt");
    expectDump([&](frmDump* f) {
        QTest::keyClicks(f->rtfBox[0], "x");
        ReplaceByPipe(d + "/b.txt");
        prompts.expect("Disk has been changed", Ok, "Error");
        f->mnuSave->trigger();
        struct stat st {};
        EXPECT_TRUE(::stat(QFile::encodeName(d + "/b.txt").constData(), &st) == 0 && S_ISFIFO(st.st_mode));
        prompts.expect(UnsavedQuestion, No, "Question");
        f->close();
    });
    key(w->FileList, Qt::Key_E);
}

TEST_F(ViewersTest, EditSavesOnlyTheChangedLineOrDropsOrKeepsTheTextAsTheUserAnswersAndNewAsksForAName) {
    QByteArray binary(2000, 'x');
    binary[1500] = '\0';
    const QByteArray latin = "caf\xe9\r\nsecond line\r\nthird \xe8\r\n";
    put({{"binary.dat", binary}, {"latin.txt", latin}, {"notes.txt", "first\n"}, {"old.txt", "old\n"}});
    ASSERT_TRUE(QFile::setPermissions(d + "/latin.txt", QFile::ReadOwner | QFile::ReadGroup));
    frmBrws* w = open("binary.dat");
    auto edit = [&](const std::function<void(frmDump*)>& script) {
        expectDump(script);
        key(w->FileList, Qt::Key_E);
    };
    prompts.expect("You can only edit ASCII files", Ok, "Error");
    key(w->FileList, Qt::Key_E);

    // The changed line is saved in the file's own encoding and line ends; read-only goes.
    current(w, "latin.txt");
    edit([&](frmDump* f) {
        EXPECT_EQ(f->windowTitle(), "latin.txt");
        EXPECT_TRUE(f->mnuFile->menuAction()->isVisible());
        EXPECT_FALSE(f->rtfBox[0]->isReadOnly());
        EXPECT_FALSE(f->mnuViewMode[1]->isEnabled());
        QTextCursor c(f->rtfBox[0]->document()->findBlockByNumber(1));
        c.movePosition(QTextCursor::EndOfBlock);
        f->rtfBox[0]->setTextCursor(c);
        QTest::keyClicks(f->rtfBox[0], " edited");
        f->UpdateEditMenu();
        EXPECT_FALSE(f->mnuCut->isEnabled());   // nothing selected
        f->mnuSave->trigger();
        EXPECT_EQ(prefix.readFile("d:\\latin.txt"), QByteArray("caf\xe9\r\nsecond line edited\r\nthird \xe8\r\n"));
        f->close();
    });
    int attributes = 0;
    ASSERT_EQ(platform::GetAttributes("d:\\latin.txt", &attributes), 0);
    EXPECT_EQ(attributes, platform::attr::Archive);
    // The folder was read again: the picture has the new size.
    const QStringList latinLines = lines(w).filter(QRegularExpression("^latin\\.txt/"));
    ASSERT_EQ(latinLines.size(), 1);
    EXPECT_EQ(FileSizeOf(latinLines[0]), latin.size() + 7);

    current(w, "notes.txt");
    edit([&](frmDump* f) {
        QTest::keyClicks(f->rtfBox[0], "typed ");
        prompts.expect(UnsavedQuestion, Cancel, "Question");
        QTest::keyClick(f->rtfBox[0], Qt::Key_Escape);
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(text(f), "typed first\n");
        prompts.expect(UnsavedQuestion, No, "Question");
        f->close();   // the close box, or Alt+F4
        EXPECT_FALSE(f->isVisible());
    });
    EXPECT_EQ(prefix.readFile("d:\\notes.txt"), "first\n");
    EXPECT_TRUE(AbortFlag);
    edit([&](frmDump* f) {
        // Typed and taken back: the text is as loaded, nothing to ask.
        QTest::keyClick(f->rtfBox[0], Qt::Key_X);
        QTest::keyClick(f->rtfBox[0], Qt::Key_Backspace);
        QTest::keyClick(f->rtfBox[0], Qt::Key_Escape);
        EXPECT_FALSE(f->isVisible());
    });
    edit([&](frmDump* f) {
        QTest::keyClicks(f->rtfBox[0], "saved ");
        prompts.expect(UnsavedQuestion, Yes, "Question");
        QTest::keyClick(f->rtfBox[0], Qt::Key_Escape);
        EXPECT_FALSE(f->isVisible());
    });
    EXPECT_EQ(prefix.readFile("d:\\notes.txt"), "saved first\n");
    // A save that fails keeps the window and the text.
    edit([&](frmDump* f) {
        QTest::keyClicks(f->rtfBox[0], "kept ");
        QFile::remove(d + "/notes.txt");
        QDir().mkdir(d + "/notes.txt");
        prompts.expect(UnsavedQuestion, Yes, "Question").expect("Error while saving file", Ok, "Error");
        f->close();
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(text(f), "kept saved first\n");
        prompts.expect(UnsavedQuestion, No, "Question");
        QTest::keyClick(f->rtfBox[0], Qt::Key_Escape);
        EXPECT_FALSE(f->isVisible());
    });

    // New starts an untitled text, which Save writes under the name the user chooses.
    current(w, "old.txt");
    edit([&](frmDump* f) {
        f->mnuNew->trigger();
        EXPECT_EQ(f->windowTitle(), "untitled");
        QTest::keyClicks(f->rtfBox[0], "brand new");
        forms.expect("dlgSaveAs", [&](QWidget* dialog) {
            auto* fd = static_cast<QFileDialog*>(dialog);
            fd->selectFile(d + "/New.TXT");
            QMetaObject::invokeMethod(fd, "accept");
        });
        f->mnuSave->trigger();
        EXPECT_EQ(f->windowTitle(), "d:\\new.txt");
        EXPECT_EQ(prefix.readFile("d:\\new.txt"), "brand new");
        // Saved again under its name, without asking.
        QTest::keyClicks(f->rtfBox[0], "!");
        f->mnuSave->trigger();
        EXPECT_EQ(prefix.readFile("d:\\new.txt"), "brand new!");
        f->close();
    });
    EXPECT_EQ(prefix.readFile("d:\\old.txt"), "old\n");
    EXPECT_TRUE(listed(w).contains("new.txt"));
}

TEST_F(ViewersTest, HelpReadMeShowsTheProgramFoldersReadMe) {
    const QByteArray readme = prefix.readFile("c:\\quorl\\readme.txt");
    ASSERT_FALSE(readme.isEmpty());
    expectDump([&](frmDump* f) {
        EXPECT_EQ(f->windowTitle(), "c:\\quorl\\readme.txt");
        EXPECT_FALSE(f->mnuFile->menuAction()->isVisible());
        EXPECT_FALSE(f->mnuNext->isVisible());
        EXPECT_EQ(text(f).left(40), QString::fromUtf8(readme).replace("\r\n", "\n").left(40));
        QTest::keyClick(f, Qt::Key_Escape);
    });
    main->item("mnuReadMe")->trigger();
    // The captured output of a DOS command shows under the command word and dumps the capture.
    prefix.writeFile("c:\\dosdump.tmp", " Volume in drive C has no label\r\n");
    expectDump([&](frmDump* f) {
        EXPECT_EQ(f->windowTitle(), "vol");
        EXPECT_EQ(f->DumpPath(), "c:\\dosdump.tmp");
        f->mnuViewMode[1]->trigger();
        EXPECT_TRUE(text(f, 1).startsWith("20566F6C756D65"));
        f->close();
    });
    ShowCapturedOutput("vol", "c:\\dosdump.tmp");
    prefix.writeFile("c:\\dosdump.tmp", "");
    ShowCapturedOutput("vol", "c:\\dosdump.tmp");   // an empty capture shows nothing
}

// Short lines up to `bytes`, with `insert` put in at byte `at`.
QByteArray LinesWith(int bytes, int at, const QByteArray& insert) {
    QByteArray out = Lines(bytes);
    out.replace('\r', ' ');
    out.replace(at, insert.size(), insert);
    return out;
}

QString ViewText(frmDump* f) {
    while (f->TextPending()) f->TextTimer_Timer();
    return f->rtfBox[0]->document()->toPlainText();
}

TEST_F(ViewersTest, ABigTextShowsItsStartAtOnceTheRestFollowsInOneEncodingAndPast2GbTheDumpIsRight) {
    const int size = 3 * 1024 * 1024 + 500;
    // UTF-8 throughout, with a character cut across the first part's end.
    const QByteArray utf8 = LinesWith(size, 1024 * 1024 - 1, "\xC3\xA9") + "end \xE2\x82\xAC";
    put("utf8.txt", utf8);
    // UTF-8 at the start, then one Latin-1 byte far beyond the first part.
    const QByteArray mixed = LinesWith(size, 10, "\xC3\xA9").replace(2500000, 1, "\xE9");
    put("mixed.txt", mixed);
    frmDump* f = DumpForm();
    ASSERT_TRUE(f->LoadDump("d:\\utf8.txt"));
    EXPECT_TRUE(f->TextPending());
    EXPECT_LT(f->rtfBox[0]->document()->characterCount(), size / 2);
    EXPECT_EQ(ViewText(f), QString::fromUtf8(utf8));
    // The bad byte turns the whole text, the part already shown too, to the code page.
    ASSERT_TRUE(f->LoadDump("d:\\mixed.txt"));
    EXPECT_TRUE(f->rtfBox[0]->document()->toPlainText().startsWith(QString::fromUtf8(mixed.left(200))));
    const QString shown = ViewText(f);
    EXPECT_EQ(shown, DecodeWindows1252(mixed));
    EXPECT_EQ(shown.mid(10, 2), QString::fromUtf8("\xC3\x83\xC2\xA9"));   // "Ã©"
    // A search at once reaches the end of a text still loading.
    ASSERT_TRUE(f->LoadDump("d:\\utf8.txt"));
    ASSERT_TRUE(f->TextPending());
    f->show();
    f->mnuFind->trigger();
    QTest::keyClicks(f->txtFind, "end ");
    QTest::keyClick(f->txtFind, Qt::Key_Return);
    EXPECT_FALSE(f->TextPending());
    EXPECT_EQ(f->rtfBox[0]->textCursor().selectionStart(), QString::fromUtf8(utf8).lastIndexOf("end "));

    // Positions past two gigabytes are dumped from the right place.
    {
        QFile huge(d + "/huge.bin");
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(3LL * 1024 * 1024 * 1024));
        ASSERT_TRUE(huge.seek(2LL * 1024 * 1024 * 1024 + 100));
        huge.write("MARK");
    }
    // The text view of a file of zeros loads part by part; the hex view reads only what it shows.
    ASSERT_TRUE(f->LoadDump("d:\\huge.bin"));
    f->mnuViewMode_Click(1);
    EXPECT_EQ(dumpedBytes(f), 2048);
    const qint64 at = 2LL * 1024 * 1024 * 1024 + 101;   // 1-based
    EXPECT_TRUE(f->HexChunk(at).startsWith("4D41524B0000"));
    EXPECT_EQ(f->HexPosition(), at + 2048);
    const qint64 last = 3LL * 1024 * 1024 * 1024 - 9;
    EXPECT_EQ(f->HexChunk(last).left(22), QString(20, '0') + QString(2, ' '));
    EXPECT_EQ(f->HexPosition(), 3LL * 1024 * 1024 * 1024 + 1);
    f->CloseForm();
}

}  // namespace
