#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>
#include "platform/errors.h"

// A text file as the viewer and editor hold it: the text for the view, and how
// its bytes were written, so that saving an edited line leaves the bytes of
// every other line as they were.
enum class TextEncoding { Utf8, Windows1252 };
enum class LineEnd : quint8 { None, Lf, CrLf, Cr };

struct TextDocument {
    QString text;                  // lines joined by "\n"
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    LineEnd style = LineEnd::Lf;   // the ending most lines have; new lines get it
    QStringList lines;             // the lines as read, for matching on save
    QVector<LineEnd> ends;         // the ending each line had
};

// Valid UTF-8 is read as UTF-8, anything else as the Windows-1252 code page.
TextDocument DecodeText(const QByteArray& bytes);
// The bytes read in a known encoding (a saved document keeps the one it had).
TextDocument DecodeTextAs(const QByteArray& bytes, TextEncoding encoding);
// The same decoding, for viewing only: no line bookkeeping.
QString DecodeForView(const QByteArray& bytes);
// The text back in the document's encoding. Lines the edit left alone keep the
// endings they had; changed and new lines get the document's style. False when
// a character has no code in the document's code page.
bool EncodeText(const TextDocument& original, const QString& text, QByteArray* bytes);
QString DecodeWindows1252(const QByteArray& bytes);
// One character per byte for the hex dump's character part: the code page's
// character, or the placeholder for control codes and undefined ones.
QChar DumpCharacter(unsigned char byte);
inline constexpr QChar DumpPlaceholder = QChar(0x00B7);   // "·"

// The text view loads at most this much of a file, and editing refuses files
// above the edit limit: the editor holds the whole file at once.
inline constexpr qint64 TextViewLimit = 64LL * 1024 * 1024;
inline constexpr qint64 EditLimit = 16LL * 1024 * 1024;
// Lines longer than this are shown in pieces by the text view (not the
// editor): one line of megabytes would take the view minutes to lay out.
inline constexpr int ViewLineLimit = 4096;
QString BreakLongLines(const QString& text, int limit = ViewLineLimit);
// The next part of a text from *offset, up to `size` characters and ending
// after a line break where there is one; *offset moves past it.
QStringView TakeTextPart(const QString& text, qsizetype* offset, qsizetype size);

// Reads the first `limit` bytes of a file given by its DOS path (the real size
// goes to *size). 0 or the error number.
ErrorCode ReadFileStart(const QString& dosPath, qint64 limit, QByteArray* bytes, qint64* size);
// Writes a whole file in one step: the bytes go to a temporary file in the
// same folder, which is flushed to the disk and then renamed over the file.
// A failure (full disk, a crash) leaves the old file as it was. A new file gets
// the permissions any new file gets (the umask applies), a file written over
// keeps its own; a pipe or device at the path is refused (err::DiskChanged).
ErrorCode SaveFileAtomically(const QString& dosPath, const QByteArray& bytes);
