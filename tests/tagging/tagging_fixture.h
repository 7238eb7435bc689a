#pragma once
// The whole program started on a temporary prefix, with a drive d: whose folders
// and files a test arranges, driven through the real drive window by keys, mouse
// clicks, menu items and toolbar buttons.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include "fixture.h"
#include "model/filelist.h"
#include "model/logging.h"
#include "model/slots.h"
#include "shell/MDIQuorl.h"
#include "shell/frmBrws.h"
#include "shell/frmShowUp.h"
#include "shell/startup.h"
#include "tagging/views.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << "{";
    for (const QString& s : l) *os << " \"" << s.toStdString() << "\"";
    *os << " }";
}

class DriveWindowTest : public ::testing::Test {
public:
    void SetUp() override {
        prefix.setup();
        ResetShutdown();
        SetEndProgramHandler([] {});
        driveRoot = prefix.addDrive('d');
    }
    void TearDown() override {
        SetEndProgramHandler(nullptr);
        w = nullptr;
        main.reset();
        SetMainForm(nullptr);
        ResetShutdown();
    }

    // Arranging the drive before it is logged.
    DriveWindowTest& file(const QString& dosPath, int size) {
        prefix.writeFile(dosPath, QByteArray(size, 'x'));
        return *this;
    }
    void folder(const QString& dosPath) {
        QString rel = dosPath.mid(3);
        rel.replace('\\', '/');
        QDir().mkpath(driveRoot + "/" + rel);
    }

    // Starts the program (it logs c:) and logs d: into a second window.
    void start() {
        frmShowUp splash;
        main.reset(splash.Form_Load());
        ASSERT_TRUE(main);
        main->show();
        QApplication::setActiveWindow(main.get());
        LogDrive("d:");
        w = ActiveDriveWindow();
        ASSERT_TRUE(w);
        ASSERT_EQ(slot().Drive, "d:");
        w->DirList->setFocus();
        ASSERT_EQ(slot().FocusPane, 1);
    }

    DriveSlot& slot() const { return CurrentDriveSlot(); }
    QString panel(int i) const { return w->stsFileInfo[i]->text(); }

    // The widget of the pane that has the focus; keys go there as the user types them.
    QWidget* focused() const {
        QWidget* f = QApplication::focusWidget();
        EXPECT_TRUE(f == w->DirList || f == w->FileList) << (f ? f->objectName().toStdString() : "none");
        return f ? f : w->FileList;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(focused(), k, mods); }

    QTreeWidgetItem* node(const QString& path) const {
        for (int i = 0; i + 1 < slot().NodeMap.size(); ++i)
            if (slot().NodeMap[i].section('/', 0, 0) == path) return w->Node(slot().NodeMap[i].section('/', 1, 1).toInt());
        return nullptr;
    }
    // A click on a folder of the tree; scrolling to it opens its parents, as the user would.
    void clickFolder(const QString& path) {
        QTreeWidgetItem* n = node(path);
        ASSERT_TRUE(n) << path.toStdString();
        w->DirList->scrollToItem(n);
        const QRect r = w->DirList->visualItemRect(n);
        ASSERT_TRUE(r.isValid()) << path.toStdString();
        QTest::mouseClick(w->DirList->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        ASSERT_EQ(w->DirList->currentItem(), n);
    }
    // Selects a folder, logs it (Ctrl+L) and opens it (Right) so its names are listed.
    void openFolder(const QString& path) {
        clickFolder(path);
        key(Qt::Key_L, Qt::ControlModifier);
        if (node(path)->childCount() > 0 && !node(path)->isExpanded()) {
            key(Qt::Key_Right);
            // The tree shows a folder's names once it is open; going down and back
            // up selects it again.
            key(Qt::Key_Down);
            key(Qt::Key_Up);
            ASSERT_EQ(w->DirList->currentItem(), node(path));
        }
        ASSERT_TRUE(IsFolderLogged(slot(), path)) << path.toStdString();
    }
    void clickRow(int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QListWidgetItem* item = w->FileList->item(row);
        ASSERT_TRUE(item) << row;
        w->FileList->scrollToItem(item);
        const QRect r = w->FileList->visualItemRect(item);
        QTest::mouseClick(w->FileList->viewport(), Qt::LeftButton, mods, r.center());
    }
    // The list gets the focus through Window, Files.
    void focusList() {
        ASSERT_GT(w->FileList->count(), 0);
        main->item("mnuWinFiles")->trigger();
        ASSERT_EQ(slot().FocusPane, 2);
    }
    // Opens a menu so that its enabling rules run, and closes it again.
    void openMenu(const char* name) {
        QMenu* m = main->menu(name);
        m->popup(QPoint(0, 0));
        m->hide();
    }

    int row(const QString& name) const {
        for (int i = 0; i < w->FileList->count(); ++i)
            if (w->FileList->item(i)->text() == name) return i;
        return -1;
    }
    QStringList names() const {
        QStringList out;
        for (int i = 0; i < w->FileList->count(); ++i) out << w->FileList->item(i)->text();
        return out;
    }
    QStringList selectedNames() const {
        QStringList out;
        for (int i = 0; i < w->FileList->count(); ++i)
            if (w->FileList->item(i)->isSelected()) out << w->FileList->item(i)->text();
        return out;
    }
    // The file line of folder\name in the picture, or an empty text.
    QString lineOf(const QString& folderPath, const QString& name) const {
        const int h = FindFolderLine(slot(), folderPath, 0);
        if (h < 0) return QString();
        for (int i = h + 1; i < slot().LineCount && !slot().Lines[i].startsWith('>'); ++i)
            if (FileNameOf(slot().Lines[i]) == name) return slot().Lines[i];
        return QString();
    }
    bool taggedInLines(const QString& folderPath, const QString& name) const {
        const QString line = lineOf(folderPath, name);
        EXPECT_FALSE(line.isEmpty()) << folderPath.toStdString() << "\\" << name.toStdString();
        return IsTagged(line);
    }
    // Every listed item agrees with its file line: same name, tag letter as selected.
    void expectListMatchesLines() const {
        for (int i = 0; i < w->FileList->count(); ++i) {
            const int at = FileLineOfItem(slot(), i);
            ASSERT_GE(at, 0) << "row " << i;
            const QString& line = slot().Lines[at];
            EXPECT_EQ(FileNameOf(line), w->FileList->item(i)->text()) << "row " << i;
            EXPECT_EQ(IsTagged(line), w->FileList->item(i)->isSelected()) << "row " << i << " " << line.toStdString();
        }
    }

    TempPrefix prefix;
    ScriptedPrompter prompts;
    QString driveRoot;
    std::unique_ptr<MDIQuorl> main;
    frmBrws* w = nullptr;
};
