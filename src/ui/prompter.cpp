#include "ui/prompter.h"
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include "platform/names.h"
#include "ui/errors.h"
#include "ui/mainwindow.h"
#include "ui/dialogfocus.h"

namespace {
PromptHandler& promptHandler() {
    static PromptHandler h;
    return h;
}
ModalFormHandler& modalHandler() {
    static ModalFormHandler h;
    return h;
}

QMessageBox::Icon boxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Critical: return QMessageBox::Critical;
    case PromptIcon::Exclamation: return QMessageBox::Warning;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok: return QMessageBox::Ok;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}
}  // namespace

void SetPromptHandler(PromptHandler handler) { promptHandler() = std::move(handler); }
bool PromptHandlerInstalled() { return bool(promptHandler()); }
void SetModalFormHandler(ModalFormHandler handler) { modalHandler() = std::move(handler); }

PromptAnswer Prompt(const QString& message, PromptIcon icon, PromptButtons buttons, const QString& title) {
    // The status names the file the question is about.
    ShowHeld();
    // A file's name in a message reads as on the list, look-alikes and all.
    const QString text = platform::ShownName(message);
    if (promptHandler()) return promptHandler()({text, title, icon, buttons});
    // After the answer the user goes on where he was, window manager or not.
    const HeldActivation before = HoldActivation();
    QMessageBox box(boxIcon(icon), title, text, boxButtons(buttons), QApplication::activeWindow());
    const int answer = box.exec();
    ReturnActivation(before);
    switch (answer) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    case QMessageBox::Retry: return PromptAnswer::Retry;
    // A box closed without a button: the answer that changes nothing.
    default:
        if (buttons == PromptButtons::YesNoCancel) return PromptAnswer::Cancel;
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
}

namespace {
// The size the form will have on the screen, frame included. A form never
// shown has not taken its layout's size yet, and no window manager has framed
// it: it takes its size now and is given the frame the main window has.
QSize ShownSize(QWidget* form) {
    if (!form->testAttribute(Qt::WA_Resized) && !form->isVisible()) form->adjustSize();
    QSize size = form->frameGeometry().size();
    const QWidget* main = MainWindow();
    if (size == form->size() && main && main->isVisible() && main != form)
        size += main->frameGeometry().size() - main->size();
    return size;
}

void PlaceAtCentre(QWidget* form, QSize size) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    form->move(area.width() / 2 - size.width() / 2, area.height() / 2 - size.height() / 2);
}
}  // namespace

void CenterForm(QWidget* form, bool modal) {
    PlaceAtCentre(form, ShownSize(form));
    // Once on the screen, the frame the window manager really gave it counts;
    // it tells its frame a little after it shows the window.
    for (int ms : {0, 200}) {
        QTimer::singleShot(ms, form, [form] {
            if (form->isVisible() && form->frameGeometry().size() != form->size())
                PlaceAtCentre(form, form->frameGeometry().size());
        });
    }
    if (!modal) {
        form->show();
        return;
    }
    // When the form is gone, the user goes on where he was.
    const HeldActivation before = HoldActivation();
    if (modalHandler()) {
        // The script plays the user: the form is up while it acts and gone after.
        form->show();
        QPointer<QWidget> guard(form);
        modalHandler()(form);
        if (guard && guard->isVisible()) guard->hide();
    } else if (auto* dialog = qobject_cast<QDialog*>(form)) {
        dialog->exec();
    } else {
        // A plain widget shown modal: wait until it hides itself.
        form->setWindowModality(Qt::ApplicationModal);
        form->show();
        QPointer<QWidget> guard(form);
        QEventLoop loop;
        while (guard && guard->isVisible()) loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    ReturnActivation(before);
}
