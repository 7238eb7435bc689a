#include "ops_fixture.h"

namespace {

constexpr int Folders = 20, PerFolder = 50, Total = Folders * PerFolder;

QString folderOf(int n) { return QString("d:\\src\\s%1").arg(n / PerFolder + 1, 2, 10, QChar('0')); }
QString base(int n) { return QString("f%1").arg(n, 4, 10, QChar('0')); }
// Small files, every one with its own bytes and a size of its own kind.
QByteArray bytesOf(int n) {
    QByteArray b = QString("file %1:").arg(n).toUtf8();
    for (int i = 0; i < 10 + (n * 37) % 300; ++i) b += char('a' + (n + i * 13) % 26);
    return b;
}

class StressTest : public OpsTest {
public:
    // Each original stays where it was with its bytes; copies from..to-1 are in the
    // folder the step put them, under the name it gave them, with the same bytes.
    void expectNothingLost(const QString& copies = QString(), const QString& extension = QString(), int from = 0,
                           int to = Total) {
        int lost = 0;
        for (int n = 0; n < Total; ++n) {
            if (content(folderOf(n) + "\\" + base(n) + ".txt") != bytesOf(n)) ++lost;
            if (n >= from && n < to && !copies.isEmpty() && content(copies + "\\" + base(n) + extension) != bytesOf(n))
                ++lost;
        }
        EXPECT_EQ(lost, 0);
        expectPictureMatchesDisk();
        expectListMatchesLines();
    }
    int filesIn(const QString& f) const { return QDir(prefix.host(f)).entryList(QDir::Files | QDir::Hidden).size(); }
};

TEST_F(StressTest, AThousandTaggedFilesCopiedMovedBackRenamedAndDeletedLoseNothing) {
    for (int n = 0; n < Total; ++n) put(folderOf(n) + "\\" + base(n) + ".txt", bytesOf(n));
    QStringList folders{"d:", "d:\\src"};
    for (int f = 0; f < Folders; ++f) folders << folderOf(f * PerFolder);
    start(folders);

    // Copy: every file of the drive in the global view, tagged, to one folder.
    focusTree();
    key(Qt::Key_G);
    ASSERT_TRUE(slot().GlobalView);
    ASSERT_EQ(w->FileList->count(), Total);
    key(Qt::Key_T, Qt::ControlModifier);
    ASSERT_EQ(panel(4), QString("Tagged files : %1").arg(Total));
    expectCopyDialog("Copy all tagged files", "d:\\flat");
    prompts.expect("d:\\flat" + Exists, Yes);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(filesIn("d:\\flat"), Total);
    expectNothingLost("d:\\flat", ".txt");
    key(Qt::Key_Escape);
    ASSERT_FALSE(slot().GlobalView);

    // Move back under another extension, Esc pressed once in the middle, then the rest.
    openFolder("d:\\flat");
    focusList();
    ASSERT_EQ(w->FileList->count(), Total);
    key(Qt::Key_T, Qt::ControlModifier);
    escapeAfter(400);
    expectCopyDialog("Move all tagged files", "d:\\src\\back", "*.mov");
    prompts.expect("d:\\src\\back" + Exists, Yes);
    key(Qt::Key_M, Qt::ControlModifier);
    stopEscaping();
    EXPECT_EQ(filesIn("d:\\src\\back"), 400);
    EXPECT_EQ(filesIn("d:\\flat"), Total - 400);
    EXPECT_EQ(w->FileList->count(), Total - 400);
    EXPECT_EQ(selectedNames().size(), Total - 400);
    expectNothingLost("d:\\src\\back", ".mov", 0, 400);
    expectNothingLost("d:\\flat", ".txt", 400, Total);
    expectCopyDialog("Move all tagged files", "d:\\src\\back", "*.mov");
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(filesIn("d:\\flat"), 0);
    EXPECT_EQ(filesIn("d:\\src\\back"), Total);
    expectNothingLost("d:\\src\\back", ".mov");

    // Rename by mask.
    openFolder("d:\\src\\back");
    focusList();
    key(Qt::Key_T, Qt::ControlModifier);
    expectInputDialog("Rename all tagged files", "*.ren");
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(w->FileList->count(), Total);
    expectNothingLost("d:\\src\\back", ".ren");

    // Delete them all; the originals stay.
    prompts.expect("Confirm delete for each file ?", No);
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(filesIn("d:\\src\\back"), 0);
    EXPECT_EQ(w->FileList->count(), 0);
    EXPECT_EQ(panel(1), "Matching files : 0");
    expectNothingLost();
}

}  // namespace
