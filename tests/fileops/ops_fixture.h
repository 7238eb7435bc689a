#pragma once
// The whole program started on a temporary prefix with a drive d: of real files,
// driven through the drive window by keys and menus; the dialogs are filled and
// every question is answered by script.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <memory>
#include "fileops/frmCopy.h"
#include "fileops/frmGraph.h"
#include "fileops/frmInput.h"
#include "fixture.h"
#include "browse/filelist.h"
#include "browse/logging.h"
#include "browse/shownnames.h"
#include "model/slots.h"
#include "platform/files.h"
#include "shell/MDIQuorl.h"
#include "browse/frmBrws.h"
#include "shell/frmShowUp.h"
#include "shell/startup.h"
#include "browse/views.h"

constexpr PromptAnswer Yes = PromptAnswer::Yes, No = PromptAnswer::No, Ok = PromptAnswer::Ok;
const QString Exists = QStringLiteral(", does'nt exist. Do you want to create it ?");

class OpsTest : public ::testing::Test {
public:
    void SetUp() override {
        prefix.setup();
        ResetShutdown();
        SetEndProgramHandler([] {});
        prefix.addDrive('d');
    }
    void TearDown() override {
        SetEndProgramHandler(nullptr);
        w = nullptr;
        main.reset();
        SetMainForm(nullptr);
        ResetShutdown();
    }

