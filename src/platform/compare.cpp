#include <QFile>
#include <sys/stat.h>
#include "platform/files.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "platform/userfile.h"

namespace platform {

bool IsSameFile(const QString& a, const QString& b) {
    QString ha, hb;
    if (DosToHost(a, &ha) != 0 || DosToHost(b, &hb) != 0) return false;
    struct stat sa, sb;
    if (::stat(host::Encode(ha).constData(), &sa) != 0) return false;
    if (::stat(host::Encode(hb).constData(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool HaveSameContent(const QString& a, const QString& b) {
    QString ha, hb;
    if (DosToHost(a, &ha) != 0 || DosToHost(b, &hb) != 0) return false;
    QFile fa, fb;
    if (OpenUserHostFile(ha, &fa) != err::None || OpenUserHostFile(hb, &fb) != err::None) return false;
    if (fa.size() != fb.size()) return false;
    // A small file is read in one piece of its own size: a mebibyte asked for
    // each of many small files costs more than comparing them.
    const qint64 chunk = qBound<qint64>(1, fa.size(), qint64(1) << 20);
    while (!fa.atEnd()) {
        const QByteArray x = fa.read(chunk);
        const QByteArray y = fb.read(chunk);
        if (x != y || x.isEmpty()) return x == y && fa.atEnd();
    }
    return fb.atEnd();
}

}  // namespace platform
