// A file name and a rename mask (first line and the rest): the name a file gets
// under a mask the input dialog accepts.
#include "common.h"
#include "fileops/validate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString name, mask;
    SplitAtNewline(InputText(data, size), &name, &mask);
    mask = NormalizeTyped(mask);
    if (!IsValidMask(mask)) return 0;
    const QString mapped = MapNameToMask(name, mask);
    FUZZ_CHECK(!mapped.isEmpty());
    // A name the dialog would take for a single rename stays one under any mask:
    // no wildcard of the mask is left in it.
    if (IsValidName(name)) FUZZ_CHECK(IsValidName(mapped));
    FUZZ_CHECK(mapped == MapNameToMask(name, mask));
    return 0;
}
