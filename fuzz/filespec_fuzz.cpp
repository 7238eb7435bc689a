// A name and a list of name patterns (first line and the rest): the
// listing's filter.
#include "common.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString name, patterns;
    SplitAtNewline(InputText(data, size), &name, &patterns);
    platform::MatchesFileSpec(name, patterns);
    // "*.*" and an empty list take every name.
    FUZZ_CHECK(platform::MatchesFileSpec(name, QStringLiteral("*.*")));
    FUZZ_CHECK(platform::MatchesFileSpec(name, QString()));
    FUZZ_CHECK(platform::MatchesFileSpec(name, QStringLiteral(" ; ;")));
    // A name is its own pattern, in any case, unless it ends in "." (which
    // asks for names without an extension) or holds the list's separator.
    if (!name.isEmpty() && name == name.trimmed() && !name.contains(u';') && !name.endsWith(u'.')) {
        FUZZ_CHECK(platform::MatchesFileSpec(name, name));
        FUZZ_CHECK(platform::MatchesFileSpec(name, patterns + u';' + name));
    }
    return 0;
}
