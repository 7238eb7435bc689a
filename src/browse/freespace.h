#pragma once
#include <QString>

class frmBrws;

// Free space of a drive, the "Available bytes" panel of the drive window, and
// the drive the drive commands act on.

// Sectors per cluster × bytes per sector × free clusters of the drive of a root
// ("c:" or "c:\"), in 64 bits; -1 when the drive cannot tell.
qint64 FreeBytes(const QString& root);

// Tests the drive and, while it fails, shows the error with the choice to try
// again. False when the user gave up; the drive is then left alone.
bool WaitForDrive(const QString& drive);

// Refreshes the free-space panel of the window from the active slot's drive.
void ShowAvailableBytes(frmBrws* w);

// The drive the drive commands act on: the active window's, or the current
// drive when no window is open.
QString ActiveDrive();
// Puts the current drive and folder back to the active drive window's after a
// drive test moved them.
void RestoreWindowFolder();
