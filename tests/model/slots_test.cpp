#include <QDateTime>
#include <QFile>
#include <QWidget>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include "fixture.h"
#include "model/slots.h"
#include "platform/files.h"

namespace {

// A slot whose picture holds these lines, in order.
DriveSlot SlotWith(const QStringList& lines) {
    DriveSlot slot;
    for (const QString& line : lines) {
        slot.Lines[slot.LineCount] = line;
        GrowLines(slot, 1);
    }
    return slot;
}

std::string S(const QString& s) { return s.toStdString(); }

const QDateTime Midnight(QDate(1997, 3, 15), QTime(0, 0, 0));
const QDateTime Evening(QDate(2004, 11, 28), QTime(23, 59, 58));

}  // namespace

TEST(SlotLists, GrowingAndShrinkingKeepOneSpareEmptyEntry) {
    DriveSlot slot;
    AddFolderLine(slot, "c:", 1);
    AddFolderLine(slot, "c:\\windows", 2);
    EXPECT_EQ(slot.LineCount, 2);
    EXPECT_EQ(slot.Lines, (QStringList{">c:/1", ">c:\\windows/2", ""}));
    // Taking lines away must not leave the old last line in the spare entry.
    GrowLines(slot, -1);
    EXPECT_EQ(slot.Lines, (QStringList{">c:/1", ""}));

    AddIndexEntry(slot, "c:", 0);
    AddIndexEntry(slot, "c:\\windows", 7);
    EXPECT_EQ(slot.IndexCount, 2);
    EXPECT_EQ(slot.FolderIndex, (QStringList{"c:/0", "c:\\windows/7", ""}));
    AddNodeEntry(slot, "c:", 1);
    AddNodeEntry(slot, "c:\\dos", 2);
    EXPECT_EQ(slot.NodeMap, (QStringList{"c:/1", "c:\\dos/2", ""}));
}

TEST(FolderLines, FindMatchesTheWholePathOfHeadersOnly) {
    DriveSlot slot = SlotWith({">c:/1/L", "readme.txt/U/10:03-15-97 10:04:00:A", ">c:\\ab/2/U", ">c:\\a/3",
                               ">c:\\a\\b/4"});
    EXPECT_EQ(FindFolderLine(slot, "c:", 0), 0);
    // c:\a must not stop at the header of c:\ab, nor c:\ab at c:\a.
    EXPECT_EQ(FindFolderLine(slot, "c:\\a", 0), 3);
    EXPECT_EQ(FindFolderLine(slot, "c:\\ab", 0), 2);
    EXPECT_EQ(FindFolderLine(slot, "c:\\a\\b", 0), 4);
    EXPECT_EQ(FindFolderLine(slot, "readme.txt", 0), -1);
    EXPECT_EQ(FindFolderLine(slot, "c:\\b", 0), -1);
    // The scan starts at the given position.
    EXPECT_EQ(FindFolderLine(slot, "c:", 1), -1);
    EXPECT_EQ(FindFolderLine(slot, "c:\\a", 3), 3);
    EXPECT_EQ(FindFolderLine(slot, "c:\\ab", 3), -1);
}

TEST(FolderLines, FindStopsAtTheUsedPart) {
    DriveSlot slot = SlotWith({">c:/1/L", ">c:\\old/2"});
    GrowLines(slot, -1);
    slot.Lines[1] = ">c:\\old/2";   // left behind in the spare entry
    EXPECT_EQ(FindFolderLine(slot, "c:\\old", 0), -1);
}

TEST(FolderLines, LookupUsesTheIndexAndFallsBackToAScan) {
    DriveSlot slot = SlotWith({">c:/1/L", ">c:\\ab/2/L", ">c:\\a/3", "x.txt/U/1:01-01-01 00:00:00:"});
    AddIndexEntry(slot, "c:", 0);
    AddIndexEntry(slot, "c:\\ab", 1);
    EXPECT_EQ(LookupFolderLine(slot, "c:\\ab"), 1);
    // Never logged: not in the index, found by scanning; c:\ab's entry is no match.
    EXPECT_EQ(LookupFolderLine(slot, "c:\\a"), 2);
    EXPECT_EQ(LookupFolderLine(slot, "c:\\unknown"), -1);

    // A stale position is returned as it stands until the index is refreshed.
    slot.FolderIndex[1] = "c:\\ab/9";
    EXPECT_EQ(LookupFolderLine(slot, "c:\\ab"), 9);
    RefreshFolderIndex(slot);
    EXPECT_EQ(S(slot.FolderIndex[1]), "c:\\ab/1");
    EXPECT_EQ(LookupFolderLine(slot, "c:\\ab"), 1);
}

