#include <QLineEdit>
#include "fileops/folders.h"
#include "platform/curdir.h"
#include "ops_fixture.h"

namespace {

class FoldersTest : public OpsTest {
public:
    // Renames the selected folder as a user does: R in the tree, the new label,
    // Enter.
    void renameTo(const QString& label) {
        focusTree();
        key(Qt::Key_R);
        auto* editor = w->DirList->findChild<QLineEdit*>();
        ASSERT_TRUE(editor) << "no label edit";
        editor->selectAll();
        QTest::keyClicks(editor, label);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    QStringList headers() const {
        QStringList out;
        for (int i = 0; i < slot().LineCount; ++i)
            if (slot().Lines[i].startsWith('>')) out << slot().Lines[i].section('/', 0, 0).mid(1);
        out.sort();
        return out;
    }
    QStringList indexed() const {
        QStringList out;
        for (int i = 0; i < slot().IndexCount; ++i) out << slot().FolderIndex[i].section('/', 0, 0);
        out.sort();
        return out;
    }
    QStringList mapped() const {
        QStringList out;
        for (int i = 0; i + 1 < slot().NodeMap.size(); ++i) out << slot().NodeMap[i].section('/', 0, 0);
        out.sort();
        return out;
    }
    // Every folder the tree knows has a node whose path is its own.
    void expectTreeMatchesPicture() const {
        for (int i = 0; i + 1 < slot().NodeMap.size(); ++i) {
            const QString path = slot().NodeMap[i].section('/', 0, 0);
            QTreeWidgetItem* n = w->Node(slot().NodeMap[i].section('/', 1, 1).toInt());
            if (!n) continue;   // a removed node leaves its place empty
            EXPECT_EQ(w->FullPath(n), path);
            EXPECT_TRUE(isFolder(path)) << path.toStdString();
        }
    }
};

TEST_F(FoldersTest, RenamingAFolderRewritesItAndWhatLiesBelowButNoFolderThatMerelyLooksAlike) {
    put("d:\\a\\in a.txt", "a");
    put("d:\\a\\sub\\deep.txt", "deep");
    put("d:\\ab\\in ab.txt", "ab");
    put("d:\\xa\\b\\in xab.txt", "xab");
    start();
    openFolder("d:");
    openFolder("d:\\a");
    openFolder("d:\\a\\sub");
    openFolder("d:\\ab");
    openFolder("d:\\xa");
    openFolder("d:\\xa\\b");
    clickFolder("d:\\a");
    // The DOS box made the folder current.
    ASSERT_EQ(platform::ChangeFolder("d:\\a\\sub"), 0);
    renameTo("z z");
    EXPECT_EQ(platform::CurrentFolder('d'), "d:\\z z\\sub");
    EXPECT_TRUE(isFolder("d:\\z z"));
    EXPECT_FALSE(exists("d:\\a"));
    EXPECT_EQ(headers(), QStringList({"d:", "d:\\ab", "d:\\xa", "d:\\xa\\b", "d:\\z z", "d:\\z z\\sub"}));
    EXPECT_EQ(indexed(), headers());
    EXPECT_EQ(mapped(), headers());
    EXPECT_EQ(node("d:\\z z")->text(0), "z z");
    EXPECT_EQ(slot().CurrentPath, "d:\\z z");
    EXPECT_EQ(w->Path3D->text(), " Path : d:\\z z");
    expectTreeMatchesPicture();
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

TEST_F(FoldersTest, ARenameThatCannotBeDoneChangesNothing) {
    put("d:\\one\\f.txt", "f");
    folder("d:\\two");
    start();
    openFolder("d:");
    openFolder("d:\\one");
    const QStringList before = lines(slot());
    // A name that is taken.
    prompts.expect("File already exists", Ok, "Error");
    renameTo("two");
    // Characters no name may hold.
    prompts.expect(InvalidCharactersMessage, Ok, "Error");
    renameTo("o*e");
    EXPECT_EQ(node("d:\\one")->text(0), "one");
    // The root keeps its name.
    clickFolder("d:");
    prompts.expect("Can't remove / rename root folder", Ok, "Error");
    focusTree();
    key(Qt::Key_R);
    // Gone since logging.
    clickFolder("d:\\two");
    QDir(prefix.host("d:\\two")).removeRecursively();
    prompts.expect("Disk has been changed", Ok, "Error");
    renameTo("three");
    EXPECT_FALSE(exists("d:\\three"));
    EXPECT_EQ(lines(slot()), before);
    EXPECT_EQ(diskNames("d:"), QStringList({"one"}));
    EXPECT_EQ(content("d:\\one\\f.txt"), "f");
}

TEST_F(FoldersTest, MakingAFolderAddsItBelowTheCurrentFolder) {
    folder("d:\\docs\\old");
    put("d:\\leaf\\f.txt", "f");
    start();
    openFolder("d:");
    openFolder("d:\\docs");
    focusTree();
    expectInputDialog("Make folder", "New One");
    key(Qt::Key_M);
    EXPECT_TRUE(isFolder("d:\\docs\\new one"));
    ASSERT_TRUE(node("d:\\docs\\new one"));
    EXPECT_EQ(node("d:\\docs\\new one")->parent(), node("d:\\docs"));
    // By the menu, and a name that exists.
    expectInputDialog("Make folder", "old");
    prompts.expect("Folder already exists", Ok, "Error");
    main->item("mnuMake")->trigger();
    // A name with characters no name may hold is refused in the dialog.
    forms.expect("frmInput", [](QWidget* f) {
        auto* in = static_cast<frmInput*>(f);
        QTest::keyClicks(in->txtBox, "a<b");
        QTest::keyClick(in->txtBox, Qt::Key_Return);
        EXPECT_TRUE(in->isVisible());
        QTest::keyClick(in->txtBox, Qt::Key_Escape);
    });
    prompts.expect(InvalidCharactersMessage, Ok, "Error");
    focusTree();
    key(Qt::Key_M);
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"new one", "old"}));
    // The new folder can be logged.
    clickFolder("d:\\docs\\new one");
    key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(IsFolderLogged(slot(), "d:\\docs\\new one"));
    // A folder of files gets its first subfolder and still lists its files.
    openFolder("d:\\leaf");
    ASSERT_EQ(names(), QStringList({"f.txt"}));
    expectInputDialog("Make folder", "twig");
    key(Qt::Key_M);
    EXPECT_TRUE(node("d:\\leaf")->isExpanded());
    clickFolder("d:\\leaf\\twig");
    clickFolder("d:\\leaf");
    EXPECT_EQ(names(), QStringList({"f.txt"}));
    expectTreeMatchesPicture();
    expectPictureMatchesDisk();
}

