#include <QDateTime>
#include <QWidget>
#include <gtest/gtest.h>
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

bool Insert(QSet<QString>& set, const QString& value) {
    const qsizetype before = set.size();
    set.insert(value);
    return set.size() > before;
}

}  // namespace

TEST(FolderLines, FindMatchesTheWholePathOfHeadersInTheUsedPartOnly) {
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
    // A line left behind in the spare entry is not part of the picture.
    GrowLines(slot, -1);
    slot.Lines[4] = ">c:\\a\\b/4";
    EXPECT_EQ(FindFolderLine(slot, "c:\\a\\b", 0), -1);
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

TEST(FolderLines, MarkingNeverDoublesTheSuffix) {
    DriveSlot slot = SlotWith({">c:/1", ">c:\\a/2/U", ">c:\\b/3/L", ">c:\\l/4"});
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
    EXPECT_TRUE(IsFolderLogged(slot, "c:\\a"));
    // A folder named l is not logged because its name ends in "l".
    EXPECT_FALSE(IsFolderLogged(slot, "c:\\l"));

    MarkFolderUnlogged(slot, "c:\\a", &position);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(S(slot.Lines[1]), ">c:\\a/2/U");
    MarkFolderUnlogged(slot, "c:\\a", &position);
    EXPECT_EQ(S(slot.Lines[1]), ">c:\\a/2/U");
    EXPECT_TRUE(IsFolderUnlogged(slot, "c:\\a"));
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

// A big picture edited the ways logging, unlogging and renaming do, in a
// mixed order: after every step each folder is found where a scan of the
// lines finds it, through its hint and through the index alike.
TEST(FolderLines, LookupsAgreeWithAScanThroughHundredsOfInsertionsRemovalsAndRenames) {
    DriveSlot slot;
    QStringList paths;
    for (int i = 0; i < 200; ++i) {
        paths << QString("c:\f%1").arg(i);
        AddFolderLine(slot, paths.last(), i + 1, HeaderState::Unlogged);
    }
    const auto scan = [&](const QString& path) {
        const QString header = '>' + path + '/';
        for (int i = 0; i < slot.LineCount; ++i)
            if (slot.Lines[i].startsWith(header)) return i;
        return -1;
    };
    const auto check = [&](int step) {
        QSet<QString> indexed;
        for (int i = 0; i < slot.IndexCount; ++i)
            ASSERT_TRUE(Insert(indexed, EntryPath(slot.FolderIndex[i]))) << "one entry per folder, step " << step;
        for (const QString& path : paths) {
            ASSERT_EQ(FindFolderLine(slot, path, 0), scan(path)) << S(path) << " after step " << step;
            ASSERT_EQ(LookupFolderLine(slot, path), scan(path)) << S(path) << " after step " << step;
        }
    };
    quint32 seed = 7;
    const auto next = [&](int below) { return int((seed = seed * 1103515245u + 12345u) >> 8) % below; };
    for (int step = 0; step < 800; ++step) {
        const QString path = paths[next(paths.size())];
        int h = 0;
        switch (next(5)) {
        case 0:   // a folder's files read in a batch: the index is refreshed at its end
        case 1:
            MarkFolderLogged(slot, path, &h);
            InsertFileLines(slot, h, QStringList(1 + next(3), "f.txt/U/1:01-01-01 00:00:00:"), step % 3 != 0);
            if (step % 3 == 0) RefreshFolderIndex(slot);
            break;
        case 2:
            MarkFolderUnlogged(slot, path, &h);
            RemoveIndexEntry(slot, path);
            RemoveFileLines(slot, h);
            RefreshFolderIndex(slot);
            break;
        case 3: {
            const QString renamed = path + "r";
            RenameFolderInPicture(slot, path, renamed);
            paths[paths.indexOf(path)] = renamed;
            break;
        }
        default:
            EXPECT_EQ(IsFolderLogged(slot, path), slot.Lines[scan(path)].endsWith("/L"));
        }
        check(step);
    }
}

TEST(LineFormats, FileLineIsBuiltAndParsedBackWithMidnightAndNoAttributes) {
    ResetProgramState();
    const QDateTime midnight(QDate(1997, 3, 15), QTime(0, 0, 0));
    EXPECT_EQ(S(FormatFileDate(midnight, "mm-dd-yy")), "03-15-97 00:00:00");
    EXPECT_EQ(S(FormatFileDate(QDateTime(QDate(2005, 12, 31), QTime(23, 59, 58)), " DD-MM-YY")), "31-12-05 23:59:58");
    EXPECT_EQ(S(FormatFileDate(midnight, "dd-mm-yy")), "15-03-97 00:00:00");
    // Not configured or not allowed: month first.
    EXPECT_EQ(S(FormatFileDate(midnight, "")), "03-15-97 00:00:00");
    EXPECT_EQ(S(FormatFileDate(midnight, "yy-mm-dd")), "03-15-97 00:00:00");

    Settings[setting::DateFormat] = QString("mm-dd-yy");
    const QDateTime stamp(QDate(1997, 3, 15), QTime(10, 4, 0));
    // The name as the list spells it: one of a case pair keeps its capitals.
    const QString line = MakeFileLine("README.TXT", 1024, stamp, platform::attr::ReadOnly | platform::attr::Archive);
    EXPECT_EQ(S(line), "README.TXT/U/1024:03-15-97 10:04:00:RA");
    FileLine file;
    ASSERT_TRUE(ParseFileLine(line, &file));
    EXPECT_EQ(S(file.name), "README.TXT");
    EXPECT_EQ(file.tag, QChar('U'));
    EXPECT_EQ(file.size, 1024);
    EXPECT_EQ(S(file.dateTime), "03-15-97 10:04:00");
    EXPECT_EQ(S(file.attributes), "RA");

    Settings[setting::DateFormat] = QString("dd-mm-yy");
    EXPECT_EQ(S(MakeFileLine("a", 0, midnight, 0)), "a/U/0:15-03-97 00:00:00:");
    ASSERT_TRUE(ParseFileLine("big.bin/T/3000000000:15-03-97 00:00:00:", &file));
    EXPECT_EQ(file.tag, QChar('T'));
    EXPECT_EQ(file.size, 3000000000LL);
    EXPECT_EQ(S(file.dateTime), "15-03-97 00:00:00");
    EXPECT_TRUE(file.attributes.isEmpty());
    EXPECT_FALSE(ParseFileLine(">c:\\a/2/L", &file));
}

// The idioms the rest of the program edits the picture through: a folder's
// lines end at the next header, a file line keeps its tag, size and date when
// renamed or given other attributes, and deleted lines leave at the end of a run.
TEST(LineFormats, FolderEndsRenamesAttributesTagsAndDeletedMarks) {
    DriveSlot slot = SlotWith({">c:/1/L", "a.txt/U/5:01-01-01 10:00:00:A", "b.txt/T/7:01-01-01 10:00:00:",
                               ">c:\\x/2/U", ">c:\\y/3/L", "c.txt/U/9:01-01-01 10:00:00:RH"});
    struct End { int header, end; };
    for (const End& e : {End{0, 3}, End{3, 4}, End{4, 6}})
        EXPECT_EQ(FolderLinesEnd(slot, e.header), e.end) << "header at " << e.header;
    EXPECT_EQ(TaggedFileNames(slot, 0), QSet<QString>{"b.txt"});

    QString line = slot.Lines[2];
    RenameFileLine(line, "new.txt");
    EXPECT_EQ(S(line), "new.txt/T/7:01-01-01 10:00:00:");
    SetFileLineAttributes(line, "RS");
    EXPECT_EQ(S(line), "new.txt/T/7:01-01-01 10:00:00:RS");
    EXPECT_EQ(S(FileTimeOf(line)), "10:00:00");
    EXPECT_EQ(S(MarkUntagged(line)), "new.txt/U/7:01-01-01 10:00:00:RS");
    EXPECT_EQ(S(MarkTagged(slot.Lines[1])), "a.txt/T/5:01-01-01 10:00:00:A");

    TagFilesNamed(slot, 4, {"c.txt"});
    EXPECT_TRUE(IsTagged(slot.Lines[5]));
    AddIndexEntry(slot, "c:\\y", 4);
    MarkDeleted(slot, 1);
    EXPECT_TRUE(IsDeleted(slot.Lines[1]));
    EXPECT_EQ(FolderLinesEnd(slot, 0), 3) << "a marked line keeps its place during the run";
    RemoveDeletedLines(slot);
    EXPECT_EQ(slot.LineCount, 5);
    EXPECT_EQ(S(slot.Lines[1]), "b.txt/T/7:01-01-01 10:00:00:");
    EXPECT_TRUE(slot.FolderIndex.contains("c:\\y/3")) << "the index follows the lines that moved up";

    int file = 0, header = 0;
    ASSERT_TRUE(GlobalLinePositions(ViewEntry("c.txt", 3, 4), &file, &header));
    EXPECT_EQ(file, 4);
    EXPECT_EQ(header, 3);
}

TEST(SlotState, FormNumberComesFromTheCaptionOfFiveWindows) {
    TempPrefix prefix;
    auto open = [](int n, const QString& key) {
        Slot(n).WindowKey = key;
        OpenDriveCount = n;
    };
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
