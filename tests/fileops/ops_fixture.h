#pragma once
// The whole program started on a temporary prefix with a drive d: of real files,
// driven through the drive window by keys and menus; the destination and input
// dialogs are filled by script and every question is answered by script.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMap>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <memory>
#include <unistd.h>
#include "fileops/errors.h"
#include "fileops/frmCopy.h"
#include "fileops/frmGraph.h"
#include "fileops/frmInput.h"
#include "fixture.h"
#include "model/filelist.h"
#include "model/logging.h"
#include "model/slots.h"
#include "platform/files.h"
#include "shell/MDIQuorl.h"
#include "shell/frmBrws.h"
#include "shell/frmShowUp.h"
#include "shell/startup.h"
#include "tagging/views.h"

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* os) {
    *os << "{";
    for (const QString& t : texts) *os << "\n  \"" << t.toStdString() << '"';
    *os << " }";
}

constexpr PromptAnswer Yes = PromptAnswer::Yes;
constexpr PromptAnswer No = PromptAnswer::No;
constexpr PromptAnswer Ok = PromptAnswer::Ok;

class OpsTest : public ::testing::Test {
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

    // Arranging the disk.
    void put(const QString& dosPath, const QByteArray& bytes) { prefix.writeFile(dosPath, bytes); }
    QByteArray content(const QString& dosPath) const { return prefix.readFile(dosPath); }
    bool exists(const QString& dosPath) const { return QFileInfo::exists(prefix.host(dosPath)); }
    bool isFolder(const QString& dosPath) const { return QFileInfo(prefix.host(dosPath)).isDir(); }
    void folder(const QString& dosPath) { QDir().mkpath(prefix.host(dosPath)); }
    int attributes(const QString& dosPath) const {
        int a = -1;
        EXPECT_EQ(platform::GetAttributes(dosPath, &a), 0) << dosPath.toStdString();
        return a;
    }
    void setAttributes(const QString& dosPath, int a) { ASSERT_EQ(platform::SetAttributes(dosPath, a), 0); }
    // Names of a folder on disk, lower case, sorted.
    QStringList diskNames(const QString& dosFolder) const {
        QStringList out = QDir(prefix.host(dosFolder)).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot |
                                                                 QDir::Hidden | QDir::System);
        for (QString& n : out) n = n.toLower();
        out.sort();
        return out;
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
    // Questions about overwriting are asked unless a test turns this on.
    static void automaticOverwrite(bool on) { Settings[5] = QVariant(on); }
    static void ignoreReadOnly(bool on) { Settings[1] = QVariant(on); }

    DriveSlot& slot() const { return CurrentDriveSlot(); }
    QString panel(int i) const { return w->stsFileInfo[i]->text(); }

