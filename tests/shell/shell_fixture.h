#pragma once
#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QMdiSubWindow>
#include <QTest>
#include "fixture.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "shell/MDIQuorl.h"
#include "browse/frmBrws.h"
#include "shell/frmShowUp.h"
#include "shell/startup.h"

// The whole program on a prefix made by setup, started at once unless told otherwise (it
// logs drive c: in the first window). Temporary drives are filled with real files.
class ShellTest : public ::testing::Test {
protected:
    explicit ShellTest(bool startAtOnce = true) : startAtOnce(startAtOnce) {}
    void SetUp() override {
        prefix.setup();
        ResetShutdown();
        SetEndProgramHandler([this] { ended = true; });
        if (!startAtOnce) return;
        start();
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
    void start() {
        frmShowUp splash;
        main.reset(splash.Form_Load());
    }
    QString drive(QChar letter) { return prefix.addDrive(letter); }
    static void mkdir(const QString& hostPath) { QDir().mkpath(hostPath); }
    // A file of the given size (zero bytes), stamped so that its line ends in `stamp`.
    static inline const QString stamp = ":03-15-97 10:04:00:A";
    static void file(const QString& hostPath, qint64 size = 0) {
        QDir().mkpath(QFileInfo(hostPath).path());
        QFile f(hostPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(size)) << hostPath.toStdString();
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(1997, 3, 15), QTime(10, 4, 0)), QFileDevice::FileModificationTime));
    }
    static void files(const QString& root, std::initializer_list<std::pair<QString, qint64>> namesAndSizes) {
        for (const auto& [name, size] : namesAndSizes) file(root + name, size);
    }
    // Logs the drive as the Log drive command does and returns its window.
    static frmBrws* logDrive(QChar letter) {
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
    static QStringList panels(const frmBrws* w, std::initializer_list<int> indexes) {
        QStringList texts;
        for (int i : indexes) texts << panel(w, i);
        return texts;
    }
    // The drives of the five slots in order ("" for a free one), the count of open drives and of windows.
    static QStringList openDrives() {
        QStringList drives;
        for (int i = 1; i <= MaxDrives; ++i) drives << Slot(i).Drive;
        return drives << QString::number(OpenDriveCount) << QString::number(DriveWindows().size());
    }
    // The used part of the picture.
    static QStringList lines(const frmBrws* w) { return slotOf(w).Lines.mid(0, slotOf(w).LineCount); }
    // The names in the list, or only the tagged (selected) ones.
    static QStringList listed(const frmBrws* w, bool taggedOnly = false) {
        QStringList names;
        for (int i = 0; i < w->FileList->count(); ++i)
            if (!taggedOnly || w->FileList->item(i)->isSelected()) names << w->FileList->item(i)->text();
        return names;
    }
    static QStringList tagged(const frmBrws* w) { return listed(w, true); }
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
    // Clicks a folder ("d:\docs") or a row of the list as the user does.
    static void clickNode(frmBrws* w, const QString& path) {
        QTreeWidgetItem* n = node(w, path);
        ASSERT_TRUE(n) << path.toStdString();
        w->DirList->scrollToItem(n);
        QTest::mouseClick(w->DirList->viewport(), Qt::LeftButton, {}, w->DirList->visualItemRect(n).center());
        QApplication::processEvents();
    }
    static void clickRow(frmBrws* w, int row) {
        QListWidgetItem* item = w->FileList->item(row);
        ASSERT_TRUE(item);
        QTest::mouseClick(w->FileList->viewport(), Qt::LeftButton, {}, w->FileList->visualItemRect(item).center());
        QApplication::processEvents();
    }
    static void key(QWidget* target, int k, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(target, Qt::Key(k), mods);
        QApplication::processEvents();
    }
    // Selects the folder and opens it with Right, or logs it with Ctrl+L.
    static void expand(frmBrws* w, const QString& path) { clickNode(w, path); key(w->DirList, Qt::Key_Right); }
    // Ctrl+L on a folder reached without a click (a click logs it by itself).
    static void logFolder(frmBrws* w, const QString& path) {
        QTreeWidgetItem* n = node(w, path);
        ASSERT_TRUE(n) << path.toStdString();
        w->DirList->setCurrentItem(n);
        QApplication::processEvents();
        key(w->DirList, Qt::Key_L, Qt::ControlModifier);
    }

    TempPrefix prefix;
    ScriptedPrompter prompts;
    ScriptedForms forms;
    std::unique_ptr<MDIQuorl> main;
    bool ended = false;
    const bool startAtOnce;
};