    // Arranging and reading the disk.
    void put(const QString& dosPath, const QByteArray& bytes) { prefix.writeFile(dosPath, bytes); }
    QByteArray content(const QString& dosPath) const { return prefix.readFile(dosPath); }
    bool exists(const QString& dosPath) const { return QFileInfo::exists(prefix.host(dosPath)); }
    bool isFolder(const QString& dosPath) const { return QFileInfo(prefix.host(dosPath)).isDir(); }
    void folder(const QString& dosPath) { QDir().mkpath(prefix.host(dosPath)); }
    void setAttributes(const QString& dosPath, int a) { ASSERT_EQ(platform::SetAttributes(dosPath, a), 0); }
    // Names of a folder on disk, lower case, sorted.
    QStringList diskNames(const QString& dosFolder) const {
        QStringList out = QDir(prefix.host(dosFolder)).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot |
                                                                 QDir::Hidden | QDir::System);
        for (QString& n : out) n = n.toLower();
        out.sort();
        return out;
    }

    // Starts the program (it logs c:), logs d: into a second window and opens the
    // folders there. Questions about overwriting are asked unless overwrite is on.
    void start(const QStringList& folders, bool overwrite = false) {
        w = StartWithDrive(main, "d:");
        ASSERT_TRUE(w);
        ASSERT_EQ(slot().Drive, "d:");
        ASSERT_EQ(slot().FocusPane, Pane::Tree);
        Settings[5] = QVariant(overwrite);
        for (const QString& f : folders) openFolder(f);
    }
    DriveSlot& slot() const { return CurrentDriveSlot(); }
    QString panel(int i) const { return w->stsFileInfo[i]->text(); }

    // Offscreen, no window manager gives the main window back its activation
    // when a dialog goes; the window keeps the focus widget the program chose.
    void reactivate() const {
        if (QApplication::activeWindow() == main.get()) return;
        QApplication::setActiveWindow(main.get());
        QApplication::processEvents();
    }
    // Presses Esc in the progress window once the given number of files is done.
    static void escapeAfter(int files) {
        QObject::connect(GraphForm()->ProgressBar, &QProgressBar::valueChanged, GraphForm(), [files](int value) {
            if (value == files) QTest::keyClick(GraphForm(), Qt::Key_Escape);
        });
    }
    static void stopEscaping() { QObject::disconnect(GraphForm()->ProgressBar, nullptr, GraphForm(), nullptr); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        reactivate();
        QWidget* f = QApplication::focusWidget();
        EXPECT_TRUE(f == w->DirList || f == w->FileList) << (f ? f->objectName().toStdString() : "none");
        QTest::keyClick(f, k, mods);
        QApplication::processEvents();
    }

    QTreeWidgetItem* node(const QString& path) const {
        for (int i = 0; i + 1 < slot().NodeMap.size(); ++i)
            if (slot().NodeMap[i].section('/', 0, 0) == path) return w->Node(slot().NodeMap[i].section('/', 1, 1).toInt());
        return nullptr;
    }
    void clickFolder(const QString& path) {
        reactivate();
        QTreeWidgetItem* n = node(path);
        ASSERT_TRUE(n) << path.toStdString();
        for (QTreeWidgetItem* p = n->parent(); p; p = p->parent()) p->setExpanded(true);
        w->DirList->scrollToItem(n);
        const QRect r = w->DirList->visualItemRect(n);
        ASSERT_TRUE(r.isValid()) << path.toStdString();
        QTest::mouseClick(w->DirList->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        ASSERT_EQ(w->DirList->currentItem(), n);
    }
    // Selects a folder, logs it (Ctrl+L) and opens it so its subfolders show.
    void openFolder(const QString& path) {
        clickFolder(path);
        key(Qt::Key_L, Qt::ControlModifier);
        if (node(path)->childCount() > 0 && !node(path)->isExpanded()) {
            key(Qt::Key_Right);
            key(Qt::Key_Down);
            key(Qt::Key_Up);
            ASSERT_EQ(w->DirList->currentItem(), node(path));
        }
        ASSERT_TRUE(IsFolderLogged(slot(), path)) << path.toStdString();
    }
    // The panes get the focus through Window, Files / Folders; the list only when it shows files.
    void focusList() { focusPane(Pane::Files); }
    void focusTree() { focusPane(Pane::Tree); }
    void focusPane(Pane pane) {
        reactivate();
        ASSERT_TRUE(pane == Pane::Tree || w->FileList->count() > 0);
        main->item(pane == Pane::Files ? "mnuWinFiles" : "mnuWinFolders")->trigger();
        QApplication::processEvents();
        ASSERT_EQ(slot().FocusPane, pane);
    }
    int row(const QString& name) const {
        for (int i = 0; i < w->FileList->count(); ++i)
            if (w->FileList->item(i)->text() == name) return i;
        return -1;
    }
    // Makes a file current as the arrow keys would.
    void current(const QString& name) {
        ASSERT_GE(row(name), 0) << name.toStdString();
        w->FileList->setCurrentRow(row(name), QItemSelectionModel::NoUpdate);
    }
    void tag(const QStringList& names) {
        for (const QString& n : names) {
            current(n);
            key(Qt::Key_T);
        }
    }
    QStringList names(bool selectedOnly = false) const {
        QStringList out;
        for (int i = 0; i < w->FileList->count(); ++i)
            if (!selectedOnly || w->FileList->item(i)->isSelected()) out << w->FileList->item(i)->text();
        return out;
    }
    QStringList selectedNames() const { return names(true); }
    QStringList lines() const { return slot().Lines.mid(0, slot().LineCount); }
    QString lineOf(const QString& folderPath, const QString& name) const {
        const int h = FindFolderLine(slot(), folderPath, 0);
        for (int i = h + 1; h >= 0 && i < slot().LineCount && !slot().Lines[i].startsWith('>'); ++i)
            if (FileNameOf(slot().Lines[i]) == name) return slot().Lines[i];
        return QString();
    }

    // The destination dialog as a user fills it, active: the name or mask, Enter, the folder, Enter.
    void expectCopyDialog(const QString& caption, const QString& to, const QString& as = QString()) {
        forms.expect("frmCopy", [caption, to, as](QWidget* f) {
            auto* c = static_cast<frmCopy*>(f);
            QApplication::setActiveWindow(c);
            QApplication::processEvents();
            EXPECT_EQ(c->windowTitle(), caption);
            if (!as.isNull()) {
                c->txtAs->selectAll();
                QTest::keyClicks(c->txtAs, as);
            }
            QTest::keyClick(c->txtAs, Qt::Key_Return);
            c->txtTo->selectAll();
            QTest::keyClicks(c->txtTo, to);
            QTest::keyClick(c->txtTo, Qt::Key_Return);
        });
    }
    void expectDuplicateDialog(bool full) {
        forms.expect("frmDPath", [full](QWidget* f) {
            auto* d = static_cast<frmDPath*>(f);
            (full ? d->optFull : d->optPartial)->setChecked(true);
            QTest::mouseClick(d->btnOk, Qt::LeftButton);
        });
    }
    void expectInputDialog(const QString& caption, const QString& text) {
        forms.expect("frmInput", [caption, text](QWidget* f) {
            auto* in = static_cast<frmInput*>(f);
            EXPECT_EQ(in->windowTitle(), caption);
            QTest::keyClick(in->txtBox, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(in->txtBox, text);
            QTest::keyClick(in->txtBox, Qt::Key_Return);
        });
    }

    // Every logged folder of every open drive window shows what its folder holds on disk:
    // the same file names with the same sizes; every header names a folder that exists.
    void expectPictureMatchesDisk() const {
        for (int n = 1; n <= OpenDriveCount; ++n) {
            const DriveSlot& s = Slot(n);
            for (int h = 0; h < s.LineCount; ++h) {
                FolderHeader header;
                if (!s.Lines[h].startsWith('>')) continue;
                ASSERT_TRUE(ParseFolderHeader(s.Lines[h], &header)) << s.Lines[h].toStdString();
                int a = 0;
                EXPECT_EQ(platform::GetAttributes(header.path, &a), 0) << "no folder " << header.path.toStdString();
                if (header.state != 'L') continue;
                QStringList picture, disk;
                for (int i = h + 1; i < s.LineCount && !s.Lines[i].startsWith('>'); ++i) {
                    FileLine f;
                    EXPECT_TRUE(ParseFileLine(s.Lines[i], &f)) << s.Lines[i].toStdString();
                    picture << f.name + " " + QString::number(f.size);
                }
                QList<platform::FileEntry> files;
                platform::ListFiles(header.path + (header.path.size() == 2 ? "\\" : ""), s.FileSpec, true, &files);
                for (const auto& f : files) disk << f.listName + " " + QString::number(f.size);
                picture.sort();
                disk.sort();
                EXPECT_EQ(picture, disk) << "folder " << header.path.toStdString();
            }
        }
    }
    // The file list of the window shows the lines of its folder, tags included.
    void expectListMatchesLines() const {
        for (int i = 0; i < w->FileList->count(); ++i) {
            const int at = FileLineOfItem(slot(), i);
            ASSERT_GE(at, 0) << "row " << i;
            EXPECT_EQ(FileNameOf(slot().Lines[at]), ItemName(w->FileList->item(i))) << "row " << i;
            EXPECT_EQ(IsTagged(slot().Lines[at]), w->FileList->item(i)->isSelected()) << "row " << i;
        }
    }

    TempPrefix prefix;
    ScriptedPrompter prompts;
    ScriptedForms forms;
    std::unique_ptr<MDIQuorl> main;
    frmBrws* w = nullptr;
};
