#pragma once
// A text field a dialog fills with a name or path of the program's own
// (a file's name, a chosen folder). The field shows it as the list does, with
// look-alikes for the characters DOS cannot hold; text the user leaves as it
// was means that name exactly, and only text typed anew follows the rules of
// typed names.
#include <QString>

class QLineEdit;

void SetPrefilled(QLineEdit* field, const QString& name);
// A field filled with ordinary text: what it holds is what was typed.
void SetTyped(QLineEdit* field, const QString& text);
bool LeftAsPrefilled(const QLineEdit* field);
// The name the field stands for: the pre-filled name while the text is left
// as it was shown (blanks around it aside), else the text itself.
QString FieldName(const QLineEdit* field);
// Puts typed text into the form typed names take (normalize), leaving a
// pre-filled name alone.
void NormalizeField(QLineEdit* field, QString (*normalize)(const QString&));
