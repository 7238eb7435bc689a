#include <QDateTime>
#include <QTreeWidgetItem>
#include <sys/stat.h>
#include <utime.h>
#include "shell_fixture.h"

namespace {

class LoggingTest : public ShellTest {
protected:
    // A fixed stamp, so that a file line can be compared as a whole.
    static void stamp(const QString& hostPath) {
        const QDateTime t(QDate(1997, 3, 15), QTime(10, 4, 0));
        utimbuf times{t.toSecsSinceEpoch(), t.toSecsSinceEpoch()};
        ASSERT_EQ(::utime(QFile::encodeName(hostPath).constData(), &times), 0);
    }
    static void stampedFile(const QString& hostPath, qint64 size) {
        file(hostPath, size);
        stamp(hostPath);
    }
    // Many files or folders at once, named prefix0000, prefix0001, ...
    static void manyFiles(const QString& folder, int count) {
        QDir().mkpath(folder);
        for (int i = 0; i < count; ++i) {
            const QByteArray path = QFile::encodeName(folder + QString("/f%1.txt").arg(i, 4, 10, QChar('0')));
            const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
            ASSERT_GE(fd, 0);
            ::close(fd);
        }
    }
    static void manyFolders(const QString& folder, int count) {
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(::mkdir(QFile::encodeName(folder + QString("/s%1").arg(i, 4, 10, QChar('0'))).constData(), 0755), 0);
    }
    // Selects the folder and logs it with Ctrl+L, as a user would.
    static void logFolder(frmBrws* w, const QString& path) {
        clickNode(w, node(w, path));
        key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    }
    static int headerOf(const frmBrws* w, const QString& path) { return FindFolderLine(slotOf(w), path, 0); }
};

TEST_F(LoggingTest, ARootWithoutSubfoldersHasOnlyItsHeaderAndItsFiles) {
    const QString d = drive('d');
    stampedFile(d + "/Readme.TXT", 1024);
    stampedFile(d + "/empty.dat", 0);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    EXPECT_EQ(lines(w), QStringList({">d:/1/L", "empty.dat/U/0:03-15-97 10:04:00:A",
                                     "readme.txt/U/1024:03-15-97 10:04:00:A"}));
    EXPECT_EQ(slotOf(w).LineCount, 3);
    EXPECT_FALSE(w->DirList->rootIsDecorated());
    EXPECT_EQ(w->DirList->topLevelItemCount(), 1);
    EXPECT_EQ(w->Node(1)->text(0), "d:");
    EXPECT_EQ(w->Node(1)->childCount(), 0);
    // A root without subfolders lists its names.
    EXPECT_EQ(listed(w), QStringList({"empty.dat", "readme.txt"}));
    EXPECT_EQ(panel(w, 1), "Matching files : 2");
    EXPECT_EQ(panel(w, 2), "Matching bytes : 1024");
    EXPECT_EQ(w->Path3D->text(), " Path : d:\\");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:");
}

TEST_F(LoggingTest, ARootWithSubfoldersGetsOneUnloggedHeaderPerSubfolder) {
    const QString e = drive('e');
    mkdir(e + "/Zeta");
    mkdir(e + "/alpha");
    mkdir(e + "/alpha/inner");
    mkdir(e + "/mid");
    frmBrws* w = logDrive('e');
    ASSERT_TRUE(w);
    EXPECT_EQ(lines(w), QStringList({">e:/1/L", ">e:\\alpha/2/U", ">e:\\mid/3/U", ">e:\\zeta/4/U"}));
    EXPECT_EQ(slotOf(w).LineCount, 4);
    EXPECT_TRUE(w->DirList->rootIsDecorated());
    EXPECT_EQ(childTexts(w->Node(1)), QStringList({"alpha", "mid", "zeta"}));
    // Subfolders one level below what is shown are read only on expansion.
    EXPECT_EQ(node(w, "e:\\alpha")->childCount(), 0);
    EXPECT_EQ(slotOf(w).NodeMap.mid(0, 4),
              QStringList({"e:/1", "e:\\alpha/2", "e:\\mid/3", "e:\\zeta/4"}));
    EXPECT_EQ(slotOf(w).FolderIndex.mid(0, slotOf(w).IndexCount), QStringList({"e:/0"}));

    // Expanding the root reads the next level, so that alpha shows it has one.
    expand(w, "e:");
    EXPECT_EQ(childTexts(node(w, "e:\\alpha")), QStringList({"inner"}));
    EXPECT_EQ(lines(w).last(), ">e:\\alpha\\inner/5/U");
    EXPECT_EQ(slotOf(w).LineCount, 5);
    // A second expansion does not add the same folders again.
    key(w->DirList, Qt::Key_Left);
    expand(w, "e:");
    EXPECT_EQ(slotOf(w).LineCount, 5);
    EXPECT_EQ(node(w, "e:\\alpha")->childCount(), 1);
}

TEST_F(LoggingTest, TheCaptionCarriesTheVolumeLabelInLowerCase) {
    drive('d');
    prefix.writeFile("d:\\.windows-label", "SYSTEM\n");
    drive('e');
    frmBrws* wd = logDrive('d');
    frmBrws* we = logDrive('e');
    ASSERT_TRUE(wd && we);
    EXPECT_EQ(wd->Caption(), "Tree structure of d: [system]");
    EXPECT_EQ(slotOf(wd).WindowKey, "Tree structure of d: [system]");
    EXPECT_EQ(we->Caption(), "Tree structure of e:");
    EXPECT_EQ(wd->SubWindow()->windowTitle(), "Tree structure of d: [system]");
}

TEST_F(LoggingTest, AFolderWith2000FilesIsLoggedWithItsFirst1500) {
    const QString d = drive('d');
    manyFiles(d + "/big", 2000);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    logFolder(w, "d:\\big");
    const int h = headerOf(w, "d:\\big");
    ASSERT_EQ(h, 1);
    EXPECT_EQ(lines(w)[h], ">d:\\big/2/L");
    EXPECT_EQ(slotOf(w).LineCount, 2 + 1500);
    EXPECT_TRUE(lines(w)[h + 1].startsWith("f0000.txt/U/0:"));
    EXPECT_TRUE(lines(w).last().startsWith("f1499.txt/U/0:"));
    EXPECT_EQ(w->FileList->count(), 1500);
    EXPECT_EQ(panel(w, 1), "Matching files : 1500");
}

TEST_F(LoggingTest, TheLineLimitStopsAddingFoldersWithAMessageAndCutsFilesWithout) {
    const QString d = memoryDrive('d');
    manyFolders(d, 8100);
    file(d + "/root.txt", 1);
    prompts.expect("Not enough memory to log more files / folders", PromptAnswer::Ok, "Error");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    EXPECT_TRUE(prompts.done());
    ASSERT_EQ(slotOf(w).LineCount, 8000);
    EXPECT_EQ(lines(w).last(), ">d:\\s7998/8000/U");
    EXPECT_EQ(w->Node(1)->childCount(), 7999);
    // No room is left for the root's file; it is left out without a message.
    EXPECT_EQ(FindFolderLine(slotOf(w), "d:", 0), 0);
    EXPECT_FALSE(lines(w).contains("root.txt", Qt::CaseSensitive));
    for (const QString& line : lines(w)) ASSERT_TRUE(line.startsWith('>'));
    EXPECT_EQ(panel(w, 1), "Matching files : 0");
    // A folder that can no longer be logged says so.
    prompts.expect("Not enough memory to log more files / folders", PromptAnswer::Ok, "Error");
    logFolder(w, "d:\\s0003");
    EXPECT_EQ(lines(w)[4], ">d:\\s0003/5/U");
    EXPECT_EQ(slotOf(w).LineCount, 8000);
}

TEST_F(LoggingTest, FilesBeyondTheLineLimitAreLeftOutSilently) {
    const QString d = memoryDrive('d');
    manyFolders(d, 7995);
    for (const char* name : {"a1", "a2", "a3", "a4", "a5", "a6"}) file(d + "/" + name + ".txt", 10);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    // 1 root header + 7995 folders leave room for four of the six files.
    EXPECT_EQ(slotOf(w).LineCount, 8000);
    EXPECT_TRUE(lines(w)[1].startsWith("a1.txt/U/10:"));
    EXPECT_TRUE(lines(w)[4].startsWith("a4.txt/U/10:"));
    EXPECT_EQ(lines(w)[5], ">d:\\s0000/2/U");
    EXPECT_EQ(panel(w, 1), "Matching files : 4");
    EXPECT_EQ(panel(w, 2), "Matching bytes : 40");
}

TEST_F(LoggingTest, LoggingAnOpenDriveAgainBringsItsWindowForward) {
    drive('d');
    drive('e');
    frmBrws* wd = logDrive('d');
    frmBrws* we = logDrive('e');
    ASSERT_TRUE(wd && we);
    EXPECT_EQ(OpenDriveCount, 3);
    EXPECT_EQ(main->MdiArea->activeSubWindow(), we->SubWindow());
    LogDrive("d:");
    QApplication::processEvents();
    EXPECT_EQ(OpenDriveCount, 3);
    EXPECT_EQ(DriveWindows().size(), 3);
    EXPECT_EQ(main->MdiArea->activeSubWindow(), wd->SubWindow());
    EXPECT_EQ(CurrentSlot, 2);
    EXPECT_EQ(Slot(2).Drive, "d:");
    EXPECT_EQ(Slot(3).Drive, "e:");
}

TEST_F(LoggingTest, ASixthDriveIsRefusedAndNothingChanges) {
    for (QChar l : {'d', 'e', 'f', 'g', 'h'}) drive(l);
    for (QChar l : {'d', 'e', 'f', 'g'}) ASSERT_TRUE(logDrive(l));
    ASSERT_EQ(OpenDriveCount, 5);
    const QStringList before = lines(windowOf('g'));
    prompts.expect("Can't open more than 5 drives at the same time", PromptAnswer::Ok, "Error");
    LogDrive("h:");
    QApplication::processEvents();
    EXPECT_EQ(OpenDriveCount, 5);
    EXPECT_EQ(DriveWindows().size(), 5);
    EXPECT_EQ(windowOf('h'), nullptr);
    EXPECT_EQ(CurrentSlot, 5);
    EXPECT_EQ(Slot(5).Drive, "g:");
    EXPECT_EQ(lines(windowOf('g')), before);
}

TEST_F(LoggingTest, ADriveWhoseDiskIsMissingOpensNoWindowAndRestoresTheSlot) {
    drive('d');
    frmBrws* wd = logDrive('d');
    ASSERT_TRUE(wd);
    prefix.linkDrive('q', prefix.base() + "/no-disk");
    prompts.expect("Disk not ready", PromptAnswer::Cancel, "Error");
    LogDrive("q:");
    QApplication::processEvents();
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(OpenDriveCount, 2);
    EXPECT_EQ(DriveWindows().size(), 2);
    EXPECT_EQ(CurrentSlot, 2);
    EXPECT_EQ(Slot(2).Drive, "d:");
    EXPECT_EQ(Slot(3).Drive, "");
    EXPECT_EQ(Slot(3).LineCount, 0);
    EXPECT_EQ(Slot(3).WindowKey, "");
}

TEST_F(LoggingTest, InsertingTheDiskAndRetryingOpensTheDrive) {
    const QString disk = prefix.base() + "/later";
    prefix.linkDrive('q', disk);
    int asked = 0;
    SetPromptHandler([&](const PromptRequest& r) {
        ++asked;
        EXPECT_EQ(r.text, "Disk not ready");
        EXPECT_EQ(r.buttons, PromptButtons::RetryCancel);
        mkdir(disk + "/folder");
        return PromptAnswer::Retry;
    });
    frmBrws* w = logDrive('q');
    SetPromptHandler(nullptr);
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(w);
    EXPECT_EQ(lines(w), QStringList({">q:/1/L", ">q:\\folder/2/U"}));
    EXPECT_EQ(OpenDriveCount, 2);
}

TEST_F(LoggingTest, AFolderRemovedAfterLoggingIsReportedAsAChangedDisk) {
    const QString d = drive('d');
    file(d + "/docs/a.txt", 5);
    file(d + "/docs/b.txt", 6);
    file(d + "/gone/c.txt", 7);
    file(d + "/keep.txt", 8);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    logFolder(w, "d:\\docs");
    ASSERT_EQ(lines(w).size(), 6);

    QDir(d + "/docs").removeRecursively();
    prompts.expect("Disk has been changed", PromptAnswer::Ok, "Error");
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);   // relog the folder
    EXPECT_TRUE(prompts.done());
    // Its lines are gone and it reads as not logged.
    EXPECT_EQ(lines(w), QStringList({">d:/1/L", "keep.txt/U/8:" + lines(w)[1].section(':', 1), ">d:\\docs/2/U",
                                     ">d:\\gone/3/U"}));
    EXPECT_EQ(panel(w, 1), "Matching files : ###");
    EXPECT_EQ(w->FileList->count(), 0);

