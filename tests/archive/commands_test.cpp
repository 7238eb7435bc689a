#include <QLineEdit>
#include <QTimer>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include "../fileops/ops_fixture.h"
#include "archive/archive.h"
#include "archive/runner.h"
#include "platform/curdir.h"
#include "platform/names.h"

namespace {

const QString ZipRelog = "Compressing file(s) to drive d:. After the compression process is advisable to relog the "
                         "drive. Do you want to relog the drive ?";
const QString ExtractRelog = "Extracting file(s) to drive d:. After the extract process is advisable to relog the "
                             "drive. Do you want to relog the drive ?";
const QString NoArchiver = "Can't find the executable files to make the extraction / compression";

// Stands in for the archivers: records each line with what the program showed
// and had on disk at that moment, plays the archiver's effect, and answers.
struct Recorder {
    QStringList lines;
    QStringList statuses;
    QList<int> promptsBefore;     // prompts seen when the archiver started
    QByteArray listFile;
    QString currentFolder;
    std::function<void()> effect;
    ArchiverOutcome outcome{true, 0, false, 0, QString()};
};

class ArchiveTest : public OpsTest {
public:
    void SetUp() override {
        OpsTest::SetUp();
        prefix.addDrive('e');
        for (const char* program : {"c:\\quorl\\arj.exe", "c:\\quorl\\pkzip.exe", "c:\\quorl\\pkunzip.exe"})
            put(program, "archiver");
        SetArchiverRunner([this](const QString& line, const QString& status) {
            run.lines << line;
            run.statuses << status;
            run.promptsBefore << int(prompts.seen().size());
            run.listFile = content("c:\\yhb6543.tmp");
            run.currentFolder = platform::CurrentFolder(platform::CurrentDrive().at(0));
            if (run.effect) run.effect();
            return run.outcome;
        });
    }
    void TearDown() override {
        SetArchiverRunner(nullptr);
        OpsTest::TearDown();
    }
    void compression(bool overwrite, bool compressPaths, bool extractPaths, const char* volume, const char* method) {
        Settings[9] = overwrite;
        Settings[10] = compressPaths;
        Settings[11] = extractPaths;
        Settings[12] = QString(volume);
        Settings[13] = QString(method);
    }
    Recorder run;
};

// Entries of a host folder, whatever bytes their names hold.
qsizetype HostEntryCount(const QByteArray& folder) {
    qsizetype n = 0;
    if (DIR* dir = ::opendir(folder.constData())) {
        while (const dirent* e = ::readdir(dir)) n += qstrcmp(e->d_name, ".") != 0 && qstrcmp(e->d_name, "..") != 0;
        ::closedir(dir);
    }
    return n;
}

// Fills the destination dialog after checking the name it offers.
void ExpectArchiveDialog(ScriptedForms& forms, const QString& caption, const QString& offered, const QString& to,
                         const QString& as = QString()) {
    forms.expect("frmCopy", [=](QWidget* f) {
        auto* c = static_cast<frmCopy*>(f);
        QApplication::setActiveWindow(c);
        QApplication::processEvents();
        EXPECT_EQ(c->windowTitle(), caption);
        EXPECT_EQ(c->txtAs->text(), offered);
        if (!as.isNull()) {
            c->txtAs->selectAll();
            QTest::keyClicks(c->txtAs, as);
        }
        QTest::keyClick(c->txtAs, Qt::Key_Return);
        c->txtTo->selectAll();
        QTest::keyClicks(c->txtTo, to);
        QTest::keyClick(c->txtTo, Qt::Key_Return);
    });
}

}  // namespace