TEST_F(FoldersTest, DeletingAFolderChecksItAndAsksFirst) {
    put("d:\\full\\f.txt", "f");
    put("d:\\parent\\child\\c.txt", "c");
    folder("d:\\empty");
    folder("d:\\unlogged");
    folder("d:\\gone");
    start();
    openFolder("d:");
    openFolder("d:\\full");
    openFolder("d:\\parent");
    openFolder("d:\\empty");
    openFolder("d:\\gone");
    // The root.
    clickFolder("d:");
    prompts.expect("Can't remove / rename root folder", Ok, "Error");
    focusTree();
    key(Qt::Key_D);
    // Not logged.
    clickFolder("d:\\unlogged");
    prompts.expect("Folder is not logged", Ok, "Error");
    key(Qt::Key_D);
    // Files in the picture, even when they went from the disk since logging.
    clickFolder("d:\\full");
    QFile::remove(prefix.host("d:\\full\\f.txt"));
    prompts.expect("Folder is not empty", Ok, "Error");
    key(Qt::Key_D);
    EXPECT_TRUE(isFolder("d:\\full"));
    // Subfolders.
    clickFolder("d:\\parent");
    prompts.expect("Folder is not empty", Ok, "Error");
    main->item("mnuDeleteFolder")->trigger();
    // Gone since logging.
    clickFolder("d:\\gone");
    QDir().rmdir(prefix.host("d:\\gone"));
    prompts.expect("Disk has been changed", Ok, "Error");
    focusTree();
    key(Qt::Key_D);
    // No keeps it, Yes removes it and the parent becomes the current folder.
    clickFolder("d:\\empty");
    prompts.expect("Are you sure you want to delete this folder ?", No, "Delete folder");
    key(Qt::Key_D);
    EXPECT_TRUE(isFolder("d:\\empty"));
    prompts.expect("Are you sure you want to delete this folder ?", Yes, "Delete folder");
    key(Qt::Key_D);
    EXPECT_FALSE(exists("d:\\empty"));
    EXPECT_EQ(node("d:\\empty"), nullptr);
    EXPECT_EQ(FindFolderLine(slot(), "d:\\empty", 0), -1);
    EXPECT_EQ(w->DirList->currentItem(), node("d:"));
    EXPECT_EQ(slot().CurrentPath, "d:");
    EXPECT_EQ(diskNames("d:"), QStringList({"full", "parent", "unlogged"}));
    EXPECT_TRUE(IsFolderLogged(slot(), "d:\\full"));
    EXPECT_EQ(LookupFolderLine(slot(), "d:\\full"), FindFolderLine(slot(), "d:\\full", 0));
}

}  // namespace
