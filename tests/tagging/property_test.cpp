#include <QHash>
#include <QSet>
#include <random>
#include "tagging/tagging.h"
#include "tagging_fixture.h"

namespace {

// Random tagging through every route a user has, over a logged tree. After each
// step the picture, the list and the panels must tell the same story.
class TaggingProperty : public DriveWindowTest {
public:
    std::mt19937 rng{19970315};
    QStringList folders{"d:", "d:\\alpha", "d:\\alpha\\deep", "d:\\beta", "d:\\dos", "d:\\dos2", "d:\\empty"};

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    void arrangeTree() {
        for (const QString& f : folders) {
            if (f == "d:\\empty") {
                folder(f);
                continue;
            }
            const int count = 2 + pick(5);
            for (int i = 0; i < count; ++i) {
                // Sizes from empty to a few kilobytes; some names recur in several folders.
                const int size = pick(4) == 0 ? 0 : pick(5000);
                const QString name = pick(3) == 0 ? QString("same%1.txt").arg(i) : QString("f%1_%2.dat").arg(i).arg(pick(100));
                file(f + "\\" + name, size);
            }
        }
    }

    bool inView() const { return slot().GlobalView != 0; }
    bool listFocused() const { return QApplication::focusWidget() == w->FileList; }

    QString itemPath(int row) const {
        const int at = FileLineOfItem(slot(), row);
        if (at < 0) return QString();
        int header = at;
        while (header > 0 && !slot().Lines[header].startsWith('>')) --header;
        FolderHeader folder;
        ParseFolderHeader(slot().Lines[header], &folder);
        return folder.path + "\\" + FileNameOf(slot().Lines[at]);
    }
    QHash<QString, bool> tagsByPath() const {
        QHash<QString, bool> out;
        QString folderPath;
        for (int i = 0; i < slot().LineCount; ++i) {
            const QString& line = slot().Lines[i];
            FolderHeader folder;
            if (line.startsWith('>')) {
                ParseFolderHeader(line, &folder);
                folderPath = folder.path;
            } else {
                out.insert(folderPath + "\\" + FileNameOf(line), IsTagged(line));
            }
        }
        return out;
    }
    QSet<QString> shownPaths() const {
        QSet<QString> out;
        for (int i = 0; i < w->FileList->count(); ++i) out.insert(itemPath(i));
        return out;
    }
    QVector<bool> selection() const {
        QVector<bool> out;
        for (int i = 0; i < w->FileList->count(); ++i) out << w->FileList->item(i)->isSelected();
        return out;
    }

    // The picture is well formed, every listed item agrees with its line, and
    // the panels give the totals of the list.
    void checkInvariants() {
        for (int i = 0; i < slot().LineCount; ++i) {
            const QString& line = slot().Lines[i];
            if (line.startsWith('>')) {
                FolderHeader folder;
                ASSERT_TRUE(ParseFolderHeader(line, &folder)) << line.toStdString();
                ASSERT_TRUE(folders.contains(folder.path)) << line.toStdString();
            } else {
                FileLine f;
                ASSERT_TRUE(ParseFileLine(line, &f)) << line.toStdString();
                ASSERT_TRUE(f.tag == 'T' || f.tag == 'U') << line.toStdString();
            }
        }
        qint64 tagged = 0, taggedBytes = 0, bytes = 0;
        for (int i = 0; i < w->FileList->count(); ++i) {
            const int at = FileLineOfItem(slot(), i);
            ASSERT_GE(at, 0) << "row " << i;
            const QString& line = slot().Lines[at];
            ASSERT_EQ(FileNameOf(line), w->FileList->item(i)->text()) << "row " << i;
            ASSERT_EQ(IsTagged(line), w->FileList->item(i)->isSelected()) << "row " << i << " " << line.toStdString();
            bytes += FileSizeOf(line);
            if (IsTagged(line)) {
                ++tagged;
                taggedBytes += FileSizeOf(line);
            }
        }
        ASSERT_EQ(w->GroupDirList->isHidden(), inView());
        // The tagged-file buttons: only for the list, and only with a tag in it.
        for (int b = 1; b <= 4; ++b)
            ASSERT_EQ(main->button(b)->isEnabled(), slot().FocusPane == 2 && tagged > 0) << "button " << b;
        // The branch and folder buttons belong to the tree.
        for (int b : {6, 7, 13, 14, 15, 16})
            ASSERT_EQ(main->button(b)->isEnabled(), slot().FocusPane == 1) << "button " << b;
        if (inView()) {
            ASSERT_EQ(w->FileList->count(), slot().GlobalList.size() - 1);
            ASSERT_EQ(panel(1), QString("Matching files : %1").arg(w->FileList->count()));
            ASSERT_EQ(panel(2), QString("Matching bytes : %1").arg(bytes));
        } else if (w->FileList->count() > 0) {
            // The folder view lists the whole folder shown.
            ASSERT_EQ(w->FileList->count(), FolderFileCount(slot(), slot().CurrentPath));
        } else if (!IsFolderLogged(slot(), slot().CurrentPath)) {
            ASSERT_EQ(panel(4), "Tagged files : ###");
            ASSERT_EQ(panel(5), "Tagged bytes : ###");
            return;
        } else {
            // A closed folder with subfolders lists no names but counts its files.
            const int h = LookupFolderLine(slot(), slot().CurrentPath);
            for (int i = h + 1; i < slot().LineCount && !slot().Lines[i].startsWith('>'); ++i) {
                if (!IsTagged(slot().Lines[i])) continue;
                ++tagged;
                taggedBytes += FileSizeOf(slot().Lines[i]);
            }
        }
        ASSERT_EQ(panel(4), QString("Tagged files : %1").arg(tagged));
        ASSERT_EQ(panel(5), QString("Tagged bytes : %1").arg(taggedBytes));
    }

