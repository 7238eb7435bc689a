#pragma once
#include <QString>
#include "platform/errors.h"

namespace platform {

// DOS keeps a current drive and a current folder per drive; so does this layer,
// and it also changes the process's folder so that started programs inherit it.
ErrorCode ChangeDrive(QChar letter);
ErrorCode ChangeFolder(const QString& dosPath);
QString CurrentDrive();                  // "c:"
QString CurrentFolder(QChar letter);     // "c:\quorl", or "c:" at the root
void ResetCurrentFolders();              // forget all (tests)
// A drive now leads elsewhere or nowhere: its folder starts again at its root,
// and when it was the current drive, c: becomes current.
void ForgetCurrentFolder(QChar letter);

}  // namespace platform