TEST_F(ArchiveTest, CompressingTaggedFilesWritesTheListRunsTheLineAndAsksToRelogOnlyAfterwards) {
    put("d:\\src\\a.txt", "alpha");
    put("d:\\src\\b.txt", "bravo");
    put("d:\\src\\c.txt", "charlie");
    folder("d:\\my saves");
    start({"d:", "d:\\src"});
    focusList();
    tag({"a.txt", "c.txt"});

    // The menu route: overwrite on adds its switches, without paths " -p ", store
    // " -e0 "; a destination and a name with blanks are quoted.
    compression(true, false, true, "Available", "store");
    ExpectArchiveDialog(forms, "Compress file(s) to Zip format", "Archive name", "d:\\my saves\\", "week 1");
    prompts.expect(ZipRelog, No, "Question");
    main->item("mnuZipCompress")->trigger();
    ASSERT_EQ(run.lines.size(), 1);
    EXPECT_EQ(run.lines[0].toStdString(),
              "c:\\command.com /c c:\\quorl\\pkzip.exe -whs -o  -p  -e0 \"d:\\my saves\\week 1\" @c:\\yhb6543.tmp");
    EXPECT_EQ(run.listFile, "a.txt\r\nc.txt\r\n");
    EXPECT_EQ(run.currentFolder, "d:\\src");
    EXPECT_EQ(run.statuses[0], "Compressing file(s)...");
    EXPECT_EQ(run.promptsBefore[0], 0);

    // The keys: the last name typed is offered again. The archiver writes its
    // archive while it runs; the picture learns of it by the relog, asked for only
    // after the archiver has ended.
    compression(false, true, true, "Available", "Fastest");
    run.effect = [this] { put("d:\\out\\backup.zip", "PK\x03\x04 archive"); };
    ExpectArchiveDialog(forms, "Compress file(s) to Zip format", "week 1", "d:\\out", "backup");
    prompts.expect("d:\\out" + Exists, Yes);
    prompts.expect(ZipRelog, Yes, "Question");
    key(Qt::Key_F5, Qt::ControlModifier);
    ASSERT_EQ(run.lines.size(), 2);
    EXPECT_EQ(run.lines[1].toStdString(),
              "c:\\command.com /c c:\\quorl\\pkzip.exe -P  -es d:\\out\\backup @c:\\yhb6543.tmp");
    EXPECT_EQ(run.listFile, "a.txt\r\nc.txt\r\n");
    EXPECT_EQ(run.promptsBefore[1], 2);   // the relog question of the first run and the folder question
    openFolder("d:\\out");
    EXPECT_EQ(names(), QStringList({"backup.zip"}));
    EXPECT_EQ(main->StatusBar->currentMessage(), "User");
}

TEST_F(ArchiveTest, ArjCompressionFromAGlobalViewListsSubfolderFilesRelativeToTheWindowsFolder) {
    put("d:\\src\\a.txt", "alpha");
    put("d:\\src\\sub\\d.txt", "delta");
    put("d:\\srcold\\e.txt", "echo");
    start({"d:", "d:\\srcold", "d:\\src", "d:\\src\\sub"});
    clickFolder("d:\\src");
    compression(true, true, true, "1440 KB", "Slowest");
    focusTree();
    key(Qt::Key_G);
    ASSERT_TRUE(slot().GlobalView);
    ASSERT_EQ(names(), QStringList({"a.txt", "d.txt", "e.txt"}));
    tag({"a.txt", "d.txt", "e.txt"});

    // Another drive: no relog question.
    ExpectArchiveDialog(forms, "Compress file(s) to ARJ format", "Archive name", "e:", "backup");
    key(Qt::Key_F9, Qt::ControlModifier);
    ASSERT_EQ(run.lines.size(), 1);
    EXPECT_EQ(run.lines[0].toStdString(),
              "c:\\command.com /c c:\\quorl\\arj.exe -jyc -jyk -jyo  -a -hu -y  a  -v1440  -m1 e:\\backup "
              "!c:\\yhb6543.tmp");
    // A folder whose name only begins like the window's folder keeps its full path.
    EXPECT_EQ(run.listFile, "a.txt\r\nsub\\d.txt\r\nd:\\srcold\\e.txt\r\n");
    EXPECT_EQ(run.currentFolder, "d:\\src");
}

TEST_F(ArchiveTest, CompressingIsRefusedWithoutItsArchiverOrWhenTheArchiveIsInUse) {
    put("d:\\src\\a.txt", "alpha");
    put("d:\\src\\held.zip", "PK\x03\x04");
    start({"d:", "d:\\src"});
    focusList();
    tag({"a.txt"});
    compression(false, true, true, "Available", "Fastest");
    // Ctrl+F5 without tags, or with the tree focused, does nothing.
    focusTree();
    key(Qt::Key_F5, Qt::ControlModifier);
    focusList();

    Settings[15] = QString("c:\\quorl\\gone.exe");
    ExpectArchiveDialog(forms, "Compress file(s) to Zip format", "Archive name", "d:\\src", "backup");
    prompts.expect(NoArchiver, Ok, "Error");
    key(Qt::Key_F5, Qt::ControlModifier);

    Settings[15] = QString("c:\\quorl\\pkzip.exe");
    // Another program holds the archive with a lock.
    const int fd = ::open(QFile::encodeName(prefix.host("d:\\src\\held.zip")).constData(), O_RDWR | O_CLOEXEC);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
    ExpectArchiveDialog(forms, "Compress file(s) to Zip format", "backup", "d:\\src", "held.zip");
    prompts.expect("Sharing violation", Ok, "Error");
    key(Qt::Key_F5, Qt::ControlModifier);
    ::close(fd);
    EXPECT_TRUE(run.lines.isEmpty());
}

