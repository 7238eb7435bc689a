#pragma once
#include <QString>

struct SetupOptions {
    QString prefix;        // host folder of the prefix
    QString quorlBinary;   // host path of the main program, linked as c:\quorl\Quorl.exe
    QString toolsFolder;   // host folder holding the project's tools (command.com, ...)
    QString login;         // user name for c:\users\<login>
    QString home;          // host home folder the user folder points at
};

// Creates or repairs the prefix. Never overwrites an existing quorl.ini.
// Returns false with a message in *error when something could not be made.
bool SetupPrefix(const SetupOptions& options, QString* error);

// The fresh settings file setup installs.
QString DefaultSettingsText();
