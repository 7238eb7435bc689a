#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The settings file's bytes as lines, without a leading UTF-8 byte order mark
// and without each line's CR LF or LF.
QList<QByteArray> SplitSettingsBytes(QByteArray data);
// Lines written by hand may be in any 8-bit code page: a line is UTF-8 text when
// it is valid UTF-8, else one character per byte, so reading never fails.
QString DecodeSettingsLine(const QByteArray& bytes);
QStringList DecodeSettingsLines(const QList<QByteArray>& raw);
// Lines of a section as ReadSection gives them, without the extra empty entry:
// trimmed, empty ones left out, up to the next line that starts with "[".
QStringList SectionLines(const QStringList& text, const QString& sectionHeader);

QString ValueOf(const QString& line);
// Checks one value as the table of its index says and returns what is stored.
QVariant CheckedSetting(int index, const QString& value);
// Key texts of the setting lines of "[general]", "[compression]" or "[fonts]", each
// ending in "=" (empty for any other section): used where a line is missing.
QStringList DefaultSettingKeys(const QString& sectionHeader);

// The exit's rewrite: the "[desktop]" section wherever it stands (or a new one
// at the end) gets the given lines; every other byte of the file stays as it
// was, line endings and 8-bit text included.
QByteArray SpliceDesktopSection(const QByteArray& file, const QStringList& desktopLines);
