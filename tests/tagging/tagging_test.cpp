#include "tagging_fixture.h"

namespace {

class TaggingTest : public DriveWindowTest {};

TEST_F(TaggingTest, Explore) {
    file("d:\\a.txt", 100).file("d:\\b.txt", 200).file("d:\\c.txt", 0);
    file("d:\\sub\\x.txt", 5);
    start();
    qDebug() << "active" << QApplication::activeWindow() << "focus" << QApplication::focusWidget() << slot().FocusPane;
    qDebug() << slot().Lines;
    qDebug() << names() << w->DirList->currentItem()->isExpanded();
    openFolder("d:");
    qDebug() << names() << w->DirList->currentItem()->isExpanded() << slot().FocusPane;
    focusList();
    qDebug() << "focus" << QApplication::focusWidget() << slot().FocusPane << w->FileList->currentRow();
    key(Qt::Key_T);
    qDebug() << selectedNames() << panel(4) << panel(5) << w->FileList->currentRow();
    clickRow(2);
    qDebug() << selectedNames() << panel(4) << panel(5) << w->FileList->currentRow();
    expectListMatchesLines();
}

}  // namespace