    QDir(d + "/gone").removeRecursively();
    prompts.expect("Disk has been changed", PromptAnswer::Ok, "Error");
    logFolder(w, "d:\\gone");
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(lines(w)[3], ">d:\\gone/3/U");
    EXPECT_EQ(slotOf(w).LineCount, 4);
    EXPECT_EQ(slotOf(w).IndexCount, 1);
    EXPECT_EQ(panel(w, 1), "Matching files : ###");
}

TEST_F(LoggingTest, NamesThatDifferOnlyInCaseAreLoggedOnce) {
    const QString d = drive('d');
    file(d + "/Notes.txt", 3);
    file(d + "/NOTES.TXT", 4);
    file(d + "/other.txt", 5);
    mkdir(d + "/Docs");
    mkdir(d + "/DOCS");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    const QStringList picture = lines(w);
    EXPECT_EQ(picture.size(), 4);
    EXPECT_EQ(picture.filter(QRegularExpression("^notes\\.txt/U/")).size(), 1);
    EXPECT_EQ(picture.filter(">d:\\docs/").size(), 1);
    EXPECT_EQ(childTexts(w->Node(1)), QStringList({"docs"}));
    // The list shows a collapsed root with a subfolder by its counters only.
    EXPECT_EQ(panel(w, 1), "Matching files : 2");
}

