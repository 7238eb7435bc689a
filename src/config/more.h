#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Settings beyond the twenty of the first three sections. They live in a section
// of their own, "[more]", as Name=value lines read by name: a missing line keeps
// the program's original behaviour, and lines of names the program does not
// know are kept as they stand when the section is written again.

enum class MoreKind { Switch, Number };

struct MoreSetting {
    QString name;       // the key of its line, matched ignoring case
    QString label;      // the caption of its control on the More tab
    MoreKind kind;
    QString missing;    // the value in force without a line: the original behaviour
    int low = 0;        // the range of a number
    int high = 0;
};

namespace more {
inline const QString Header = QStringLiteral("[more]");
inline const QString DeleteToTrash = QStringLiteral("Delete to trash");
inline const QString FilesPerFolder = QStringLiteral("Files per folder");
inline const QString LinesPerDrive = QStringLiteral("Lines per drive");
}  // namespace more

// The settings of "[more]", in the order of the More tab; one line each (and
// one in the fresh settings file setup installs).
const QList<MoreSetting>& MoreSettings();

// A value as it is held: "true" or "false" for a switch, the number limited to
// its range in decimal; an unreadable value is the missing one.
QString CheckedMoreValue(const MoreSetting& setting, const QString& value);
// The value in force, and the same read as a switch or a number.
QString MoreValue(const QString& name);
bool MoreSwitch(const QString& name);
int MoreNumber(const QString& name);
void SetMoreValue(const QString& name, const QString& value);

// Takes the values of the section's lines (as ReadSection gives them); a
// setting without a line gets its missing value.
void ReadMoreSection(const QStringList& lines);
// The settings file's lines with "[more]" written again: each known setting's
// line with its key as found and the value in force, every other line as it
// stands, and a new line for a setting that has none only when its value is
// not the missing one. A file without the section gets one (before
// "[associations]") only when a value needs a line.
QList<QByteArray> SpliceMoreSection(const QList<QByteArray>& raw);
