#include <iterator>
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
    ForgetBatchEntries();
}

void ForgetBatchEntries() {
    if (memo)
        for (BatchMemo::Entry& e : memo->entries) e = BatchMemo::Entry();
}

const QString* BatchMemo::EntryOf(const QString& dosPath, int last) const {
    for (const Entry& e : entries)
        if (e.last == last && e.dosPath == dosPath) return &e.hostPath;
    return nullptr;
}

void BatchMemo::KeepEntry(const QString& dosPath, int last, const QString& hostPath) {
    entries[nextEntry] = {dosPath, last, hostPath};
    nextEntry = (nextEntry + 1) % int(std::size(entries));
}

}  // namespace host
}  // namespace platform
