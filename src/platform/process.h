#pragma once
// Starting Linux programs with their program path and arguments handed over as
// the bytes on disk (names.h), so that a name that is no UTF-8, which Qt's own
// process calls cannot carry, reaches the program exactly.
#include <QProcess>
#include <QString>
#include <QStringList>
#include "platform/errors.h"

namespace platform {

// Starts a program (a host path) with host-path arguments in a host folder
// and does not wait; it runs on by itself in a session of its own. 53 when it
// could not be started (missing, not executable, the folder gone).
ErrorCode StartDetachedProcess(const QString& program, const QStringList& arguments, const QString& folder,
                               qint64* processId = nullptr);

// For a QProcess whose program, arguments and environment are set: where Qt
// would change a byte of the program path or an argument, the child starts
// them from their bytes instead. Call it last, before start().
void CarryExactly(QProcess* process);

}  // namespace platform