TEST_F(LoggingTest, SlowLoggingReadsAheadOnlyForFoldersWithFewSubfolders) {
    Settings[3] = "slow";
    Settings[2] = 10;
    const QString d = drive('d');
    for (int i = 0; i < 12; ++i) file(d + QString("/many/m%1/x.txt").arg(i, 2, 10, QChar('0')), 1);
    for (int i = 0; i < 8; ++i) file(d + QString("/few/f%1/y.txt").arg(i), 2);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w, "d:");
    // The root has two subfolders, so both are read ahead.
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\few"));
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\many"));

    expand(w, "d:\\many");
    ASSERT_EQ(node(w, "d:\\many")->childCount(), 12);
    for (int i = 0; i < 12; ++i) {
        const QString path = QString("d:\\many\\m%1").arg(i, 2, 10, QChar('0'));
        EXPECT_FALSE(IsFolderLogged(slotOf(w), path)) << path.toStdString();
    }
    EXPECT_FALSE(lines(w).contains(QRegularExpression("^x\\.txt/")));

    expand(w, "d:\\few");
    for (int i = 0; i < 8; ++i) {
        const QString path = QString("d:\\few\\f%1").arg(i);
        const int h = headerOf(w, path);
        ASSERT_GE(h, 0);
        EXPECT_TRUE(lines(w)[h].endsWith("/L")) << lines(w)[h].toStdString();
        EXPECT_TRUE(lines(w)[h + 1].startsWith("y.txt/U/2:"));
    }
    EXPECT_EQ(slotOf(w).IndexCount, 1 + 2 + 8);
}

