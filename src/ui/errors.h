#pragma once
#include <QString>
#include <QStringList>
#include <QWidget>
#include "platform/errors.h"

// Fixed message of a file-error number.
QString ErrorMessage(ErrorCode code);
void ShowFileError(ErrorCode code);

enum class MsgStyle { Critical, Exclamation, Question, Information };
void ShowMessage(const QString& text, MsgStyle style, const QString& title);

// One user action gives at most one message, also when it reads many folders
// and finds each of them gone: while a guard lives, ShowMessage shows the first
// message and drops the others.
class OneMessage {
public:
    OneMessage();
    ~OneMessage();
    OneMessage(const OneMessage&) = delete;
    OneMessage& operator=(const OneMessage&) = delete;
};

bool FileExists(const QString& path);
ErrorCode TestDrive(const QString& path);
ErrorCode TestWritable(const QString& folder);
bool IsFileInUse(const QString& path);
QString NameFromPath(const QString& path);

void SetStatus(const QString& text);
// The status of a run's step, drawn with the frames: between frames it is kept,
// and shown, fitted to the status bar, when a frame is due or a question or
// message stops the run. A widget that would paint itself at once for every
// file (the progress bar) has its paint held the same way, and given back then.
void KeepStatus(const QString& text);
void HoldPaint(QWidget* widget);
void ShowHeld();
void SetBusy();     // hourglass pointer while a long action runs
void EndBusy();
QString FitText(const QWidget* form, const QString& text, int widthTwips);

void SetAttributeLetters(const QString& path, const QString& letters);

inline const QString InvalidCharactersMessage =
    QStringLiteral("Invalid characters in file / path, such as : <  /  >  |  :  *  \\  ?  \"");
void ShowInvalidCharacters();

// Twips per pixel of the screen (15 at 96 dots per inch).
int TwipsPerPixelX();
int TwipsPerPixelY();
