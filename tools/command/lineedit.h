#pragma once
// Editing a line at the prompt as DOS does: the keys a terminal sends, the line
// being edited and how to draw it. No terminal is touched here.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace command {

enum class KeyCode {
    Char, Enter, Backspace, Delete, Left, Right, Home, End, Up, Down, Insert, Escape,
    F1, F3, F6,
    Break,        // Ctrl+C
    EndOfFile,    // Ctrl+Z
    Other,        // a key that edits nothing
    Incomplete,   // the bytes so far begin a key; more are needed
};

struct Key {
    KeyCode code = KeyCode::Other;
    QString text;   // the character of a Char key
};

// The key the bytes begin with and how many bytes it takes. A lone Esc byte is
// Incomplete: the caller decides, after a short wait, that it is the Esc key.
Key DecodeKey(const QByteArray& bytes, qsizetype* used);

// The end-of-file mark of a text typed at the console, shown as ^Z.
inline constexpr QChar EndOfFileMark = QChar(0x1a);

class LineEditor {
public:
    enum class Mode { Prompt, Console };   // Console: Ctrl+Z and F6 put the end-of-file mark in the line
    enum class Result { Editing, Accepted, Cancelled };

    // history: earlier lines, oldest first; the last is also the template F1 and F3 copy from.
    LineEditor(Mode mode, const QStringList& history);
    Result apply(const Key& key);

    const QString& text() const { return text_; }
    qsizetype cursor() const { return cursor_; }

private:
    void put(const QString& s);
    void recall(qsizetype index);

    Mode mode_;
    QStringList history_;
    qsizetype recalled_;
    QString text_;
    qsizetype cursor_ = 0;
    bool insert_ = true;
};

// The text as the terminal shows it, the end-of-file mark as ^Z.
QString Displayed(const QString& text);

// The bytes that move a terminal's cursor between two places of an edited
// line, counted in cells from the first column of the row the line starts on.
QByteArray MoveCursor(qsizetype from, qsizetype to, int columns);

// Redraws an edited line: `start` is where the line begins (after the prompt),
// `shown` where the cursor stands now. Returns the bytes to write and sets
// `shown` to where the cursor stands after them.
QByteArray Redraw(const QString& text, qsizetype cursor, qsizetype start, int columns, qsizetype* shown);

// The history after a line was entered: empty lines and a repeat of the last
// one add nothing; the oldest go past `limit` lines.
void Remember(QStringList* history, const QString& line, int limit = 100);

}  // namespace command
