#include "lineedit.h"
#include <algorithm>

namespace command {

namespace {

Key Simple(KeyCode code) { return Key{code, QString()}; }

// "ESC [ n ~" keys by their number.
Key TildeKey(int n) {
    switch (n) {
    case 1: case 7: return Simple(KeyCode::Home);
    case 4: case 8: return Simple(KeyCode::End);
    case 2: return Simple(KeyCode::Insert);
    case 3: return Simple(KeyCode::Delete);
    case 11: return Simple(KeyCode::F1);
    case 13: return Simple(KeyCode::F3);
    case 17: return Simple(KeyCode::F6);
    default: return Simple(KeyCode::Other);
    }
}

Key FinalKey(char c) {
    switch (c) {
    case 'A': return Simple(KeyCode::Up);
    case 'B': return Simple(KeyCode::Down);
    case 'C': return Simple(KeyCode::Right);
    case 'D': return Simple(KeyCode::Left);
    case 'H': return Simple(KeyCode::Home);
    case 'F': return Simple(KeyCode::End);
    case 'P': return Simple(KeyCode::F1);
    case 'R': return Simple(KeyCode::F3);
    default: return Simple(KeyCode::Other);
    }
}

// ESC [ params final, ESC O final, and the Linux console's ESC [ [ A..E for F1..F5.
Key DecodeEscape(const QByteArray& b, qsizetype* used) {
    if (b.size() < 2) return Simple(KeyCode::Incomplete);
    if (b[1] == 'O') {
        if (b.size() < 3) return Simple(KeyCode::Incomplete);
        *used = 3;
        return FinalKey(b[2]);
    }
    if (b[1] != '[') {
        *used = 1;   // Esc, then another key
        return Simple(KeyCode::Escape);
    }
    if (b.size() >= 3 && b[2] == '[') {
        if (b.size() < 4) return Simple(KeyCode::Incomplete);
        *used = 4;
        return b[3] == 'A' ? Simple(KeyCode::F1) : b[3] == 'C' ? Simple(KeyCode::F3) : Simple(KeyCode::Other);
    }
    qsizetype i = 2;
    while (i < b.size() && ((b[i] >= '0' && b[i] <= '9') || b[i] == ';')) ++i;
    if (i == b.size()) return Simple(KeyCode::Incomplete);
    *used = i + 1;
    if (b[i] != '~') return FinalKey(b[i]);
    return TildeKey(b.mid(2, i - 2).split(';').value(0).toInt());
}

int Utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

}  // namespace

Key DecodeKey(const QByteArray& b, qsizetype* used) {
    *used = 0;
    if (b.isEmpty()) return Simple(KeyCode::Incomplete);
    const unsigned char c = static_cast<unsigned char>(b[0]);
    *used = 1;
    switch (c) {
    case '\r': case '\n': return Simple(KeyCode::Enter);
    case 0x7f: case 0x08: return Simple(KeyCode::Backspace);
    case 0x03: return Simple(KeyCode::Break);
    case 0x1a: return Simple(KeyCode::EndOfFile);
    case 0x1b: return DecodeEscape(b, used);
    default: break;
    }
    if (c < 0x20) return Simple(KeyCode::Other);
    const int n = Utf8Length(c);
    if (n == 0) return Simple(KeyCode::Other);
    if (b.size() < n) {
        *used = 0;
        return Simple(KeyCode::Incomplete);
    }
    *used = n;
    const QString s = QString::fromUtf8(b.left(n));
    if (s.isEmpty() || s.contains(QChar::ReplacementCharacter)) return Simple(KeyCode::Other);
    return Key{KeyCode::Char, s};
}

LineEditor::LineEditor(Mode mode, const QStringList& history)
    : mode_(mode), history_(history), recalled_(history.size()) {}

void LineEditor::put(const QString& s) {
    if (insert_ || cursor_ >= text_.size()) text_.insert(cursor_, s);
    else text_.replace(cursor_, s.size(), s);
    cursor_ += s.size();
}

void LineEditor::recall(qsizetype index) {
    recalled_ = std::clamp<qsizetype>(index, 0, history_.size());
    text_ = recalled_ < history_.size() ? history_[recalled_] : QString();
    cursor_ = text_.size();
}

LineEditor::Result LineEditor::apply(const Key& key) {
    const QString last = history_.isEmpty() ? QString() : history_.last();
    switch (key.code) {
    case KeyCode::Enter: return Result::Accepted;
    case KeyCode::Break: return Result::Cancelled;
    case KeyCode::Char: put(key.text); break;
    case KeyCode::Backspace:
        if (cursor_ > 0) text_.remove(--cursor_, 1);
        break;
    case KeyCode::Delete:
        if (cursor_ < text_.size()) text_.remove(cursor_, 1);
        break;
    case KeyCode::Left: cursor_ = std::max<qsizetype>(0, cursor_ - 1); break;
    case KeyCode::Right: cursor_ = std::min(text_.size(), cursor_ + 1); break;
    case KeyCode::Home: cursor_ = 0; break;
    case KeyCode::End: cursor_ = text_.size(); break;
    case KeyCode::Up: if (!history_.isEmpty()) recall(recalled_ - 1); break;
    case KeyCode::Down: if (!history_.isEmpty()) recall(recalled_ + 1); break;
    case KeyCode::Insert: insert_ = !insert_; break;
    case KeyCode::Escape:
        text_.clear();
        cursor_ = 0;
        break;
    // The last line is the template: F1 copies its next character, F3 the rest of it.
    case KeyCode::F1:
        if (cursor_ == text_.size() && cursor_ < last.size()) put(last.mid(cursor_, 1));
        break;
    case KeyCode::F3:
        if (text_.size() < last.size()) text_ += last.mid(text_.size());
        cursor_ = text_.size();
        break;
    case KeyCode::F6:
    case KeyCode::EndOfFile:
        if (mode_ == Mode::Console) put(QString(EndOfFileMark));
        break;
    default: break;
    }
    return Result::Editing;
}

QString Displayed(const QString& text) {
    QString shown = text;
    return shown.replace(EndOfFileMark, QStringLiteral("^Z"));
}

QByteArray MoveCursor(qsizetype from, qsizetype to, int columns) {
    const qsizetype fromRow = from / columns, toRow = to / columns, toColumn = to % columns;
    QByteArray out;
    if (toRow < fromRow) out += "\x1b[" + QByteArray::number(fromRow - toRow) + 'A';
    if (toRow > fromRow) out += "\x1b[" + QByteArray::number(toRow - fromRow) + 'B';
    out += '\r';
    if (toColumn > 0) out += "\x1b[" + QByteArray::number(toColumn) + 'C';
    return out;
}

QByteArray Redraw(const QString& text, qsizetype cursor, qsizetype start, int columns, qsizetype* shown) {
    const QString all = Displayed(text);
    const qsizetype end = start + all.size();
    QByteArray out = MoveCursor(*shown, start, columns);
    out += all.toUtf8();
    out += "\x1b[J";   // what an earlier, longer line left below
    // A line that fills its last row leaves the cursor in that row's last
    // column; a new line puts it where the counting expects it.
    if (end > 0 && end % columns == 0) out += '\n';
    const qsizetype target = start + Displayed(text.left(cursor)).size();
    out += MoveCursor(end, target, columns);
    *shown = target;
    return out;
}

void Remember(QStringList* history, const QString& line, int limit) {
    if (line.trimmed().isEmpty() || (!history->isEmpty() && history->last() == line)) return;
    history->append(line);
    while (history->size() > limit) history->removeFirst();
}

}  // namespace command
