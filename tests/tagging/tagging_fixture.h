#pragma once
// The program on a temporary prefix with a drive d: a test arranges, driven by keys, clicks, menus and buttons.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <memory>
#include "fixture.h"
#include "browse/filelist.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "shell/MDIQuorl.h"
#include "browse/frmBrws.h"
#include "shell/frmShowUp.h"
#include "shell/startup.h"
#include "browse/views.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << "{\"" << l.join("\", \"").toStdString() << "\"}"; }

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
        main.reset();
        SetMainForm(nullptr);
        ResetShutdown();
    }

    DriveWindowTest& file(const QString& dosPath, int size) {
        prefix.writeFile(dosPath, QByteArray(size, 'x'));
        return *this;
    }
    // Starts the program (it logs c:), logs d: into a second window, then logs and opens the given folders.
    void start(const QStringList& folders) {
        w = StartWithDrive(main, "d:");
        ASSERT_TRUE(w);
        ASSERT_EQ(slot().Drive, "d:");
        ASSERT_EQ(slot().FocusPane, Pane::Tree);
        for (const QString& f : folders) openFolder(f);
    }

    DriveSlot& slot() const { return CurrentDriveSlot(); }
    QString panel(int i) const { return w->stsFileInfo[i]->text(); }
    void expectTotals(int files, qint64 bytes) const {
        EXPECT_EQ(panel(4), QString("Tagged files : %1").arg(files));
        EXPECT_EQ(panel(5), QString("Tagged bytes : %1").arg(bytes));
    }

    // Keys go to the pane that has the focus, as the user types them.
    void key(QKeyCombination k) {
        QWidget* f = QApplication::focusWidget();
        EXPECT_TRUE(f == w->DirList || f == w->FileList) << (f ? f->objectName().toStdString() : "none");
        QTest::keyClick(f ? f : w->FileList, k.key(), k.keyboardModifiers());
    }
    QTreeWidgetItem* node(const QString& path) const {
        for (const QString& entry : slot().NodeMap)   // "path/node index"
            if (entry.section('/', 0, 0) == path) return w->Node(entry.section('/', 1, 1).toInt());
        return nullptr;
    }
    // A click on a folder of the tree; scrolling to it opens its parents, as the user would.
    void clickFolder(const QString& path) {
        QTreeWidgetItem* n = node(path);
        ASSERT_TRUE(n) << path.toStdString();
        w->DirList->scrollToItem(n);
        QTest::mouseClick(w->DirList->viewport(), Qt::LeftButton, {}, w->DirList->visualItemRect(n).center());
        ASSERT_EQ(w->DirList->currentItem(), n);
    }
    // Selects a folder, logs it (Ctrl+L) and opens it (Right, down and back up) so that its names are listed.
    void openFolder(const QString& path) {
        clickFolder(path);
        key(Qt::CTRL | Qt::Key_L);
        if (node(path)->childCount() > 0 && !node(path)->isExpanded()) {
            key(Qt::Key_Right);
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
        QTest::mouseClick(w->FileList->viewport(), Qt::LeftButton, mods, w->FileList->visualItemRect(item).center());
    }

    QStringList names(bool selectedOnly = false) const {
        QStringList out;
        for (int i = 0; i < w->FileList->count(); ++i)
            if (!selectedOnly || w->FileList->item(i)->isSelected()) out << w->FileList->item(i)->text();
        return out;
    }
    QStringList selectedNames() const { return names(true); }
    // Folder\name of the file line at a position of the picture, and of each listed item.
    QString pathOf(int at) const {
        int header = at;
        while (header > 0 && !slot().Lines[header].startsWith('>')) --header;
        FolderHeader folder;
        ParseFolderHeader(slot().Lines.value(header), &folder);
        return folder.path + "\\" + FileNameOf(slot().Lines.value(at));
    }
    QStringList listedPaths() const {
        QStringList out;
        for (int i = 0; i < w->FileList->count(); ++i) out << pathOf(FileLineOfItem(slot(), i));
        return out;
    }
    // Every listed item agrees with its file line: same name, tagged as selected. Returns the tagged files and
    // bytes among them, and all their bytes.
    struct Totals { qint64 tagged = 0, taggedBytes = 0, bytes = 0; };
    Totals expectListMatchesLines() const {
        Totals t;
        for (int i = 0; i < w->FileList->count(); ++i) {
            const QString line = slot().Lines.value(FileLineOfItem(slot(), i));
            FileLine f;
            EXPECT_TRUE(ParseFileLine(line, &f) && (f.tag == 'T' || f.tag == 'U')) << i << " " << line.toStdString();
            EXPECT_EQ(f.name, w->FileList->item(i)->text()) << "row " << i;
            EXPECT_EQ(f.tag == 'T', w->FileList->item(i)->isSelected()) << "row " << i << " " << line.toStdString();
            t.bytes += f.size;
            if (f.tag == 'T') t.tagged += 1, t.taggedBytes += f.size;
        }
        return t;
    }

    TempPrefix prefix;
    ScriptedPrompter prompts;
    QString driveRoot;
    std::unique_ptr<MDIQuorl> main;
    frmBrws* w = nullptr;
};