TEST(FolderLines, IndexOfAVanishedFolderDoesNotHideItWhenItComesBack) {
    DriveSlot slot = SlotWith({">c:/1/L", ">c:\\tmp/2/L"});
    AddIndexEntry(slot, "c:\\tmp", 1);
    GrowLines(slot, -1);
    RefreshFolderIndex(slot);
    EXPECT_EQ(LookupFolderLine(slot, "c:\\tmp"), -1);
    AddFolderLine(slot, "c:\\tmp", 5);
    EXPECT_EQ(LookupFolderLine(slot, "c:\\tmp"), 1);
}

TEST(FolderLines, LoggedAndUnloggedStates) {
    DriveSlot slot = SlotWith({">c:/1/L", ">c:\\u/2/U", ">c:\\new/3", ">c:\\l/4"});
    EXPECT_TRUE(IsFolderLogged(slot, "c:"));
    EXPECT_FALSE(IsFolderUnlogged(slot, "c:"));
    EXPECT_FALSE(IsFolderLogged(slot, "c:\\u"));
    EXPECT_TRUE(IsFolderUnlogged(slot, "c:\\u"));
    // Known but never logged: neither state.
    EXPECT_FALSE(IsFolderLogged(slot, "c:\\new"));
    EXPECT_FALSE(IsFolderUnlogged(slot, "c:\\new"));
    // A folder named l is not logged because its name ends in "l".
    EXPECT_FALSE(IsFolderLogged(slot, "c:\\l"));
    EXPECT_FALSE(IsFolderLogged(slot, "c:\\missing"));
    EXPECT_TRUE(IsFolderUnlogged(slot, "c:\\missing"));
}

TEST(FolderLines, MarkingNeverDoublesTheSuffix) {
    DriveSlot slot = SlotWith({">c:/1", ">c:\\a/2/U", ">c:\\b/3/L"});
    int position = -7;

    MarkFolderLogged(slot, "c:", &position);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(S(slot.Lines[0]), ">c:/1/L");
    MarkFolderLogged(slot, "c:\\a", &position);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(S(slot.Lines[1]), ">c:\\a/2/L");
    MarkFolderLogged(slot, "c:\\b", &position);
    EXPECT_EQ(S(slot.Lines[2]), ">c:\\b/3/L");
    // Logging again keeps one suffix and one index entry.
    MarkFolderLogged(slot, "c:\\a", &position);
    EXPECT_EQ(S(slot.Lines[1]), ">c:\\a/2/L");
    EXPECT_EQ(slot.IndexCount, 3);
    EXPECT_EQ(slot.FolderIndex, (QStringList{"c:/0", "c:\\a/1", "c:\\b/2", ""}));

    MarkFolderUnlogged(slot, "c:\\a", &position);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(S(slot.Lines[1]), ">c:\\a/2/U");
    MarkFolderUnlogged(slot, "c:\\a", &position);
    EXPECT_EQ(S(slot.Lines[1]), ">c:\\a/2/U");

    DriveSlot fresh = SlotWith({">c:/1", ">c:\\x/2"});
    MarkFolderUnlogged(fresh, "c:\\x", &position);
    EXPECT_EQ(S(fresh.Lines[1]), ">c:\\x/2/U");
}

TEST(FolderLines, MarkingWithoutIndexOrUnknownFolder) {
    DriveSlot slot = SlotWith({">c:/1", ">c:\\a/2/U"});
    int position = 0;
    MarkFolderLogged(slot, "c:\\a", &position, true);
    EXPECT_EQ(S(slot.Lines[1]), ">c:\\a/2/L");
    EXPECT_EQ(slot.IndexCount, 0);

    MarkFolderLogged(slot, "c:\\nowhere", &position);
    EXPECT_EQ(position, -1);
    EXPECT_EQ(slot.IndexCount, 0);
    EXPECT_EQ(slot.Lines, (QStringList{">c:/1", ">c:\\a/2/L", ""}));
}

