#pragma once
// Names on disk and names in the program. A Linux name may hold characters
// that a DOS name cannot ("*", ":", a line break, ...) and bytes that are no
// UTF-8 at all. Inside the program each of them is a private-use character of
// its own, U+F000 plus the character or the byte, as Wine holds them:
//
//   U+F001-U+F01F            the control characters 0x01-0x1F
//   U+F022 U+F02A U+F03A U+F03C U+F03E U+F03F U+F05C U+F07C    " * : < > ? \ |
//   U+F080-U+F0FF            a byte 0x80-0xFF that is not part of a UTF-8 character
//
// Those characters are all below 0x80 and such a byte is always 0x80 or above,
// so the two kinds never meet. Bytes on disk that spell a character of
// U+F000-U+F0FF in UTF-8 are taken byte by byte as well, so the bytes of every
// name come back exactly and no two names on disk share a spelling.
//
// Two forms of text stand for a path, and only this layer turns them into bytes:
// - a host path: real characters where UTF-8 has them (":" is ":"), stray
//   bytes as U+F080-U+F0FF; what the program hands to Linux programs;
// - the program's name of an entry (DOS paths, listings, the logged picture):
//   the host name with the characters above as stand-ins, so it is always a
//   valid DOS name component.
#include <QByteArray>
#include <QString>

namespace platform {

// The program's name of a host name (one component), and back.
QString NameFromHost(const QString& hostName);
QString NameToHost(const QString& name);

// The name as the screen shows it: each stand-in drawn as a visible look-alike
// (the fullwidth forms ： ？ ＊ ＼ ｜ ＂ ＜ ＞, the control pictures ␁-␟, a stray
// byte as ‹hex›), a DEL character as ␡; everything else as it is.
QString ShownName(const QString& name);
// What a text typed over a shown name means: the name itself when the text is
// still exactly what ShownName gave for it, else the text as typed. Look-alikes
// typed by hand are never read back into stand-ins: "：" may be a real
// character of a real name (Japanese names hold it), and taking it for ":"
// would make another name on disk.
QString NameFromShown(const QString& text, const QString& name);

namespace host {

// Bytes of a path on disk -> host path, and back; Encode(Decode(b)) == b for
// every byte string. Encode also takes the program's names (their stand-ins
// become the characters they stand for).
QString Decode(const QByteArray& bytes);
QByteArray Encode(const QString& hostPath);

// True when Qt's own conversion of the text gives the bytes on disk, so that
// QFile, QFileInfo and QProcess may be given it by name.
bool IsQtExact(const QString& hostPath);

}  // namespace host
}  // namespace platform
