#include "drives/freespace.h"

QString FormatThousands(qint64 number) {
    const QString digits = QString::number(number);
    QString text;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

qint64 KilobytesOf(qint64 bytes) { return (bytes + 512) / 1024; }

QString AvailableSpaceReport(qint64 freeBytes) {
    if (freeBytes < 0) return QStringLiteral("Unknown available space");
    return "Bytes free on specified drive : " + QString::number(freeBytes) + "\r\n" +
           "Kb free on specified drive     : " + FormatThousands(KilobytesOf(freeBytes)) + "\r\n";
}

QString AvailableSpaceTitle(const QString& drive) {
    return "Available space on disk : " + drive.left(1).toUpper();
}
