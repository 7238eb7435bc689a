// Any bytes as a settings file: reading its sections and values, the exit's
// rewrite of "[desktop]" and the Options' rewrite of "[more]".
#include <QByteArray>
#include "common.h"
#include "config/more.h"
#include "config/settingstext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> raw = SplitSettingsBytes(file);
    const QStringList text = DecodeSettingsLines(raw);
    FUZZ_CHECK(text.size() == raw.size());
    // A line is its UTF-8 text (less a byte order mark opening it), or one
    // character per byte when it is not UTF-8.
    for (qsizetype i = 0; i < raw.size(); ++i)
        FUZZ_CHECK(text[i].toUtf8() == raw[i] || "\xEF\xBB\xBF" + text[i].toUtf8() == raw[i] ||
                   text[i] == QString::fromLatin1(raw[i]));

    int index = 1;
    for (const char* header : {"[general]", "[compression]", "[fonts]"}) {
        const QStringList lines = SectionLines(text, QString::fromLatin1(header));
        const QStringList keys = DefaultSettingKeys(QString::fromLatin1(header));
        for (qsizetype n = 0; n < keys.size(); ++n, ++index) {
            const QString value = n < lines.size() ? ValueOf(lines[n]) : QString();
            FUZZ_CHECK(value == value.trimmed());
            const QVariant stored = CheckedSetting(index, value);
            FUZZ_CHECK(stored.isValid());
            if (index == 2) FUZZ_CHECK(stored.toInt() >= 0 && stored.toInt() <= 99);
            if (index == 7) FUZZ_CHECK(stored.toInt() >= 1 && stored.toInt() <= 4);
        }
        for (const QString& line : lines) FUZZ_CHECK(!line.isEmpty() && line == line.trimmed() && !line.startsWith(u'['));
    }

    // "[more]" read from the file and written back: done twice gives the same
    // lines as done once, and every setting reads back as it was held.
    ReadMoreSection(SectionLines(text, QStringLiteral("[more]")));
    QStringList held;
    for (const MoreSetting& s : MoreSettings()) held << MoreValue(s.name);
    const QList<QByteArray> spliced = SpliceMoreSection(raw);
    FUZZ_CHECK(SpliceMoreSection(spliced) == spliced);
    ReadMoreSection(SectionLines(DecodeSettingsLines(spliced), QStringLiteral("[more]")));
    for (qsizetype i = 0; i < held.size(); ++i) FUZZ_CHECK(MoreValue(MoreSettings()[i].name) == held[i]);

    // The exit's rewrite keeps what stands before the section and, done twice,
    // gives the same file as done once.
    const QStringList desktop = {QStringLiteral("Window1=c:\\,0,0,100,100"), QStringLiteral("Windows=1")};
    const QByteArray once = SpliceDesktopSection(file, desktop);
    FUZZ_CHECK(SpliceDesktopSection(once, desktop) == once);
    const QStringList after = DecodeSettingsLines(SplitSettingsBytes(once));
    bool hasHeader = false;
    for (const QString& line : after) hasHeader = hasHeader || line.trimmed().toLatin1().toLower() == "[desktop]";
    FUZZ_CHECK(hasHeader);
    return 0;
}
