#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>
#include "fileops/errors.h"
#include "fixture.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/files.h"

namespace {

class ErrorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        c = prefix.addDrive('c');
        d = prefix.addDrive('d');
        QDir().mkpath(c + "/windows");
    }
    TempPrefix prefix;
    QString c, d;
};

TEST(ErrorTable, EveryCodeHasItsFixedMessage) {
    const std::pair<int, const char*> table[] = {
        {53, "File not found"},
        {57, "Input/output error on specified drive"},
        {58, "File already exists"},
        {62, "Internal error opening file"},
        {64, "Bad file name"},
        {67, "Too many files"},
        {68, "Disk not ready"},
        {70, "Access denied / write-protected disk"},
        {71, "Disk not ready"},
        {75, "The specified path conflicts with an existing file / folder name"},
        {76, "Can't access specified drive / path"},
        {1000, "Disk has been changed"},
        {0, "Undefined error ocurred"},
        {61, "Undefined error ocurred"},
        {-1, "Undefined error ocurred"},
    };
    for (const auto& [code, text] : table) EXPECT_EQ(ErrorMessage(ErrorCode(code)), text) << code;
}

TEST(ErrorTable, ShowFileErrorShowsTheMessageAndClearsLastError) {
    TempPrefix prefix;
    ScriptedPrompter prompts;
    prompts.expect("Disk not ready", PromptAnswer::Ok, "Error");
    LastError = 71;
    ShowFileError(71);
    EXPECT_EQ(LastError, 0);
}

TEST(ErrorTable, InvalidCharactersMessageEndsInTwoBlanksAndAQuote) {
    EXPECT_TRUE(InvalidCharactersMessage.endsWith("?  \""));
    EXPECT_TRUE(InvalidCharactersMessage.startsWith("Invalid characters in file / path, such as : <  /  >  |  :  *  \\"));
    TempPrefix prefix;
    ScriptedPrompter prompts;
    prompts.expect(InvalidCharactersMessage, PromptAnswer::Ok, "Error");
    ShowInvalidCharacters();
}

TEST_F(ErrorsTest, FileExistsTellsFilesFromFoldersAndMissingPaths) {
    prefix.writeFile("d:\\a.txt", "x");
    QDir().mkpath(d + "/sub");
    LastError = 99;
    EXPECT_TRUE(FileExists("d:\\a.txt"));
    EXPECT_EQ(LastError, 0);
    EXPECT_TRUE(FileExists("D:\\A.TXT"));
    LastError = 99;
    EXPECT_FALSE(FileExists("d:\\sub"));
    EXPECT_EQ(LastError, 0);
    EXPECT_FALSE(FileExists("d:\\nothere.txt"));
    EXPECT_EQ(LastError, 53);
    EXPECT_FALSE(FileExists("d:\\nofolder\\x.txt"));
    EXPECT_EQ(LastError, 76);
}

TEST_F(ErrorsTest, TestDriveReportsMissingAndNotReadyDrivesAndKeepsTheTestedDriveCurrent) {
    prefix.linkDrive('q', prefix.base() + "/gone");
    EXPECT_EQ(TestDrive("d:\\x"), 0);
    EXPECT_EQ(platform::CurrentDrive(), "d:");
    EXPECT_EQ(TestDrive("q:"), 71);
    EXPECT_EQ(LastError, 71);
    EXPECT_EQ(TestDrive("m:"), 68);
    EXPECT_EQ(LastError, 68);
    // A failed test leaves the Windows folder's drive current.
    EXPECT_EQ(platform::CurrentDrive(), "c:");
}

