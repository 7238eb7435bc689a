#include "drives/driveinfo.h"

QString DiskTypeText(int driveType) {
    namespace t = platform::drivetype;
    switch (driveType) {
    // A drive without a root folder counts as a hard disk, as it always did.
    case t::NoRoot:
    case t::Fixed: return QStringLiteral("Hard disk");
    case t::Removable: return QStringLiteral("Diskette");
    case t::CdRom: return QStringLiteral("CDROM");
    default: return QStringLiteral("Unknown drive type");
    }
}

DriveInfoTexts DescribeDrive(const platform::DiskSpace& space, int driveType, const QString& label) {
    const qint64 clusterSize = qint64(space.sectorsPerCluster) * space.bytesPerSector;
    const qint64 available = clusterSize * space.freeClusters;
    const qint64 total = clusterSize * space.totalClusters;
    auto n = [](qint64 v) { return QString::number(v); };
    return {
        {DiskTypeText(driveType), n(available), n(total), n(total - available), label},
        {n(space.freeClusters), n(space.totalClusters), n(space.bytesPerSector), n(space.sectorsPerCluster),
         n(qint64(space.sectorsPerCluster) * space.totalClusters), n(clusterSize)},
    };
}
