#pragma once
#include <QString>
#include <QStringList>
#include "config/settingstext.h"

// The settings file quorl.ini in the Windows folder.

QString WindowsFolder();            // "c:\windows"
QString SettingsFilePath();         // WindowsFolder() + "\quorl.ini"

// Lines of a section, trimmed, without empty lines, plus one empty entry at the end.
QStringList ReadSection(const QString& sectionHeader);

// Reads the three setting sections into Settings, and "[more]" (config/more.h).
// Shows the message and returns false when the program has to end (no settings
// file, program folder wrong).
bool LoadSettings();
// Writes the three setting sections and "[more]" back.
void SaveSettings();
void WriteSettingLines(QStringList& out, const QStringList& lines, const QString& header, int firstIndex);

// Reads the settings file as lines (CR LF or LF). Every rewrite of the file
// writes the new text completely to quorl.tmp (a name of its own beside the
// target when quorl.ini is a link), flushes it and renames it over quorl.ini,
// so a crash in between never loses the settings.
bool ReadSettingsLines(QStringList* lines);

// Replaces the lines of one section ("[associations]") by new ones and keeps
// every other line of the file byte for byte, through the same one-step
// replacement. The section's lines end with one empty line when another section
// follows. False when the file or the section is missing or cannot be rewritten.
bool ReplaceSettingsSection(const QString& sectionHeader, const QStringList& lines);

// Replaces the settings file, or the file it links to, with the spliced text in one step.
bool RewriteDesktopSection(const QStringList& desktopLines);
