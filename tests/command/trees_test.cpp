// XCOPY, MOVE, DELTREE, TREE, ATTRIB and LABEL on real trees, links and loops included.
#include <sys/xattr.h>
#include "command_fixture.h"
#include "model/slots.h"
#include "platform/files.h"
#include "platform/volume.h"

TEST_F(CommandTest, XcopyCopiesATreeOnceAndRefusesToCopyIntoItself) {
    write({{"c:\\src\\a.txt", "a"}, {"c:\\src\\sub\\b.txt", "b"}, {"c:\\src\\sub\\deep\\c.txt", "c"},
           {"c:\\src\\.hidden", "h"}});
    mkdir("c:\\src\\empty");
    // A loop back to the top and a link to a file: the loop is not entered, the file is copied.
    link("..", host("c:\\src\\sub\\loop"));
    link(host("c:\\src\\a.txt"), host("c:\\src\\sub\\alias.txt"));

    EXPECT_EQ(lines("xcopy c:\\src d:\\dst\\ /s"),
              (QStringList{"Reading source file(s)...", "C:\\SRC\\a.txt", "C:\\SRC\\SUB\\alias.txt", "C:\\SRC\\SUB\\b.txt",
                           "C:\\SRC\\SUB\\DEEP\\c.txt", "        4 File(s) copied"}));
    EXPECT_EQ(read("d:\\dst\\sub\\deep\\c.txt"), "c");
    EXPECT_EQ(read("d:\\dst\\sub\\alias.txt"), "a");
    EXPECT_FALSE(exists("d:\\dst\\sub\\loop"));
    EXPECT_FALSE(exists("d:\\dst\\empty")) << "without /e no empty folder";
    EXPECT_FALSE(exists("d:\\dst\\.hidden"));
    EXPECT_EQ(lines("xcopy c:\\src d:\\all\\ /s /e").last(), "        4 File(s) copied");
    EXPECT_TRUE(QFileInfo(host("d:\\all\\empty")).isDir());

    // A target that is no folder yet is asked about; without /s only the top folder's files go.
    answer("d");
    EXPECT_EQ(lines("xcopy c:\\src\\*.txt d:\\new"),
              (QStringList{"Does D:\\NEW specify a file name", "or directory name on the target",
                           "(F = file, D = directory)?D", "Reading source file(s)...", "C:\\SRC\\a.txt",
                           "        1 File(s) copied"}));
    answer("xf");
    EXPECT_EQ(lines("xcopy c:\\src\\sub\\b.txt d:\\renamed.txt").last(), "        1 File(s) copied");
    EXPECT_EQ(read("d:\\renamed.txt"), "b");
    EXPECT_EQ(lines("xcopy c:\\src\\a.txt d:\\renamed.txt /y"), (QStringList{"Reading source file(s)...", "C:\\SRC\\a.txt", "        1 File(s) copied"}));
    EXPECT_EQ(read("d:\\renamed.txt"), "a");
    // Replacing asks at the prompt; /y does not.
    write("d:\\new\\a.txt", "old");
    answer("n\n");
    EXPECT_EQ(lines("xcopy c:\\src\\a.txt d:\\new").mid(1), (QStringList{"Overwrite D:\\NEW\\A.TXT (Yes/No/All)? n", "        0 File(s) copied"}));
    EXPECT_EQ(read("d:\\new\\a.txt"), "old");
    run("xcopy c:\\src\\a.txt d:\\new /y");
    EXPECT_EQ(read("d:\\new\\a.txt"), "a");

    // Into itself, also by way of a link, is refused before anything is copied.
    struct Case { const char* line; QStringList said; };
    const Case refusals[] = {
        {"xcopy c:\\src c:\\src", {"File cannot be copied onto itself", "        0 File(s) copied"}},
        {"xcopy c:\\src c:\\src\\sub\\copy\\ /s", {"Cannot perform a cyclic copy"}},
        {"xcopy c:\\src c:\\src\\sub\\loop\\copy\\ /s /e", {"Cannot perform a cyclic copy"}},
        {"xcopy c:\\src\\*.zzz d:\\dst\\", {"Reading source file(s)...", "File not found - *.ZZZ", "        0 File(s) copied"}},
        {"xcopy c:\\nowhere\\*.* d:\\dst\\", {"Path not found"}},
        {"xcopy", {"Required parameter missing"}},
        {"xcopy c:\\src d:\\ /z", {"Invalid switch - /z"}},
    };
    for (const Case& c : refusals) EXPECT_EQ(lines(c.line), c.said) << c.line;
    EXPECT_FALSE(exists("c:\\src\\sub\\copy"));
    EXPECT_FALSE(exists("c:\\src\\copy"));
}