    // Offscreen, no window manager gives the main window back its activation
    // when a dialog goes; the window keeps the focus widget the program chose.
    void reactivate() const {
        if (QApplication::activeWindow() == main.get()) return;
        QApplication::setActiveWindow(main.get());
        QApplication::processEvents();
    }
    // A window manager that keeps the focus in the main window while the
    // progress window is up (focus-stealing prevention) leaves the file list
    // focused during the run.
    void keepFocusInListDuringRuns() {
        QObject::connect(GraphForm()->ProgressBar, &QProgressBar::valueChanged, GraphForm(), [this] {
            QApplication::setActiveWindow(main.get());
            w->FileList->setFocus();
        });
    }
    QWidget* focused() const {
        reactivate();
        QWidget* f = QApplication::focusWidget();
        EXPECT_TRUE(f == w->DirList || f == w->FileList) << (f ? f->objectName().toStdString() : "none");
        return f;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(focused(), k, mods);
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
    // The list gets the focus through Window, Files.
    void focusList() {
        reactivate();
        ASSERT_GT(w->FileList->count(), 0);
        main->item("mnuWinFiles")->trigger();
        QApplication::processEvents();
        ASSERT_EQ(slot().FocusPane, 2);
    }
    void focusTree() {
        reactivate();
        main->item("mnuWinFolders")->trigger();
        QApplication::processEvents();
        ASSERT_EQ(slot().FocusPane, 1);
    }
    int row(const QString& name) const {
        for (int i = 0; i < w->FileList->count(); ++i)
            if (w->FileList->item(i)->text() == name) return i;
        return -1;
    }
    // Makes a file current as the arrow keys would.
    void current(const QString& name) {
        const int r = row(name);
        ASSERT_GE(r, 0) << name.toStdString();
        w->FileList->setCurrentRow(r, QItemSelectionModel::NoUpdate);
    }
    // Tags files with T in the list.
    void tag(const QStringList& names) {
        for (const QString& n : names) {
            current(n);
            key(Qt::Key_T);
        }
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
    static QStringList lines(const DriveSlot& s) { return s.Lines.mid(0, s.LineCount); }
    QString lineOf(const QString& folderPath, const QString& name) const { return lineIn(slot(), folderPath, name); }
    static QString lineIn(const DriveSlot& s, const QString& folderPath, const QString& name) {
        const int h = FindFolderLine(s, folderPath, 0);
        if (h < 0) return QString();
        for (int i = h + 1; i < s.LineCount && !s.Lines[i].startsWith('>'); ++i)
            if (FileNameOf(s.Lines[i]) == name) return s.Lines[i];
        return QString();
    }

    // A dialog the user works in is the active window.
    static void activate(QWidget* form) {
        QApplication::setActiveWindow(form);
        QApplication::processEvents();
    }
    // The destination dialog as a user fills it: the name or mask, Enter, the
    // folder, Enter.
    void expectCopyDialog(const QString& caption, const QString& to, const QString& as = QString()) {
        forms.expect("frmCopy", [caption, to, as](QWidget* f) {
            auto* c = static_cast<frmCopy*>(f);
            activate(c);
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

    // Every logged folder of every open drive window shows what its folder holds
    // on disk: the same file names with the same sizes, and every header names a
    // folder that exists. A hidden or system file may be missing from the picture
    // when such files are not shown.
    void expectPictureMatchesDisk() const {
        for (int s = 1; s <= OpenDriveCount; ++s) expectSlotMatchesDisk(Slot(s));
    }
    static void expectSlotMatchesDisk(const DriveSlot& s) {
        const bool showHidden = !Settings[4].isValid() || Settings[4].toBool();
        for (int h = 0; h < s.LineCount; ++h) {
            FolderHeader header;
            if (!s.Lines[h].startsWith('>')) continue;
            ASSERT_TRUE(ParseFolderHeader(s.Lines[h], &header)) << s.Lines[h].toStdString();
            int a = 0;
            EXPECT_EQ(platform::GetAttributes(header.path, &a), 0) << "no folder " << header.path.toStdString();
            if (header.state != 'L') continue;
            QStringList picture;
            for (int i = h + 1; i < s.LineCount && !s.Lines[i].startsWith('>'); ++i) {
                FileLine f;
                EXPECT_TRUE(ParseFileLine(s.Lines[i], &f)) << s.Lines[i].toStdString();
                picture << f.name + " " + QString::number(f.size);
            }
            QList<platform::FileEntry> files;
            platform::ListFiles(header.path + (header.path.size() == 2 ? "\\" : ""), s.FileSpec, true, &files);
            QStringList disk;
            for (const auto& f : files) {
                const QString entry = f.name.toLower() + " " + QString::number(f.size);
                const bool optional = !showHidden && (f.attributes & (platform::attr::Hidden | platform::attr::System));
                if (!optional || picture.contains(entry)) disk << entry;
            }
            picture.sort();
            disk.sort();
            EXPECT_EQ(picture, disk) << "folder " << header.path.toStdString();
        }
    }
    // The file list of the window shows the lines of its folder, tags included.
    void expectListMatchesLines() const {
        for (int i = 0; i < w->FileList->count(); ++i) {
            const int at = FileLineOfItem(slot(), i);
            ASSERT_GE(at, 0) << "row " << i;
            const QString& line = slot().Lines[at];
            EXPECT_EQ(FileNameOf(line), w->FileList->item(i)->text()) << "row " << i;
            EXPECT_EQ(IsTagged(line), w->FileList->item(i)->isSelected()) << "row " << i;
        }
    }

    TempPrefix prefix;
    ScriptedPrompter prompts;
    ScriptedForms forms;
    QString driveRoot;
    std::unique_ptr<MDIQuorl> main;
    frmBrws* w = nullptr;
};

// Holds an OFD lock on a file for its lifetime, as another program holding the
// file open would.
class HeldLock {
public:
    explicit HeldLock(const QString& hostPath) {
        fd_ = ::open(QFile::encodeName(hostPath).constData(), O_RDWR | O_CLOEXEC);
        EXPECT_GE(fd_, 0);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        EXPECT_EQ(::fcntl(fd_, F_OFD_SETLK, &lock), 0);
    }
    ~HeldLock() {
        if (fd_ >= 0) ::close(fd_);
    }

private:
    int fd_ = -1;
};

// A small RAM disk (or a read-only one) mounted over a host folder in a mount
// namespace of the test's own thread, so nothing outside the test sees it. Where
// the machine refuses, reason() says why and the test skips.
class PrivateMount {
public:
    PrivateMount(const QString& hostFolder, const QByteArray& options, bool readOnly = false)
        : path_(QFile::encodeName(hostFolder)) {
        if (::unshare(CLONE_NEWNS) != 0) {
            reason_ = QString("unshare: ") + std::strerror(errno);
            return;
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            reason_ = QString("private mounts: ") + std::strerror(errno);
            return;
        }
        const unsigned long flags = readOnly ? MS_RDONLY : 0;
        if (::mount("tmpfs", path_.constData(), "tmpfs", flags, options.constData()) != 0) {
            reason_ = QString("mount tmpfs: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~PrivateMount() {
        if (mounted_) ::umount2(path_.constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    std::string reason() const { return reason_.toStdString(); }

private:
    QByteArray path_;
    QString reason_;
    bool mounted_ = false;
};