TEST(FolderLines, MarkingFindsTheHeaderBehindAStaleIndex) {
    DriveSlot slot = SlotWith({">c:/1/L", "a.txt/U/1:01-01-01 00:00:00:", ">c:\\a/2/L"});
    AddIndexEntry(slot, "c:\\a", 1);   // stale: points at a file line
    int position = 0;
    MarkFolderUnlogged(slot, "c:\\a", &position);
    EXPECT_EQ(position, 2);
    EXPECT_EQ(S(slot.Lines[1]), "a.txt/U/1:01-01-01 00:00:00:");
    EXPECT_EQ(S(slot.Lines[2]), ">c:\\a/2/U");
}

TEST(FolderLines, InsertingFileLinesMovesTheRestAndRefreshesTheIndex) {
    DriveSlot slot = SlotWith({">c:/1/L", "z.txt/U/5:01-01-01 00:00:00:A", ">c:\\a/2/U", ">c:\\b/3/L",
                               "b.txt/U/7:01-01-01 00:00:00:"});
    AddIndexEntry(slot, "c:", 0);
    AddIndexEntry(slot, "c:\\b", 3);

    InsertFileLines(slot, 0, {"p.txt/U/1:01-01-01 00:00:00:", "q.txt/U/2:01-01-01 00:00:00:"});
    EXPECT_EQ(slot.LineCount, 7);
    EXPECT_EQ(slot.Lines, (QStringList{">c:/1/L", "p.txt/U/1:01-01-01 00:00:00:", "q.txt/U/2:01-01-01 00:00:00:",
                                       "z.txt/U/5:01-01-01 00:00:00:A", ">c:\\a/2/U", ">c:\\b/3/L",
                                       "b.txt/U/7:01-01-01 00:00:00:", ""}));
    EXPECT_EQ(S(slot.FolderIndex[0]), "c:/0");
    EXPECT_EQ(S(slot.FolderIndex[1]), "c:\\b/5");
    EXPECT_EQ(LookupFolderLine(slot, "c:\\b"), 5);

    InsertFileLines(slot, 4, {"c.txt/U/8:01-01-01 00:00:00:"});
    EXPECT_EQ(S(slot.Lines[4]), ">c:\\a/2/U");
    EXPECT_EQ(S(slot.Lines[5]), "c.txt/U/8:01-01-01 00:00:00:");
    EXPECT_EQ(S(slot.Lines[6]), ">c:\\b/3/L");
    EXPECT_EQ(LookupFolderLine(slot, "c:\\b"), 6);

    // A folder whose header is the last line gets its lines at the end.
    AddFolderLine(slot, "c:\\d", 4);
    InsertFileLines(slot, 8, {"d.txt/U/9:01-01-01 00:00:00:"});
    EXPECT_EQ(slot.LineCount, 10);
    EXPECT_EQ(S(slot.Lines[9]), "d.txt/U/9:01-01-01 00:00:00:");
    EXPECT_TRUE(slot.Lines[10].isEmpty());
    EXPECT_EQ(slot.Lines.size(), 11);
}

TEST(LineFormats, DateTimeFieldFollowsTheDateFormat) {
    EXPECT_EQ(S(FormatFileDate(Midnight, "mm-dd-yy")), "03-15-97 00:00:00");
    EXPECT_EQ(S(FormatFileDate(Midnight, "dd-mm-yy")), "15-03-97 00:00:00");
    EXPECT_EQ(S(FormatFileDate(Evening, "mm-dd-yy")), "11-28-04 23:59:58");
    // Not configured or not allowed: month first.
    EXPECT_EQ(S(FormatFileDate(Evening, "")), "11-28-04 23:59:58");
    EXPECT_EQ(S(FormatFileDate(Evening, "yy-mm-dd")), "11-28-04 23:59:58");
}

