// Names as Linux has them, acted on through the drive window: every name is
// listed as its look-alike, and every command, for the current file and for
// tagged files, acts on that file and no other, with its name's bytes.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "../platform/helpers.h"
#include "ops_fixture.h"
#include "platform/names.h"
#include "viewers/frmDump.h"

namespace {
// Names DOS cannot hold, bytes that are no UTF-8, three names that differ only
// in case, a line break, a leading "-", a "%", 255 bytes.
const QList<QByteArray> Odd = {"qa.txt",  "Meeting: notes.txt", "what?.pdf", "back\\slash", "caf\xff.bin",
                               "A.txt",   "a.txt",              "a.TXT",     "new\nline",   "-rf.txt",
                               "100%.txt", QByteArray(251, 'n') + ".txt"};
// What the list shows for each, in the same order.
const QStringList Shown = {"qa.txt",  "meeting\uFF1A notes.txt", "what\uFF1F.pdf", "back\uFF3Cslash",
                           "caf\u2039FF\u203A.bin", "A.txt", "a.txt", "a.TXT", "new\u240Aline", "-rf.txt",
                           "100%.txt", QString(251, 'n') + ".txt"};

QByteArray Bytes(int i) { return "file " + QByteArray::number(i); }

class NamesTest : public OpsTest {
public:
    QByteArray hostFolder(const QString& dosFolder) const { return QFile::encodeName(prefix.host(dosFolder)); }
    void putOdd(const QString& dosFolder) {
        folder(dosFolder);
        for (int i = 0; i < Odd.size(); ++i) {
            const int fd = ::open(hostFolder(dosFolder) + "/" + Odd[i], O_CREAT | O_WRONLY | O_TRUNC, 0644);
            ASSERT_GE(fd, 0) << Odd[i].constData();
            ASSERT_EQ(::write(fd, Bytes(i).constData(), size_t(Bytes(i).size())), Bytes(i).size());
            ::close(fd);
        }
    }
    // Name bytes -> content of every file of a host folder.
    QMap<QByteArray, QByteArray> onDisk(const QString& dosFolder) const {
        QMap<QByteArray, QByteArray> out;
        DIR* d = ::opendir(hostFolder(dosFolder).constData());
        if (!d) return out;
        while (const dirent* e = ::readdir(d)) {
            const QByteArray name(e->d_name);
            if (name == "." || name == ".." || e->d_type == DT_DIR) continue;
            QFile f;
            const int fd = ::open(hostFolder(dosFolder) + "/" + name, O_RDONLY);
            out[name] = fd >= 0 && f.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle) ? f.readAll() : "?";
        }
        ::closedir(d);
        return out;
    }
    QMap<QByteArray, QByteArray> allOdd() const {
        QMap<QByteArray, QByteArray> out;
        for (int i = 0; i < Odd.size(); ++i) out[Odd[i]] = Bytes(i);
        return out;
    }
    QStringList sorted(QStringList l) const {
        l.sort();
        return l;
    }
    // The copy dialog left as it was filled: Enter on the name, the folder, Enter.
    void expectCopyWithNameShown(const QString& caption, const QString& shown, const QString& to) {
        forms.expect("frmCopy", [=](QWidget* f) {
            auto* c = static_cast<frmCopy*>(f);
            EXPECT_EQ(c->windowTitle(), caption);
            EXPECT_EQ(c->txtAs->text(), shown);
            QTest::keyClick(c->txtAs, Qt::Key_Return);
            c->txtTo->selectAll();
            QTest::keyClicks(c->txtTo, to);
            QTest::keyClick(c->txtTo, Qt::Key_Return);
        });
    }
    bool writable(const QString& dosFolder, const QByteArray& name) const {
        struct stat st {};
        return ::stat(hostFolder(dosFolder) + "/" + name, &st) == 0 && (st.st_mode & S_IWUSR);
    }
};