TEST_F(LoggingTest, FastLoggingReadsFilesOnlyOfFoldersLoggedOnPurpose) {
    const QString d = drive('d');
    file(d + "/a/one.txt", 1);
    file(d + "/b/two.txt", 2);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w, "d:");
    EXPECT_FALSE(IsFolderLogged(slotOf(w), "d:\\a"));
    EXPECT_FALSE(IsFolderLogged(slotOf(w), "d:\\b"));
    // Enter on an unlogged leaf logs it.
    clickNode(w, node(w, "d:\\b"));
    key(w->DirList, Qt::Key_Return);
    EXPECT_EQ(lines(w), QStringList({">d:/1/L", ">d:\\a/2/U", ">d:\\b/3/L", lines(w)[3]}));
    EXPECT_TRUE(lines(w)[3].startsWith("two.txt/U/2:"));
    EXPECT_EQ(listed(w), QStringList({"two.txt"}));
    // So does a double click on a folder.
    QTreeWidgetItem* a = node(w, "d:\\a");
    clickNode(w, a);   // the first click of the two
    QTest::mouseDClick(w->DirList->viewport(), Qt::LeftButton, {}, w->DirList->visualItemRect(a).center());
    QApplication::processEvents();
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\a"));
    EXPECT_EQ(listed(w), QStringList({"one.txt"}));
}

