#include "fileops/probes.h"
#include <QSet>
#include "model/slots.h"
#include "ui/errors.h"

namespace {
int runs = 0;

QSet<QString>& Writable() {
    static QSet<QString> folders;
    return folders;
}
}  // namespace

RunProbes::RunProbes() { ++runs; }

RunProbes::~RunProbes() {
    if (--runs == 0) Writable().clear();
}

ErrorCode TestWritableInRun(const QString& folder) {
    if (runs > 0 && Writable().contains(folder)) {
        LastError = 0;
        return 0;
    }
    const ErrorCode code = TestWritable(folder);
    if (code == 0 && runs > 0) Writable().insert(folder);
    return code;
}
