// The words pkunzip is given and the names an archive holds: which are taken,
// and how a name becomes the parts of a path on this disk.
#include "dosnames.h"
#include "pkunzip.h"
#include "platform/names.h"

namespace archivers {

bool ParsePkunzipArguments(const QStringList& arguments, PkunzipOptions* o, QString* error) {
    for (const QString& raw : arguments) {
        const QString a = Unquoted(raw);
        if (a.isEmpty()) continue;
        if (a.startsWith(u'-') && a.size() > 1) {
            for (qsizetype i = 1; i < a.size(); ++i) {
                switch (a[i].toLower().unicode()) {
                case 'e': o->withPaths = false; break;
                case 'd': o->withPaths = true; break;
                case 'o': o->overwrite = true; break;
                case 'v': o->action = PkunzipOptions::Action::View; break;
                case 't': o->action = PkunzipOptions::Action::Test; break;
                default:
                    *error = "Unknown option: " + a;
                    return false;
                }
            }
        } else if (o->archive.isEmpty()) {
            o->archive = a;
        } else {
            o->rest << a;
        }
    }
    if (o->archive.isEmpty()) {
        *error = "No ZIP file name given";
        return false;
    }
    return true;
}

QString UnsafeEntryReason(const QString& zipName, bool isLink) {
    if (isLink) return QStringLiteral("symbolic link");
    // Whoever made the archive, a name that would climb or start at a root
    // read the DOS way is refused, even where "\\" is only a character.
    QString name = zipName;
    name.replace(u'\\', u'/');
    if (name.startsWith(u'/')) return QStringLiteral("absolute path");
    if (name.size() >= 2 && name[1] == u':' && name[0].isLetter()) return QStringLiteral("drive letter");
    bool any = false;
    for (const QString& part : name.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"..") return QStringLiteral("leads outside the destination");
        if (part != u".") any = true;
    }
    return any ? QString() : QStringLiteral("empty name");
}

QStringList EntryComponents(const QString& zipName, bool dosMade) {
    QString name = zipName;
    if (dosMade) name.replace(u'\\', u'/');
    QStringList out;
    for (const QString& part : name.split(u'/', Qt::SkipEmptyParts))
        if (part != u".") out << platform::NameFromHost(part);
    return out;
}

}  // namespace archivers
