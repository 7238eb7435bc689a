#include "shell_fixture.h"
#include "config/more.h"
#include "platform/hostfs.h"

namespace {

using LoggingTest = ShellTest;

TEST_F(LoggingTest, ARootWithoutSubfoldersHasItsFilesAndOneWithSubfoldersOneUnloggedHeaderEach) {
    const QString d = drive('d');
    files(d, {{"/Readme.TXT", 1024}, {"/empty.dat", 0}});
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    EXPECT_EQ(lines(w), QStringList({">d:/1/L", "empty.dat/U/0:03-15-97 10:04:00:A", "readme.txt/U/1024" + stamp}));
    EXPECT_FALSE(w->DirList->rootIsDecorated());
    EXPECT_EQ(w->DirList->topLevelItemCount(), 1);
    EXPECT_EQ(w->Node(1)->childCount(), 0);
    // A root without subfolders lists its names.
    EXPECT_EQ(listed(w), QStringList({"empty.dat", "readme.txt"}));
    EXPECT_EQ(panels(w, {1, 2}), QStringList({"Matching files : 2", "Matching bytes : 1024"}));
    EXPECT_EQ(w->Path3D->text(), " Path : d:\\");
    EXPECT_EQ(slotOf(w).CurrentPath, "d:");

    const QString e = drive('e');
    for (const char* f : {"/Zeta", "/alpha", "/alpha/inner", "/mid"}) mkdir(e + f);
    w = logDrive('e');
    ASSERT_TRUE(w);
    EXPECT_EQ(lines(w), QStringList({">e:/1/L", ">e:\\alpha/2/U", ">e:\\mid/3/U", ">e:\\zeta/4/U"}));
    EXPECT_TRUE(w->DirList->rootIsDecorated());
    EXPECT_EQ(childTexts(w->Node(1)), QStringList({"alpha", "mid", "zeta"}));
    // Subfolders one level below what is shown are read only on expansion.
    EXPECT_EQ(node(w, "e:\\alpha")->childCount(), 0);
    EXPECT_EQ(slotOf(w).FolderIndex.mid(0, slotOf(w).IndexCount), QStringList({"e:/0"}));
    expand(w, "e:");
    EXPECT_EQ(childTexts(node(w, "e:\\alpha")), QStringList({"inner"}));
    EXPECT_EQ(lines(w).mid(4), QStringList({">e:\\alpha\\inner/5/U"}));
    // A second expansion does not add the same folders again.
    key(w->DirList, Qt::Key_Left);
    expand(w, "e:");
    EXPECT_EQ(slotOf(w).LineCount, 5);
    EXPECT_EQ(node(w, "e:\\alpha")->childCount(), 1);
}

TEST_F(LoggingTest, LabelCaptionSameDriveTwiceSwitchingKeyDriveWithoutDiskAndSixthDrive) {
    QMdiArea* area = main->MdiArea;
    frmBrws* c = windowOf('c');
    ASSERT_TRUE(c);
    // The extra key of 102-key keyboards switches windows only when there are two.
    key(c->DirList, Qt::Key_Less);
    EXPECT_EQ(area->activeSubWindow(), c->SubWindow());
    EXPECT_EQ(CurrentSlot, 1);
    EXPECT_EQ(OpenDriveCount, 1);
    for (QChar l : {'d', 'e', 'f', 'g', 'h'}) drive(l);
    prefix.writeFile("d:\\.windows-label", "SYSTEM\n");
    frmBrws* d = logDrive('d');
    frmBrws* e = logDrive('e');
    ASSERT_TRUE(d && e);
    EXPECT_EQ(d->Caption(), "Tree structure of d: [system]");
    EXPECT_EQ(slotOf(d).WindowKey, "Tree structure of d: [system]");
    EXPECT_EQ(d->SubWindow()->windowTitle(), "Tree structure of d: [system]");
    EXPECT_EQ(e->Caption(), "Tree structure of e:");
    // Logging an open drive again brings its window forward.
    EXPECT_EQ(area->activeSubWindow(), e->SubWindow());
    EXPECT_EQ(logDrive('d'), d);
    EXPECT_EQ(area->activeSubWindow(), d->SubWindow());
    EXPECT_EQ(CurrentSlot, 2);
    EXPECT_EQ(openDrives(), QStringList({"c:", "d:", "e:", "", "", "3", "3"}));

    // The key goes to the window of the previous slot, from the first to the last; with Shift the other way.
    const std::tuple<frmBrws*, Qt::KeyboardModifiers, frmBrws*, int> switches[] = {
        {d, {}, c, 1}, {c, {}, e, 3}, {e, {}, d, 2}, {d, Qt::ShiftModifier, e, 3}, {e, Qt::ShiftModifier, c, 1},
        {c, Qt::ShiftModifier, d, 2}};
    for (auto [from, mods, to, slot] : switches) {
        key(from->DirList, Qt::Key_Less, mods);
        EXPECT_EQ(area->activeSubWindow(), to->SubWindow()) << slot;
        EXPECT_EQ(CurrentSlot, slot);
        EXPECT_TRUE(to->DirList->hasFocus()) << slot;
    }

    // A drive whose disk is missing opens no window and leaves its slot free.
    prefix.linkDrive('q', prefix.base() + "/no-disk");
    prompts.expect("Disk not ready", PromptAnswer::Cancel, "Error");
    EXPECT_FALSE(logDrive('q'));
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(CurrentSlot, 2);
    EXPECT_EQ(openDrives(), QStringList({"c:", "d:", "e:", "", "", "3", "3"}));
    EXPECT_EQ(Slot(4).LineCount, 0);
    EXPECT_EQ(Slot(4).WindowKey, "");

    // A sixth drive is refused and nothing changes.
    ASSERT_TRUE(logDrive('f') && logDrive('g'));
    const QStringList before = lines(windowOf('g'));
    prompts.expect("Can't open more than 5 drives at the same time", PromptAnswer::Ok, "Error");
    EXPECT_FALSE(logDrive('h'));
    EXPECT_EQ(CurrentSlot, 5);
    EXPECT_EQ(openDrives(), QStringList({"c:", "d:", "e:", "f:", "g:", "5", "5"}));
    EXPECT_EQ(lines(windowOf('g')), before);
}

// A fresh setup takes in big folders whole; a settings file from before keeps
// 1500 files per folder, and the files a logging action leaves out are told
// once, with the setting that shows them.
TEST_F(LoggingTest, AFreshSetupLogsTenThousandFilesAndACutIsToldOncePerLoggingAction) {
    const QString big = drive('d') + "/big";
    for (int i = 0; i < 10000; ++i) file(big + QString("/f%1.txt").arg(i, 5, 10, QChar('0')));
    for (int f = 0; f < 3; ++f)
        for (int i = 0; i < 120; ++i)
            file(drive('d') + QString("/slow/sub%1/g%2.txt").arg(f).arg(i, 3, 10, QChar('0')));
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    logFolder(w, "d:\\big");
    EXPECT_EQ(slotOf(w).LineCount, 6 + 10000);
    EXPECT_EQ(w->FileList->count(), 10000);
    EXPECT_EQ(panel(w, 1), "Matching files : 10000");

    // The older limit: a relog keeps the first 1500 and says how many it left out.
    ReadMoreSection({});
    EXPECT_EQ(FilesPerFolder(), 1500);
    EXPECT_EQ(LinesPerDrive(), 8000);
    prompts.expect("8500 file(s) left out : see Files per folder in Program, Options, More", PromptAnswer::Ok,
                   "Error");
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);
    EXPECT_TRUE(prompts.done());
    const int h = FindFolderLine(slotOf(w), "d:\\big", 0);
    ASSERT_GE(h, 0);
    EXPECT_TRUE(lines(w)[h + 1].startsWith("f00000.txt/U/0:"));
    EXPECT_TRUE(lines(w)[h + 1500].startsWith("f01499.txt/U/0:"));
    EXPECT_EQ(w->FileList->count(), 1500);
    EXPECT_EQ(panel(w, 1), "Matching files : 1500");

