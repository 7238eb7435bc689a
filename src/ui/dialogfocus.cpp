#include "ui/dialogfocus.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTimer>
#include <QWindow>
#include "model/slots.h"
#include "ui/mainwindow.h"

void HeldFocusPane::Hold() {
    if (IsHeld()) return;
    Note();
    if (IsHeld()) CurrentDriveSlot().FocusPane = Pane::Dialog;
}

void HeldFocusPane::Note() {
    if (OpenDriveCount <= 0) return;
    slot_ = CurrentSlot;
    pane_ = CurrentDriveSlot().FocusPane;
}

void HeldFocusPane::Release() {
    if (!IsHeld()) return;
    // Logging from the dialog may have made another slot active; the value
    // belongs to the slot that was active when the dialog opened.
    if (slot_ <= OpenDriveCount) Slot(slot_).FocusPane = pane_;
    slot_ = 0;
}

void HeldFocusPane::SlotClosed(int slot) {
    if (slot_ == slot) slot_ = 0;
    else if (slot_ > slot) --slot_;
}

namespace {
bool Usable(const QWidget* w) { return w && w->isVisible() && w->isEnabled(); }

void Activate(QWidget* window, QWidget* control) {
    window->activateWindow();
    if (Usable(control) && control->window() == window) control->setFocus(Qt::ActiveWindowFocusReason);
}

// The control of the main window that takes the keyboard: the one that had it
// in the active drive window.
QWidget* MainWindowControl() {
    QMdiArea* area = DriveWindowArea();
    QMdiSubWindow* sub = area ? area->activeSubWindow() : nullptr;
    QWidget* control = sub && sub->widget() ? sub->widget()->focusWidget() : nullptr;
    return control ? control : (MainWindow() ? MainWindow()->focusWidget() : nullptr);
}
}  // namespace

void ReturnFocusToMainWindow() {
    // A modal dialog still up keeps the keyboard: the main window takes no keys under it.
    if (QWidget* modal = QApplication::activeModalWidget(); Usable(modal)) {
        Activate(modal, modal->focusWidget());
        return;
    }
    QMainWindow* main = MainWindow();
    if (!main || !main->isVisible()) return;
    Activate(main, MainWindowControl());
}

HeldActivation HoldActivation() {
    QWidget* window = QApplication::activeWindow();
    if (!Usable(window)) window = MainWindow();
    if (!window) return {};
    return {window, window == MainWindow() ? MainWindowControl() : window->focusWidget()};
}

namespace {
// The window the keyboard is to come back to after a dialog or a run.
HeldActivation& Returning() {
    static HeldActivation held;
    return held;
}

void ActivateHeld() {
    const HeldActivation& held = Returning();
    if (!Usable(held.window) || held.window == MainWindow()) ReturnFocusToMainWindow();
    else Activate(held.window, held.control);
}

// Nothing of the program has the keyboard, or a window that is already hidden
// has it: the window manager has not (yet) given it back.
bool KeyboardLost() {
    const QWindow* focus = QGuiApplication::focusWindow();
    return !focus || !focus->isVisible();
}

// The window manager answers asynchronously and may still be busy with the
// window that was just hidden; the activation is asked again until the
// keyboard has arrived, for a short while.
void SettleActivation() {
    static QTimer* timer = nullptr;
    static int tries = 0;
    if (!timer) {
        timer = new QTimer(qApp);
        timer->setInterval(100);
        QObject::connect(timer, &QTimer::timeout, qApp, [] {
            if (!KeyboardLost() || ++tries > 15) {
                timer->stop();
                return;
            }
            ActivateHeld();
        });
    }
    tries = 0;
    timer->start();
}
}  // namespace

void ReturnActivation(const HeldActivation& held) {
    Returning() = held;
    ActivateHeld();
    SettleActivation();
}

void KeepActivationOnVisibleWindows() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp, [](QWindow* window) {
        if (!window || window->isVisible()) return;
        Returning() = HeldActivation{MainWindow(), nullptr};
        SettleActivation();
    });
}

void WaitUntilShown(QWidget* window, int maxMs) {
    QElapsedTimer clock;
    clock.start();
    auto shown = [window] {
        const QWindow* handle = window->windowHandle();
        return handle && handle->isExposed() && QApplication::activeWindow() == window;
    };
    // Keys typed meanwhile wait for the window rather than reach the one under it.
    while (window->isVisible() && !shown() && clock.elapsed() < maxMs)
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}
