#include <memory>
#include "platform/hostfs.h"
#include "platform/prefix.h"

namespace platform {

namespace {
int depth = 0;
std::unique_ptr<host::BatchMemo> memo;
}  // namespace

DriveMapBatch::DriveMapBatch() {
    if (depth++ == 0) memo = std::make_unique<host::BatchMemo>();
}

DriveMapBatch::~DriveMapBatch() {
    if (--depth == 0) memo.reset();
}

namespace host {

BatchMemo* Batch() { return memo.get(); }

void ForgetBatchFolders() {
    if (memo) memo->folders.clear();
}

}  // namespace host
}  // namespace platform
