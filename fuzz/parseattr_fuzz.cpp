// Text typed into the input dialog under each caption: the attribute change,
// the mask and the name rules, and the change applied to a file's letters.
#include "common.h"
#include "fileops/validate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString typed, letters;
    SplitAtNewline(InputText(data, size), &typed, &letters);
    for (const QString& caption :
         {InputCaption::FileSpec, InputCaption::RenameFile, InputCaption::RenameTagged, InputCaption::FileAttributes,
          InputCaption::TaggedAttributes, InputCaption::MakeFolder, InputCaption::DiskVolume})
        CheckTextMessage(caption, typed);
    ParseRMText(InputCaption::RenameTagged, typed);

    const QString mask = NormalizeTyped(typed);
    if (IsValidMask(mask)) {
        FUZZ_CHECK(mask.count(u'.') == 1 && mask.count(u'*') <= 2);
        FUZZ_CHECK(CheckTextMessage(InputCaption::RenameTagged, typed).isEmpty());
    }

    if (!ParseAttr(typed)) return 0;
    FUZZ_CHECK(CheckTextMessage(InputCaption::FileAttributes, typed).isEmpty());
    // The file's letters as a line shows them: each of R, A, S, H at most once.
    QString own;
    for (const QChar c : letters.toUpper())
        if (QStringLiteral("RASH").contains(c) && !own.contains(c)) own += c;
    const QString result = ApplyAttributeChange(own, typed);
    for (const QChar c : result) {
        FUZZ_CHECK(QStringLiteral("RASH").contains(c));
        FUZZ_CHECK(result.count(c) == 1);
    }
    const QString change = NormalizeTyped(typed).toUpper();
    for (qsizetype i = 0; i + 1 < change.size(); i += 2)
        FUZZ_CHECK(result.contains(change[i + 1]) == (change[i] == u'+'));
    return 0;
}
