#include <sys/stat.h>
#include <QUrl>
#include "config/more.h"
#include "platform/curdir.h"
#include "ops_fixture.h"

namespace {

class DratTest : public OpsTest {
public:
    // d:\docs holds five files of distinct sizes.
    void openDocs() {
        for (int i = 0; i < 5; ++i) put(QString("d:\\docs\\%1.txt").arg(QChar('a' + i)), QByteArray(i + 1, 'a' + i));
        start({"d:", "d:\\docs"});
        for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) ASSERT_GE(row(n), 0) << n;
        focusList();
    }
};

TEST_F(DratTest, DeletingTheCurrentFileAsksNothingTakesReadOnlyFilesKeepsOtherTagsAndUsesTheTrashAsSet) {
    openDocs();
    setAttributes("d:\\docs\\a.txt", platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::Archive);
    const QString from = QFileInfo(prefix.host("d:\\docs\\a.txt")).canonicalFilePath();
    tag({"c.txt", "d.txt"});
    current("a.txt");
    key(Qt::Key_Delete);
    EXPECT_FALSE(exists("d:\\docs\\a.txt"));
    EXPECT_EQ(names(), QStringList({"b.txt", "c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"c.txt", "d.txt"}));
    expectListMatchesLines();
    EXPECT_EQ(panel(1), "Matching files : 4");
    EXPECT_EQ(panel(2), "Matching bytes : 14");
    EXPECT_EQ(panel(4), "Tagged files : 2");
    EXPECT_EQ(panel(5), "Tagged bytes : 7");
    expectPictureMatchesDisk();
    // A fresh settings file deletes to the trash: there the file waits with its attributes and where it came from.
    const QString trash = prefix.base() + "/Trash";
    prefix.linkDrive('t', trash + "/files");
    int attributes = 0;
    EXPECT_EQ(platform::GetAttributes("t:\\a.txt", &attributes), 0);
    EXPECT_EQ(attributes, platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::Archive);
    EXPECT_EQ(content("t:\\a.txt"), "a");
    QFile info(trash + "/info/a.txt.trashinfo");
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains("\nPath=" + QUrl::toPercentEncoding(from, "/") + "\n"));

    // A settings file written before has no such line: the file goes for good.
    SetMoreValue(more::DeleteToTrash, "false");
    current("b.txt");
    key(Qt::Key_Delete);
    EXPECT_FALSE(exists("d:\\docs\\b.txt"));
    EXPECT_FALSE(QFileInfo::exists(trash + "/files/b.txt"));
    // Where no trash can be had, the user decides: No keeps the file, Yes deletes it for good.
    SetMoreValue(more::DeleteToTrash, "true");
    ASSERT_TRUE(QDir(trash).removeRecursively());
    ASSERT_TRUE(QFile(trash).open(QIODevice::WriteOnly));   // a file where the trash would be made
    const QString noTrash = "The file : d:\\docs\\e.txt can't be moved to the trash. Delete it for good ?";
    current("e.txt");
    prompts.expect(noTrash, No, "Warning");
    key(Qt::Key_Delete);
    EXPECT_EQ(content("d:\\docs\\e.txt"), "eeeee");
    current("e.txt");
    prompts.expect(noTrash, Yes, "Warning");
    key(Qt::Key_Delete);
    EXPECT_FALSE(exists("d:\\docs\\e.txt"));
    EXPECT_EQ(names(), QStringList({"c.txt", "d.txt"}));
    expectPictureMatchesDisk();
}

TEST_F(DratTest, EscBetweenFilesStopsTheRunAndWhatWasDoneIsShown) {
    openDocs();
    key(Qt::Key_T, Qt::ControlModifier);
    ASSERT_EQ(selectedNames().size(), 5);
    escapeAfter(2);
    prompts.expect("Confirm delete for each file ?", No);
    key(Qt::Key_D, Qt::ControlModifier);
    stopEscaping();
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(names(), QStringList({"c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(selectedNames(), QStringList({"c.txt", "d.txt", "e.txt"}));
    EXPECT_EQ(panel(1), "Matching files : 3");
    EXPECT_EQ(panel(5), "Tagged bytes : 12");
    EXPECT_EQ(AbortFlag, 0);
    EXPECT_FALSE(GraphForm()->isVisible());
    expectPictureMatchesDisk();
}

TEST_F(DratTest, ThrashingKeepsNameAttributesAndPermissionsWithNoContent) {
    put("d:\\docs\\secret.dat", QByteArray(10000, 's'));
    put("d:\\docs\\README.TXT", "read me first");
    openDocs();
    Settings[4] = QVariant(true);   // hidden files are listed
    setAttributes("d:\\docs\\secret.dat", platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::Archive);
    focusTree();
    key(Qt::Key_F3, Qt::AltModifier);
    focusList();
    tag({"a.txt"});
    current("secret.dat");
    main->item("mnuThrashFile")->trigger();
    EXPECT_EQ(QFileInfo(prefix.host("d:\\docs\\secret.dat")).size(), 0);
    int a = 0;
    EXPECT_EQ(platform::GetAttributes("d:\\docs\\secret.dat", &a), 0);
    EXPECT_EQ(a, platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::Archive);
    FileLine line;
    ASSERT_TRUE(ParseFileLine(lineOf("d:\\docs", "secret.dat"), &line));
    EXPECT_EQ(line.size, 0);
    EXPECT_EQ(line.attributes, "RAH");
    EXPECT_EQ(selectedNames(), QStringList({"a.txt"}));
    expectPictureMatchesDisk();
    // All tagged: the name stays as the disk spells it, the file that was not tagged keeps its bytes.
    current("a.txt");
    key(Qt::Key_U);
    tag({"readme.txt"});
    const QByteArray readme = QFile::encodeName(prefix.host("d:\\docs") + "/README.TXT");
    ASSERT_EQ(::chmod(readme.constData(), 0740), 0);
    prompts.expect("Confirm thrash for each file ?", No);
    main->item("mnuTaggedThrash")->trigger();
    EXPECT_EQ(content("d:\\docs\\a.txt"), "a");
    const QStringList onDisk = QDir(prefix.host("d:\\docs")).entryList(QDir::Files);
    EXPECT_TRUE(onDisk.contains("README.TXT"));
    EXPECT_FALSE(onDisk.contains("readme.txt"));
    EXPECT_EQ(QFileInfo(prefix.host("d:\\docs") + "/README.TXT").size(), 0);
    // Who may read and run it is kept too.
    struct stat st {};
    ASSERT_EQ(::stat(readme.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0740u);
    EXPECT_EQ(selectedNames(), QStringList({"readme.txt"}));
    expectPictureMatchesDisk();
}

TEST_F(DratTest, RenamingTheCurrentFileChangesTheRecordOnlyWithTheDisk) {
    openDocs();
    current("a.txt");
    expectInputDialog("Rename file", "new a.txt");
    key(Qt::Key_R);
    EXPECT_EQ(content("d:\\docs\\new a.txt"), "a");
    EXPECT_FALSE(exists("d:\\docs\\a.txt"));
    EXPECT_FALSE(lineOf("d:\\docs", "new a.txt").isEmpty());
    EXPECT_TRUE(lineOf("d:\\docs", "a.txt").isEmpty());
    // A name that is taken.
    current("b.txt");
    expectInputDialog("Rename file", "c.txt");
    prompts.expect("Unable to rename file", Ok, "Error");
    key(Qt::Key_R);
    EXPECT_EQ(content("d:\\docs\\b.txt"), "bb");
    EXPECT_EQ(content("d:\\docs\\c.txt"), "ccc");
    // A name the disk refuses: the record keeps the old name.
    current("b.txt");
    expectInputDialog("Rename file", QString(300, 'n'));
    prompts.expect("Sharing violation", Ok, "Error");
    key(Qt::Key_R);
    EXPECT_EQ(content("d:\\docs\\b.txt"), "bb");
    EXPECT_FALSE(lineOf("d:\\docs", "b.txt").isEmpty());
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"b.txt", "c.txt", "d.txt", "e.txt", "new a.txt"}));
    expectPictureMatchesDisk();
    expectListMatchesLines();
}

// The folder paths the first count entries of a table name (headers only: the lines starting with '>'), sorted.
QStringList paths(const QStringList& table, int count, bool headersOnly = false) {
    QStringList out;
    for (int i = 0; i < count; ++i)
        if (!headersOnly || table[i].startsWith('>')) out << table[i].section('/', 0, 0).mid(headersOnly ? 1 : 0);
    out.sort();
    return out;
}

TEST_F(DratTest, RenamingAFolderRewritesItAndWhatLiesBelowButNoFolderThatMerelyLooksAlike) {
    put("d:\\a\\in a.txt", "a");
    put("d:\\a\\sub\\deep.txt", "deep");
    put("d:\\ab\\in ab.txt", "ab");
    put("d:\\xa\\b\\in xab.txt", "xab");
    start({"d:", "d:\\a", "d:\\a\\sub", "d:\\ab", "d:\\xa", "d:\\xa\\b"});
    clickFolder("d:\\a");
    // The DOS box made the folder current.
    ASSERT_EQ(platform::ChangeFolder("d:\\a\\sub"), 0);
    // Renamed as a user does: R in the tree, the new label, Enter.
    focusTree();
    key(Qt::Key_R);
    auto* editor = w->DirList->findChild<QLineEdit*>();
    ASSERT_TRUE(editor) << "no label edit";
    editor->selectAll();
    QTest::keyClicks(editor, "z z");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(platform::CurrentFolder('d'), "d:\\z z\\sub");
    EXPECT_TRUE(isFolder("d:\\z z"));
    EXPECT_FALSE(exists("d:\\a"));
    const QStringList headers = paths(slot().Lines, slot().LineCount, true);
    EXPECT_EQ(headers, QStringList({"d:", "d:\\ab", "d:\\xa", "d:\\xa\\b", "d:\\z z", "d:\\z z\\sub"}));
    EXPECT_EQ(paths(slot().FolderIndex, slot().IndexCount), headers);
    EXPECT_EQ(paths(slot().NodeMap, slot().NodeMap.size() - 1), headers);
    EXPECT_EQ(node("d:\\z z")->text(0), "z z");
    EXPECT_EQ(slot().CurrentPath, "d:\\z z");
    EXPECT_EQ(w->Path3D->text(), " Path : d:\\z z");
    // Every folder the tree knows has a node whose path is its own.
    for (int i = 0; i + 1 < slot().NodeMap.size(); ++i) {
        const QString path = slot().NodeMap[i].section('/', 0, 0);
        QTreeWidgetItem* n = w->Node(slot().NodeMap[i].section('/', 1, 1).toInt());
        if (!n) continue;   // a removed node leaves its place empty
        EXPECT_EQ(w->FullPath(n), path);
        EXPECT_TRUE(isFolder(path)) << path.toStdString();
    }
    expectPictureMatchesDisk();
    // The renamed folder's files still act on the disk under the new name.
    focusList();
    current("in a.txt");
    key(Qt::Key_Delete);
    EXPECT_FALSE(exists("d:\\z z\\in a.txt"));
    clickFolder("d:\\z z\\sub");
    focusTree();
    key(Qt::Key_F3, Qt::AltModifier);
    EXPECT_EQ(lineOf("d:\\z z\\sub", "deep.txt").section('/', 0, 0), "deep.txt");
    clickFolder("d:\\ab");
    EXPECT_EQ(names(), QStringList({"in ab.txt"}));
    expectPictureMatchesDisk();
}

}  // namespace
