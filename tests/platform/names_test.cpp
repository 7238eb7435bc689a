// Names on disk and in the program: the stand-ins for what a DOS name cannot
// hold, the bytes of every name kept exactly, and the names as the screen shows them.
#include <QSet>
#include "helpers.h"
#include "platform/names.h"

using namespace platform;

namespace {

QString Chars(std::initializer_list<char16_t> codes) {
    QString s;
    for (char16_t c : codes) s += QChar(c);
    return s;
}
QString Program(const QByteArray& bytes) { return NameFromHost(host::Decode(bytes)); }
QByteArray Disk(const QString& name) { return host::Encode(NameToHost(name)); }

TEST(Names, EveryNameOfOneOrTwoBytesHasItsOwnValidSpellingAndComesBackExactly) {
    QSet<QString> spellings;
    QList<QByteArray> names;
    for (int a = 1; a < 256; ++a) {
        if (a == '/') continue;
        names << QByteArray(1, char(a));
        for (int b = 1; b < 256; ++b)
            if (b != '/') names << QByteArray(1, char(a)) + char(b);
    }
    for (const QByteArray& raw : names) {
        const QString name = Program(raw);
        ASSERT_EQ(Disk(name), raw) << raw.toHex().toStdString();
        ASSERT_EQ(host::Encode(name), raw) << "the program's name encodes to the same bytes";
        ASSERT_TRUE(IsValidDosComponent(name)) << raw.toHex().toStdString();
        spellings.insert(name);
    }
    EXPECT_EQ(spellings.size(), names.size()) << "no two names share a spelling";
}

TEST(Names, EachCharacterAndStrayByteHasOneStandInAndRealUnicodeStaysItself) {
    const struct { QByteArray disk; QString program; } cases[] = {
        {"a:b", QString("a") + QChar(0xF03A) + "b"},
        {"\"*<>?\\|", Chars({0xF022, 0xF02A, 0xF03C, 0xF03E, 0xF03F,
                               0xF05C, 0xF07C})},
        {"new\nline\t\x01\x1f", QString("new") + QChar(0xF00A) + "line" + QChar(0xF009) + QChar(0xF001) + QChar(0xF01F)},
        {"caf\xe9.txt", QString("caf") + QChar(0xF0E9) + ".txt"},              // Latin-1, no UTF-8
        {"caf\xc3\xa9 100% -x.txt", QString::fromUtf8("caf\xc3\xa9 100% -x.txt")},
        {"\xf0\x9f\x98\x80\x7f", QString::fromUtf8("\xf0\x9f\x98\x80") + QChar(0x7F)},   // beyond 16 bits; DEL is allowed
        {"\xef\xbc\x9a", QString(QChar(0xFF1A))},                                       // a real fullwidth colon
        // A real character of the stand-in range, an overlong form, a surrogate,
        // beyond U+10FFFF, a cut sequence: each byte on its own.
        {"\xef\x80\xba", Chars({0xF0EF, 0xF080, 0xF0BA})},
        {"\xc0\xaf\xed\xa0\x80", Chars({0xF0C0, 0xF0AF, 0xF0ED, 0xF0A0, 0xF080})},
        {"\xf4\x90\x80\x80", Chars({0xF0F4, 0xF090, 0xF080, 0xF080})},
        {"\xe2\x82x", Chars({0xF0E2, 0xF082, u'x'})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Program(c.disk), c.program) << c.disk.toHex().toStdString();
        EXPECT_EQ(Disk(c.program), c.disk) << c.disk.toHex().toStdString();
    }
    // A host path keeps real characters for Qt, and only names with stray bytes are beyond it.
    EXPECT_EQ(host::Decode("/x/a:b"), "/x/a:b");
    EXPECT_TRUE(host::IsQtExact(QString::fromUtf8("/x/a:b/caf\xc3\xa9/\xf0\x9f\x98\x80")));
    EXPECT_FALSE(host::IsQtExact(host::Decode("/x/caf\xe9")));
    EXPECT_FALSE(host::IsQtExact(host::Decode("/x/\xef\x80\xba")));
}

TEST(Names, TheScreenShowsLookAlikesAndOnlyAnUnchangedTextStandsForTheName) {
    const struct { QByteArray disk; const char* shown; } cases[] = {
        {"Meeting: notes?.txt", "Meeting\xef\xbc\x9a notes\xef\xbc\x9f.txt"},
        {"\"*<>\\|", "\xef\xbc\x82\xef\xbc\x8a\xef\xbc\x9c\xef\xbc\x9e\xef\xbc\xbc\xef\xbd\x9c"},
        {"a\nb\tc\x7f", "a\xe2\x90\x8a" "b\xe2\x90\x89" "c\xe2\x90\xa1"},
        {"caf\xe9\xff.bin", "caf\xe2\x80\xb9" "E9\xe2\x80\xba\xe2\x80\xb9" "FF\xe2\x80\xba.bin"},
        {"plain name.txt", "plain name.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShownName(Program(c.disk)), QString::fromUtf8(c.shown)) << c.shown;

    const QString colon = Program("Meeting: notes.txt");
    const QString japanese = QString::fromUtf8("\xe4\xbc\x9a\xe8\xad\xb0\xef\xbc\x9a\xe3\x83\xa1\xe3\x83\xa2.txt");
    // The pre-filled text left as it was names the file itself; one the user
    // changed, or typed look-alikes, are taken as typed, real characters and all.
    EXPECT_EQ(NameFromShown(ShownName(colon), colon), colon);
    EXPECT_EQ(NameFromShown(ShownName(japanese), japanese), japanese);
    EXPECT_EQ(NameFromShown(ShownName(colon) + "x", colon), ShownName(colon) + "x");
    EXPECT_EQ(NameFromShown(ShownName(colon), japanese), ShownName(colon));
    EXPECT_EQ(Disk(NameFromShown(QString::fromUtf8("a\xef\xbc\x9a" "b"), colon)), QByteArray("a\xef\xbc\x9a" "b"));
}

}  // namespace
