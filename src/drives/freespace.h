#pragma once
#include <QString>

// The report of the Available space command.

// A count that is never negative with "," between groups of three digits
// ("2,000"), as the pattern "0,00" writes it once its leading zeros are removed;
// zero stays "0" so that the report never ends in nothing.
QString FormatThousands(qint64 number);
// Free bytes in kilobytes, rounded to a whole number.
qint64 KilobytesOf(qint64 bytes);
// The two-line report of the Available space command, or its failure text
// when the free space is unknown (-1).
QString AvailableSpaceReport(qint64 freeBytes);
QString AvailableSpaceTitle(const QString& drive);
