#include "fixture.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <ftw.h>
#include <unistd.h>
#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>
#include "ui/mainwindow.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "shell/MDIQuorl.h"
#include "browse/frmBrws.h"
#include "shell/frmShowUp.h"
#include "platform/curdir.h"
#include "platform/paths.h"
#include "platform/prefix.h"
#include "setup.h"

frmBrws* StartWithDrive(std::unique_ptr<MDIQuorl>& main, const QString& drive) {
    frmShowUp splash;
    main.reset(splash.Form_Load());
    if (!main) return nullptr;
    main->show();
    QApplication::setActiveWindow(main.get());
    LogDrive(drive);
    frmBrws* w = ActiveDriveWindow();
    if (w) w->DirList->setFocus();
    return w;
}

TempPrefix::TempPrefix() : savedCwd_(QDir::currentPath()), savedDataHome_(qgetenv("XDG_DATA_HOME")) {
    EXPECT_TRUE(dir_.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.path()));
    QDir().mkpath(prefix() + "/dosdevices");
    // Started programs find the prefix as $XDG_DATA_HOME/quorl.
    EXPECT_EQ(::symlink("prefix", QFile::encodeName(dir_.path() + "/quorl").constData()), 0);
    platform::SetPrefixFolder(prefix());
    platform::ResetCurrentFolders();
    ResetProgramState();
}

TempPrefix::~TempPrefix() {
    QDir::setCurrent(savedCwd_);
    if (savedDataHome_.isNull()) qunsetenv("XDG_DATA_HOME");
    else qputenv("XDG_DATA_HOME", savedDataHome_);
    platform::ResetCurrentFolders();
    ResetProgramState();
    // Read-only folders left by a test would stop the removal.
    QDir(dir_.path()).removeRecursively();
    // Names that are no UTF-8 are beyond Qt's reach: what is left goes by its bytes.
    ::nftw(QFile::encodeName(dir_.path()).constData(),
           [](const char* path, const struct stat*, int, FTW*) { return ::remove(path) * 0; }, 16,
           FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

QString TempPrefix::prefix() const { return dir_.path() + "/prefix"; }
QString TempPrefix::base() const { return dir_.path(); }

QString TempPrefix::addDrive(QChar letter) {
    const QString folder = dir_.path() + "/drive_" + letter.toLower();
    QDir().mkpath(folder);
    linkDrive(letter, folder);
    return folder;
}

void TempPrefix::linkDrive(QChar letter, const QString& target) {
    const QString link = prefix() + "/dosdevices/" + letter.toLower() + ":";
    QFile::remove(link);
    EXPECT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
}

void TempPrefix::setup() {
    SetupOptions options;
    options.prefix = prefix();
    const QString binDir = qEnvironmentVariable("QUORL_BIN_DIR");
    options.quorlBinary = binDir.isEmpty() ? QString() : binDir + "/Quorl";
    options.toolsFolder = binDir;
    options.login = "tester";
    options.home = dir_.path() + "/home";
    QDir().mkpath(options.home);
    QString error;
    ASSERT_TRUE(SetupPrefix(options, &error)) << error.toStdString();
}

QString TempPrefix::host(const QString& dosPath) const {
    QString h;
    EXPECT_EQ(platform::DosToHost(dosPath, &h), 0) << dosPath.toStdString();
    return h;
}

void TempPrefix::writeFile(const QString& dosPath, const QByteArray& bytes) const {
    const QString h = host(dosPath);
    QDir().mkpath(QFileInfo(h).path());
    // The prefix's program files are links to the built tools; a test's own
    // content replaces the link and never lands in the build.
    if (QFileInfo(h).isSymLink()) QFile::remove(h);
    QFile f(h);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << h.toStdString();
    f.write(bytes);
}

QByteArray TempPrefix::readFile(const QString& dosPath) const {
    QFile f(host(dosPath));
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

ScriptedPrompter::ScriptedPrompter() {
    SetPromptHandler([this](const PromptRequest& r) {
        seen_ << r.text;
        statuses_ << (MainWindow() ? MainWindow()->statusBar()->currentMessage() : QString());
        if (expected_.empty()) {
            ADD_FAILURE() << "unexpected prompt: " << r.title.toStdString() << ": " << r.text.toStdString();
            if (r.buttons == PromptButtons::YesNoCancel) return PromptAnswer::Cancel;   // nothing saved nor lost
            return r.buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::No;
        }
        Expectation e = expected_.front();
        expected_.pop_front();
        EXPECT_EQ(r.text.toStdString(), e.text.toStdString());
        if (!e.title.isEmpty()) { EXPECT_EQ(r.title.toStdString(), e.title.toStdString()); }
        return e.answer;
    });
}

ScriptedPrompter::~ScriptedPrompter() {
    SetPromptHandler(nullptr);
    for (const auto& e : expected_) ADD_FAILURE() << "expected prompt never came: " << e.text.toStdString();
}

ScriptedPrompter& ScriptedPrompter::expect(const QString& text, PromptAnswer answer, const QString& title) {
    expected_.push_back({text, title, answer});
    return *this;
}

ScriptedForms::ScriptedForms() {
    SetModalFormHandler([this](QWidget* form) {
        if (expected_.empty()) {
            ADD_FAILURE() << "unexpected modal form: " << form->objectName().toStdString();
            form->hide();
            return;
        }
        Expectation e = std::move(expected_.front());
        expected_.pop_front();
        EXPECT_EQ(form->objectName().toStdString(), e.objectName.toStdString());
        e.script(form);
    });
}

ScriptedForms::~ScriptedForms() {
    SetModalFormHandler(nullptr);
    for (const auto& e : expected_) ADD_FAILURE() << "expected form never shown: " << e.objectName.toStdString();
}

ScriptedForms& ScriptedForms::expect(const QString& objectName, std::function<void(QWidget*)> script) {
    expected_.push_back({objectName, std::move(script)});
    return *this;
}
