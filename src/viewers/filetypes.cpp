#include "viewers/filetypes.h"

QString FileExtension(const QString& name) {
    const int dot = name.lastIndexOf('.');
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

QString LookUpFileType(const QStringList& lines, const QString& extension) {
    if (extension.isEmpty()) return QString();
    for (const QString& line : lines) {
        const QString upper = line.toUpper();
        // The whole extension, not the start of a longer one (".PN" is not ".PNG").
        if (upper.startsWith(extension) && upper.mid(extension.size(), 1) == ",")
            return line.mid(line.indexOf(',') + 1).trimmed().toLower();
    }
    return QString();
}

namespace {
// The leading digits as a number, as the old Val() read them ("01x" is 1).
long LeadingNumber(const QString& text) {
    long value = 0;
    for (const QChar c : text) {
        if (!c.isDigit()) break;
        value = value * 10 + c.digitValue();
        if (value > 1000000) break;
    }
    return value;
}
}  // namespace

bool GoesToDump(const QString& extension, const QString& type) {
    if (extension == ".GIF" || type == "archive") return true;
    return extension.size() > 2 && extension.at(1) == 'A' && LeadingNumber(extension.mid(2)) > 0;
}

ViewRoute RouteFor(const QString& extension, const QString& type, bool hear, bool& openWhenNotViewable) {
    QString t = type;
    if (!openWhenNotViewable && !t.isEmpty()) {
        const bool audible = t == "sound" || t == "cd audio";
        if (hear != audible) t.clear();
    }
    if (GoesToDump(extension, type)) {
        t.clear();
        openWhenNotViewable = false;
    }
    if (t.isEmpty()) return ViewRoute::NotFound;
    if (t == "image") return ViewRoute::Picture;
    if (t == "sound" || t == "video" || t == "cd audio") return ViewRoute::Media;
    if (t == "help") return ViewRoute::Help;
    if (t == "font") return ViewRoute::Font;
    return ViewRoute::NoHandler;
}
