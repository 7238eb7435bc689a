#include "viewers/hexdump.h"
#include "viewers/textfile.h"

QString HexLines(const QByteArray& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    QString out;
    const qsizetype lines = (bytes.size() + HexBytesPerLine - 1) / HexBytesPerLine;
    out.reserve(lines * (HexBytesPerLine * 3 + 4));
    for (qsizetype at = 0; at < bytes.size(); at += HexBytesPerLine) {
        const QByteArray line = bytes.mid(at, HexBytesPerLine);
        for (const char b : line) {
            const auto u = static_cast<unsigned char>(b);
            out += QChar(digits[u >> 4]);
            out += QChar(digits[u & 15]);
        }
        out += QString(2 + 2 * (HexBytesPerLine - line.size()), ' ');
        for (const char b : line) out += DumpCharacter(static_cast<unsigned char>(b));
        out += QStringLiteral("\r\n");
    }
    return out;
}
