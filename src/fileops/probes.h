#pragma once
#include <QString>
#include "platform/errors.h"

// A run of the progress window probes each folder it writes into once: the
// probe makes and deletes a file, which for many small files costs as much as
// their copies. What one run found writable it takes as writable until it ends.
class RunProbes {
public:
    RunProbes();
    ~RunProbes();
    RunProbes(const RunProbes&) = delete;
    RunProbes& operator=(const RunProbes&) = delete;
};

// TestWritable, once per folder while a run lives; a failed probe is tried
// again the next time, so a folder that became writable is seen.
ErrorCode TestWritableInRun(const QString& folder);