TEST_F(CommandTest, MoveRenamesOrMovesAndReplacesOnlyWhenAllowed) {
    write({{"d:\\m\\one.txt", "1"}, {"d:\\m\\two.txt", "2"}, {"d:\\m\\keep.doc", "keep"}});
    mkdir("d:\\m\\to");
    EXPECT_EQ(lines("move d:\\m\\*.txt d:\\m\\to"),
              (QStringList{"D:\\M\\one.txt => D:\\M\\TO\\one.txt [ok]", "D:\\M\\two.txt => D:\\M\\TO\\two.txt [ok]"}));
    EXPECT_EQ(read("d:\\m\\to\\two.txt"), "2");
    EXPECT_FALSE(exists("d:\\m\\one.txt"));
    EXPECT_EQ(lines("move d:\\m\\to d:\\m\\moved"), QStringList{"D:\\M\\to => D:\\M\\moved [ok]"});
    EXPECT_EQ(lines("move d:\\m\\keep.doc,d:\\m\\moved\\one.txt c:\\"),
              (QStringList{"D:\\M\\keep.doc => C:\\keep.doc [ok]", "D:\\M\\MOVED\\one.txt => C:\\one.txt [ok]"}));
    EXPECT_EQ(read("c:\\keep.doc"), "keep");

    // A file in the way: No keeps both, /y replaces it whole and only then removes the source.
    answer("n\n");
    EXPECT_EQ(lines("move c:\\one.txt c:\\keep.doc"), QStringList{"Overwrite C:\\KEEP.DOC (Yes/No/All)? n"});
    EXPECT_EQ(read("c:\\keep.doc"), "keep");
    EXPECT_EQ(lines("move /y c:\\one.txt c:\\keep.doc"), QStringList{"C:\\one.txt => C:\\keep.doc [ok]"});
    EXPECT_EQ(read("c:\\keep.doc"), "1");
    EXPECT_FALSE(exists("c:\\one.txt"));
    // A change of case is a move; the same file by its own name is not.
    run("move c:\\keep.doc c:\\KEEP.DOC");
    EXPECT_TRUE(QDir(host("c:")).entryList().contains("KEEP.DOC"));
    EXPECT_EQ(lines("move c:\\KEEP.DOC c:\\"), QStringList{"C:\\KEEP.DOC => C:\\KEEP.DOC [File cannot be copied onto itself]"});
    EXPECT_EQ(read("c:\\KEEP.DOC"), "1");

    struct Case { const char* line; QString said; };
    const Case refusals[] = {
        {"move d:\\m\\moved\\two.txt,c:\\KEEP.DOC d:\\m\\single.txt", "Cannot move multiple files to a single file"},
        {"move nothing.txt d:\\", "File not found - nothing.txt"},
        {"move d:\\m\\moved", "Required parameter missing"},
        {"move d:\\m\\moved d:\\m\\moved\\inside", "D:\\M\\moved => D:\\M\\MOVED\\inside [Cannot perform a cyclic copy]"},
    };
    for (const Case& c : refusals) {
        EXPECT_EQ(lines(c.line), QStringList{c.said}) << c.line;
        EXPECT_EQ(shell.errorLevel, 1) << c.line;
    }
    EXPECT_EQ(read("d:\\m\\moved\\two.txt"), "2");
}

