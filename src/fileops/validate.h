#pragma once
#include <QString>

// Captions of the input dialog; the caption a command gives the dialog decides
// what the typed text means and how it is checked.
namespace InputCaption {
inline const QString FileSpec = QStringLiteral("File specification");
inline const QString RenameFile = QStringLiteral("Rename file");
inline const QString RenameTagged = QStringLiteral("Rename all tagged files");
inline const QString FileAttributes = QStringLiteral("Attributes of file");
inline const QString TaggedAttributes = QStringLiteral("Attributes of all tagged files");
inline const QString MakeFolder = QStringLiteral("Make folder");
inline const QString DiskVolume = QStringLiteral("Disk volume");
}  // namespace InputCaption

extern const QString InvalidMaskMessage;

// Texts typed into a dialog are kept trimmed and lower case.
QString NormalizeTyped(const QString& text);

// No double quote, "/", "\", ":", "*", "?", "|", "<" or ">".
bool IsValidName(const QString& text);
// One ".", at most two "*", a "*" before the "." only as the base's last
// character, and otherwise no forbidden name characters.
bool IsValidMask(const QString& mask);
// One to four sign-letter pairs of one sign ("+r+h", "-a"), letters r, a, s, h.
bool ParseAttr(const QString& text);
// The name rule of a caption: a plain name for a single rename, a new folder and
// a volume label, a mask for renaming all tagged files; false for other captions.
bool ParseRMText(const QString& caption, const QString& text);
// The message that refuses the text under the caption, or empty when the text
// may be used.
QString CheckTextMessage(const QString& caption, const QString& text);

// The name a file gets under a mask that passed IsValidMask ("*.bak" turns
// report.txt into report.bak). A name that would end in dots or blanks loses
// them, as DOS names do. A "*" of the mask with no character of the name to
// stand for is dropped, so the name never holds a wildcard.
QString MapNameToMask(const QString& name, const QString& mask);

// Applies a change that passed ParseAttr to the attribute letters of a file
// line: "+" appends a letter the set lacks, "-" removes one it has, so no
// letter is ever repeated.
QString ApplyAttributeChange(const QString& letters, const QString& change);
