#include "ops_fixture.h"

namespace {

constexpr int Folders = 20;
constexpr int PerFolder = 50;

class StressTest : public OpsTest {
public:
    static QString folderOf(int n) { return QString("d:\\src\\s%1").arg(n / PerFolder + 1, 2, 10, QChar('0')); }
    static QString nameOf(int n) { return QString("f%1.txt").arg(n, 4, 10, QChar('0')); }
    static QString base(int n) { return nameOf(n).chopped(4); }
    // Small files, every one with its own bytes and a size of its own kind.
    static QByteArray bytesOf(int n) {
        QByteArray b = QString("file %1:").arg(n).toUtf8();
        for (int i = 0; i < 10 + (n * 37) % 300; ++i) b += char('a' + (n + i * 13) % 26);
        return b;
    }
    void arrange() {
        for (int n = 0; n < Folders * PerFolder; ++n) {
            const QString path = prefix.host(folderOf(n)) + "/" + nameOf(n);
            QDir().mkpath(QFileInfo(path).path());
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytesOf(n));
        }
    }
    // Each original stays where it was, with its bytes; each copy is in the
    // folder the step put it, under the name it gave it, with the same bytes.
    void expectContents(const QString& copies, const QString& extension, int count = Folders * PerFolder) {
        int lost = 0;
        for (int n = 0; n < Folders * PerFolder; ++n) {
            if (content(folderOf(n) + "\\" + nameOf(n)) != bytesOf(n)) ++lost;
            if (copies.isEmpty() || n >= count) continue;
            if (content(copies + "\\" + base(n) + extension) != bytesOf(n)) ++lost;
        }
        EXPECT_EQ(lost, 0);
    }
    int filesIn(const QString& dosFolder) const {
        return QDir(prefix.host(dosFolder)).entryList(QDir::Files | QDir::Hidden).size();
    }
};

TEST_F(StressTest, AThousandTaggedFilesCopiedMovedBackRenamedAndDeletedLoseNothing) {
    arrange();
    start();
    automaticOverwrite(false);
    openFolder("d:");
    openFolder("d:\\src");
    for (int f = 1; f <= Folders; ++f) openFolder(QString("d:\\src\\s%1").arg(f, 2, 10, QChar('0')));
    const int total = Folders * PerFolder;

    // Copy: every file of the drive in the global view, tagged, to one folder.
    focusTree();
    key(Qt::Key_G);
    ASSERT_TRUE(slot().GlobalView);
    ASSERT_EQ(w->FileList->count(), total);
    key(Qt::Key_T, Qt::ControlModifier);
    ASSERT_EQ(panel(4), QString("Tagged files : %1").arg(total));
    expectCopyDialog("Copy all tagged files", "d:\\flat");
    prompts.expect("d:\\flat, does'nt exist. Do you want to create it ?", Yes);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(filesIn("d:\\flat"), total);
    expectContents("d:\\flat", ".txt");
    expectPictureMatchesDisk();
    expectListMatchesLines();
    key(Qt::Key_Escape);
    ASSERT_FALSE(slot().GlobalView);

    // Move back under another extension, Esc pressed once in the middle.
    openFolder("d:\\flat");
    focusList();
    ASSERT_EQ(w->FileList->count(), total);
    key(Qt::Key_T, Qt::ControlModifier);
    QObject::connect(GraphForm()->ProgressBar, &QProgressBar::valueChanged, GraphForm(), [](int value) {
        if (value == 400) QTest::keyClick(GraphForm(), Qt::Key_Escape);
    });
    expectCopyDialog("Move all tagged files", "d:\\src\\back", "*.mov");
    prompts.expect("d:\\src\\back, does'nt exist. Do you want to create it ?", Yes);
    key(Qt::Key_M, Qt::ControlModifier);
    QObject::disconnect(GraphForm()->ProgressBar, nullptr, GraphForm(), nullptr);
    EXPECT_EQ(filesIn("d:\\src\\back"), 400);
    EXPECT_EQ(filesIn("d:\\flat"), total - 400);
    EXPECT_EQ(w->FileList->count(), total - 400);
    EXPECT_EQ(selectedNames().size(), total - 400);
    expectContents("d:\\src\\back", ".mov", 400);
    for (int n = 400; n < total; ++n) EXPECT_EQ(content("d:\\flat\\" + nameOf(n)), bytesOf(n)) << n;
    expectPictureMatchesDisk();
    expectListMatchesLines();
    // The rest of the move.
    expectCopyDialog("Move all tagged files", "d:\\src\\back", "*.mov");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(filesIn("d:\\flat"), 0);
    EXPECT_EQ(filesIn("d:\\src\\back"), total);
    expectContents("d:\\src\\back", ".mov");
    expectPictureMatchesDisk();

    // Rename by mask.
    openFolder("d:\\src\\back");
    focusList();
    key(Qt::Key_T, Qt::ControlModifier);
    expectInputDialog("Rename all tagged files", "*.ren");
    key(Qt::Key_R, Qt::ControlModifier);
    expectContents("d:\\src\\back", ".ren");
    EXPECT_EQ(w->FileList->count(), total);
    expectPictureMatchesDisk();
    expectListMatchesLines();

    // Delete them all; the originals stay.
    prompts.expect("Confirm delete for each file ?", No);
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(filesIn("d:\\src\\back"), 0);
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(panel(1), "Matching files : 0");
    expectContents(QString(), QString());
    expectPictureMatchesDisk();
}

}  // namespace
