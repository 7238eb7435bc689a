// Mapping drive letters to host folders: the rules, the suggestions and the Map drives dialog.
#include <QFileDialog>
#include <QFileInfo>
#include <unistd.h>
#include "../shell/shell_fixture.h"
#include "drives/drivemap.h"
#include "drives/frmMap.h"
#include "platform/curdir.h"
#include "platform/prefix.h"

namespace {

QString Made(const QString& path, bool folder = true) {
    if (folder) {
        EXPECT_TRUE(QDir().mkpath(path));
    } else {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    }
    return path;
}

QString LinkTarget(const QString& link) { return QFileInfo(link).isSymLink() ? QFileInfo(link).symLinkTarget() : QString(); }

// Every letter free but those given.
QList<MappedDrive> MapOf(std::initializer_list<std::pair<char, QString>> used) {
    QList<MappedDrive> map;
    for (char c = 'a'; c <= 'z'; ++c) map.append({QChar(c), QString()});
    for (const auto& [letter, folder] : used) map[letter - 'a'].folder = folder;
    return map;
}

TEST(DriveMapRules, SuggestionsTakeFreeLettersAndBadInputIsRefusedWithItsReason) {
    QTemporaryDir dir;
    const QString base = QFileInfo(dir.path()).canonicalFilePath();
    const DesktopPlaces places{Made(base + "/home/ann"), {base + "/media/ann", base + "/run/media/ann"},
                               base + "/gvfs"};
    const QString stick = Made(base + "/media/ann/STICK"), cd = Made(base + "/run/media/ann/CD");
    const QString share = Made(base + "/gvfs/smb-share:server=nas,share=music");
    Made(base + "/media/ann/notes.txt", false);   // a file is no medium
    const QString file = Made(base + "/home/ann/a.txt", false);

    // CD is mapped already; the home folder takes h:, the others the first free letters from d:.
    auto map = MapOf({{'c', base}, {'d', cd}, {'z', "/"}});
    QStringList lines;
    for (const SuggestedFolder& s : SuggestFolders(places, map)) lines << SuggestionLine(s);
    EXPECT_EQ(lines, QStringList({"h:  " + places.home + "  (home folder)", "e:  " + stick + "  (removable medium)",
                                  "f:  " + share + "  (network share)"}));
    // With h: taken, the home folder takes the next free letter too.
    map[7].folder = base + "/elsewhere";
    QString letters;
    for (const SuggestedFolder& s : SuggestFolders(places, map)) letters += s.letter;
    EXPECT_EQ(letters, "efg");

    const struct { MapAction action; char letter; QString folder; QString problem; } cases[] = {
        {MapAction::Add, 'e', stick, ""},
        {MapAction::Add, 'd', stick, "Drive d: already exists"},
        {MapAction::Add, 'e', base + "/nowhere", "Folder not found"},
        {MapAction::Add, 'e', "media/ann/STICK", "Folder not found"},
        {MapAction::Add, 'e', "", "Folder not found"},
        {MapAction::Add, 'e', file, "The specified path is a file, not a folder"},
        {MapAction::Change, 'd', file, "The specified path is a file, not a folder"},
        {MapAction::Change, 'd', stick, ""},
        {MapAction::Change, 'e', stick, "Drive e: doesn't exist"},
        {MapAction::Change, 'c', stick, "Can't remove / change drive c:"},
        {MapAction::Remove, 'z', "", "Can't remove / change drive z:"},
        {MapAction::Remove, 'd', "", ""},
        {MapAction::Remove, 'q', "", "Drive q: doesn't exist"},
        {MapAction::Log, 'c', "", ""},
        {MapAction::Log, 'e', "", "Drive e: doesn't exist"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapProblemText(CheckMapping(c.action, map, QChar(c.letter), c.folder), QChar(c.letter)), c.problem)
            << int(c.action) << c.letter << c.folder.toStdString();
}

// The whole program with drives d: and k: open (k: active); the dialog works on
// the real drive map.
class MapDrivesTest : public ShellTest {
protected:
    MapDrivesTest() : ShellTest(false) {}
    void SetUp() override {
        ShellTest::SetUp();
        d = drive('d');
        Made(d + "/keep.txt", false);
        drive('k');
        ASSERT_TRUE(StartWithDrive(main, "d:"));
        LogDrive("k:");
        ASSERT_EQ(CurrentDriveSlot().Drive, "k:");
    }
    void TearDown() override {
        delete MapForm();
        ShellTest::TearDown();
    }
    QString link(char letter) const { return LinkTarget(prefix.prefix() + "/dosdevices/" + letter + ":"); }

    QString d;
};

TEST_F(MapDrivesTest, LettersAreAddedChangedRemovedAndLoggedWhileTheFoldersStayAsTheyAre) {
    const QString base = QFileInfo(prefix.base()).canonicalFilePath();
    const QString music = Made(base + "/music/x"), stick = Made(base + "/media/STICK"), home = Made(base + "/ann");
    const QString song = Made(base + "/music/song.mp3", false);
    Made(prefix.prefix() + "/dosdevices/g:");   // a real folder standing as a drive
    const QStringList devicesBefore = QDir(prefix.prefix() + "/dosdevices").entryList(QDir::AllEntries | QDir::System);
    ScriptedPrompter prompts;
    ScriptedForms forms;
    forms.expect("frmMap", [&](QWidget* form) {
        auto* m = static_cast<frmMap*>(form);
        EXPECT_EQ(Slot(3).FocusPane, Pane::Dialog) << "the drive window's keys wait while the dialog is up";
        ASSERT_EQ(m->lstDrives->count(), 26);
        EXPECT_EQ(m->lstDrives->item(3)->text(), "d:  " + d);
        EXPECT_EQ(m->lstDrives->item(4)->text(), "e:");
        EXPECT_EQ(m->Letter(), 'e') << "the first free letter";
        auto press = [](QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); };

        // Bad input: a message each, and the drive map stays as it was.
        const struct { int row; QString folder; QPushButton* button; QString message; } refused[] = {
            {4, song, m->btnAdd, "The specified path is a file, not a folder"},
            {3, music, m->btnAdd, "Drive d: already exists"},
            {2, music, m->btnRemove, "Can't remove / change drive c:"},
            {6, music, m->btnRemove, "Access denied / write-protected disk"},
        };
        for (const auto& r : refused) {
            m->lstDrives->setCurrentRow(r.row);
            m->txtFolder->setText(r.folder);
            prompts.expect(r.message, PromptAnswer::Ok, "Error");
            press(r.button);
        }
        EXPECT_EQ(QDir(prefix.prefix() + "/dosdevices").entryList(QDir::AllEntries | QDir::System), devicesBefore);
        EXPECT_TRUE(QFileInfo(prefix.prefix() + "/dosdevices/g:").isDir());

        // Added by typing; changed through the folder dialog; the current folder
        // of the drive starts again at its root.
        m->lstDrives->setCurrentRow(4);
        m->txtFolder->setText(base + "/music");
        QTest::keyClick(m->txtFolder, Qt::Key_Return);
        EXPECT_EQ(link('e'), base + "/music");
        EXPECT_EQ(m->lstDrives->item(4)->text(), "e:  " + base + "/music");
        ASSERT_EQ(platform::ChangeFolder("e:\\x"), 0);
        forms.expect("cmDlg", [&](QWidget* dialog) {
            static_cast<QFileDialog*>(dialog)->selectFile(stick);
            static_cast<QDialog*>(dialog)->accept();
        });
        press(m->btnBrowse);
        EXPECT_EQ(m->txtFolder->text(), stick);
        press(m->btnChange);
        EXPECT_EQ(link('e'), stick);
        EXPECT_EQ(platform::CurrentFolder('e'), "e:");

        // A suggestion brings its folder and letter; the stick is mapped, so only the home folder is left.
        ASSERT_EQ(m->lstSuggested->count(), 1);
        QTest::keyClick(m->lstSuggested, Qt::Key_Return);
        EXPECT_EQ(m->Letter(), 'h');
        press(m->btnAdd);
        EXPECT_EQ(link('h'), home);

        // d: is open: its window closes first, with the user's leave.
        m->lstDrives->setCurrentRow(3);
        prompts.expect("Drive d: is open. Close its window ?", PromptAnswer::No, "Question");
        press(m->btnRemove);
        EXPECT_EQ(link('d'), d);
        prompts.expect("Drive d: is open. Close its window ?", PromptAnswer::Yes, "Question");
        press(m->btnRemove);
        EXPECT_FALSE(IsDriveOpen("d:"));
        EXPECT_EQ(OpenDriveCount, 2);
        EXPECT_FALSE(QFileInfo(prefix.prefix() + "/dosdevices/d:").isSymLink());
        EXPECT_EQ(m->lstDrives->item(3)->text(), "d:");

        // The new drive is logged at once.
        m->lstDrives->setCurrentRow(4);
        press(m->btnLog);
        EXPECT_FALSE(m->isVisible());
    });
    MapForm()->Places = {home, {base + "/media"}, QString()};
    ShowMapDrives();
    EXPECT_TRUE(QFileInfo::exists(d + "/keep.txt")) << "the folder of a removed drive is never touched";
    EXPECT_TRUE(QFileInfo::exists(song));
    ASSERT_EQ(OpenDriveCount, 3);
    EXPECT_EQ(Slot(2).Drive + Slot(3).Drive, "k:e:");
    EXPECT_EQ(Slot(2).FocusPane, Pane::Tree) << "k: moved down a slot and has its pane back";
    EXPECT_EQ(CurrentDriveSlot().Drive, "e:");
}

}  // namespace
