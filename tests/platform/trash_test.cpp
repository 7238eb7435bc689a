// The desktop's trash as a file manager reads it back: where a file lands, the
// information file that tells where it came from, and when no trash may be used.
#include <QRegularExpression>
#include <QUrl>
#include "helpers.h"
#include "platform/trash.h"

using namespace platform;
using namespace testhost;

namespace {

// The original path an information file records, or why it records none.
QString RecordedPath(const QString& infoFile) {
    const QByteArray info = ReadAll(infoFile);
    const QRegularExpression form("^\\[Trash Info\\]\nPath=([^\n]*)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$");
    const QRegularExpressionMatch m = form.match(QString::fromUtf8(info));
    return m.hasMatch() ? QUrl::fromPercentEncoding(m.captured(1).toUtf8()) : "not an information file: " + info;
}

TEST_F(PlatformTest, ADeletedFileWaitsInTheTrashOfItsFileSystemWithWhatRestoresIt) {
    const QString home = tp.base() + "/Trash";   // XDG_DATA_HOME is the prefix's base folder
    const QString docs = QDir(MakeHostFolder(d + "/docs")).canonicalPath();
    MakeHostFile(docs + "/Report 50%.txt", "report");
    ASSERT_EQ(SetAttributes("d:\\docs\\report 50%.txt", attr::ReadOnly | attr::Hidden | attr::Archive), 0);
    QString trashed;
    ASSERT_EQ(MoveToTrash("d:\\docs\\report 50%.txt", &trashed), 0);
    EXPECT_EQ(trashed, home + "/files/Report 50%.txt");
    EXPECT_FALSE(QFileInfo::exists(docs + "/Report 50%.txt"));
    EXPECT_EQ(ReadAll(trashed), "report");
    EXPECT_EQ(ModeOf(trashed) & 0222, 0u) << "still read-only";
    if (userXattrsWork()) {
        EXPECT_EQ(RawDosAttrib(trashed), "0x22") << "still hidden";
    }
    EXPECT_EQ(RecordedPath(home + "/info/Report 50%.txt.trashinfo"), docs + "/Report 50%.txt");
    // A second file of that name keeps the first.
    MakeHostFile(docs + "/Report 50%.txt", "again");
    ASSERT_EQ(MoveToTrash("d:\\docs\\report 50%.txt", &trashed), 0);
    EXPECT_EQ(trashed, home + "/files/Report 50%.2.txt");
    EXPECT_EQ(RecordedPath(home + "/info/Report 50%.2.txt.trashinfo"), docs + "/Report 50%.txt");
    EXPECT_EQ(ReadAll(home + "/files/Report 50%.txt"), "report");
    EXPECT_EQ(MoveToTrash("d:\\docs"), err::PathFileConflict) << "folders are not trashed";
    EXPECT_EQ(MoveToTrash("d:\\docs\\gone.txt"), err::FileNotFound);

    // A home trash that cannot be made: no trash, and the file stays where it was.
    ASSERT_TRUE(QDir(home).removeRecursively());
    MakeHostFile(home, "a file in the trash's place");
    MakeHostFile(docs + "/kept.txt", "kept");
    QDir::setCurrent(docs);
    EXPECT_EQ(MoveToTrash("d:\\docs\\kept.txt"), err::NoTrash);
    EXPECT_EQ(FolderNames(docs), QStringList({"kept.txt"})) << "nothing made where the program stands";
    EXPECT_EQ(ReadAll(home), "a file in the trash's place");

    // Another file system keeps its trash at its top; paths there start at the top.
    ScratchMount stick(d + "/stick", "tmpfs", "size=1m");
    REQUIRE_MOUNT(stick);
    const QString uid = QString::number(::geteuid());
    MakeHostFile(d + "/stick/notes/a.txt", "a");
    ASSERT_EQ(MoveToTrash("d:\\stick\\notes\\a.txt", &trashed), 0);
    EXPECT_EQ(trashed, d + "/stick/.Trash-" + uid + "/files/a.txt");
    EXPECT_EQ(RecordedPath(d + "/stick/.Trash-" + uid + "/info/a.txt.trashinfo"), "notes/a.txt");
    // An administrator's sticky .Trash holds a folder per user.
    MakeHostFolder(d + "/stick/.Trash");
    Chmod(d + "/stick/.Trash", 01777);
    MakeHostFile(d + "/stick/notes/b.txt", "b");
    ASSERT_EQ(MoveToTrash("d:\\stick\\notes\\b.txt", &trashed), 0);
    EXPECT_EQ(trashed, d + "/stick/.Trash/" + uid + "/files/b.txt");
    // A .Trash without the sticky bit, and a user's trash planted as a link, are not used.
    ASSERT_TRUE(QDir(d + "/stick/.Trash").removeRecursively() && QDir(d + "/stick/.Trash-" + uid).removeRecursively());
    MakeHostFolder(d + "/stick/.Trash/" + uid + "/files");
    MakeHostFolder(d + "/stick/.Trash/" + uid + "/info");
    MakeHostFolder(d + "/stick/public");
    ASSERT_EQ(::symlink("public", Enc(d + "/stick/.Trash-" + uid).constData()), 0);
    MakeHostFile(d + "/stick/notes/c.txt", "c");
    EXPECT_EQ(MoveToTrash("d:\\stick\\notes\\c.txt"), err::NoTrash);
    EXPECT_EQ(ReadAll(d + "/stick/notes/c.txt"), "c");
    EXPECT_EQ(FolderNames(d + "/stick/public"), QStringList());
}

}  // namespace
