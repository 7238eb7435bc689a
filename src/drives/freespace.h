#pragma once
#include <QString>

class frmBrws;

// Free space of a drive and the "Available bytes" panel of the drive window.

// Sectors per cluster × bytes per sector × free clusters of the drive of a root
// ("c:" or "c:\"), in 64 bits; -1 when the drive cannot tell.
qint64 FreeBytes(const QString& root);

// Tests the drive and, while it fails, shows the error with the choice to try
// again. False when the user gave up; the drive is then left alone.
bool WaitForDrive(const QString& drive);

// Refreshes the free-space panel of the window from the active slot's drive.
void ShowAvailableBytes(frmBrws* w);

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

// The drive the drive commands act on: the active window's, or the current
// drive when no window is open.
QString ActiveDrive();
// Puts the current drive and folder back to the active drive window's after a
// drive test moved them.
void RestoreWindowFolder();
