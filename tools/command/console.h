#pragma once
// The terminal the interpreter runs in: single keys, lines edited as at a DOS
// prompt, and the size of the screen. While it reads keys the terminal sends
// every key as it is: Ctrl+C and Ctrl+Z reach the interpreter as keys instead
// of ending or suspending it, as they do in DOS.
#include <QString>
#include <QStringList>
#include "lineedit.h"

namespace command::console {

// Standard input and output are both a terminal: the prompt edits lines.
bool Interactive();
// A terminal to read single keys from: standard input when it is one, else
// the controlling terminal (the keys of "more" while its text comes from a pipe).
bool HasKeyboard();

struct ScreenSize {
    int rows = 25;
    int columns = 80;
};
// The terminal on standard output; 25 rows of 80 columns when it says nothing.
ScreenSize Screen();

// One key from the keyboard. False when there is none, the terminal went
// away, or timeoutMs (when not negative) passed without a key.
bool ReadKey(Key* key, int timeoutMs = -1);

// While a line is read from the terminal the way it reads lines itself,
// Ctrl+Z is a character, not the key that suspends the interpreter.
class SuspendKeyOff {
public:
    SuspendKeyOff();
    ~SuspendKeyOff();
    SuspendKeyOff(const SuspendKeyOff&) = delete;
    SuspendKeyOff& operator=(const SuspendKeyOff&) = delete;

private:
    bool active_ = false;
    unsigned char saved_ = 0;
};

enum class LineEnd { Entered, Cancelled, Closed };
// Reads a line with the line editor. promptWidth is how many cells the
// prompt's last row takes. Ctrl+C cancels (the line shows ^C); Closed when the
// terminal went away.
LineEnd EditLine(LineEditor::Mode mode, const QStringList& history, qsizetype promptWidth, QString* line);

}  // namespace command::console