TEST_F(NamesTest, EveryNameIsListedAsItsLookAlikeAndEveryCommandActsOnItsOwnFile) {
    putOdd("d:\\src");
    ASSERT_EQ(::mkdir(hostFolder("d:\\src") + "/Sub:dir", 0755), 0);
    folder("d:\\dst");
    folder("d:\\cur");
    folder("d:\\mv");
    for (const char* box : {"/Box", "/box"}) ASSERT_EQ(::mkdir(hostFolder("d:") + box, 0755), 0);
    start({"d:", "d:\\dst", "d:\\cur", "d:\\mv", "d:\\src"});
    ASSERT_EQ(sorted(names()), sorted(Shown));
    EXPECT_EQ(panel(1), "Matching files : 12");
    EXPECT_EQ(NodeName(node("d:\\src")->child(0)), platform::NameFromHost("sub:dir"));
    EXPECT_EQ(node("d:\\src")->child(0)->text(0), "sub\uFF1Adir");
    expectListMatchesLines();
    focusList();

    // Each by its own key: viewed, copied under its own name with the dialog left as filled.
    for (int i = 0; i < Odd.size(); ++i) {
        current(Shown[i]);
        forms.expect("frmDump", [&](QWidget* f) {
            EXPECT_EQ(f->windowTitle(), Shown[i]);
            EXPECT_EQ(static_cast<frmDump*>(f)->rtfBox[0]->toPlainText(), Bytes(i));
            static_cast<frmDump*>(f)->close();
        });
        key(Qt::Key_V);
        current(Shown[i]);
        expectCopyWithNameShown("Copy file", Shown[i], "d:\\cur");
        key(Qt::Key_C);
    }
    EXPECT_EQ(onDisk("d:\\cur"), allOdd());
    // A folder chosen with Browse is filled in as the list spells it: of Box and box, Box.
    current(Shown[0]);
    forms.expect("frmCopy", [](QWidget* f) {
        auto* c = static_cast<frmCopy*>(f);
        QApplication::setActiveWindow(c);
        QTest::keyClick(c->txtAs, Qt::Key_Return);
        QTest::mouseClick(c->btnBrowse, Qt::LeftButton);
    });
    forms.expect("frmDirs", [](QWidget* f) {
        auto* d = static_cast<frmDirs*>(f);
        d->SetPath("d:");
        d->dirBox->setCurrentItem(d->dirBox->findItems("Box", Qt::MatchEndsWith | Qt::MatchCaseSensitive).value(0));
        QTest::mouseClick(d->btnOk, Qt::LeftButton);
    });
    forms.expect("frmCopy", [](QWidget* f) {
        auto* c = static_cast<frmCopy*>(f);
        EXPECT_EQ(c->txtTo->text(), "d:\\Box");
        QTest::keyClick(c->txtTo, Qt::Key_Return);
    });
    key(Qt::Key_C);
    EXPECT_EQ(onDisk("d:").keys(), QList<QByteArray>()) << "no file outside the folders";
    EXPECT_TRUE(QFile::exists(prefix.host("d:") + "/Box/qa.txt"));
    EXPECT_FALSE(QFile::exists(prefix.host("d:") + "/box/qa.txt"));

    // All tagged: copied, then the copies moved on; every name with its bytes.
    key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(panel(4), "Tagged files : 12");
    expectCopyDialog("Copy all tagged files", "d:\\dst");
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(onDisk("d:\\dst"), allOdd());
    clickFolder("d:\\dst");
    focusList();
    key(Qt::Key_T, Qt::ControlModifier);
    expectCopyDialog("Move all tagged files", "d:\\mv");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(onDisk("d:\\mv"), allOdd());
    EXPECT_TRUE(onDisk("d:\\dst").isEmpty());
    expectPictureMatchesDisk();

    // Attributes: read-only by tag in d:\mv, one taken off again by its own key.
    clickFolder("d:\\mv");
    focusList();
    key(Qt::Key_T, Qt::ControlModifier);
    expectInputDialog("Attributes of all tagged files", "+r");
    key(Qt::Key_A, Qt::ControlModifier);
    current(Shown[5]);
    expectInputDialog("Attributes of file", "-r");
    key(Qt::Key_A);
    for (int i = 0; i < Odd.size(); ++i) EXPECT_EQ(writable("d:\\mv", Odd[i]), i == 5) << Odd[i].constData();
    EXPECT_TRUE(writable("d:\\src", Odd[6])) << "nothing outside the folder changed";

    // Renamed by its own key: the name left as filled changes nothing, a new one renames that file alone.
    clickFolder("d:\\cur");
    focusList();
    current(Shown[6]);
    forms.expect("frmInput", [](QWidget* f) {
        auto* in = static_cast<frmInput*>(f);
        EXPECT_EQ(in->txtBox->text(), "a.txt");
        QTest::keyClick(in->txtBox, Qt::Key_Return);
    });
    key(Qt::Key_R);
    EXPECT_EQ(onDisk("d:\\cur"), allOdd());
    QMap<QByteArray, QByteArray> renamed;
    for (int i = 0; i < Odd.size(); ++i) {
        current(Shown[i]);
        expectInputDialog("Rename file", "r" + QString::number(i) + ".txt");
        key(Qt::Key_R);
        renamed["r" + QByteArray::number(i) + ".txt"] = Bytes(i);
    }
    EXPECT_EQ(onDisk("d:\\cur"), renamed);

    // Deleted: tagged ones in d:\mv (read-only ones too), the current file in d:\src; thrashed: the current file.
    clickFolder("d:\\src");
    focusList();
    current(Shown[3]);
    main->item("mnuThrashFile")->trigger();
    current(Shown[7]);
    key(Qt::Key_Delete);
    QMap<QByteArray, QByteArray> left = allOdd();
    left.remove(Odd[7]);
    left[Odd[3]] = QByteArray();
    EXPECT_EQ(onDisk("d:\\src"), left);
    clickFolder("d:\\mv");
    focusList();
    key(Qt::Key_T, Qt::ControlModifier);
    prompts.expect("Confirm delete for each file ?", No);
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(onDisk("d:\\mv").isEmpty());
    expectPictureMatchesDisk();
}

// A FAT stick cannot hold ":" or "?": that file's copy or move stops with a
// message naming it, the others go on, and a move keeps its source.
TEST_F(NamesTest, ADiskThatCannotHoldANameStopsThatFileWithAMessageNamingIt) {
    const testhost::FatDisk fat(prefix.base());
    REQUIRE_MOUNT(fat);
    prefix.linkDrive('f', fat.folder);
    putOdd("d:\\src");
    start({"d:", "d:\\src"});
    focusList();
    tag({Shown[0], Shown[1], Shown[2]});
    const QString refused = " can't have this name on that disk";
    prompts.expect("The file : f:\\Meeting\uFF1A notes.txt" + refused, Ok, "Error");
    prompts.expect("The file : f:\\what\uFF1F.pdf" + refused, Ok, "Error");
    expectCopyDialog("Move all tagged files", "f:\\");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(onDisk("d:\\src").size(), Odd.size() - 1);
    EXPECT_TRUE(onDisk("d:\\src").contains(Odd[1]));
    EXPECT_EQ(onDisk("d:\\src")[Odd[2]], Bytes(2));
    EXPECT_EQ(content("f:\\qa.txt"), Bytes(0));
    EXPECT_EQ(onDisk("f:").size(), 1);
}
}  // namespace