TEST_F(ArchiveTest, ExtractionRecognisesArchivesByTheirBytesAndReportsTheArchiversFailure) {
    put("d:\\in\\data.dat", QByteArray("PK\x03\x04 zip bytes"));
    put("d:\\in\\old.bin", QByteArray("\x60\xEA arj bytes"));
    put("d:\\in\\pk.txt", "PK");
    put("d:\\in\\plain.zip", "not an archive");
    start({"d:", "d:\\in"});
    focusList();

    // Neither a 2-byte "PK" file nor a file named .zip without the bytes is an archive: no dialog.
    for (const char* name : {"pk.txt", "plain.zip"}) {
        current(name);
        key(Qt::Key_F5, Qt::AltModifier);
    }

    // To another drive: the line, and no relog question.
    compression(true, false, true, "Available", "Fastest");
    current("data.dat");
    ExpectArchiveDialog(forms, "Extract file(s)", "*.*", "e:\\");
    key(Qt::Key_F5, Qt::AltModifier);
    ASSERT_EQ(run.lines.size(), 1);
    EXPECT_EQ(run.lines[0].toStdString(), "c:\\command.com /c c:\\quorl\\pkunzip.exe -o  -d d:\\in\\data.dat e:\\ *.*");
    EXPECT_EQ(run.statuses[0], "Extracting file(s)...");

    // To its own drive: the question comes after the run; No leaves the picture as it was.
    folder("d:\\out");
    const QStringList before = lines();
    run.effect = [this] { put("d:\\out\\x.txt", "extracted"); };
    current("data.dat");
    ExpectArchiveDialog(forms, "Extract file(s)", "*.*", "d:\\out", "*.txt");
    prompts.expect(ExtractRelog, No, "Question");
    key(Qt::Key_F5, Qt::AltModifier);
    ASSERT_EQ(run.lines.size(), 2);
    EXPECT_EQ(run.lines[1].toStdString(),
              "c:\\command.com /c c:\\quorl\\pkunzip.exe -o  -d d:\\in\\data.dat d:\\out *.txt");
    EXPECT_EQ(run.promptsBefore[1], 0);
    EXPECT_EQ(lines(), before);

    // The archiver fails: its status and last words in an "Error" box, as a
    // terminal shows them (progress drawn over itself), then the question.
    compression(false, true, false, "Available", "Fastest");
    run.effect = nullptr;
    run.outcome = {true, 0, false, 3,
                   "reading old.bin\r\na.txt      \b\b\b\b\b   0%\b\b\b\b\b 100%\b\b\b\b\bOK   \n"
                   "b.txt 10%\r\x1b\tb.txt 99%\rold.bin: bad archive header \n\n"};
    current("old.bin");
    ExpectArchiveDialog(forms, "Extract file(s)", "*.*", "d:\\out");
    prompts.expect("The archiver ended with error code 3\n\nreading old.bin\na.txt OK\nold.bin: bad archive header",
                   Ok, "Error");
    prompts.expect(ExtractRelog, Yes, "Question");
    main->item("mnuExtract")->trigger();
    ASSERT_EQ(run.lines.size(), 3);
    EXPECT_EQ(run.lines[2].toStdString(),
              "c:\\command.com /c c:\\quorl\\arj.exe -jyc -jyk  e -v d:\\in\\old.bin d:\\out *.*");
    // The relog read the drive afresh: the file the archiver made is in the picture.
    openFolder("d:\\out");
    EXPECT_EQ(names(), QStringList({"x.txt"}));
    openFolder("d:\\in");
    focusList();

    // Stopped by the user: no error box, the question still comes (the folder may have changed).
    // Nothing started: the message of the start error, and no question. The archiver missing: nothing is run.
    const struct { ArchiverOutcome outcome; const char* arj; QString message; PromptAnswer answer; } ends[] = {
        {{true, 0, true, -1, QString()}, "c:\\quorl\\arj.exe", ExtractRelog, No},
        {{false, 53, false, 0, QString()}, "c:\\quorl\\arj.exe", "File not found", Ok},
        {{false, 53, false, 0, QString()}, "c:\\quorl\\missing.exe", NoArchiver, Ok},
    };
    for (const auto& e : ends) {
        run.outcome = e.outcome;
        Settings[14] = QString(e.arj);
        current("old.bin");
        ExpectArchiveDialog(forms, "Extract file(s)", "*.*", "d:\\out");
        prompts.expect(e.message, e.answer, e.answer == No ? "Question" : "Error");
        key(Qt::Key_F5, Qt::AltModifier);
    }
    EXPECT_EQ(run.lines.size(), 5);

    // The archive gone since logging.
    Settings[14] = QString("c:\\quorl\\arj.exe");
    QFile::remove(prefix.host("d:\\in\\old.bin"));
    current("data.dat");
    put("d:\\in\\data.dat", "now plain text");
    current("old.bin");
    key(Qt::Key_F5, Qt::AltModifier);   // no longer an archive: nothing happens
    EXPECT_EQ(run.lines.size(), 5);
}