    // Opening a folder in slow mode logs its three subfolders: one message for all of them.
    Settings[3] = QString("slow");
    Settings[2] = 10;
    SetMoreValue(more::FilesPerFolder, "100");
    prompts.expect("60 file(s) left out : see Files per folder in Program, Options, More", PromptAnswer::Ok, "Error");
    expand(w, "d:\\slow");
    EXPECT_TRUE(prompts.done());
    EXPECT_TRUE(IsFolderLogged(slotOf(w), "d:\\slow\\sub2"));
}

TEST_F(LoggingTest, TheLineLimitStopsAddingFoldersWithAMessageAndCutsFilesWithAnother) {
    // In memory where possible: a disk may take seconds to remove 8100 folders.
    QTemporaryDir memory("/dev/shm/quorl-test-XXXXXX");
    const QString d = memory.isValid() ? memory.path() : drive('d');
    if (memory.isValid()) prefix.linkDrive('d', d);
    for (int i = 0; i < 8100; ++i)
        ASSERT_TRUE(QDir(d).mkdir(QString("s%1").arg(i, 4, 10, QChar('0'))));
    file(d + "/root.txt", 1);
    SetMoreValue(more::LinesPerDrive, "8000");
    prompts.expect("Not enough memory to log more files / folders", PromptAnswer::Ok, "Error")
        .expect("1 file(s) left out : see Lines per drive in Program, Options, More", PromptAnswer::Ok, "Error");
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    EXPECT_TRUE(prompts.done());
    ASSERT_EQ(slotOf(w).LineCount, 8000);
    EXPECT_EQ(lines(w).last(), ">d:\\s7998/8000/U");
    EXPECT_EQ(w->Node(1)->childCount(), 7999);
    // No room is left for the root's file; it is left out, and the user is told.
    EXPECT_EQ(FindFolderLine(slotOf(w), "d:", 0), 0);
    for (const QString& line : lines(w)) ASSERT_TRUE(line.startsWith('>'));
    EXPECT_EQ(panel(w, 1), "Matching files : 0");
    // A folder that can no longer be logged says so.
    prompts.expect("Not enough memory to log more files / folders", PromptAnswer::Ok, "Error");
    logFolder(w, "d:\\s0003");
    EXPECT_EQ(lines(w)[4], ">d:\\s0003/5/U");
    EXPECT_EQ(slotOf(w).LineCount, 8000);
}

