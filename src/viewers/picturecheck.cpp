#include "viewers/picturecheck.h"
#include <QtEndian>

namespace {
const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);
// The length, type and check sum around each chunk's data.
constexpr qint64 PngChunkFrame = 12;
}  // namespace

QString PictureStructureFault(QIODevice& file) {
    const qint64 size = file.size();
    QString fault;
    if (file.seek(0) && file.read(PngSignature.size()) == PngSignature) {
        for (qint64 at = PngSignature.size(); at < size;) {
            uchar head[8];
            if (!file.seek(at) || file.read(reinterpret_cast<char*>(head), 8) != 8) break;
            const quint32 length = qFromBigEndian<quint32>(head);
            if (length > 0x7FFFFFFFu || at + PngChunkFrame + qint64(length) > size) {
                fault = "a part of the picture claims more bytes than the file holds";
                break;
            }
            at += PngChunkFrame + length;
            if (QByteArrayView(reinterpret_cast<const char*>(head) + 4, 4) == "IEND") break;
        }
    }
    file.seek(0);
    return fault;
}

QString PictureSizeFault(QSize size) {
    if (!size.isValid()) return QString();
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    if (bytes <= qint64(PictureMemoryLimitMB) * 1024 * 1024) return QString();
    return QString("the picture is too big to show (%1 x %2 pixels)").arg(size.width()).arg(size.height());
}
