#pragma once
#include <QString>
#include <QWidget>
#include <functional>

// Every message box and Yes/No question goes through Prompt, and every modal form
// through CenterForm, so that a test script can stand in for the user.

enum class PromptIcon { Critical, Exclamation, Question, Information };
enum class PromptButtons { Ok, YesNo, YesNoCancel, OkCancel, RetryCancel };
enum class PromptAnswer { Ok, Yes, No, Cancel, Retry };

struct PromptRequest {
    QString text;
    QString title;
    PromptIcon icon;
    PromptButtons buttons;
};

PromptAnswer Prompt(const QString& text, PromptIcon icon, PromptButtons buttons, const QString& title);
inline bool AskYesNo(const QString& text, const QString& title, PromptIcon icon = PromptIcon::Question) {
    return Prompt(text, icon, PromptButtons::YesNo, title) == PromptAnswer::Yes;
}

using PromptHandler = std::function<PromptAnswer(const PromptRequest&)>;
// Installs a handler in place of the message boxes; an empty one restores them.
void SetPromptHandler(PromptHandler handler);
bool PromptHandlerInstalled();

// Places a form at the centre of the screen and shows it, modal when asked.
void CenterForm(QWidget* form, bool modal);
using ModalFormHandler = std::function<void(QWidget* form)>;
// Installs a handler that stands in for the user of modal forms (it fills the
// form and presses its buttons); an empty one restores exec().
void SetModalFormHandler(ModalFormHandler handler);
