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

// Reads the settings file as lines (CR LF or LF). Every rewrite of the file
// writes the new text completely to quorl.tmp, flushes it and renames it over
// quorl.ini, so a crash in between never loses the settings.
bool ReadSettingsLines(QStringList* lines);

// Replaces the lines of one section ("[associations]") by new ones and keeps
// every other line of the file byte for byte, through the same one-step
// replacement. The section's lines end with one empty line when another section
// follows. False when the file or the section is missing or cannot be rewritten.
bool ReplaceSettingsSection(const QString& sectionHeader, const QStringList& lines);

// The exit's rewrite: the "[desktop]" section wherever it stands (or a new one
// at the end) gets the given lines; every other byte of the file stays as it
// was, line endings and 8-bit text included.
QByteArray SpliceDesktopSection(const QByteArray& file, const QStringList& desktopLines);
// Replaces the settings file, or the file it links to, with the spliced text in one step.
bool RewriteDesktopSection(const QStringList& desktopLines);