TEST_F(LoggingTest, AFolderRemovedAfterLoggingIsReportedAsAChangedDisk) {
    const QString d = drive('d');
    files(d, {{"/docs/a.txt", 5}, {"/docs/b.txt", 6}, {"/gone/c.txt", 7}, {"/keep.txt", 8}});
    frmBrws* w = logDrive('d');
    ASSERT_TRUE(w);
    logFolder(w, "d:\\docs");
    ASSERT_EQ(lines(w).size(), 6);

    QDir(d + "/docs").removeRecursively();
    prompts.expect("Disk has been changed", PromptAnswer::Ok, "Error");
    key(w->DirList, Qt::Key_F3, Qt::AltModifier);   // relog the folder
    EXPECT_TRUE(prompts.done());
    // Its lines are gone and it reads as not logged.
    EXPECT_EQ(lines(w), QStringList({">d:/1/L", "keep.txt/U/8" + stamp, ">d:\\docs/2/U", ">d:\\gone/3/U"}));
    EXPECT_EQ(panel(w, 1), "Matching files : ###");
    EXPECT_EQ(w->FileList->count(), 0);

    QDir(d + "/gone").removeRecursively();
    prompts.expect("Disk has been changed", PromptAnswer::Ok, "Error");
    logFolder(w, "d:\\gone");
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(lines(w).mid(3), QStringList({">d:\\gone/3/U"}));
    EXPECT_EQ(slotOf(w).IndexCount, 1);
    EXPECT_EQ(panel(w, 1), "Matching files : ###");

    // One Right that finds many folders gone (processes ended under a link to
    // /proc) gives one message, not one a folder.
    const QString e = drive('e');
    for (int i = 0; i < 22; ++i) mkdir(e + QString("/many/m%1").arg(i));
    w = logDrive('e');
    ASSERT_TRUE(w);
    expand(w, "e:");
    ASSERT_EQ(node(w, "e:\\many")->childCount(), 22);
    QDir(e + "/many").removeRecursively();
    mkdir(e + "/many");
    prompts.expect("Disk has been changed", PromptAnswer::Ok, "Error");
    expand(w, "e:\\many");
    EXPECT_TRUE(prompts.done());
    // The next action that finds the disk changed says so again.
    prompts.expect("Disk has been changed", PromptAnswer::Ok, "Error");
    key(w->DirList, Qt::Key_Left);
    key(w->DirList, Qt::Key_Right);
    EXPECT_TRUE(prompts.done());
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
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(IsFolderLogged(slotOf(w), QString("d:\\many\\m%1").arg(i, 2, 10, QChar('0')))) << i;
    EXPECT_FALSE(lines(w).contains(QRegularExpression("^x\\.txt/")));
    // One of them logged by hand: its header lies below those that follow.
    clickNode(w, "d:\\many\\m05");
    w->dirlist_DblClick();
    ASSERT_TRUE(IsFolderLogged(slotOf(w), "d:\\many\\m05"));
    // Each folder read ahead is read once for its subfolders, files and leftover copies.
    const quint64 readsBefore = platform::host::FolderReadCount();
    expand(w, "d:\\few");
    EXPECT_LE(platform::host::FolderReadCount() - readsBefore, 8u) << "folder reads for 8 folders logged";
    for (int i = 0; i < 8; ++i) {
        const int h = FindFolderLine(slotOf(w), QString("d:\\few\\f%1").arg(i), 0);
        ASSERT_GE(h, 0);
        EXPECT_TRUE(lines(w)[h].endsWith("/L")) << lines(w)[h].toStdString();
        EXPECT_TRUE(lines(w)[h + 1].startsWith("y.txt/U/2:"));
    }
    EXPECT_EQ(slotOf(w).IndexCount, 1 + 2 + 1 + 8);
    // The index points at each header once the folders' lines are all in.
    for (int i = 0; i < slotOf(w).IndexCount; ++i) {
        const QString path = EntryPath(slotOf(w).FolderIndex[i]);
        EXPECT_EQ(LookupFolderLine(slotOf(w), path), FindFolderLine(slotOf(w), path, 0)) << path.toStdString();
    }
}

}  // namespace