TEST_F(LoggingTest, LoggingALoggedFolderAgainChangesNothing) {
    const QString d = drive('d');
    file(d + "/docs/a.txt", 5);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    logFolder(w, "d:\\docs");
    const QStringList before = lines(w);
    const QStringList index = slotOf(w).FolderIndex;
    file(d + "/docs/new.txt", 9);   // not seen until the folder is relogged
    key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(lines(w), before);
    EXPECT_EQ(slotOf(w).FolderIndex, index);
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);
    EXPECT_EQ(lines(w).size(), before.size() + 1);
    EXPECT_TRUE(lines(w).last().startsWith("new.txt/U/9:"));
}

TEST_F(LoggingTest, UnloggingDropsTheFileLinesAndShowsPlaceholders) {
    const QString d = drive('d');
    file(d + "/a/one.txt", 1);
    file(d + "/a/two.txt", 2);
    file(d + "/b/three.txt", 3);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    logFolder(w, "d:\\a");
    logFolder(w, "d:\\b");
    ASSERT_EQ(slotOf(w).LineCount, 6);
    clickNode(w, node(w, "d:\\a"));
    key(w->DirList, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(lines(w).mid(0, 3), QStringList({">d:/1/L", ">d:\\a/2/U", ">d:\\b/3/L"}));
    EXPECT_TRUE(lines(w)[3].startsWith("three.txt/U/3:"));
    EXPECT_EQ(slotOf(w).LineCount, 4);
    // The index still finds the folder that moved up.
    EXPECT_EQ(LookupFolderLine(slotOf(w), "d:\\b"), 2);
    EXPECT_EQ(slotOf(w).IndexCount, 2);
    EXPECT_EQ(panel(w, 1), "Matching files : ###");
    EXPECT_EQ(panel(w, 4), "Tagged files : ###");
}

TEST_F(LoggingTest, RelogDriveStartsTheTreeAfresh) {
    const QString d = drive('d');
    file(d + "/a/one.txt", 1);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    logFolder(w, "d:\\a");
    mkdir(d + "/b");
    main->item("mnuRelog")->trigger();
    EXPECT_EQ(lines(w), QStringList({">d:/1/L", ">d:\\a/2/U", ">d:\\b/3/U"}));
    EXPECT_EQ(slotOf(w).IndexCount, 1);
    EXPECT_EQ(childTexts(w->Node(1)), QStringList({"a", "b"}));
    EXPECT_EQ(slotOf(w).WindowKey, "Tree structure of d:");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:");
}

TEST_F(LoggingTest, RelogFolderTagsAgainTheFilesTaggedBeforeThatStillExist) {
    const QString d = drive('d');
    file(d + "/docs/a.txt", 1);
    file(d + "/docs/b.txt", 20);
    file(d + "/docs/c.txt", 300);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    logFolder(w, "d:\\docs");
    clickRow(w, 1);
    clickRow(w, 2);
    ASSERT_EQ(selectedRows(w), QList<int>({1, 2}));
    QFile::remove(d + "/docs/c.txt");
    file(d + "/docs/aa.txt", 4000);
    clickNode(w, node(w, "d:\\docs"));
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);
    const int h = headerOf(w, "d:\\docs");
    ASSERT_EQ(slotOf(w).LineCount, h + 4);
    EXPECT_TRUE(lines(w)[h + 1].startsWith("a.txt/U/1:"));
    EXPECT_TRUE(lines(w)[h + 2].startsWith("aa.txt/U/4000:"));
    EXPECT_TRUE(lines(w)[h + 3].startsWith("b.txt/T/20:"));
    EXPECT_EQ(listed(w), QStringList({"a.txt", "aa.txt", "b.txt"}));
    EXPECT_EQ(selectedRows(w), QList<int>({2}));
    EXPECT_EQ(panel(w, 1), "Matching files : 3");
    EXPECT_EQ(panel(w, 4), "Tagged files : 1");
    EXPECT_EQ(panel(w, 5), "Tagged bytes : 20");
}

