#pragma once
#include <QString>
#include <QStringList>

struct SetupOptions {
    QString prefix;        // host folder of the prefix
    QString quorlBinary;   // host path of the main program, linked as c:\quorl\Quorl.exe
    QString toolsFolder;   // host folder holding the project's tools (command.com, ...)
    QString login;         // user name for c:\users\<login>
    QString home;          // host home folder the user folder points at
};

// Creates or repairs the prefix. Never overwrites an existing quorl.ini.
// Returns false with a message in *error when something could not be made.
// *made (optional) receives one line for each item created or repaired.
bool SetupPrefix(const SetupOptions& options, QString* error, QStringList* made = nullptr);

// The fresh settings file setup installs. Its association lines are those whose
// program (a DOS path, compared ignoring case) is one of `programs`: a line for
// a program that is not there would only end in "File not found".
QString DefaultSettingsText(const QStringList& programs);