TEST(LineFormats, AttributeLettersInTheirFixedOrder) {
    using namespace platform::attr;
    EXPECT_EQ(S(FormatAttributeLetters(0)), "");
    EXPECT_EQ(S(FormatAttributeLetters(Hidden | System | Archive | ReadOnly)), "RASH");
    EXPECT_EQ(S(FormatAttributeLetters(Hidden | ReadOnly)), "RH");
    EXPECT_EQ(S(FormatAttributeLetters(System | Archive)), "AS");
    EXPECT_EQ(S(FormatAttributeLetters(Directory)), "");
}

TEST(LineFormats, FileLineIsBuiltAndParsedBack) {
    ResetProgramState();
    Settings[6] = QString("mm-dd-yy");
    const QDateTime stamp(QDate(1997, 3, 15), QTime(10, 4, 0));
    const QString line = MakeFileLine("README.TXT", 1024, stamp, platform::attr::ReadOnly | platform::attr::Archive);
    EXPECT_EQ(S(line), "readme.txt/U/1024:03-15-97 10:04:00:RA");

    FileLine file;
    ASSERT_TRUE(ParseFileLine(line, &file));
    EXPECT_EQ(S(file.name), "readme.txt");
    EXPECT_EQ(file.tag, QChar('U'));
    EXPECT_EQ(file.size, 1024);
    EXPECT_EQ(S(file.dateTime), "03-15-97 10:04:00");
    EXPECT_EQ(S(file.attributes), "RA");

    Settings[6] = QString("dd-mm-yy");
    const QString plain = MakeFileLine("a", 0, Midnight, 0);
    EXPECT_EQ(S(plain), "a/U/0:15-03-97 00:00:00:");
    ASSERT_TRUE(ParseFileLine("big.bin/T/3000000000:15-03-97 00:00:00:", &file));
    EXPECT_EQ(file.tag, QChar('T'));
    EXPECT_EQ(file.size, 3000000000LL);
    EXPECT_EQ(S(file.dateTime), "15-03-97 00:00:00");
    EXPECT_TRUE(file.attributes.isEmpty());

    EXPECT_FALSE(ParseFileLine(">c:\\a/2/L", &file));
    EXPECT_FALSE(ParseFileLine("noslashes", &file));
}

TEST(LineFormats, HeaderIsParsed) {
    FolderHeader header;
    ASSERT_TRUE(ParseFolderHeader(">c:/1/L", &header));
    EXPECT_EQ(S(header.path), "c:");
    EXPECT_EQ(header.nodeIndex, 1);
    EXPECT_EQ(header.state, QChar('L'));

    ASSERT_TRUE(ParseFolderHeader(">c:\\windows\\system/37", &header));
    EXPECT_EQ(S(header.path), "c:\\windows\\system");
    EXPECT_EQ(header.nodeIndex, 37);
    EXPECT_TRUE(header.state.isNull());

    ASSERT_TRUE(ParseFolderHeader(">c:\\a/12/U", &header));
    EXPECT_EQ(header.state, QChar('U'));

    EXPECT_FALSE(ParseFolderHeader("readme.txt/U/1:01-01-01 00:00:00:", &header));
    EXPECT_FALSE(ParseFolderHeader(">c:", &header));
}

class SlotState : public ::testing::Test {
protected:
    TempPrefix prefix;
    void open(int n, const QString& key) {
        Slot(n).WindowKey = key;
        OpenDriveCount = n;
    }
};

TEST_F(SlotState, ResetLeavesAProgramThatHasJustStarted) {
    open(1, "Tree structure of c:");
    open(2, "Tree structure of d:");
    Slot(2).Lines = {">d:/1/L", ""};
    Slot(2).LineCount = 1;
    CurrentSlot = 2;
    LastError = 53;
    AbortFlag = -1;
    Settings[3] = QString("slow");

    ResetProgramState();
    EXPECT_EQ(OpenDriveCount, 0);
    EXPECT_EQ(CurrentSlot, 1);
    EXPECT_EQ(LastError, 0);
    EXPECT_EQ(AbortFlag, 0);
    EXPECT_FALSE(Settings[3].isValid());
    EXPECT_EQ(S(Slot(1).FileSpec), "*.*");
    EXPECT_TRUE(Slot(2).WindowKey.isEmpty());
    EXPECT_EQ(Slot(2).LineCount, 0);
    EXPECT_EQ(Slot(2).Lines, QStringList{QString()});
    EXPECT_EQ(Slot(2).FocusPane, 1);
}