// The process runner itself, on real processes.
class ArchiverProcess : public ::testing::Test {
public:
    void SetUp() override { folder = prefix.addDrive('d'); }
    void script(const QString& name, const QByteArray& body) {
        prefix.writeFile("d:\\tools\\" + name, "#!/bin/sh\n" + body);
        ::chmod(QFile::encodeName(prefix.host("d:\\tools\\" + name)).constData(), 0755);
    }
    TempPrefix prefix;
    QString folder;
    ScriptedPrompter prompts;
};

TEST_F(ArchiverProcess, RunsTheWordsOfTheLineWithoutAShellAndReturnsTheExitStatus) {
    // A question on its input meets the end of the input at once (the guard
    // only keeps a faulty runner from hanging the test).
    script("echo.sh", "for a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$0.args\"\necho first\n"
                      "timeout 20 sh -c 'read answer'\necho last words $?\nexit 3\n");
    const ArchiverOutcome out = RunArchiverProcess("d:\\tools\\echo.sh  one \"two  three\" $HOME;x", "Testing...");
    EXPECT_TRUE(out.started);
    EXPECT_FALSE(out.stopped);
    EXPECT_EQ(out.exitStatus, 3);
    EXPECT_EQ(out.output, "first\nlast words 1\n");
    EXPECT_EQ(prefix.readFile("d:\\tools\\echo.sh.args"), "[one][two  three][$HOME;x]");

    const ArchiverOutcome missing = RunArchiverProcess("d:\\tools\\none.exe a", "Testing...");
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.startError, 53);
    EXPECT_TRUE(prompts.seen().isEmpty());
}

