#include "fileops/validate.h"

const QString InvalidMaskMessage = QStringLiteral("Invalid file mask");
#include "ui/errors.h"

namespace {

const QString ForbiddenNameCharacters = QStringLiteral("\"/\\:*?|<>");
const QString AttributeLetters = QStringLiteral("rash");
constexpr int MaxAttributePairs = 4;
constexpr int MaxVolumeLabel = 11;

bool HasForbidden(const QString& text, QChar allowed = QChar()) {
    for (const QChar c : text)
        if (c != allowed && ForbiddenNameCharacters.contains(c)) return true;
    return false;
}

bool IsAttributeCaption(const QString& caption) {
    return caption == InputCaption::FileAttributes || caption == InputCaption::TaggedAttributes;
}

// Name and mask split at a "." (the first one of a name); "has" tells a name
// without "." from one whose extension is empty.
struct SplitName {
    QString base;
    QString ext;
    bool hasExt = false;
};

SplitName SplitAtDot(const QString& text) {
    const int dot = text.indexOf('.');
    if (dot < 0) return {text, QString(), false};
    return {text.left(dot), text.mid(dot + 1), true};
}

// A "*" of the mask extension that no character of the name stands for is
// dropped; with two of them both go, for a name holding a "*" is no file name.
QString RemoveStars(QString text) {
    text.remove('*');
    return text;
}

QString MappedBase(const QString& nameBase, const QString& maskBase) {
    if (!maskBase.endsWith('*')) return maskBase;
    const QString prefix = maskBase.chopped(1);
    if (prefix.size() > nameBase.size()) return prefix;
    return prefix + nameBase.mid(prefix.size());
}

QString MappedExtension(const QString& nameExt, const QString& maskExt) {
    const int common = qMin(nameExt.size(), maskExt.size());
    QString ext;
    for (int i = 0; i < common; ++i) ext += maskExt[i] == '*' ? nameExt[i] : maskExt[i];
    if (maskExt.size() > nameExt.size()) ext += maskExt.mid(common);
    else if (maskExt.endsWith('*')) ext += nameExt.mid(common);
    return RemoveStars(ext);
}

}  // namespace

QString NormalizeTyped(const QString& text) { return text.trimmed().toLower(); }

bool IsValidName(const QString& text) { return !HasForbidden(text); }

bool IsValidMask(const QString& mask) {
    if (mask.count('.') != 1 || mask.count('*') > 2) return false;
    const SplitName parts = SplitAtDot(mask);
    const int star = parts.base.indexOf('*');
    if (star >= 0 && star != parts.base.size() - 1) return false;
    return !HasForbidden(parts.base, '*') && !HasForbidden(parts.ext, '*');
}

bool ParseAttr(const QString& text) {
    const QString t = NormalizeTyped(text);
    if (t.isEmpty() || (t[0] != '+' && t[0] != '-')) return false;
    const QChar sign = t[0];
    const QChar other = sign == '+' ? QChar('-') : QChar('+');
    const int pairs = t.count(sign);
    if (t.contains(other) || pairs > MaxAttributePairs || t.size() != 2 * pairs) return false;
    for (int i = 0; i < t.size(); i += 2)
        if (t[i] != sign || !AttributeLetters.contains(t[i + 1])) return false;
    return true;
}

bool ParseRMText(const QString& caption, const QString& text) {
    const QString t = NormalizeTyped(text);
    if (caption == InputCaption::RenameFile || caption == InputCaption::MakeFolder ||
        caption == InputCaption::DiskVolume)
        return IsValidName(t);
    if (caption == InputCaption::RenameTagged) return IsValidMask(t);
    return false;
}

QString CheckTextMessage(const QString& caption, const QString& text) {
    const QString t = NormalizeTyped(text);
    if (IsAttributeCaption(caption))
        return ParseAttr(t) && !t.isEmpty() ? QString() : QStringLiteral("Invalid file attributes");
    if (caption == InputCaption::RenameFile || caption == InputCaption::MakeFolder)
        return ParseRMText(caption, t) && !t.isEmpty() ? QString() : InvalidCharactersMessage;
    if (caption == InputCaption::RenameTagged)
        return ParseRMText(caption, t) && !t.isEmpty() ? QString() : InvalidMaskMessage;
    if (caption == InputCaption::DiskVolume)
        return ParseRMText(caption, t) && t.size() <= MaxVolumeLabel ? QString()
                                                                      : QStringLiteral("Invalid volume name");
    return QString();
}

QString MapNameToMask(const QString& name, const QString& mask) {
    const SplitName m = SplitAtDot(mask);
    const SplitName n = SplitAtDot(name);
    const QString base = MappedBase(n.base, m.base);
    QString ext;
    if (n.hasExt) ext = MappedExtension(n.ext, m.ext);
    else if (m.ext != "*") ext = RemoveStars(m.ext);
    // DOS drops the trailing dots and blanks of a name: "readme" under "*.*"
    // stays "readme", not "readme.".
    QString mapped = base + '.' + ext;
    while (mapped.size() > 1 && (mapped.endsWith('.') || mapped.endsWith(' '))) mapped.chop(1);
    return mapped;
}

QString ApplyAttributeChange(const QString& letters, const QString& change) {
    const QString c = change.trimmed().toUpper();
    QString result = letters;
    for (int i = 0; i + 1 < c.size(); i += 2) {
        const QChar letter = c[i + 1];
        if (c[i] == '+' && !result.contains(letter)) result += letter;
        else if (c[i] == '-') result.remove(letter);
    }
    return result;
}
