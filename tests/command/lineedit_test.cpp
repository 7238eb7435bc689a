// The keys a terminal sends and the line they edit at the prompt.
#include <gtest/gtest.h>
#include "lineedit.h"

using command::Key;
using command::KeyCode;
using command::LineEditor;

TEST(LineEdit, TerminalBytesAreDecodedIntoKeys) {
    struct Case { QByteArray bytes; KeyCode code; qsizetype used; };
    const Case cases[] = {
        {"a", KeyCode::Char, 1},           {"\xc3\xa9x", KeyCode::Char, 2},   {"\r", KeyCode::Enter, 1},
        {"\x7f", KeyCode::Backspace, 1},   {"\x03", KeyCode::Break, 1},       {"\x1a", KeyCode::EndOfFile, 1},
        {"\x1b[A", KeyCode::Up, 3},        {"\x1b[B", KeyCode::Down, 3},      {"\x1bOD", KeyCode::Left, 3},
        {"\x1b[C", KeyCode::Right, 3},     {"\x1b[H", KeyCode::Home, 3},      {"\x1b[4~", KeyCode::End, 4},
        {"\x1b[1~", KeyCode::Home, 4},     {"\x1b[3~", KeyCode::Delete, 4},   {"\x1b[2~", KeyCode::Insert, 4},
        {"\x1bOR", KeyCode::F3, 3},        {"\x1b[13~", KeyCode::F3, 5},      {"\x1b[[C", KeyCode::F3, 4},
        {"\x1bOP", KeyCode::F1, 3},        {"\x1b[17~", KeyCode::F6, 5},      {"\x1b[1;5C", KeyCode::Right, 6},
        {"\x1b" "e", KeyCode::Escape, 1},  {"\x1b[15~", KeyCode::Other, 5},   {"\x01", KeyCode::Other, 1},
        // Keys not yet complete wait for their rest.
        {"\x1b", KeyCode::Incomplete, 0},  {"\x1b[1", KeyCode::Incomplete, 0}, {"\xc3", KeyCode::Incomplete, 0},
    };
    for (const Case& c : cases) {
        qsizetype used = -1;
        const Key k = command::DecodeKey(c.bytes, &used);
        EXPECT_EQ(k.code, c.code) << c.bytes.toHex().toStdString();
        if (c.code != KeyCode::Incomplete) {
            EXPECT_EQ(used, c.used) << c.bytes.toHex().toStdString();
        }
    }
    qsizetype used = 0;
    EXPECT_EQ(command::DecodeKey("\xc3\xa9", &used).text, QString::fromUtf8("\xc3\xa9"));
}

TEST(LineEdit, KeysEditRecallAndCopyFromTheLastLine) {
    const auto K = [](KeyCode c) { return Key{c, QString()}; };
    const auto typed = [](const char* s) {
        QList<Key> keys;
        for (QChar c : QString(s)) keys << Key{KeyCode::Char, QString(c)};
        return keys;
    };
    struct Case {
        const char* name;
        QList<Key> keys;
        QString text;
        qsizetype cursor;
    };
    const QList<Case> cases = {
        {"typing", typed("dir"), "dir", 3},
        {"left and insert", typed("ac") << K(KeyCode::Left) << typed("b"), "abc", 2},
        {"home and delete", typed("xdir") << K(KeyCode::Home) << K(KeyCode::Delete), "dir", 0},
        {"backspace at the end", typed("dirr") << K(KeyCode::Backspace), "dir", 3},
        {"end after home", typed("di") << K(KeyCode::Home) << K(KeyCode::End) << typed("r"), "dir", 3},
        {"overwrite after Insert", typed("cd") << K(KeyCode::Home) << K(KeyCode::Insert) << typed("m"), "md", 1},
        {"up recalls the last line", {K(KeyCode::Up)}, "echo two", 8},
        {"up twice the one before", {K(KeyCode::Up), K(KeyCode::Up)}, "echo one", 8},
        {"up past the first stays", {K(KeyCode::Up), K(KeyCode::Up), K(KeyCode::Up)}, "echo one", 8},
        {"down below the last is empty", {K(KeyCode::Up), K(KeyCode::Down)}, "", 0},
        {"F3 repeats the last line", {K(KeyCode::F3)}, "echo two", 8},
        {"F3 copies the rest only", typed("type") << K(KeyCode::F3), "type two", 8},
        {"F1 copies one character", {K(KeyCode::F1), K(KeyCode::F1)}, "ec", 2},
        {"Esc empties the line", typed("junk") << K(KeyCode::Escape), "", 0},
        {"Ctrl+Z is nothing at the prompt", typed("a") << K(KeyCode::EndOfFile) << K(KeyCode::F6), "a", 1},
    };
    for (const Case& c : cases) {
        LineEditor e(LineEditor::Mode::Prompt, {"echo one", "echo two"});
        for (const Key& k : c.keys) EXPECT_EQ(e.apply(k), LineEditor::Result::Editing) << c.name;
        EXPECT_EQ(e.text(), c.text) << c.name;
        EXPECT_EQ(e.cursor(), c.cursor) << c.name;
        EXPECT_EQ(e.apply(K(KeyCode::Enter)), LineEditor::Result::Accepted) << c.name;
    }
    // At the console Ctrl+Z and F6 put the end-of-file mark, shown as ^Z; Ctrl+C cancels.
    LineEditor con(LineEditor::Mode::Console, {});
    const QList<Key> keys = typed("end") << K(KeyCode::EndOfFile);
    for (const Key& k : keys) con.apply(k);
    EXPECT_EQ(con.text(), QString("end") + command::EndOfFileMark);
    EXPECT_EQ(command::Displayed(con.text()), "end^Z");
    con.apply(K(KeyCode::F6));
    EXPECT_EQ(con.text().count(command::EndOfFileMark), 2);
    EXPECT_EQ(con.apply(K(KeyCode::Break)), LineEditor::Result::Cancelled);

    QStringList history;
    for (const char* l : {"dir", "dir", "", "  ", "cls", "dir"}) command::Remember(&history, l, 2);
    EXPECT_EQ(history, (QStringList{"cls", "dir"}));
}

TEST(LineEdit, RedrawingMovesOverWrappedRowsAndClearsWhatWasLonger) {
    qsizetype shown = 4;   // the cursor right after a prompt of four cells
    EXPECT_EQ(command::Redraw("dir", 3, 4, 80, &shown), QByteArray("\r\x1b[4Cdir\x1b[J\r\x1b[7C"));
    EXPECT_EQ(shown, 7);
    // Back to the start of a line that wraps at ten columns, the cursor left in its second row.
    shown = 12;
    EXPECT_EQ(command::Redraw("abcdefgh", 1, 4, 10, &shown), QByteArray("\x1b[1A\r\x1b[4Cabcdefgh\x1b[J\x1b[1A\r\x1b[5C"));
    EXPECT_EQ(shown, 5);
    // A line that ends at the last column goes on to the next row before the cursor moves.
    shown = 4;
    EXPECT_EQ(command::Redraw("abcdef", 6, 4, 10, &shown), QByteArray("\r\x1b[4Cabcdef\x1b[J\n\r"));
    EXPECT_EQ(shown, 10);
    EXPECT_EQ(command::MoveCursor(25, 3, 10), QByteArray("\x1b[2A\r\x1b[3C"));
}
