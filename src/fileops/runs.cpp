#include "fileops/runs.h"

QString GraphCaptionOf(const Run& run) {
    const bool tagged = run.scope == FileScope::TaggedFiles;
    switch (run.kind) {
    case RunKind::Copy: return QStringLiteral("Copying file(s)...");
    case RunKind::Move: return QStringLiteral("Moving file(s)...");
    case RunKind::Delete: return tagged ? QStringLiteral("Deleting files...") : QStringLiteral("Deleting file...");
    case RunKind::Rename: return tagged ? QStringLiteral("Renaming files...") : QStringLiteral("Renaming file...");
    case RunKind::Attributes:
        return tagged ? QStringLiteral("Setting attributes of all tagged files...")
                      : QStringLiteral("Setting attributes of file...");
    case RunKind::Thrash: return tagged ? QStringLiteral("Thrashing files...") : QStringLiteral("Thrashing file...");
    }
    return QString();
}

QString CopyCaptionOf(const Run& run) {
    const bool move = run.kind == RunKind::Move;
    if (run.scope == FileScope::CurrentFile) return move ? QStringLiteral("Move file") : QStringLiteral("Copy file");
    if (run.paths == Paths::Duplicated)
        return move ? QStringLiteral("Move all tagged files, and duplicate paths")
                    : QStringLiteral("Copy all tagged files, and duplicate paths");
    return move ? QStringLiteral("Move all tagged files") : QStringLiteral("Copy all tagged files");
}