    // Opens a menu as the user does, then chooses one of its items.
    void choose(const char* menuName, const char* itemName) {
        openMenu(menuName);
        main->item(itemName)->trigger();
    }
};

TEST_F(TaggingProperty, EveryRouteKeepsLinesListAndTotalsInStep) {
    arrangeTree();
    start();
    for (const QString& f : folders) openFolder(f);
    clickFolder("d:");

    const QStringList treeViews{"G", "B", "Ctrl+G", "Ctrl+B", "mnuGlobalMatching", "mnuGlobalTagged",
                                "mnuBranchMatching", "mnuBranchTagged", "tbBMatch", "tbBTagged"};
    const QStringList fileItems{"mnuTagCurrentFile", "mnuTagAllFiles", "mnuInvertFileTags", "mnuUntagCurrentFile",
                                "mnuUntagAllFiles"};
    const QStringList folderItems{"mnuTagFolderFiles", "mnuUntagFolderFiles", "mnuInvertFolder"};
    const struct { Qt::Key key; Qt::KeyboardModifiers mods; const char* name; } tagKeys[] = {
        {Qt::Key_T, Qt::NoModifier, "T"},          {Qt::Key_U, Qt::NoModifier, "U"},
        {Qt::Key_I, Qt::NoModifier, "I"},          {Qt::Key_Space, Qt::NoModifier, "Space"},
        {Qt::Key_T, Qt::ControlModifier, "Ctrl+T"}, {Qt::Key_U, Qt::ControlModifier, "Ctrl+U"},
        {Qt::Key_I, Qt::ControlModifier, "Ctrl+I"},
    };

    int viewsShown = 0, clicks = 0, ranges = 0, switches = 0;
    for (int step = 0; step < 300; ++step) {
        const QHash<QString, bool> before = tagsByPath();
        const QSet<QString> shownBefore = shownPaths();
        const QVector<bool> selBefore = selection();
        const int count = w->FileList->count();
        const int current = w->FileList->currentRow();
        const int choice = pick(100);
        std::string what;
        // Only tag commands change tags, and only of the files shown; unlogging
        // drops the tags of the folder shown.
        bool tagging = false, unlogged = false;

        if (choice < 30) {   // a tag key in the pane that has the focus
            const auto& k = tagKeys[pick(7)];
            tagging = true;
            what = std::string(k.name) + (listFocused() ? " in the list" : " in the tree");
            const bool list = listFocused();
            key(k.key, k.mods);
            const QVector<bool> sel = selection();
            if (count > 0 && sel.size() == count) {
                const bool anyBefore = selBefore.contains(true);
                if (k.mods == Qt::ControlModifier && k.key == Qt::Key_T) {
                    ASSERT_FALSE(sel.contains(false)) << what;
                }
                if (k.mods == Qt::ControlModifier && k.key == Qt::Key_U) {
                    ASSERT_FALSE(sel.contains(true)) << what;
                }
                if (k.key == Qt::Key_I && (k.mods == Qt::NoModifier || anyBefore)) {
                    for (int i = 0; i < count; ++i) ASSERT_NE(sel[i], selBefore[i]) << what << " row " << i;
                }
                if (k.mods == Qt::NoModifier && (k.key == Qt::Key_T || k.key == Qt::Key_U)) {
                    const bool tag = k.key == Qt::Key_T;
                    if (list) {
                        const int row = qMax(current, 0);
                        ASSERT_EQ(sel[row], tag) << what;
                        ASSERT_EQ(w->FileList->currentRow(), qMin(row + 1, count - 1)) << what;
                    } else {
                        ASSERT_FALSE(sel.contains(!tag)) << what;
                    }
                }
                if (k.key == Qt::Key_Space && list && current >= 0) {
                    ASSERT_NE(sel[current], selBefore[current]) << what;
                    ASSERT_EQ(w->FileList->currentRow(), current) << what;
                }
            }
        } else if (choice < 45 && count > 0) {   // clicks and Shift+click ranges
            const int row = pick(count);
            const bool range = pick(3) == 0;
            const int anchor = w->RememberedIndex;
            what = (range ? "Shift+click row " : "click row ") + std::to_string(row);
            tagging = true;
            clickRow(row, range ? Qt::ShiftModifier : Qt::NoModifier);
            const QVector<bool> sel = selection();
            ASSERT_NE(sel[row], selBefore[row]) << what;
            if (range && anchor >= 0) {
                for (int i = qMin(row, qMin(anchor, count - 1)); i <= qMax(row, qMin(anchor, count - 1)); ++i)
                    ASSERT_EQ(sel[i], sel[row]) << what << " row " << i;
            }
            range ? ++ranges : ++clicks;
        } else if (choice < 49 && count > 0) {   // what the list does by itself
            tagging = true;
            const int how = pick(3);
            const int row = pick(count);
            QWidget* viewport = w->FileList->viewport();
            w->FileList->scrollToItem(w->FileList->item(row));
            const QPoint at = w->FileList->visualItemRect(w->FileList->item(row)).center();
            if (how == 0) {
                what = "double click row " + std::to_string(row);
                QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
            } else if (how == 1 && listFocused()) {
                what = "Ctrl+Space";
                key(Qt::Key_Space, Qt::ControlModifier);
            } else {
                const int to = pick(count);
                what = "drag from row " + std::to_string(row) + " to " + std::to_string(to);
                QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, at);
                const QPoint end = w->FileList->visualItemRect(w->FileList->item(to)).center();
                QTest::mouseMove(viewport, end);
                QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, end);
            }
        } else if (choice < 55) {   // menu items of the pane that has the focus
            tagging = true;
            if (listFocused()) {
                const QString item = fileItems[pick(fileItems.size())];
                what = item.toStdString();
                choose("mnuFile", qPrintable(item));
            } else if (!inView()) {
                const QString item = folderItems[pick(folderItems.size())];
                what = item.toStdString();
                choose("mnuFolder", qPrintable(item));
            }
        } else if (choice < 63) {   // moving in the list or between the panes
            if (inView() || (listFocused() && pick(2) == 0)) {
                what = "Down";
                if (listFocused()) key(pick(2) ? Qt::Key_Down : Qt::Key_Up);
            } else if (listFocused()) {
                what = "Enter to the tree";
                key(Qt::Key_Return);
            } else if (count > 0 && pick(2) == 0) {
                what = "Window, Files";
                main->item("mnuWinFiles")->trigger();
            } else if (!inView()) {
                what = "open or close the folder";
                key(pick(2) ? Qt::Key_Left : Qt::Key_Right);
            }
        } else if (choice < 78) {   // another folder
            if (!inView()) {
                const QString f = folders[pick(folders.size())];
                what = "folder " + f.toStdString();
                clickFolder(f);
                ++switches;
            }
        } else if (choice < 90) {   // into a view, or out of it
            if (inView()) {
                const int how = pick(3);
                what = how == 0 ? "Esc" : how == 1 ? "Enter" : "mnuWinFolders";
                if (how == 0) key(Qt::Key_Escape);
                else if (how == 1) key(Qt::Key_Return);
                else main->item("mnuWinFolders")->trigger();
                ASSERT_FALSE(inView()) << what;
            } else if (!listFocused()) {
                const QString v = treeViews[pick(treeViews.size())];
                what = v.toStdString();
                if (v == "G") key(Qt::Key_G);
                else if (v == "B") key(Qt::Key_B);
                else if (v == "Ctrl+G") key(Qt::Key_G, Qt::ControlModifier);
                else if (v == "Ctrl+B") key(Qt::Key_B, Qt::ControlModifier);
                else if (v.startsWith("tb")) main->button(v)->trigger();
                else choose("mnuWindow", qPrintable(v));
                if (inView()) {
                    ++viewsShown;
                    ASSERT_TRUE(listFocused()) << what;
                }
            }
        } else if (!inView() && !listFocused()) {   // relog or unlog and log the folder
            if (pick(3) == 0) {
                what = "unlog and log again";
                unlogged = true;
                key(Qt::Key_O, Qt::ControlModifier);
                key(Qt::Key_L, Qt::ControlModifier);
            } else {
                what = "relog";
                key(Qt::Key_F3, Qt::AltModifier);
            }
        }

        SCOPED_TRACE("step " + std::to_string(step) + ": " + what);
        checkInvariants();
        if (HasFatalFailure()) return;
        const QHash<QString, bool> after = tagsByPath();
        const QSet<QString> shownAfter = shownPaths();
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            if (!before.contains(it.key())) continue;
            if (tagging && (shownBefore.contains(it.key()) || shownAfter.contains(it.key()))) continue;
            if (unlogged && it.key().section('\\', 0, -2) == slot().CurrentPath) continue;
            ASSERT_EQ(it.value(), before.value(it.key())) << it.key().toStdString();
        }
    }
    // The walk went through every kind of route.
    EXPECT_GT(viewsShown, 5);
    EXPECT_GT(clicks, 10);
    EXPECT_GT(ranges, 5);
    EXPECT_GT(switches, 10);
}

}  // namespace
