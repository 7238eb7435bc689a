#include <QDateTime>
#include <QTreeWidgetItem>
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
    static void expand(frmBrws* w, const QString& path) {
        clickNode(w, node(w, path));
        key(w->DirList, Qt::Key_Right);
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
    const QString d = drive('d');
    file(d + "/.windows-label");
    QFile label(d + "/.windows-label");
    ASSERT_TRUE(label.open(QIODevice::WriteOnly));
    label.write("SYSTEM\n");
    label.close();
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
    const QString d = drive('d');
    manyFolders(d, 8100);
    file(d + "/root.txt", 1);
    prompts.expect("Not enough memory to log more files / folders", PromptAnswer::Ok, "Error");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    EXPECT_TRUE(prompts.done());
    ASSERT_EQ(slotOf(w).LineCount, 8000);
    EXPECT_EQ(lines(w).last(), ">d:\\s7998/7999/U");
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
    const QString d = drive('d');
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

}  // namespace
