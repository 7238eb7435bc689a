#include "platform/names.h"

namespace platform {

namespace {
constexpr char16_t kBase = 0xF000;
constexpr char16_t kFirstByte = 0xF080, kLast = 0xF0FF;

// The characters a DOS name cannot hold that a Linux name can ("/" it cannot).
bool IsForbidden(char16_t c) {
    if (c >= 0x01 && c < 0x20) return true;
    switch (c) {
    case u'"': case u'*': case u':': case u'<': case u'>': case u'?': case u'\\': case u'|': return true;
    default: return false;
    }
}

bool IsCharacterStandIn(char16_t c) { return c > kBase && c < kFirstByte && IsForbidden(char16_t(c - kBase)); }
bool IsByteStandIn(char16_t c) { return c >= kFirstByte && c <= kLast; }

// The character of a complete UTF-8 sequence at `at`, or -1 where the bytes
// are none (cut, overlong, a surrogate, beyond U+10FFFF) or spell a character
// of the stand-in range.
int SequenceLength(const QByteArray& b, qsizetype at, char32_t* cp) {
    const uchar c = uchar(b[at]);
    int length;
    char32_t value;
    if (c >= 0xC2 && c <= 0xDF) length = 2, value = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF) length = 3, value = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4) length = 4, value = c & 0x07;
    else return -1;
    if (at + length > b.size()) return -1;
    for (int k = 1; k < length; ++k) {
        const uchar d = uchar(b[at + k]);
        if ((d & 0xC0) != 0x80) return -1;
        value = (value << 6) | (d & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return -1;
    if (value >= kBase && value <= kLast) return -1;
    *cp = value;
    return length;
}

const char16_t kFullwidth[][2] = {{u'"', 0xFF02}, {u'*', 0xFF0A}, {u':', 0xFF1A}, {u'<', 0xFF1C},
                                  {u'>', 0xFF1E}, {u'?', 0xFF1F}, {u'\\', 0xFF3C}, {u'|', 0xFF5C}};
}  // namespace

QString NameFromHost(const QString& hostName) {
    QString out = hostName;
    for (QChar& c : out)
        if (IsForbidden(c.unicode())) c = QChar(char16_t(kBase + c.unicode()));
    return out;
}

QString NameToHost(const QString& name) {
    QString out = name;
    for (QChar& c : out)
        if (IsCharacterStandIn(c.unicode())) c = QChar(char16_t(c.unicode() - kBase));
    return out;
}

QString ShownName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (const QChar qc : name) {
        const char16_t c = qc.unicode();
        if (IsByteStandIn(c)) {
            out += QChar(char16_t(0x2039)) + QString::number(unsigned(c - kBase), 16).toUpper() + QChar(char16_t(0x203A));
        } else if (IsCharacterStandIn(c)) {
            const char16_t plain = char16_t(c - kBase);
            char16_t shown = char16_t(0x2400 + plain);   // the control pictures
            for (const auto& pair : kFullwidth)
                if (pair[0] == plain) shown = pair[1];
            out += QChar(shown);
        } else if (c == 0x7F) {
            out += QChar(char16_t(0x2421));
        } else {
            out += qc;
        }
    }
    return out;
}

QString NameFromShown(const QString& text, const QString& name) { return text == ShownName(name) ? name : text; }

namespace host {

QString Decode(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar c = uchar(bytes[i]);
        if (c < 0x80) {
            out += QChar(char16_t(c));
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int length = SequenceLength(bytes, i, &cp);
        if (length < 0) {
            out += QChar(char16_t(kBase + c));
            ++i;
            continue;
        }
        out += QString::fromUcs4(&cp, 1);
        i += length;
    }
    return out;
}

QByteArray Encode(const QString& hostPath) {
    qsizetype from = 0;
    QByteArray out;
    for (qsizetype i = 0; i < hostPath.size(); ++i) {
        const char16_t c = hostPath[i].unicode();
        if (!IsByteStandIn(c) && !IsCharacterStandIn(c)) continue;
        out += QStringView(hostPath).mid(from, i - from).toUtf8();
        out += char(c - kBase);
        from = i + 1;
    }
    if (from == 0) return hostPath.toUtf8();
    return out + QStringView(hostPath).mid(from).toUtf8();
}

bool IsQtExact(const QString& hostPath) {
    for (const QChar c : hostPath)
        if (c.unicode() >= kBase && c.unicode() <= kLast) return false;
    return true;
}

}  // namespace host
}  // namespace platform