TEST_F(ArchiverProcess, KeysWaitWhileItRunsAndEscOffersToStopWhatTheInterpreterStarted) {
    // As the interpreter runs an archiver: the one below cleans up when it is
    // asked to end, and the one above outlives it and hears how it ended.
    script("slow.sh", "sh -c 'trap \"sleep 1; echo cleaned up; exit 5\" TERM; touch \"$0.running\"; sleep 30 & wait' "
                      "\"$0\"\necho the interpreter saw $?\n");
    QLineEdit box;
    box.show();
    box.setFocus();
    // Once it runs, keys: typing waits, Esc and No go on, Esc and Yes stop it.
    prompts.expect(StopArchiverQuestion, PromptAnswer::No, "Question");
    prompts.expect(StopArchiverQuestion, PromptAnswer::Yes, "Question");
    const QString running = prefix.host("d:\\tools\\slow.sh.running");
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &box, [&] {
        if (!QFileInfo::exists(running)) return;
        poll.stop();
        QTest::keyClicks(&box, "typed");
        QTest::keyClick(&box, Qt::Key_Escape);
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    poll.start(20);
    const ArchiverOutcome out = RunArchiverProcess("d:\\tools\\slow.sh", "Compressing file(s)...");
    EXPECT_TRUE(out.started);
    EXPECT_TRUE(out.stopped);
    EXPECT_EQ(out.output, "cleaned up\nthe interpreter saw 5\n");
    EXPECT_TRUE(box.text().isEmpty());
}

// The real interpreter and archivers, with the settings setup installs:
// nothing is asked that no one could answer.
class RealArchiverTest : public OpsTest {
public:
    void SetUp() override {
        OpsTest::SetUp();
        if (!QFileInfo(prefix.host("c:\\quorl\\pkzip.exe")).isExecutable())
            GTEST_SKIP() << "setup did not link the archivers; run through ctest";
    }
    // Files of d:\src named by these bytes, each holding its own name.
    void putNamed(const QList<QByteArray>& names) {
        const QByteArray src = QFile::encodeName(prefix.host("d:\\src")) + "/";
        QDir().mkpath(QString::fromUtf8(src));
        for (const QByteArray& n : names) {
            QFile f;
            ASSERT_TRUE(f.open(::open(src + n, O_CREAT | O_WRONLY, 0644), QIODevice::WriteOnly,
                               QFileDevice::AutoCloseHandle)) << n.constData();
            f.write(n);
        }
    }
    // Alt+F5 on the archive in d:\out into d:\unpacked.
    void extract(const QString& archive) {
        openFolder("d:\\out");
        focusList();
        current(archive);
        ExpectArchiveDialog(forms, "Extract file(s)", "*.*", "d:\\unpacked");
        prompts.expect("d:\\unpacked" + Exists, Yes);
        prompts.expect(ExtractRelog, No, "Question");
        key(Qt::Key_F5, Qt::AltModifier);
    }
    // Extracted, exactly these files come back, each with its bytes.
    void extractAndCompare(const QString& archive, const QList<QByteArray>& names) {
        extract(archive);
        const QByteArray unpacked = QFile::encodeName(prefix.host("d:\\unpacked")) + "/";
        for (const QByteArray& n : names) {
            QFile f;
            const int fd = ::open(unpacked + n, O_RDONLY);
            ASSERT_GE(fd, 0) << n.constData();
            ASSERT_TRUE(f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
            EXPECT_EQ(f.readAll(), n);
        }
        EXPECT_EQ(HostEntryCount(unpacked), names.size());
    }
    // The messages of the next run, answered as no one at the keys would: OK to an
    // error, No to a question.
    void recordPrompts() {
        SetPromptHandler([this](const PromptRequest& r) {
            shown << r.title + ": " + r.text;
            return r.title == "Error" ? PromptAnswer::Ok : PromptAnswer::No;
        });
    }
    QStringList shown;
};

class RealArjTest : public RealArchiverTest {
public:
    void SetUp() override {
        if (!QFileInfo::exists("/usr/bin/arj")) GTEST_SKIP() << "Debian's arj is not installed";
        RealArchiverTest::SetUp();
    }
};

// Every name Linux allows goes into the archive and comes back with its bytes:
// blanks (also at either end), quotes, a leading "-", "%", characters DOS
// cannot hold, a line break, bytes that are no UTF-8, 255 bytes, names that
// differ only in case.
TEST_F(RealArchiverTest, EveryTaggedNameGoesIntoTheZipAndComesBackExactly) {
    const QList<QByteArray> odd = {"my file.txt", "say \"hi\".txt", "-rf.txt", "--help", "100%.txt", "what?.pdf",
                                   "Meeting: notes.txt", "back\\slash", "new\nline", "caf\xff.bin", " first",
                                   "last ", QByteArray(251, 'n') + ".txt", "A.txt", "a.txt", "a.TXT"};
    putNamed(odd);
    folder("d:\\out");
    start({"d:", "d:\\src"});
    focusList();
    ASSERT_EQ(names().size(), odd.size());
    tag(names());

    ExpectArchiveDialog(forms, "Compress file(s) to Zip format", "Archive name", "d:\\out", "backup");
    prompts.expect(ZipRelog, No, "Question");
    key(Qt::Key_F5, Qt::ControlModifier);
    ASSERT_EQ(diskNames("d:\\out"), QStringList({"backup.zip"}));

    extractAndCompare("backup.zip", odd);
}

TEST_F(RealArjTest, TaggedFilesWithAFolderGoThereAndBackAndARefusedOverwriteIsReported) {
    put("d:\\src\\a.txt", "alpha");
    put("d:\\src\\sub\\d.txt", "delta");
    folder("d:\\out");
    start({"d:", "d:\\src", "d:\\src\\sub", "d:\\out"});
    clickFolder("d:\\src");
    focusTree();
    key(Qt::Key_G);
    ASSERT_EQ(names(), QStringList({"a.txt", "d.txt"}));
    tag({"a.txt", "d.txt"});
    ASSERT_FALSE(Settings[9].toBool());   // as installed: archives are not overwritten

    ExpectArchiveDialog(forms, "Compress file(s) to ARJ format", "Archive name", "d:\\out", "backup");
    prompts.expect(ZipRelog, Yes, "Question");
    key(Qt::Key_F9, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\out"), QStringList({"backup.arj"}));

    // The archive holds a folder: extraction makes it without asking.
    extract("backup.arj");
    EXPECT_EQ(content("d:\\unpacked\\a.txt"), "alpha");
    EXPECT_EQ(content("d:\\unpacked\\sub\\d.txt"), "delta");

    // Again over the same files: arj's overwrite question is not answered, so
    // it fails, and the box shows its status and its last words.
    put("d:\\unpacked\\a.txt", "mine");
    ExpectArchiveDialog(forms, "Extract file(s)", "*.*", "d:\\unpacked");
    recordPrompts();
    key(Qt::Key_F5, Qt::AltModifier);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith("Error: The archiver ended with error code ")) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("Overwrite?")) << shown[0].toStdString();
    EXPECT_EQ(shown[1], "Question: " + ExtractRelog);
    EXPECT_EQ(content("d:\\unpacked\\a.txt"), "mine");
    EXPECT_EQ(diskNames("d:\\out"), QStringList({"backup.arj"}));
}

// arj takes names as they are on disk, but reads "\\" as a folder and "?" as a
// wildcard: a tagged name with one stops the run with a message naming it.
TEST_F(RealArjTest, NamesArjCanHoldGoThereAndBackAndOneItWouldMistakeIsNamed) {
    const QList<QByteArray> fit = {"-rf.txt", "my file.txt", " first", "caf\xff.bin", "Meeting: notes.txt", "100%.txt"};
    putNamed(fit + QList<QByteArray>{"what?.pdf", "whatX.pdf"});
    folder("d:\\out");
    start({"d:", "d:\\src"});
    focusList();
    QStringList held = names();
    const QStringList mistaken = held.filter("what");
    ASSERT_EQ(mistaken.size(), 2);
    for (const QString& m : mistaken) held.removeAll(m);
    tag(held);
    ExpectArchiveDialog(forms, "Compress file(s) to ARJ format", "Archive name", "d:\\out", "backup");
    prompts.expect(ZipRelog, No, "Question");
    key(Qt::Key_F9, Qt::ControlModifier);
    ASSERT_EQ(diskNames("d:\\out"), QStringList({"backup.arj"}));
    extractAndCompare("backup.arj", fit);

    // "what?.pdf" would also take whatX.pdf: nothing is made, and the message says which name.
    openFolder("d:\\src");
    focusList();
    tag({mistaken[0] == "whatx.pdf" ? mistaken[1] : mistaken[0]});
    ExpectArchiveDialog(forms, "Compress file(s) to ARJ format", "backup", "d:\\out", "second");
    recordPrompts();
    key(Qt::Key_F9, Qt::ControlModifier);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith("Error: The archiver ended with error code ")) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(platform::ShownName(platform::NameFromHost("what?.pdf")) +
                                  ": ARJ can't store this name exactly"))
        << shown[0].toStdString();
    EXPECT_EQ(diskNames("d:\\out"), QStringList({"backup.arj"}));
}

TEST_F(RealArjTest, EscStopsACompressionAndArjRemovesItsTemporaryFile) {
    put("d:\\src\\big.bin", "");
    ASSERT_EQ(::truncate(QFile::encodeName(prefix.host("d:\\src\\big.bin")).constData(), qint64(4) << 30), 0);
    folder("d:\\out");
    start({"d:", "d:\\src"});
    focusList();
    tag({"big.bin"});
    // Esc once arj writes its temporary file, and Yes.
    const QString temporary = prefix.host("d:\\out") + "/ARJTEMP.$00";
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, main.get(), [&] {
        if (!QFileInfo::exists(temporary)) return;
        poll.stop();
        QTest::keyClick(main.get(), Qt::Key_Escape);
    });
    poll.start(20);
    ExpectArchiveDialog(forms, "Compress file(s) to ARJ format", "Archive name", "d:\\out", "backup");
    prompts.expect(StopArchiverQuestion, Yes, "Question");
    prompts.expect(ZipRelog, No, "Question");
    key(Qt::Key_F9, Qt::ControlModifier);
    EXPECT_EQ(diskNames("d:\\out"), QStringList());
}
