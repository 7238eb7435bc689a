#include "ui/errors.h"
#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QStatusBar>
#include <QPointer>
#include "ui/mainwindow.h"
#include "ui/prompter.h"
#include "ui/shellhooks.h"
#include "model/slots.h"
#include "platform/prefix.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/names.h"

namespace {
QPointer<QStatusBar>& statusBar() {
    static QPointer<QStatusBar> bar;
    return bar;
}
std::function<void()>& treeFocus() {
    static std::function<void()> f;
    return f;
}

QString keptStatus;
QPointer<QWidget> heldPaint;
int oneMessageGuards = 0;
bool messageShown = false;
}  // namespace

OneMessage::OneMessage() {
    if (oneMessageGuards++ == 0) messageShown = false;
}

OneMessage::~OneMessage() { --oneMessageGuards; }

void SetStatusBarWidget(QStatusBar* bar) { statusBar() = bar; }
void SetTreeFocusHandler(std::function<void()> handler) { treeFocus() = std::move(handler); }

QString ErrorMessage(ErrorCode code) {
    switch (code) {
    case err::FileNotFound: return "File not found";
    case err::IoError: return "Input/output error on specified drive";
    case err::FileExists: return "File already exists";
    case err::PastEnd: return "Internal error opening file";
    case err::BadFileName: return "Bad file name";
    case err::TooManyFiles: return "Too many files";
    case err::DeviceUnavailable:
    case err::DiskNotReady: return "Disk not ready";
    case err::AccessDenied: return "Access denied / write-protected disk";
    case err::PathFileConflict: return "The specified path conflicts with an existing file / folder name";
    case err::PathNotFound: return "Can't access specified drive / path";
    case err::DiskChanged: return "Disk has been changed";
    default: return "Undefined error ocurred";
    }
}

void ShowFileError(ErrorCode code) {
    ShowMessage(ErrorMessage(code), MsgStyle::Critical, "Error");
    LastError = 0;
}

void ShowMessage(const QString& text, MsgStyle style, const QString& title) {
    if (oneMessageGuards > 0) {
        if (messageShown) return;
        messageShown = true;
    }
    switch (style) {
    case MsgStyle::Critical: Prompt(text, PromptIcon::Critical, PromptButtons::Ok, title); break;
    case MsgStyle::Exclamation: Prompt(text, PromptIcon::Exclamation, PromptButtons::Ok, title); break;
    case MsgStyle::Question: Prompt(text, PromptIcon::Question, PromptButtons::Ok, title); break;
    case MsgStyle::Information: Prompt(text, PromptIcon::Information, PromptButtons::Ok, title); break;
    }
    // The message box took the keyboard; a user who was in the tree goes on there.
    if (OpenDriveCount > 0 && CurrentDriveSlot().FocusPane == Pane::Tree && treeFocus()) treeFocus()();
}

void ShowInvalidCharacters() { ShowMessage(InvalidCharactersMessage, MsgStyle::Critical, "Error"); }

bool FileExists(const QString& path) {
    bool folder = false;
    LastError = platform::FindEntry(path, &folder);
    return LastError == 0 && !folder;
}

ErrorCode TestDrive(const QString& path) {
    // The Windows folder's drive must be there, and it is the current drive
    // whenever the path's drive fails: a failed test never leaves the current
    // drive on a drive that just went away. Its root is looked at; it is made
    // current only when needed.
    const QString windows = platform::WindowsDirectory();
    const QChar home = windows.isEmpty() ? QChar() : windows.at(0).toLower();
    const QChar letter = path.isEmpty() ? QChar() : path.at(0).toLower();
    ErrorCode code = err::None;
    if (!home.isNull() && home != letter) {
        QString root;
        code = platform::DriveRoot(home, &root);
    }
    if (code == err::None) {
        code = letter.isNull() ? err::DeviceUnavailable : platform::ChangeDrive(letter);
        if (code != err::None && !home.isNull() && home != letter) platform::ChangeDrive(home);
    }
    LastError = code;
    return code;
}

ErrorCode TestWritable(const QString& folder) {
    ErrorCode code = platform::ProbeWritable(folder, QString::fromUtf8("k56f5432.h\u00f18"));
    if (code == err::PathFileConflict) code = err::AccessDenied;
    LastError = code;
    return code;
}

bool IsFileInUse(const QString& path) {
    LastError = platform::OpenForReading(path);
    return LastError == err::AccessDenied;
}

QString NameFromPath(const QString& path) {
    if (path.size() < 4) return path;
    return path.mid(path.lastIndexOf('\\') + 1);
}

void KeepStatus(const QString& text) { keptStatus = text; }

void HoldPaint(QWidget* widget) {
    heldPaint = widget;
    widget->setUpdatesEnabled(false);
}

void ShowHeld() {
    if (heldPaint) heldPaint->setUpdatesEnabled(true);
    heldPaint = nullptr;
    if (keptStatus.isEmpty()) return;
    const QMainWindow* main = MainWindow();
    const int width = main ? main->statusBar()->width() * TwipsPerPixelX() : 12000;
    SetStatus(FitText(main, keptStatus, width));
}

void SetStatus(const QString& text) {
    keptStatus.clear();
    if (QStatusBar* bar = statusBar()) {
        bar->showMessage(platform::ShownName(text));
        bar->repaint();
    }
}

void SetBusy() {
    if (!QApplication::overrideCursor()) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void EndBusy() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    SetStatus("User");
}

int TwipsPerPixelX() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? qMax(1, qRound(1440.0 / s->logicalDotsPerInchX())) : 15;
}

int TwipsPerPixelY() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? qMax(1, qRound(1440.0 / s->logicalDotsPerInchY())) : 15;
}

QString FitText(const QWidget* form, const QString& text, int widthTwips) {
    const QFontMetrics metrics(form ? form->font() : QApplication::font());
    const int tpp = TwipsPerPixelX();
    const int limit = widthTwips - 25 * tpp;
    auto twips = [&](const QString& t) { return metrics.horizontalAdvance(t) * tpp; };
    if (twips(text) <= limit) return text;
    QString prefix;
    for (const QChar c : text) {
        if (twips(prefix) >= limit) break;
        prefix += c;
    }
    return prefix + "...";
}

void SetAttributeLetters(const QString& path, const QString& letters) {
    if (!FileExists(path)) return;
    int attributes = 0;
    for (const QChar c : letters.trimmed().toUpper()) {
        if (c == 'R') attributes += platform::attr::ReadOnly;
        else if (c == 'H') attributes += platform::attr::Hidden;
        else if (c == 'S') attributes += platform::attr::System;
        else if (c == 'A') attributes += platform::attr::Archive;
    }
    LastError = platform::SetAttributes(path, attributes);
}
