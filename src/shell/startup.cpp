#include "shell/startup.h"
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include "config/settings.h"
#include "ui/errors.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/files.h"
#include "platform/prefix.h"
#include "shell/MDIQuorl.h"

namespace {
bool exitStarted = false;

std::function<void()>& endHandler() {
    static std::function<void()> h;
    return h;
}

// Fresh windows without a saved desktop take three quarters of the screen.
QRect DefaultGeometry(QSize screen) {
    const QSize size(screen.width() * 3 / 4, screen.height() * 3 / 4);
    return QRect(QPoint((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2), size);
}
}  // namespace

void SetEndProgramHandler(std::function<void()> handler) { endHandler() = std::move(handler); }

void EndProgram() {
    if (endHandler()) {
        endHandler()();
        return;
    }
    QApplication::exit(0);
}

void QuitAtOnce() {
    exitStarted = true;
    EndProgram();
}

void ResetShutdown() { exitStarted = false; }

int LeadingNumber(const QString& piece) {
    const QString t = piece.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
    int end = i;
    while (end < t.size() && t[end].isDigit()) ++end;
    if (end == i) return 0;
    bool ok = false;
    const qlonglong v = t.left(end).toLongLong(&ok);
    if (!ok) return 0;
    return int(qBound(qlonglong(INT_MIN), v, qlonglong(INT_MAX)));
}

SavedDesktop ParseDesktopSection(const QStringList& lines) {
    SavedDesktop d;
    if (!lines.isEmpty() && lines[0].toLower().contains("maximized")) {
        d.maximized = true;
        return d;
    }
    // A missing or short section is a normal window of the default size.
    if (lines.size() < 2 || lines[1].isEmpty() || !lines[1].contains('=')) return d;
    const QStringList pieces = lines[1].mid(lines[1].indexOf('=') + 1).split(',');
    int values[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4 && i < pieces.size(); ++i) values[i] = LeadingNumber(pieces[i]);
    d.hasGeometry = true;
    d.left = values[0];
    d.top = values[1];
    d.width = values[2];
    d.height = values[3];
    return d;
}

QSize FitToScreen(QSize size, QSize screen) {
    return QSize(qMin(size.width(), screen.width()), qMin(size.height(), screen.height()));
}

namespace {
// The coordinates read at start-up and the pixels they became: a window that
// was not moved or resized writes back the very numbers it was given, which
// the conversion to pixels and back would round.
struct RestoredCoordinates {
    bool known = false;
    int twips[4] = {0, 0, 0, 0};
    int pixels[4] = {0, 0, 0, 0};
};
RestoredCoordinates restored;

void PixelGeometry(const QWidget* form, int out[4]) {
    out[0] = form->x();
    out[1] = form->y();
    out[2] = form->width();
    out[3] = form->height();
}

// The whole frame, title bar and borders included, stays on the screen's
// working area, so that the status bar and the bottom panels can be seen.
void FitFrameToScreen(QWidget* form) {
    if (form->isMaximized() || form->isMinimized()) return;
    const QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = form->frameGeometry();
    const QSize margins = frame.size() - form->size();
    const QSize fitted(qMin(form->width(), area.width() - margins.width()),
                       qMin(form->height(), area.height() - margins.height()));
    if (fitted != form->size()) form->resize(fitted);
    const QRect now = form->frameGeometry();
    QPoint at = now.topLeft();
    if (now.right() > area.right()) at.setX(area.right() - now.width() + 1);
    if (now.bottom() > area.bottom()) at.setY(area.bottom() - now.height() + 1);
    at.setX(qMax(at.x(), area.left()));
    at.setY(qMax(at.y(), area.top()));
    if (at != now.topLeft()) form->move(at);
}
}  // namespace

void RestoreDesktop(MDIQuorl* form) {
    restored = {};
    const SavedDesktop d = ParseDesktopSection(ReadSection("[desktop]"));
    if (d.maximized) {
        form->showMaximized();
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QRect g = DefaultGeometry(area.size());
    const bool saved = d.hasGeometry && d.width > 0 && d.height > 0;
    if (saved) {
        const int tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
        g = QRect(QPoint(d.left / tx, d.top / ty), FitToScreen(QSize(d.width / tx, d.height / ty), area.size()));
    }
    form->move(g.topLeft());
    form->resize(g.size());
    form->show();
    // The window manager adds its frame only once the window is up.
    FitFrameToScreen(form);
    QTimer::singleShot(300, form, [form] { FitFrameToScreen(form); });
    if (saved) {
        restored.known = true;
        const int values[4] = {d.left, d.top, d.width, d.height};
        std::copy(values, values + 4, restored.twips);
        PixelGeometry(form, restored.pixels);
    }
}

QRect DesktopCoordinates(const QWidget* form) {
    const int tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
    int pixels[4];
    PixelGeometry(form, pixels);
    const int perPixel[4] = {tx, ty, tx, ty};
    int twips[4];
    for (int i = 0; i < 4; ++i)
        twips[i] = restored.known && pixels[i] == restored.pixels[i] ? restored.twips[i] : pixels[i] * perPixel[i];
    return QRect(twips[0], twips[1], twips[2], twips[3]);
}

QStringList DesktopSectionLines(bool maximized, const QRect& twips) {
    return {maximized ? "WindowState = Maximized" : "WindowState = Normal",
            QString("WindowCoordinates = %1,%2,%3,%4")
                .arg(twips.left()).arg(twips.top()).arg(twips.width()).arg(twips.height())};
}

void SaveDesktopAndExit() {
    if (exitStarted) return;
    exitStarted = true;
    if (MDIQuorl* form = MainForm()) {
        const QRect twips = DesktopCoordinates(form);
        // Without a readable settings file there is nothing to keep the desktop in;
        // writing one of only a desktop section would stop the next start.
        RewriteDesktopSection(DesktopSectionLines(form->isMaximized(), twips));
    }
    for (const char* temp : {"c:\\yhb6543.tmp", "c:\\dosdump.tmp", "c:\\shelling.bat"}) {
        if (FileExists(temp)) {
            platform::SetAttributes(temp, platform::attr::Archive);
            platform::DeleteFile(temp);
        }
    }
    LastError = 0;
    EndProgram();
}

namespace {
// A first start finds no prefix at all, and setup, which lies beside the
// program, makes one. A prefix that is there is the user's: setup is not run
// over it, and a settings file missing in it is reported as always.
void MakePrefixOnFirstStart() {
    const QString prefix = platform::PrefixFolder();
    struct stat st;
    if (::lstat(QFile::encodeName(prefix).constData(), &st) == 0 || errno != ENOENT) return;
    // What it made is no news to the user; what failed goes on to the program's own error output.
    QProcess setup;
    setup.setStandardOutputFile(QProcess::nullDevice());
    setup.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    setup.start(QCoreApplication::applicationDirPath() + "/quorl-setup", {"--prefix", prefix});
    setup.waitForFinished(-1);
}
}  // namespace

bool RunStartUp() {
    // Steps 1, 2, 8 and 9 need the forms and live in frmShowUp; this is the rest.
    MakePrefixOnFirstStart();
    if (!LoadSettings()) return false;
    const QString programFolder = Settings[setting::ProgramFolder].toString();
    if (!programFolder.isEmpty()) {
        platform::ChangeDrive(programFolder.at(0));
        platform::ChangeFolder(programFolder);
    }
    Slot(1).FileSpec = "*.*";
    return true;
}
