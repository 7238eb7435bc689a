#pragma once
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QMdiSubWindow>
#include <QTest>
#include <QTreeWidgetItem>
#include <memory>
#include <fcntl.h>
#include <unistd.h>
#include "fixture.h"
#include "model/logging.h"
#include "model/slots.h"
#include "shell/MDIQuorl.h"
#include "shell/frmBrws.h"
#include "shell/frmShowUp.h"
#include "shell/startup.h"

// Readable failures for the texts of the picture.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* os) {
    *os << "{";
    for (const QString& t : texts) *os << "\n  \"" << t.toStdString() << '"';
    *os << " }";
}

// The whole program started on a prefix made by setup (drive c: logged in the
// first window), with temporary drives that a test fills with real files and
// logs through the program's own routines.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        prefix.setup();
        ResetShutdown();
        SetEndProgramHandler([this] { ended = true; });
        frmShowUp splash;
        main.reset(splash.Form_Load());
        ASSERT_TRUE(main);
        main->activateWindow();
        QApplication::processEvents();
    }
    void TearDown() override {
        SetEndProgramHandler(nullptr);
        main.reset();
        SetMainForm(nullptr);
        ResetShutdown();
    }

    // A new empty drive; returns its host folder.
    QString drive(QChar letter) { return prefix.addDrive(letter); }
    // A drive in memory where one is at hand: thousands of folders are made and
    // removed there in a moment, while a disk may take seconds to remove them.
    QString memoryDrive(QChar letter) {
        if (!QFileInfo("/dev/shm").isWritable()) return drive(letter);
        memory = std::make_unique<QTemporaryDir>("/dev/shm/quorl-test-XXXXXX");
        if (!memory->isValid()) return drive(letter);
        prefix.linkDrive(letter, memory->path());
        return memory->path();
    }
    static void mkdir(const QString& hostPath) { QDir().mkpath(hostPath); }
    // A file of the given size, made of blanks.
    static void file(const QString& hostPath, qint64 size = 0) {
        QDir().mkpath(hostPath.left(hostPath.lastIndexOf('/')));
        const int fd = ::open(QFile::encodeName(hostPath).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << hostPath.toStdString();
        const int truncated = size > 0 ? ::ftruncate(fd, size) : 0;
        ::close(fd);
        ASSERT_EQ(truncated, 0);
    }

    // Logs the drive as the Log drive command does and returns its window.
    frmBrws* logDrive(QChar letter) {
        LogDrive(QString(letter) + ":");
        QApplication::processEvents();
        return windowOf(letter);
    }
    static frmBrws* windowOf(QChar letter) {
        for (frmBrws* w : DriveWindows())
            if (w->Caption().startsWith(QString("Tree structure of ") + letter + ":")) return w;
        return nullptr;
    }
    static DriveSlot& slotOf(const frmBrws* w) { return Slot(w->GetFormNumber()); }
    static QString panel(const frmBrws* w, int index) { return w->stsFileInfo[index]->text(); }
    // The used part of the picture.
    static QStringList lines(const frmBrws* w) {
        const DriveSlot& s = slotOf(w);
        return s.Lines.mid(0, s.LineCount);
    }
    static QStringList listed(const frmBrws* w) {
        QStringList names;
        for (int i = 0; i < w->FileList->count(); ++i) names << w->FileList->item(i)->text();
        return names;
    }
    static QList<int> selectedRows(const frmBrws* w) {
        QList<int> rows;
        for (int i = 0; i < w->FileList->count(); ++i)
            if (w->FileList->item(i)->isSelected()) rows << i;
        return rows;
    }
    // The tree node of a folder ("d:\docs"), or null.
    static QTreeWidgetItem* node(const frmBrws* w, const QString& path) {
        const DriveSlot& s = slotOf(w);
        for (int i = 0; i + 1 < s.NodeMap.size(); ++i)
            if (s.NodeMap[i].section('/', 0, 0) == path) return w->Node(s.NodeMap[i].section('/', 1, 1).toInt());
        return nullptr;
    }
    static QStringList childTexts(const QTreeWidgetItem* n) {
        QStringList texts;
        for (int i = 0; i < n->childCount(); ++i) texts << n->child(i)->text(0);
        return texts;
    }
    // Clicks a folder in the tree as the user does.
    static void clickNode(frmBrws* w, QTreeWidgetItem* n) {
        ASSERT_TRUE(n);
        w->DirList->scrollToItem(n);
        const QRect r = w->DirList->visualItemRect(n);
        QTest::mouseClick(w->DirList->viewport(), Qt::LeftButton, {}, r.center());
        QApplication::processEvents();
    }
    static void clickRow(frmBrws* w, int row, Qt::MouseButton button = Qt::LeftButton) {
        QListWidgetItem* item = w->FileList->item(row);
        ASSERT_TRUE(item);
        QTest::mouseClick(w->FileList->viewport(), button, {}, w->FileList->visualItemRect(item).center());
        QApplication::processEvents();
    }
    // Selects the folder (the root when none is named) and opens it with Right.
    static void expand(frmBrws* w, const QString& path = QString()) {
        clickNode(w, path.isEmpty() ? w->Node(1) : node(w, path));
        key(w->DirList, Qt::Key_Right);
    }
    static void key(QWidget* target, int k, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(target, Qt::Key(k), mods);
        QApplication::processEvents();
    }
    // Gives a pane the focus as a click or Tab would.
    static void focus(QWidget* pane) {
        pane->setFocus();
        QApplication::processEvents();
    }

    TempPrefix prefix;
    std::unique_ptr<QTemporaryDir> memory;
    ScriptedPrompter prompts;
    ScriptedForms forms;
    std::unique_ptr<MDIQuorl> main;
    bool ended = false;
};
