#pragma once
#include <QByteArray>
#include <QString>

// The hex dump: lines of 28 bytes, each byte as two upper-case hexadecimal
// digits with no separator, two blanks (more on a short line, so that the
// character part starts in one column), one character per byte, and CR LF.
// There is no offset column.
inline constexpr int HexBytesPerLine = 28;
inline constexpr int HexChunkBytes = 2048;
QString HexLines(const QByteArray& bytes);
