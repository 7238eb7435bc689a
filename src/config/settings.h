#pragma once
#include <QString>
#include <QStringList>

// The settings file quorl.ini in the Windows folder.

QString WindowsFolder();            // "c:\windows"
QString SettingsFilePath();         // WindowsFolder() + "\quorl.ini"

// Lines of a section, trimmed, without empty lines, plus one empty entry at the end.
QStringList ReadSection(const QString& sectionHeader);
QString ValueOf(const QString& line);

// Reads the three setting sections into Settings. Shows the message and returns
// false when the program has to end (no settings file, program folder wrong).
bool LoadSettings();
// Checks one value as the table of its index says and returns what is stored.
QVariant CheckedSetting(int index, const QString& value);
void SaveSettings();
void WriteSettingLines(QStringList& out, const QStringList& lines, const QString& header, int firstIndex);
// Key texts of the setting lines of "[general]", "[compression]" or "[fonts]", each
// ending in "=" (empty for any other section): used where a line is missing.
QStringList DefaultSettingKeys(const QString& sectionHeader);

// Reads the settings file as lines (CR LF or LF), and replaces it in one step:
// the new text is written completely to quorl.tmp, flushed, and renamed over
// quorl.ini, so a crash in between never loses the settings. Lines are written
// with CR LF.
bool ReadSettingsLines(QStringList* lines);
bool ReplaceSettingsFile(const QStringList& lines);

// Replaces the lines of one section ("[associations]") by new ones and keeps
// every other line of the file byte for byte, through the same one-step
// replacement. The section's lines end with one empty line when another section
// follows. False when the file or the section is missing or cannot be rewritten.
bool ReplaceSettingsSection(const QString& sectionHeader, const QStringList& lines);