TEST_F(LoggingTest, RelogFolderKeepsTheTagsOfACollapsedFolderWhoseNamesAreNotListed) {
    const QString d = drive('d');
    file(d + "/proj/p.txt", 5);
    file(d + "/proj/q.txt", 6);
    mkdir(d + "/proj/sub");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    expand(w, "d:");
    expand(w, "d:\\proj");
    ASSERT_EQ(listed(w), QStringList({"p.txt", "q.txt"}));
    key(w->DirList, Qt::Key_T);   // tags the folder's files
    ASSERT_EQ(selectedRows(w), QList<int>({0, 1}));
    key(w->DirList, Qt::Key_Left);
    ASSERT_EQ(w->FileList->count(), 0);
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);
    const int h = headerOf(w, "d:\\proj");
    EXPECT_TRUE(lines(w)[h + 1].startsWith("p.txt/T/5:"));
    EXPECT_TRUE(lines(w)[h + 2].startsWith("q.txt/T/6:"));
    EXPECT_EQ(panel(w, 4), "Tagged files : 2");
    EXPECT_EQ(panel(w, 5), "Tagged bytes : 11");
    key(w->DirList, Qt::Key_Right);
    EXPECT_EQ(selectedRows(w), QList<int>({0, 1}));
}

TEST_F(LoggingTest, NamesThatCannotBeDosNamesAreLeftOut) {
    const QString d = drive('d');
    for (const char* name : {"good.txt", "bad|bar.txt", "what?.txt", "back\\slash.txt", "co:lon.txt"}) file(d + "/" + name, 1);
    // The removal of the temporary folder cannot name this file; it goes first.
    struct RawFile {
        QByteArray path;
        ~RawFile() { ::unlink(path.constData()); }
    } notUtf8{QFile::encodeName(d) + "/\xff\xfe.txt"};
    const int fd = ::open(notUtf8.path.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    mkdir(d + "/odd:folder");
    mkdir(d + "/plain");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    EXPECT_EQ(childTexts(w->Node(1)), QStringList({"plain"}));
    const QStringList picture = lines(w);
    ASSERT_EQ(picture.size(), 3);
    EXPECT_TRUE(picture[1].startsWith("good.txt/U/1:"));
    EXPECT_EQ(picture[2], ">d:\\plain/2/U");
    EXPECT_EQ(panel(w, 1), "Matching files : 1");
}

TEST_F(LoggingTest, HiddenAndSystemEntriesFollowTheirSetting) {
    const QString d = drive('d');
    file(d + "/.profile", 1);
    file(d + "/seen.txt", 2);
    mkdir(d + "/.cache");
    mkdir(d + "/work");
    Settings[4] = false;
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    EXPECT_EQ(childTexts(w->Node(1)), QStringList({"work"}));
    EXPECT_EQ(slotOf(w).LineCount, 3);
    EXPECT_TRUE(lines(w)[1].startsWith("seen.txt/U/2:"));
    Settings[4] = true;
    main->item("mnuRelog")->trigger();
    EXPECT_EQ(childTexts(w->Node(1)), QStringList({".cache", "work"}));
    EXPECT_TRUE(lines(w)[1].startsWith(".profile/U/1:"));
    EXPECT_TRUE(lines(w)[1].endsWith(":AH"));
}

TEST_F(LoggingTest, AFolderThatMayNotBeReadIsReportedAndStaysUnlogged) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
    const QString d = drive('d');
    file(d + "/locked/secret.txt", 1);
    ASSERT_EQ(::chmod(QFile::encodeName(d + "/locked").constData(), 0), 0);
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    // Opening the root looks into its subfolders once.
    prompts.expect("Access denied / write-protected disk", PromptAnswer::Ok, "Error");
    expand(w);
    key(w->DirList, Qt::Key_Left);
    expand(w);
    EXPECT_TRUE(prompts.done());
    clickNode(w, node(w, "d:\\locked"));
    prompts.expect("Access denied / write-protected disk", PromptAnswer::Ok, "Error");
    key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    ::chmod(QFile::encodeName(d + "/locked").constData(), 0755);
    EXPECT_EQ(lines(w), QStringList({">d:/1/L", ">d:\\locked/2/U"}));
    EXPECT_EQ(slotOf(w).IndexCount, 1);
    EXPECT_EQ(panel(w, 1), "Matching files : ###");
}

TEST_F(LoggingTest, EveryLoggingCommandEndsIdleWithTheNormalPointer) {
    Settings[3] = "slow";
    Settings[2] = 5;
    const QString d = drive('d');
    file(d + "/a/one.txt", 1);
    file(d + "/a/deep/two.txt", 2);
    file(d + "/b/three.txt", 3);
    auto idle = [this] {
        return main->StatusBar->currentMessage() == "User" && QApplication::overrideCursor() == nullptr;
    };
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    EXPECT_TRUE(idle());
    expand(w);
    EXPECT_TRUE(idle()) << "expand";
    clickNode(w, node(w, "d:\\b"));
    key(w->DirList, Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(idle()) << "unlog";
    key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(idle()) << "log";
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);
    EXPECT_TRUE(idle()) << "relog";
    QDir(d + "/b").removeRecursively();
    prompts.expect("Disk has been changed", PromptAnswer::Ok, "Error");
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);
    EXPECT_TRUE(idle()) << "relog of a vanished folder";
    prompts.expect("Disk has been changed", PromptAnswer::Ok, "Error");
    key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(idle()) << "log of a vanished folder";
    main->item("mnuRelog")->trigger();
    EXPECT_TRUE(idle()) << "relog drive";
}

}  // namespace