TEST_F(CommandTest, DeltreeAsksRemovesLinksAsLinksAndNeverARoot) {
    write("c:\\old\\ro.txt", "r");
    ASSERT_EQ(platform::SetAttributes("c:\\old\\ro.txt", platform::attr::ReadOnly), 0);
    write({{"c:\\old\\sub\\.hidden", "h"}, {"d:\\far\\keep.txt", "keep"}});
    link(host("d:\\far"), host("c:\\old\\sub\\far"));
    link(host("d:\\far\\keep.txt"), host("c:\\old\\keep.txt"));
    link("..", host("c:\\old\\sub\\up"));

    answer("x\nn");
    EXPECT_EQ(run("deltree c:\\old"), "Delete directory \"c:\\old\" and all its subdirectories? [yn] n\n");
    EXPECT_TRUE(exists("c:\\old\\ro.txt"));
    answer("y");
    EXPECT_EQ(run("deltree c:\\old"), "Delete directory \"c:\\old\" and all its subdirectories? [yn] y\nDeleting c:\\old...\n");
    EXPECT_FALSE(exists("c:\\old"));
    EXPECT_EQ(read("d:\\far\\keep.txt"), "keep") << "what a link points at stays";
    EXPECT_EQ(shell.errorLevel, 0);

    // A mask takes files and folders alike; a link to a folder goes as a link.
    for (const char* n : {"x.tmp", "keep.txt", "dir.tmp\\inner.txt"}) write(QString("c:\\w\\") + n, "w");
    link(host("d:\\far"), host("c:\\w\\link.tmp"));
    EXPECT_EQ(lines("deltree /y c:\\w\\*.tmp"),
              (QStringList{"Deleting c:\\w\\dir.tmp...", "Deleting c:\\w\\link.tmp...", "Deleting c:\\w\\x.tmp..."}));
    EXPECT_EQ(QDir(host("c:\\w")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), QStringList{"keep.txt"});
    EXPECT_TRUE(exists("d:\\far\\keep.txt"));
    answer("n");
    EXPECT_EQ(run("deltree c:\\w\\keep.txt"), "Delete file \"c:\\w\\keep.txt\"? [yn] n\n");

    // A drive is never emptied whole; the folder DOS stands in stays.
    run("cd c:\\w");
    struct Case { const char* line; QString said; };
    const Case refusals[] = {
        {"deltree /y c:\\", "Cannot delete the root directory of a drive"},
        {"deltree /y d:\\*.*", "Cannot delete the root directory of a drive"},
        {"deltree /y d:", "Cannot delete the root directory of a drive"},
        {"deltree /y c:\\w", "Attempt to remove current directory - C:\\W"},
        {"deltree /y q:\\x", "Invalid drive specification"},
        {"deltree", "Required parameter missing"},
    };
    for (const Case& c : refusals) EXPECT_EQ(lines(c.line), QStringList{c.said}) << c.line;
    EXPECT_TRUE(exists("c:\\w\\keep.txt"));
    EXPECT_TRUE(exists("d:\\far\\keep.txt"));
}

TEST_F(CommandTest, TreeDrawsFoldersOnceAndLabelNamesTheDrive) {
    mkdir("c:\\t\\alpha\\deep");
    write({{"c:\\t\\top.txt", "t"}, {"c:\\t\\alpha\\a.txt", "a"}});
    mkdir("c:\\t\\beta");
    link(host("c:\\t"), host("c:\\t\\beta\\loop"));
    EXPECT_EQ(lines("tree c:\\t"), (QStringList{"Directory PATH listing", "C:\\T", "├───alpha", "│   └───deep",
                                                 "└───beta", "    └───loop"}));
    ASSERT_EQ(platform::SetVolumeLabel('c', "WORK"), 0);
    run("cd c:\\t");
    EXPECT_EQ(run("tree /f /a"), "Directory PATH listing for Volume WORK\nC:.\n|   top.txt\n|\n+---alpha\n"
                                 "|   |   a.txt\n|   |\n|   \\---deep\n\\---beta\n    \\---loop\n");
    EXPECT_EQ(lines("tree alpha\\deep").mid(2), QStringList{"No subdirectories exist"});
    EXPECT_EQ(lines("tree nowhere"), QStringList{"Invalid path - NOWHERE"});

    // LABEL sets the label in capitals, asks for one, and takes it away when the answer is empty.
    EXPECT_EQ(run("label d:backup"), "");
    EXPECT_EQ(platform::VolumeLabel('d'), "BACKUP");
    answer("\ny\n");
    EXPECT_EQ(run("label d:"), " Volume in drive D is BACKUP\nVolume label (11 characters, ENTER for none)? \n\n"
                               "Delete current volume label (Y/N)? y\n");
    EXPECT_EQ(platform::VolumeLabel('d'), "");
    answer("new one\n");
    run("label");
    EXPECT_EQ(platform::VolumeLabel('c'), "NEW ONE");
    EXPECT_EQ(lines("label bad*label"), QStringList{"Invalid characters in volume label"});
    EXPECT_EQ(lines("label twelve chars"), QStringList{"Volume label too long"});
    EXPECT_EQ(lines("label q:x"), QStringList{"Invalid drive specification"});
    EXPECT_EQ(platform::VolumeLabel('c'), "NEW ONE");
}

