#include <QHash>
#include <QSet>
#include <random>
#include "browse/hooks.h"
#include "browse/tagging.h"
#include "tagging_fixture.h"

namespace {

// Random tagging by every route over a logged tree. After each step every listed item's line agrees with its
// selection, panels 4 and 5 give totals recomputed from the lines, and only shown or unlogged files' tags changed.
class TaggingProperty : public DriveWindowTest {
public:
    std::mt19937 rng{19970315};
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool inView() const { return slot().GlobalView != 0; }
    bool listFocused() const { return QApplication::focusWidget() == w->FileList; }

    // Tags by folder\name of every file line; *shown gets the names of the listed files.
    QHash<QString, bool> tags(QSet<QString>* shown) const {
        QHash<QString, bool> out;
        for (int i = 0; i < slot().LineCount; ++i)
            if (!slot().Lines[i].startsWith('>')) out.insert(pathOf(i), IsTagged(slot().Lines[i]));
        for (const QString& path : listedPaths()) shown->insert(path);
        return out;
    }

    void checkInvariants() {
        auto [tagged, taggedBytes, bytes] = expectListMatchesLines();
        ASSERT_EQ(w->GroupDirList->isHidden(), inView());
        for (int b = 1; b <= 4; ++b)   // the tagged-file buttons: only for the list, and only with a tag in it
            ASSERT_EQ(main->button(b)->isEnabled(), slot().FocusPane == Pane::Files && tagged > 0) << "button " << b;
        if (inView()) {
            ASSERT_EQ(w->FileList->count(), slot().GlobalList.size() - 1);
            ASSERT_EQ(panel(1), QString("Matching files : %1").arg(w->FileList->count()));
            ASSERT_EQ(panel(2), QString("Matching bytes : %1").arg(bytes));
        } else if (w->FileList->count() > 0) {   // the folder view lists the whole folder shown
            ASSERT_EQ(w->FileList->count(), FolderFileCount(slot(), slot().CurrentPath));
        } else if (!IsFolderLogged(slot(), slot().CurrentPath)) {
            tagged = taggedBytes = -1;
        } else {   // a closed folder with subfolders lists no names but counts its files
            for (int i = LookupFolderLine(slot(), slot().CurrentPath) + 1;
                 i < slot().LineCount && !slot().Lines[i].startsWith('>'); ++i)
                if (IsTagged(slot().Lines[i])) tagged += 1, taggedBytes += FileSizeOf(slot().Lines[i]);
        }
        ASSERT_EQ(panel(4), "Tagged files : " + (tagged < 0 ? "###" : QString::number(tagged)));
        ASSERT_EQ(panel(5), "Tagged bytes : " + (taggedBytes < 0 ? "###" : QString::number(taggedBytes)));
    }
};

TEST_F(TaggingProperty, EveryRouteKeepsLinesListAndTotalsInStep) {
    const QStringList folders{"d:", "d:\\alpha", "d:\\alpha\\deep", "d:\\beta", "d:\\dos", "d:\\dos2", "d:\\empty"};
    folder("d:\\empty");
    for (const QString& f : folders.mid(0, 6))
        for (int i = 0, count = 2 + pick(5); i < count; ++i) {   // sizes up to a few kilobytes, some names recurring
            const int size = pick(4) == 0 ? 0 : pick(5000);
            file(f + (pick(3) == 0 ? QString("\\same%1.txt").arg(i) : QString("\\f%1_%2.dat").arg(i).arg(pick(100))),
                 size);
        }
    start(folders);
    // A double click also opens the file; here only what it does to the tags counts.
    Hooks().openFile = [](frmBrws*) {};
    clickFolder("d:");
    // A route is typed ("Ctrl+T"), chosen from its menu ("mnuFile/mnuTagAllFiles"), or triggered ("tbBMatch").
    auto act = [&](const QString& route) {
        if (route.contains('/')) {   // opening the menu runs its enabling rules, as for the user
            main->menu(route.section('/', 0, 0))->popup(QPoint(0, 0));
            main->menu(route.section('/', 0, 0))->hide();
        }
        if (route.startsWith("mnu")) main->item(route.section('/', -1))->trigger();
        else if (route.startsWith("tb")) main->button(route)->trigger();
        else key(QKeySequence::fromString(route)[0]);
        return route.toStdString();
    };
    const QStringList tagKeys = QString("T U I Space Ctrl+T Ctrl+U Ctrl+I").split(' ');
    auto listItems = QString("TagCurrentFile TagAllFiles InvertFileTags UntagCurrentFile UntagAllFiles").split(' ');
    auto treeItems = QString("TagFolderFiles UntagFolderFiles InvertFolder").split(' ');
    const auto viewRoutes = QString("G B Ctrl+G Ctrl+B mnuWindow/mnuGlobalMatching mnuWindow/mnuGlobalTagged "
                                    "mnuWindow/mnuBranchMatching mnuWindow/mnuBranchTagged tbBMatch tbBTagged")
                                .split(' ');

    int views = 0, clicks = 0, switches = 0;
    for (int step = 0; step < 300; ++step) {
        QSet<QString> shown;
        const QHash<QString, bool> before = tags(&shown);
        const int count = w->FileList->count(), choice = pick(100);
        std::string what = "nothing";
        bool tagging = choice < 55, unlogged = false;   // only tag commands may change tags
        QChar modelled;   // a command on every listed file whose result is known beforehand
        if (choice < 30) {
            const QString route = tagKeys[pick(7)];
            if (route.startsWith("Ctrl+") && listFocused() && count > 0) modelled = route.back();
            // Ctrl+I inverts only where something is tagged.
            if (route == "Ctrl+I" && w->FileList->selectedItems().isEmpty()) modelled = 'N';
            what = act(route);
        } else if (choice < 45 && count > 0) {
            const int row = pick(count), range = pick(3) == 0;
            what = (range ? "Shift+click row " : "click row ") + std::to_string(row);
            clickRow(row, range ? Qt::ShiftModifier : Qt::NoModifier);
            ++clicks;
        } else if (choice < 49 && count > 0) {   // what the list does by itself: double click, Ctrl+Space, drag
            const int how = pick(3), row = pick(count);
            what = "list by itself, way " + std::to_string(how) + ", row " + std::to_string(row);
            QWidget* viewport = w->FileList->viewport();
            w->FileList->scrollToItem(w->FileList->item(row));
            const QPoint at = w->FileList->visualItemRect(w->FileList->item(row)).center();
            if (how == 0) {
                QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
            } else if (how == 1 && listFocused()) {
                key(Qt::CTRL | Qt::Key_Space);
            } else {
                const QPoint end = w->FileList->visualItemRect(w->FileList->item(pick(count))).center();
                QTest::mousePress(viewport, Qt::LeftButton, {}, at);
                QTest::mouseMove(viewport, end);
                QTest::mouseRelease(viewport, Qt::LeftButton, {}, end);
            }
        } else if (choice < 55 && (listFocused() || !inView())) {   // menu items of the pane that has the focus
            const QString item = listItems[pick(5)];
            if (listFocused() && count > 0 && item.contains("All")) modelled = item.startsWith("Tag") ? 'T' : 'U';
            if (listFocused() && count > 0 && item.startsWith("Invert")) modelled = 'I';
            what = act(listFocused() ? "mnuFile/mnu" + item : "mnuFolder/mnu" + treeItems[pick(3)]);
        } else if (choice >= 55 && choice < 63) {   // moving in the list or between the panes
            if (listFocused()) what = act(inView() || pick(2) == 0 ? (pick(2) ? "Down" : "Up") : "Return");
            else if (count > 0 && pick(2) == 0) what = act("mnuWinFiles");
            else if (!inView()) what = act(pick(2) ? "Left" : "Right");   // close or open the folder
        } else if (choice >= 63 && choice < 78 && !inView()) {
            clickFolder(folders[pick(folders.size())]);
            what = "folder " + slot().CurrentPath.toStdString();
            ++switches;
        } else if (choice >= 78 && choice < 90 && inView()) {
            what = act(QStringList{"Esc", "Return", "mnuWinFolders"}[pick(3)]);
            ASSERT_FALSE(inView()) << what;
        } else if (choice >= 78 && choice < 90 && !listFocused()) {
            what = act(viewRoutes[pick(10)]);
            views += inView();
            ASSERT_TRUE(!inView() || listFocused()) << what;
        } else if (choice >= 90 && !inView() && !listFocused()) {   // relog, or unlog and log the folder again
            unlogged = pick(3) == 0;
            what = act(unlogged ? "Ctrl+O" : "Alt+F3");
            if (unlogged) act("Ctrl+L");
        }

        SCOPED_TRACE("step " + std::to_string(step) + ": " + what);
        checkInvariants();
        if (HasFailure()) return;
        const QHash<QString, bool> after = tags(&shown);
        // Against the model: tag all, untag all and invert reach every listed file, the last one included.
        if (!modelled.isNull())
            for (const QString& path : shown) {
                const bool expected = modelled == 'T'   ? true
                                      : modelled == 'U' ? false
                                      : modelled == 'N' ? before.value(path)
                                                        : !before.value(path);
                ASSERT_EQ(after.value(path), expected) << "command " << QString(modelled).toStdString() << " on "
                                                       << path.toStdString();
            }
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            if (!before.contains(it.key()) || (tagging && shown.contains(it.key()))) continue;
            if (unlogged && it.key().section('\\', 0, -2) == slot().CurrentPath) continue;
            ASSERT_EQ(it.value(), before.value(it.key())) << it.key().toStdString();
        }
    }
    EXPECT_TRUE(views > 5 && clicks > 10 && switches > 10) << "too few views, clicks or folder switches";
}

}  // namespace