TEST_F(ErrorsTest, TestWritableLeavesNoProbeBehind) {
    EXPECT_EQ(TestWritable("d:"), 0);
    EXPECT_EQ(LastError, 0);
    EXPECT_TRUE(QDir(d).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST_F(ErrorsTest, TestWritableOnAFolderInThePlaceOfTheProbeIsAccessDenied) {
    // The probe name taken by a folder makes creating it a path/file conflict,
    // which the probe reports as a write-protected disk.
    QDir().mkpath(d + QString::fromUtf8("/k56f5432.h\u00f18"));
    EXPECT_EQ(TestWritable("d:"), 70);
    EXPECT_TRUE(QFileInfo(d + QString::fromUtf8("/k56f5432.h\u00f18")).isDir());
}

TEST_F(ErrorsTest, TestWritableOnAReadOnlyDrive) {
    if (geteuid() == 0) {
        // Root writes through permission bits; a read-only bind mount is the real thing.
        const QString ro = prefix.base() + "/ro";
        QDir().mkpath(ro);
        prefix.linkDrive('r', ro);
        // The probe needs a read-only file system: a child mounts one in a
        // private mount namespace and runs the probe there.
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (unshare(CLONE_NEWNS) != 0) _exit(2);
            if (system(QString("mount --make-rprivate / && mount -t tmpfs -o ro,size=64k none '%1'")
                           .arg(ro).toLocal8Bit()) != 0)
                _exit(3);
            _exit(TestWritable("r:") == 70 ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) >= 2) GTEST_SKIP() << "no private mount namespace here to mount a read-only drive as root";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    } else {
        QFile::setPermissions(d, QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_EQ(TestWritable("d:"), 70);
        QFile::setPermissions(d, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST_F(ErrorsTest, IsFileInUseOnlyForAFileAnotherHolderLocked) {
    prefix.writeFile("d:\\locked.dat", "data");
    prefix.writeFile("d:\\free.dat", "data");
    EXPECT_FALSE(IsFileInUse("d:\\free.dat"));
    EXPECT_EQ(LastError, 0);
    const int fd = ::open(QFile::encodeName(d + "/locked.dat").constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(fcntl(fd, F_OFD_SETLK, &lock), 0);
    EXPECT_TRUE(IsFileInUse("d:\\locked.dat"));
    EXPECT_EQ(LastError, 70);
    ::close(fd);
    EXPECT_FALSE(IsFileInUse("d:\\locked.dat"));
    // A file that is gone is not in use, but the code says why it could not be opened.
    EXPECT_FALSE(IsFileInUse("d:\\gone.dat"));
    EXPECT_EQ(LastError, 53);
}

TEST(TextRoutines, NameFromPath) {
    EXPECT_EQ(NameFromPath("c:\\windows\\quorl.ini"), "quorl.ini");
    EXPECT_EQ(NameFromPath("c:\\a.b"), "a.b");
    EXPECT_EQ(NameFromPath("a:\\"), "a:\\");
    EXPECT_EQ(NameFromPath("c:\\x\\"), "");
}

TEST(TextRoutines, ReplaceFirstKeepsWhatFollowsAndReplacesOnlyOnce) {
    QString t = "ab.c";
    ReplaceFirst(t, "ab.", "x", 1);
    EXPECT_EQ(t, "xc");
    t = "c:\\a\\c:\\a";
    ReplaceFirst(t, "c:\\a", "d:\\b", 1);
    EXPECT_EQ(t, "d:\\b\\c:\\a");
    t = "c:\\a\\c:\\a";
    ReplaceFirst(t, "c:\\a", "z", 2);
    EXPECT_EQ(t, "c:\\a\\z");
    t = "ab.c";
    ReplaceFirst(t, "c", "x", 5);   // start past the end
    EXPECT_EQ(t, "ab.c");
    ReplaceFirst(t, "c", "x", 4);   // start on the last character
    EXPECT_EQ(t, "ab.x");
    ReplaceFirst(t, "AB", "x", 1);  // exact case only
    EXPECT_EQ(t, "ab.x");
}

TEST(TextRoutines, ReplaceInListTouchesOnlyEntriesBelowCountThatContainTheText) {
    QStringList list{"c:\\a\\x", "c:\\b", "c:\\a", "c:\\a\\y"};
    ReplaceInList("c:\\a", "c:\\q", list, 3);
    EXPECT_EQ(list, QStringList({"c:\\q\\x", "c:\\b", "c:\\q", "c:\\a\\y"}));
}

TEST(TextRoutines, FitTextReturnsFittingTextUnchangedAndCutsOtherwise) {
    QLabel form;
    const int tpp = TwipsPerPixelX();
    const QString shortText = "abc";
    EXPECT_EQ(FitText(&form, shortText, 2000 * tpp), shortText);
    const QString longText(200, 'w');
    const int width = 100 * tpp + 25 * tpp;   // a limit of 100 pixels
    const QString fitted = FitText(&form, longText, width);
    ASSERT_TRUE(fitted.endsWith("..."));
    const QString prefixPart = fitted.chopped(3);
    const QFontMetrics m(form.font());
    // The prefix is just at or over the limit: one character less is under it.
    EXPECT_GE(m.horizontalAdvance(prefixPart) * tpp, 100 * tpp);
    EXPECT_LT(m.horizontalAdvance(prefixPart.chopped(1)) * tpp, 100 * tpp);
    EXPECT_TRUE(longText.startsWith(prefixPart));
}

TEST_F(ErrorsTest, SetAttributeLettersReplacesAllAttributes) {
    prefix.writeFile("d:\\f.txt", "x");
    SetAttributeLetters("d:\\f.txt", "  r h ");
    int a = 0;
    ASSERT_EQ(platform::GetAttributes("d:\\f.txt", &a), 0);
    EXPECT_EQ(a & (platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::System | platform::attr::Archive),
              platform::attr::ReadOnly | platform::attr::Hidden);
    SetAttributeLetters("d:\\f.txt", "A");
    ASSERT_EQ(platform::GetAttributes("d:\\f.txt", &a), 0);
    EXPECT_EQ(a & (platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::System | platform::attr::Archive),
              platform::attr::Archive);
    // A missing file is left alone with the reason in LastError.
    SetAttributeLetters("d:\\none.txt", "R");
    EXPECT_EQ(LastError, 53);
}

TEST(Prompter, ScriptedAnswersReachTheCaller) {
    ScriptedPrompter prompts;
    prompts.expect("Overwrite ?", PromptAnswer::Yes, "Question").expect("Again ?", PromptAnswer::No);
    EXPECT_TRUE(AskYesNo("Overwrite ?", "Question"));
    EXPECT_FALSE(AskYesNo("Again ?", "Question"));
    EXPECT_TRUE(prompts.done());
}

}  // namespace