TEST_F(CommandTest, AttribShowsAndSetsWhatTheFileManagerSees) {
    write({{"c:\\at\\a.txt", "a"}, {"c:\\at\\sub\\b.txt", "b"}});
    const QString a = "c:\\at\\a.txt";
    EXPECT_EQ(lines("attrib c:\\at\\*.*"), QStringList{"A          C:\\AT\\a.txt"});
    EXPECT_EQ(run("attrib +r +h c:\\at\\a.txt"), "");
    EXPECT_EQ(AttributeLetters(a), "RAH");
    QList<platform::FileEntry> shown;
    ASSERT_EQ(platform::ListFiles("c:\\at", "*.*", false, &shown), 0);
    EXPECT_TRUE(shown.isEmpty()) << "the file list leaves a hidden file out";
    // A hidden file keeps its attributes unless the command names H.
    EXPECT_EQ(lines("attrib -r c:\\at\\a.txt"), QStringList{"Not resetting hidden file C:\\AT\\a.txt"});
    EXPECT_EQ(AttributeLetters(a), "RAH");
    run("attrib -r -h -a c:\\at\\a.txt");
    EXPECT_EQ(AttributeLetters(a), "");
    run("attrib +s c:\\at\\*.txt /s");
    EXPECT_EQ(lines("attrib c:\\at\\*.txt /s"), (QStringList{"   S       C:\\AT\\a.txt", "A  S       C:\\AT\\SUB\\b.txt"}));
    EXPECT_EQ(lines("attrib +h c:\\at\\sub\\b.txt"), QStringList{"Not resetting system file C:\\AT\\SUB\\b.txt"});
    // A folder named alone shows its own attributes.
    EXPECT_EQ(lines("attrib c:\\at\\sub"), QStringList{"           C:\\AT\\sub"});

    // Samba's record: read as it stands, and only its attribute field changes.
    write("c:\\at\\samba.txt", "s");
    const QByteArray record = QByteArray::fromHex("000005000500000011000000220000007272" "7d6d9685dd01");
    const QByteArray path = QFile::encodeName(host("c:\\at\\samba.txt"));
    if (::setxattr(path.constData(), "user.DOSATTRIB", record.constData(), size_t(record.size()), 0) != 0)
        GTEST_SKIP() << "no user extended attributes here";
    EXPECT_EQ(lines("attrib c:\\at\\samba.txt"), QStringList{"A   H      C:\\AT\\samba.txt"});
    run("attrib -h +r c:\\at\\samba.txt");
    EXPECT_EQ(AttributeLetters("c:\\at\\samba.txt"), "RA");
    char buf[64];
    const ssize_t n = ::getxattr(path.constData(), "user.DOSATTRIB", buf, sizeof buf);
    ASSERT_EQ(n, record.size());
    QByteArray expected = record;
    expected[12] = 0x21;   // archive and read-only, the rest kept
    EXPECT_EQ(QByteArray(buf, int(n)).toHex(), expected.toHex());

    EXPECT_EQ(lines("attrib c:\\at\\none.*"), QStringList{"File not found - c:\\at\\none.*"});
    EXPECT_EQ(lines("attrib +x a.txt"), QStringList{"Invalid parameter"});
    EXPECT_EQ(lines("attrib +r -r a.txt"), QStringList{"Invalid parameter"});
}
