#include "walk.h"
#include <QFile>
#include <sys/stat.h>
#include "platform/paths.h"

namespace command {

bool FolderWalk::Enter(const QString& dosFolder) {
    QString host;
    if (platform::DosToHost(dosFolder, &host) != err::None) return false;
    const QByteArray path = QFile::encodeName(host);
    struct stat st;
    if (started_ && (::lstat(path.constData(), &st) != 0 || S_ISLNK(st.st_mode))) return false;
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    started_ = true;
    return entered_.insert({st.st_dev, st.st_ino}).second;
}

}  // namespace command
