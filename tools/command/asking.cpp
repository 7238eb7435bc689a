// The commands that ask: CHOICE, DATE and TIME; and the one-key answers that
// CHOICE, DELTREE and XCOPY wait for.
#include <QDate>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTime>
#include <unistd.h>
#include "builtins.h"
#include "console.h"
#include "parse.h"
#include "texts.h"

namespace command {

namespace {

int Find(const QString& keys, const QString& typed, bool exactCase) {
    if (typed.size() != 1) return -1;
    for (qsizetype i = 0; i < keys.size(); ++i)
        if (exactCase ? keys[i] == typed[0] : keys[i].toUpper() == typed[0].toUpper()) return int(i);
    return -1;
}

KeyAnswer FromTerminal(Shell& shell, const QString& keys, bool exactCase, int timeoutSeconds) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        int left = -1;
        if (timeoutSeconds >= 0) left = int(std::max<qint64>(0, timeoutSeconds * 1000LL - clock.elapsed()));
        Key key;
        if (!console::ReadKey(&key, left)) return {timeoutSeconds >= 0 ? KeyAnswer::Kind::TimedOut : KeyAnswer::Kind::Ended};
        if (key.code == KeyCode::Break) return {KeyAnswer::Kind::Broken};
        const int at = key.code == KeyCode::Char ? Find(keys, key.text, exactCase) : -1;
        if (at >= 0) return {KeyAnswer::Kind::Key, at};
        Write(shell, QStringLiteral("\a"));   // DOS beeps at a key it does not take
    }
}

// From a file or a pipe: the next character that is one of the keys.
KeyAnswer FromInput(Shell& shell, const QString& keys, bool exactCase, int timeoutSeconds) {
    QIODevice* in = shell.in.device;
    char c;
    while (in && in->getChar(&c)) {
        QByteArray bytes(1, c);
        const unsigned char lead = static_cast<unsigned char>(c);
        const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        for (int k = 0; k < more && in->getChar(&c); ++k) bytes += c;
        const int at = Find(keys, QString::fromUtf8(bytes), exactCase);
        if (at >= 0) return {KeyAnswer::Kind::Key, at};
    }
    return {timeoutSeconds >= 0 ? KeyAnswer::Kind::TimedOut : KeyAnswer::Kind::Ended};
}

}  // namespace

KeyAnswer AskKey(Shell& shell, const QString& keys, bool exactCase, int timeoutSeconds) {
    if (shell.in.console && ::isatty(STDIN_FILENO)) return FromTerminal(shell, keys, exactCase, timeoutSeconds);
    return FromInput(shell, keys, exactCase, timeoutSeconds);
}

bool ReadConsoleText(Shell& shell, QByteArray* text) {
    text->clear();
    QIODevice* in = shell.in.device;
    if (!in) return true;
    if (!shell.in.console) {
        *text = in->readAll();
        const qsizetype mark = text->indexOf(char(EndOfFileMark.unicode()));
        if (mark >= 0) text->truncate(mark);
        return true;
    }
    if (!console::Interactive()) {
        // The interpreter's own input goes on after the mark: it holds the next commands.
        char c;
        while (in->getChar(&c) && c != char(EndOfFileMark.unicode())) *text += c;
        return true;
    }
    // Line by line, each edited as at the prompt; Up and F3 bring back the lines typed before.
    QStringList typed;
    for (;;) {
        QString line;
        const console::LineEnd end = console::EditLine(LineEditor::Mode::Console, typed, 0, &line);
        if (end == console::LineEnd::Cancelled) return false;
        if (end == console::LineEnd::Closed) return true;
        const qsizetype mark = line.indexOf(EndOfFileMark);
        if (mark >= 0) {
            *text += line.left(mark).toUtf8();
            return true;
        }
        *text += line.toUtf8() + '\n';
        typed << line;
    }
}

// --- CHOICE ---

namespace {

struct ChoiceOptions {
    QString keys = QStringLiteral("YN");
    bool showKeys = true, exactCase = false;
    int timeout = -1;
    QChar fallback;
    QString text;
};

// The error's message, or empty when the switches are sound.
QString ParseChoice(const QString& rest, ChoiceOptions* o) {
    QStringList textWords;
    for (const QString& word : RawWords(rest)) {
        if (!word.startsWith(u'/')) {
            textWords << word;
            continue;
        }
        const QChar s = word.size() > 1 ? word[1].toLower() : QChar();
        QString value = word.mid(2);
        if (value.startsWith(u':')) value = value.mid(1);
        if (s == u'c') {
            if (value.isEmpty()) return text::ChoiceKeysSyntax;
            o->keys = value;
        } else if (s == u'n' && value.isEmpty()) {
            o->showKeys = false;
        } else if (s == u's' && value.isEmpty()) {
            o->exactCase = true;
        } else if (s == u't') {
            const QRegularExpressionMatch m = QRegularExpression("^(.),(\\d{1,2})$").match(value);
            if (!m.hasMatch()) return text::ChoiceTimeoutSyntax;
            o->fallback = m.captured(1)[0];
            o->timeout = m.captured(2).toInt();
        } else {
            return text::InvalidSwitch.arg(word.mid(1).toLower());
        }
    }
    if (!o->exactCase) o->keys = o->keys.toUpper();
    if (o->timeout >= 0 && Find(o->keys, QString(o->fallback), o->exactCase) < 0) return text::ChoiceTimeoutDefault;
    o->text = textWords.join(u' ');
    if (o->text.size() >= 2 && o->text.startsWith(u'"') && o->text.endsWith(u'"')) o->text = o->text.mid(1).chopped(1);
    return QString();
}

}  // namespace

