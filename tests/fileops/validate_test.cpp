#include <gtest/gtest.h>
#include "ui/errors.h"
#include "fileops/validate.h"

namespace {

TEST(ErrorTable, EveryCodeHasItsFixedMessage) {
    const std::pair<int, const char*> table[] = {
        {53, "File not found"}, {57, "Input/output error on specified drive"}, {58, "File already exists"},
        {62, "Internal error opening file"}, {64, "Bad file name"}, {67, "Too many files"}, {68, "Disk not ready"},
        {70, "Access denied / write-protected disk"}, {71, "Disk not ready"}, {1000, "Disk has been changed"},
        {75, "The specified path conflicts with an existing file / folder name"},
        {76, "Can't access specified drive / path"},
        {0, "Undefined error ocurred"}, {61, "Undefined error ocurred"}, {-1, "Undefined error ocurred"},
    };
    for (const auto& [code, text] : table) EXPECT_EQ(ErrorMessage(ErrorCode(code)), text) << code;
}

TEST(TextRules, NamesMasksAndAttributeStrings) {
    EXPECT_TRUE(IsValidName("report 97.txt"));
    EXPECT_TRUE(IsValidName(""));
    for (const QChar c : QStringLiteral("\"/\\:*?|<>"))
        EXPECT_FALSE(IsValidName(QStringLiteral("a") + c + "b.txt")) << QString(c).toStdString();
    // A mask needs one dot and a star only at the end of the base.
    for (const char* good : {"*.bak", "*.*", "ab*.*", "new.t*t", "a.b", ".txt", "a.**"}) EXPECT_TRUE(IsValidMask(good)) << good;
    for (const char* bad : {"a*b.txt", "*a.txt", "**.txt", "a.b.c", "readme", "*.***", "a?.txt", "a.t|t", "a:b*.x"})
        EXPECT_FALSE(IsValidMask(bad)) << bad;
    // Attribute changes are pairs of one sign and one of the letters r, a, s, h, each letter once.
    for (const char* good : {"+r", "-a", "+r+a+s+h", "-h-s", "+R+H", "  +r+h  "}) EXPECT_TRUE(ParseAttr(good)) << good;
    for (const char* bad : {"", "+", "r+", "+r-h", "-a+r", "+x", "+r+a+s+h+r", "-r-a-s-h-h", "+rh", "+r+", "++", "+r h"})
        EXPECT_FALSE(ParseAttr(bad)) << bad;
    // The caption chooses between name and mask: a single name has no rule for its dots, a mask has exactly one.
    const std::tuple<QString, const char*, bool> rename[] = {
        {InputCaption::RenameFile, "notes.txt", true},     {InputCaption::RenameFile, "no?tes.txt", false},
        {InputCaption::MakeFolder, "letters", true},       {InputCaption::DiskVolume, "backup 97", true},
        {InputCaption::RenameFile, "old.notes.txt", true}, {InputCaption::RenameTagged, "old.notes.txt", false},
        {InputCaption::RenameTagged, "*.bak", true},       {InputCaption::RenameFile, "*.bak", false},
        {InputCaption::RenameTagged, "  *.BAK ", true},
    };
    for (const auto& [caption, text, valid] : rename) EXPECT_EQ(ParseRMText(caption, text), valid) << text;
}

TEST(TextRules, TheMessageForEveryKindOfText) {
    const QString volume = "Invalid volume name", attributes = "Invalid file attributes", mask = "Invalid file mask";
    const QString invalid = InvalidCharactersMessage;
    // Volume names have at most eleven characters, blanks around them not counted; empty takes the label away.
    // The file specification takes wildcards and several patterns.
    const std::tuple<QString, const char*, QString> table[] = {
        {InputCaption::DiskVolume, "abcdefghijk", ""},          {InputCaption::DiskVolume, "abcdefghijkl", volume},
        {InputCaption::DiskVolume, "  abcdefghijk  ", ""},      {InputCaption::DiskVolume, "dis:k", volume},
        {InputCaption::DiskVolume, "", ""},                     {InputCaption::RenameTagged, "*.bak", ""},
        {InputCaption::RenameTagged, "a*b.txt", mask},          {InputCaption::RenameTagged, "a.b.c", mask},
        {InputCaption::RenameTagged, "abc", mask},              {InputCaption::RenameTagged, "", mask},
        {InputCaption::FileSpec, "*.txt *.d?c", ""},            {InputCaption::RenameFile, "new name.txt", ""},
        {InputCaption::RenameFile, "a<b", invalid},             {InputCaption::RenameFile, "   ", invalid},
        {InputCaption::MakeFolder, "new name.txt", ""},         {InputCaption::MakeFolder, "a<b", invalid},
        {InputCaption::MakeFolder, "   ", invalid},
    };
    for (const auto& [caption, text, message] : table) EXPECT_EQ(CheckTextMessage(caption, text), message) << text;
    for (const QString& caption : {InputCaption::FileAttributes, InputCaption::TaggedAttributes}) {
        EXPECT_EQ(CheckTextMessage(caption, "+r+a+s+h"), "");
        for (const char* bad : {"+r-h", "r+", "+x", "+r+a+s+h+r", ""}) EXPECT_EQ(CheckTextMessage(caption, bad), attributes) << bad;
    }
}

TEST(TextRules, NameMaskMappingExamplesAndRulesAndAttributeChanges) {
    const std::tuple<const char*, const char*, const char*> table[] = {
        // The examples.
        {"report.txt", "*.bak", "report.bak"}, {"xyz12.doc", "ab*.*", "abz12.doc"}, {"a.doc", "new.t*t", "new.tot"},
        {"abcdef", "ab*.txt", "abcdef.txt"},
        // DOS drops the dots and blanks a name would end in.
        {"readme", "*.*", "readme"}, {"readme", "new.*", "new"}, {"read me", "*.", "read me"},
        {"a.b", "x .", "x"},
        // A prefix longer than the name's base replaces it, one as long replaces it character for character;
        // the extension starts at the name's first dot.
        {"ab.txt", "letter*.*", "letter.txt"}, {"abc.txt", "xyz*.*", "xyz.txt"}, {"abc.txt", "copy.*", "copy.txt"},
        {"old.notes.txt", "new*.*", "new.notes.txt"},
        // A shorter name extension: the rest of the mask is added, its "*" dropped.
        {"a.c", "*.b*k", "a.bk"}, {"a.c", "*.bak*", "a.bak"},
        // A longer name extension is kept only behind a mask ending in "*".
        {"a.html", "*.t*", "a.ttml"}, {"a.html", "*.tx", "a.tx"}, {"a.txt", "*.*", "a.txt"},
        // A name without extension takes the mask's, less its "*".
        {"readme", "*.b*k", "readme.bk"},
        // Two "*" in the mask extension with nothing of the name to stand for: neither is left in the name,
        // which would be no file name at all.
        {"readme", "a.**", "a"}, {"readme", "*.*x*", "readme.x"}, {"a.q", "*.a**", "a.a"},
        {"a.qrs", "*.a**", "a.ars"},
    };
    for (const auto& [name, mask, result] : table) EXPECT_EQ(MapNameToMask(name, mask), result) << name << " " << mask;
    // An attribute change adds missing letters and removes present ones.
    const std::tuple<const char*, const char*, const char*> changes[] = {
        {"R", "+r", "R"}, {"RA", "-a", "R"}, {"A", "+r+h", "ARH"}, {"", "+h+h", "H"}, {"RASH", "-r-a-s-h", ""}, {"A", "-s", "A"},
    };
    for (const auto& [from, change, to] : changes) EXPECT_EQ(ApplyAttributeChange(from, change), to) << from << " " << change;
}

}  // namespace