TEST_F(SlotState, FormNumberComesFromTheCaption) {
    QWidget window;
    window.setWindowTitle("Tree structure of d: [data]");
    // Being opened: not yet in any slot, so it gets the next one.
    EXPECT_EQ(GetFormNumber(&window), 1);

    open(1, "Tree structure of c:");
    open(2, "Tree structure of d: [data]");
    open(3, "Tree structure of e:");
    EXPECT_EQ(GetFormNumber(&window), 2);
    EXPECT_EQ(GetFormNumberForCaption("Tree structure of e:"), 3);
    EXPECT_EQ(GetFormNumberForCaption("Tree structure of f:"), 4);

    // Slots above the open ones are never matched, even with an old key.
    Slot(5).WindowKey = "Tree structure of f:";
    EXPECT_EQ(GetFormNumberForCaption("Tree structure of f:"), 4);

    open(4, "Tree structure of f:");
    open(5, "Tree structure of g:");
    EXPECT_EQ(GetFormNumberForCaption("Tree structure of g:"), 5);
    EXPECT_EQ(GetFormNumberForCaption("Tree structure of h:"), 0);
}

TEST_F(SlotState, DriveIsOpenOnlyInAnOpenWindow) {
    open(1, "Tree structure of c: [d: backup]");
    open(2, "Tree structure of e:");
    Slot(3).WindowKey = "Tree structure of f:";   // closed window's leftover
    EXPECT_TRUE(IsDriveOpen("c:"));
    EXPECT_TRUE(IsDriveOpen("e:"));
    EXPECT_FALSE(IsDriveOpen("d:"));
    EXPECT_FALSE(IsDriveOpen("f:"));
    EXPECT_FALSE(IsDriveOpen(""));
}

class FileFields : public SlotState {
protected:
    QString root;
    void SetUp() override { root = prefix.addDrive('c'); }
    void file(const QString& name, const QByteArray& bytes, const QDateTime& stamp) {
        prefix.writeFile("c:\\" + name, bytes);
        QFile f(root + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
};

TEST_F(FileFields, FileLineReadsTheDiskNow) {
    Settings[6] = QString("dd-mm-yy");
    file("night.txt", "12345", Midnight);
    file("late.dat", QByteArray(70000, 'x'), Evening);
    ASSERT_EQ(::chmod(QFile::encodeName(root + "/late.dat").constData(), 0444), 0);

    DriveSlot slot = SlotWith({">c:/1/L", "", ""});
    SetFileLine(slot, "night.txt", 1, "c:");
    SetFileLine(slot, "late.dat", 2, "c:");
    FileLine night, late;
    ASSERT_TRUE(ParseFileLine(slot.Lines[1], &night));
    ASSERT_TRUE(ParseFileLine(slot.Lines[2], &late));
    EXPECT_EQ(S(night.name), "night.txt");
    EXPECT_EQ(night.tag, QChar('U'));
    EXPECT_EQ(night.size, 5);
    EXPECT_EQ(S(night.dateTime), "15-03-97 00:00:00");
    EXPECT_EQ(late.size, 70000);
    EXPECT_EQ(S(late.dateTime), "28-11-04 23:59:58");
    EXPECT_TRUE(late.attributes.startsWith('R')) << S(late.attributes);

    EXPECT_EQ(S(FileDateText("c:\\night.txt")), "15-03-97 00:00:00");
    EXPECT_EQ(AttributeLetters("c:\\late.dat"), late.attributes);
}

TEST_F(FileFields, MissingFileIsReportedThroughLastError) {
    DriveSlot slot = SlotWith({">c:/1/L", ""});
    SetFileLine(slot, "gone.txt", 1, "c:");
    EXPECT_EQ(LastError, err::FileNotFound);
    FileLine gone;
    ASSERT_TRUE(ParseFileLine(slot.Lines[1], &gone));
    EXPECT_EQ(S(gone.name), "gone.txt");

    LastError = 0;
    EXPECT_TRUE(FileDateText("c:\\gone.txt").isEmpty());
    EXPECT_NE(LastError, 0);
}
