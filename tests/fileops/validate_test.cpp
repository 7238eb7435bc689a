#include <gtest/gtest.h>
#include "fileops/errors.h"
#include "fileops/validate.h"

namespace {

TEST(NameRules, EveryForbiddenCharacterMakesANameInvalid) {
    EXPECT_TRUE(IsValidName("report 97.txt"));
    EXPECT_TRUE(IsValidName(""));
    for (const QChar c : QStringLiteral("\"/\\:*?|<>"))
        EXPECT_FALSE(IsValidName(QStringLiteral("a") + c + "b.txt")) << QString(c).toStdString();
}

TEST(NameRules, MasksNeedOneDotAndAStarOnlyAtTheEndOfTheBase) {
    for (const char* good : {"*.bak", "*.*", "ab*.*", "new.t*t", "a.b", ".txt", "a.**"})
        EXPECT_TRUE(IsValidMask(good)) << good;
    for (const char* bad : {"a*b.txt", "*a.txt", "**.txt", "a.b.c", "readme", "*.***", "a?.txt",
                            "a.t|t", "a:b*.x"})
        EXPECT_FALSE(IsValidMask(bad)) << bad;
}

TEST(AttributeRules, PairsOfOneSignAndTheLettersRash) {
    for (const char* good : {"+r", "-a", "+r+a+s+h", "-h-s", "+R+H", "  +r+h  "})
        EXPECT_TRUE(ParseAttr(good)) << good;
    for (const char* bad : {"", "+", "r+", "+r-h", "-a+r", "+x", "+r+a+s+h+r", "-r-a-s-h-h", "+rh", "+r+",
                            "++", "+r h"})
        EXPECT_FALSE(ParseAttr(bad)) << bad;
}

TEST(RenameRules, TheCaptionChoosesBetweenNameAndMask) {
    EXPECT_TRUE(ParseRMText(InputCaption::RenameFile, "notes.txt"));
    EXPECT_FALSE(ParseRMText(InputCaption::RenameFile, "no?tes.txt"));
    EXPECT_TRUE(ParseRMText(InputCaption::MakeFolder, "letters"));
    EXPECT_TRUE(ParseRMText(InputCaption::DiskVolume, "backup 97"));
    // A single name has no rule for its dots, a mask must have exactly one.
    EXPECT_TRUE(ParseRMText(InputCaption::RenameFile, "old.notes.txt"));
    EXPECT_FALSE(ParseRMText(InputCaption::RenameTagged, "old.notes.txt"));
    EXPECT_TRUE(ParseRMText(InputCaption::RenameTagged, "*.bak"));
    EXPECT_FALSE(ParseRMText(InputCaption::RenameFile, "*.bak"));
    EXPECT_TRUE(ParseRMText(InputCaption::RenameTagged, "  *.BAK "));
}

TEST(CheckText, VolumeNamesHaveAtMostElevenCharacters) {
    EXPECT_EQ(CheckTextMessage(InputCaption::DiskVolume, "abcdefghijk"), "");
    EXPECT_EQ(CheckTextMessage(InputCaption::DiskVolume, "abcdefghijkl"), "Invalid volume name");
    // The blanks around a typed label are not part of it.
    EXPECT_EQ(CheckTextMessage(InputCaption::DiskVolume, "  abcdefghijk  "), "");
    EXPECT_EQ(CheckTextMessage(InputCaption::DiskVolume, "dis:k"), "Invalid volume name");
    // An empty label takes the label away.
    EXPECT_EQ(CheckTextMessage(InputCaption::DiskVolume, ""), "");
}

TEST(CheckText, AttributeChangesOfBothCaptions) {
    for (const QString& caption : {InputCaption::FileAttributes, InputCaption::TaggedAttributes}) {
        EXPECT_EQ(CheckTextMessage(caption, "+r+a+s+h"), "");
        for (const char* bad : {"+r-h", "r+", "+x", "+r+a+s+h+r", ""})
            EXPECT_EQ(CheckTextMessage(caption, bad), "Invalid file attributes") << bad;
    }
}

TEST(CheckText, NamesMasksAndEmptyTexts) {
    EXPECT_EQ(CheckTextMessage(InputCaption::RenameTagged, "*.bak"), "");
    for (const char* bad : {"a*b.txt", "a.b.c", "abc", ""})
        EXPECT_EQ(CheckTextMessage(InputCaption::RenameTagged, bad), "Invalid file mask") << bad;
    for (const QString& caption : {InputCaption::RenameFile, InputCaption::MakeFolder}) {
        EXPECT_EQ(CheckTextMessage(caption, "new name.txt"), "");
        EXPECT_EQ(CheckTextMessage(caption, "a<b"), InvalidCharactersMessage);
        EXPECT_EQ(CheckTextMessage(caption, "   "), InvalidCharactersMessage);
    }
    // The file specification takes wildcards and several patterns.
    EXPECT_EQ(CheckTextMessage(InputCaption::FileSpec, "*.txt *.d?c"), "");
}

TEST(NameMaskMapping, TheExamples) {
    EXPECT_EQ(MapNameToMask("report.txt", "*.bak"), "report.bak");
    EXPECT_EQ(MapNameToMask("xyz12.doc", "ab*.*"), "abz12.doc");
    EXPECT_EQ(MapNameToMask("a.doc", "new.t*t"), "new.tot");
    EXPECT_EQ(MapNameToMask("readme", "*.*"), "readme.");
    EXPECT_EQ(MapNameToMask("abcdef", "ab*.txt"), "abcdef.txt");
}

TEST(NameMaskMapping, BaseRules) {
    // A prefix longer than the name's base replaces it.
    EXPECT_EQ(MapNameToMask("ab.txt", "letter*.*"), "letter.txt");
    // A prefix as long as the base replaces it character for character.
    EXPECT_EQ(MapNameToMask("abc.txt", "xyz*.*"), "xyz.txt");
    EXPECT_EQ(MapNameToMask("abc.txt", "copy.*"), "copy.txt");
    // The extension starts at the name's first dot.
    EXPECT_EQ(MapNameToMask("old.notes.txt", "new*.*"), "new.notes.txt");
}

TEST(NameMaskMapping, ExtensionRules) {
    // A shorter name extension: the rest of the mask is added, its first "*" dropped.
    EXPECT_EQ(MapNameToMask("a.c", "*.b*k"), "a.bk");
    EXPECT_EQ(MapNameToMask("a.c", "*.bak*"), "a.bak");
    // A longer name extension is kept only behind a mask ending in "*".
    EXPECT_EQ(MapNameToMask("a.html", "*.t*"), "a.ttml");
    EXPECT_EQ(MapNameToMask("a.html", "*.tx"), "a.tx");
    EXPECT_EQ(MapNameToMask("a.txt", "*.*"), "a.txt");
    // A name without extension takes the mask's, less its first "*".
    EXPECT_EQ(MapNameToMask("readme", "*.b*k"), "readme.bk");
    EXPECT_EQ(MapNameToMask("readme", "a.**"), "a.*");
}

TEST(AttributeChange, AddsMissingLettersAndRemovesPresentOnes) {
    EXPECT_EQ(ApplyAttributeChange("R", "+r"), "R");
    EXPECT_EQ(ApplyAttributeChange("RA", "-a"), "R");
    EXPECT_EQ(ApplyAttributeChange("A", "+r+h"), "ARH");
    EXPECT_EQ(ApplyAttributeChange("", "+h+h"), "H");
    EXPECT_EQ(ApplyAttributeChange("RASH", "-r-a-s-h"), "");
    EXPECT_EQ(ApplyAttributeChange("A", "-s"), "A");
}

}  // namespace
