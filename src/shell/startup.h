#pragma once
#include <QRect>
#include <QSize>
#include <QStringList>
#include <functional>

class MDIQuorl;
class QWidget;

// Start-up, shutdown and the saved desktop.

// The start-up sequence run by the splash form's load. False when the program
// has to end (the settings were missing or wrong; the message was shown).
bool RunStartUp();
void RestoreDesktop(MDIQuorl* form);
// The main window's left, top, width and height in twips, as the exit writes
// them: the numbers read at start-up for whatever did not change since.
QRect DesktopCoordinates(const QWidget* form);
// Writes the desktop section, removes the temporary files and ends the program.
void SaveDesktopAndExit();

// Ends the program at once, without saving the desktop (Alt+Q in the DOS box).
void QuitAtOnce();
// How the program ends; tests install their own. The default quits the event loop.
void SetEndProgramHandler(std::function<void()> handler);
void EndProgram();
// A new run (tests): the exit may be taken again.
void ResetShutdown();

// The saved desktop as read from the section's lines.
struct SavedDesktop {
    bool maximized = false;
    bool hasGeometry = false;
    int left = 0, top = 0, width = 0, height = 0;   // twips
};
SavedDesktop ParseDesktopSection(const QStringList& lines);
// Leading number of a piece, blanks before it ignored; 0 without one.
int LeadingNumber(const QString& piece);
// The two lines of the desktop section.
QStringList DesktopSectionLines(bool maximized, const QRect& twips);
// A saved size never larger than the screen.
QSize FitToScreen(QSize size, QSize screen);