// The errorlevel is the place of the key pressed among the keys, from 1.
int Choice(Shell& shell, const QString& rest) {
    ChoiceOptions o;
    const QString error = ParseChoice(rest, &o);
    if (!error.isEmpty()) {
        WriteLine(shell, error);
        return 255;
    }
    QString prompt = o.text;
    if (o.showKeys) {
        QStringList keys;
        for (QChar k : o.keys) keys << QString(k);
        prompt += (prompt.isEmpty() ? QString() : QStringLiteral(" ")) + u'[' + keys.join(u',') + QStringLiteral("]?");
    }
    Write(shell, prompt);
    KeyAnswer answer = AskKey(shell, o.keys, o.exactCase, o.timeout);
    if (answer.kind == KeyAnswer::Kind::TimedOut) answer = {KeyAnswer::Kind::Key, Find(o.keys, QString(o.fallback), o.exactCase)};
    switch (answer.kind) {
    case KeyAnswer::Kind::Key:
        WriteLine(shell, QString(o.keys[answer.index]));
        return answer.index + 1;
    case KeyAnswer::Kind::Broken:
        WriteLine(shell, QStringLiteral("^C"));
        RequestBreak();
        return 0;
    default:
        // The input ended before any key came: no answer is an error, not a choice.
        WriteLine(shell);
        return 255;
    }
}

// --- DATE and TIME ---

bool ParseDosDate(const QString& text, QDate* date) {
    const QRegularExpressionMatch m =
        QRegularExpression("^\\s*(\\d{1,2})[-/.](\\d{1,2})[-/.](\\d{2}|\\d{4})\\s*$").match(text);
    if (!m.hasMatch()) return false;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2) year += year >= 80 ? 1900 : 2000;
    const QDate d(year, m.captured(1).toInt(), m.captured(2).toInt());
    if (!d.isValid() || year < 1980 || year > 2099) return false;
    *date = d;
    return true;
}

bool ParseDosTime(const QString& text, QTime* time) {
    const QRegularExpressionMatch m =
        QRegularExpression("^\\s*(\\d{1,2})(?:[:.](\\d{1,2})(?:[:.](\\d{1,2})(?:[.,](\\d{1,2}))?)?)?\\s*([ap]m?)?\\s*$",
                           QRegularExpression::CaseInsensitiveOption)
            .match(text);
    if (!m.hasMatch()) return false;
    int hour = m.captured(1).toInt();
    const QString half = m.captured(5).toLower();
    if (!half.isEmpty()) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (half.startsWith(u'p') ? 12 : 0);
    }
    const QTime t(hour, m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt() * 10);
    if (!t.isValid()) return false;
    *time = t;
    return true;
}

namespace {

// Shows the current value, then asks for a new one until Enter keeps it. A
// valid value is refused: the clock belongs to the desktop.
int AskForClock(Shell& shell, const QString& given, const QString& current, const QString& question,
                const QString& invalid, bool (*valid)(const QString&)) {
    QString value = given.trimmed();
    if (value.isEmpty()) WriteLine(shell, current);
    for (;;) {
        if (value.isEmpty()) {
            Write(shell, question);
            value = ReadLine(shell);
            if (!shell.in.console) WriteLine(shell, value);
            if (value.trimmed().isEmpty()) return 0;
        }
        if (valid(value)) {
            WriteLine(shell, text::ClockIsTheDesktops);
            return 1;
        }
        WriteLine(shell, invalid);
        value.clear();
    }
}

}  // namespace

int Date(Shell& shell, const QString& rest) {
    return AskForClock(shell, rest, text::CurrentDate.arg(QDate::currentDate().toString("ddd MM-dd-yyyy")),
                       text::EnterNewDate, text::InvalidDate, [](const QString& t) {
                           QDate d;
                           return ParseDosDate(t, &d);
                       });
}

QString DosTimeText(const QTime& t) {
    const int hour = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return QStringLiteral("%1:%2:%3.%4%5")
        .arg(hour)
        .arg(t.minute(), 2, 10, QChar(u'0'))
        .arg(t.second(), 2, 10, QChar(u'0'))
        .arg(t.msec() / 10, 2, 10, QChar(u'0'))
        .arg(QChar(t.hour() < 12 ? u'a' : u'p'));
}

int Time(Shell& shell, const QString& rest) {
    return AskForClock(shell, rest, text::CurrentTime.arg(DosTimeText(QTime::currentTime())), text::EnterNewTime,
                       text::InvalidTime, [](const QString& t) {
                           QTime v;
                           return ParseDosTime(t, &v);
                       });
}

}  // namespace command
