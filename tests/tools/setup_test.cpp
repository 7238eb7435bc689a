// The setup program's prefix: what a fresh run makes, what a second run leaves
// alone, and what it repairs.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include "setup.h"

namespace {

QString ReadLink(const QString& path) {
    char buf[4096];
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), buf, sizeof buf - 1);
    return n < 0 ? QString() : QFile::decodeName(QByteArray(buf, int(n)));
}

// True for a dangling link too.
bool EntryExists(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool IsLink(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

void Link(const QString& target, const QString& path) {
    QFile::remove(path);
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0)
        << path.toStdString();
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
    f.close();
    if (executable) f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
}

// Only the given folder is searched for the desktop's accessories while it lives.
class ScopedPath {
public:
    explicit ScopedPath(const QString& folder) : saved_(qgetenv("PATH")) { qputenv("PATH", QFile::encodeName(folder)); }
    ~ScopedPath() { qputenv("PATH", saved_); }

private:
    QByteArray saved_;
};

// A temporary machine: a prefix to set up, a built main program and tools
// folder, a home folder and an empty PATH folder for accessories.
class SetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        options.prefix = dir.path() + "/prefix";
        options.toolsFolder = dir.path() + "/bin";
        options.quorlBinary = options.toolsFolder + "/Quorl";
        options.login = "ann";
        options.home = dir.path() + "/home/ann";
        QDir().mkpath(options.home);
        WriteFile(options.quorlBinary, "#!/bin/sh\n", true);
        QDir().mkpath(pathFolder());
    }

    QString pathFolder() const { return dir.path() + "/path"; }
    QString c(const QString& rel) const { return options.prefix + "/drive_c/" + rel; }
    QString device(const QString& name) const { return options.prefix + "/dosdevices/" + name; }

    QStringList run() {
        ScopedPath path(pathFolder());
        QString error;
        QStringList made;
        EXPECT_TRUE(SetupPrefix(options, &error, &made)) << error.toStdString();
        return made;
    }

    QTemporaryDir dir;
    SetupOptions options;
};

TEST_F(SetupTest, FreshPrefixHoldsTheDrivesProgramFolderWindowsFolderAndUserFolder) {
    const QStringList made = run();

    EXPECT_EQ(ReadLink(device("c:")), "../drive_c");
    EXPECT_EQ(ReadLink(device("z:")), "/");
    EXPECT_TRUE(QFileInfo(c("")).isDir());

    EXPECT_TRUE(IsLink(c("quorl/Quorl.exe")));
    EXPECT_EQ(QFileInfo(c("quorl/Quorl.exe")).symLinkTarget(), options.quorlBinary);
    // The installed files are the project's data files, byte for byte.
    for (const QString name : {"readme.txt", "drive1.ico", "drive2.ico", "drive3.ico", "unknown.ico"}) {
        const QString source = QString(QUORL_DATA_DIR) + (name.endsWith(".ico") ? "/icons/" : "/") + name;
        EXPECT_EQ(Bytes(c("quorl/" + name)), Bytes(source)) << name.toStdString();
    }
    EXPECT_FALSE(Bytes(c("quorl/readme.txt")).isEmpty());

    EXPECT_TRUE(QFileInfo(c("windows/system")).isDir());
    EXPECT_EQ(Bytes(c("windows/quorl.ini")), DefaultSettingsText().toUtf8());
    EXPECT_FALSE(DefaultSettingsText().isEmpty());

    EXPECT_EQ(ReadLink(c("users/ann")), options.home);

    // The report names what was made, in the program's own terms.
    EXPECT_TRUE(made.filter("c:\\windows\\quorl.ini").size() == 1) << made.join("\n").toStdString();
    EXPECT_TRUE(made.filter("c:\\quorl\\Quorl.exe").size() == 1) << made.join("\n").toStdString();
}

TEST_F(SetupTest, DriveIconsAreDistinct32PixelImagesQtCanRead) {
    run();
    QList<QImage> images;
    for (const QString name : {"drive1", "drive2", "drive3", "unknown"}) {
        const QString path = c("quorl/" + name + ".ico");
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), "ico") << path.toStdString();
        QImage image;
        bool found32 = false;
        do {
            image = reader.read();
            ASSERT_FALSE(image.isNull()) << path.toStdString() << ": " << reader.errorString().toStdString();
            if (image.size() == QSize(32, 32)) {
                found32 = true;
                images << image.convertToFormat(QImage::Format_ARGB32);
            }
        } while (reader.jumpToNextImage());
        EXPECT_TRUE(found32) << path.toStdString();
    }
    ASSERT_EQ(images.size(), 4);
    for (int i = 0; i < images.size(); ++i)
        for (int j = i + 1; j < images.size(); ++j) EXPECT_NE(images[i], images[j]) << i << " and " << j;
}

TEST_F(SetupTest, ToolsAreLinkedOnlyOnceTheyAreBuilt) {
    WriteFile(options.toolsFolder + "/quorl-arj", "#!/bin/sh\n", true);
    WriteFile(options.toolsFolder + "/quorl-command", "#!/bin/sh\n", true);
    run();
    EXPECT_EQ(ReadLink(c("quorl/arj.exe")), options.toolsFolder + "/quorl-arj");
    EXPECT_EQ(ReadLink(c("command.com")), options.toolsFolder + "/quorl-command");
    EXPECT_FALSE(EntryExists(c("quorl/pkzip.exe")));
    EXPECT_FALSE(EntryExists(c("quorl/pkunzip.exe")));

    WriteFile(options.toolsFolder + "/quorl-pkzip", "#!/bin/sh\n", true);
    WriteFile(options.toolsFolder + "/quorl-pkunzip", "#!/bin/sh\n", true);
    run();
    EXPECT_EQ(ReadLink(c("quorl/pkzip.exe")), options.toolsFolder + "/quorl-pkzip");
    EXPECT_EQ(ReadLink(c("quorl/pkunzip.exe")), options.toolsFolder + "/quorl-pkunzip");
}

TEST_F(SetupTest, SecondRunMakesNothingAndNeverOverwritesTheSettingsFile) {
    run();
    const QByteArray edited = "[general]\r\nIgnore read only attribute=True\r\n";
    WriteFile(c("windows/quorl.ini"), edited);

    EXPECT_EQ(run(), QStringList());
    EXPECT_EQ(Bytes(c("windows/quorl.ini")), edited);

    // Whatever was lost comes back; the settings file only when it is gone.
    QFile::remove(c("quorl/readme.txt"));
    WriteFile(c("quorl/drive3.ico"), "broken");
    QDir(c("windows/system")).removeRecursively();
    const QStringList made = run();
    EXPECT_EQ(made.size(), 3) << made.join("\n").toStdString();
    EXPECT_EQ(Bytes(c("quorl/readme.txt")), Bytes(QString(QUORL_DATA_DIR) + "/readme.txt"));
    EXPECT_EQ(Bytes(c("quorl/drive3.ico")), Bytes(QString(QUORL_DATA_DIR) + "/icons/drive3.ico"));
    EXPECT_TRUE(QFileInfo(c("windows/system")).isDir());
    EXPECT_EQ(Bytes(c("windows/quorl.ini")), edited);

    QFile::remove(c("windows/quorl.ini"));
    run();
    EXPECT_EQ(Bytes(c("windows/quorl.ini")), DefaultSettingsText().toUtf8());
}

TEST_F(SetupTest, SettingsFileFoundInAnotherLetterCaseIsKept) {
    WriteFile(c("Windows/QUORL.INI"), "mine");
    run();
    EXPECT_EQ(Bytes(c("Windows/QUORL.INI")), "mine");
    EXPECT_FALSE(QFileInfo::exists(c("windows")));
    EXPECT_TRUE(QFileInfo(c("Windows/system")).isDir());
}

TEST_F(SetupTest, DriveLinksTheUserAddedSurvive) {
    QDir().mkpath(options.prefix + "/dosdevices");
    const QString stick = dir.path() + "/stick";
    QDir().mkpath(stick);
    Link(stick, device("e:"));
    Link(dir.path() + "/no-disk", device("a:"));   // a drive without a disk
    Link(stick, device("z:"));                     // the user moved z: elsewhere

    run();
    run();
    EXPECT_EQ(ReadLink(device("e:")), stick);
    EXPECT_EQ(ReadLink(device("a:")), dir.path() + "/no-disk");
    EXPECT_EQ(ReadLink(device("z:")), stick);
    EXPECT_EQ(ReadLink(device("c:")), "../drive_c");
    EXPECT_EQ(QDir(options.prefix + "/dosdevices").entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(), 4);
}

TEST_F(SetupTest, MissingOrDanglingCLinkIsRepaired) {
    run();
    Link(dir.path() + "/gone", device("c:"));
    const QStringList made = run();
    EXPECT_EQ(ReadLink(device("c:")), "../drive_c");
    EXPECT_EQ(made.size(), 1) << made.join("\n").toStdString();

    QFile::remove(device("c:"));
    run();
    EXPECT_EQ(ReadLink(device("c:")), "../drive_c");
    EXPECT_TRUE(QFileInfo::exists(c("windows/quorl.ini")));
}

TEST_F(SetupTest, CPointedAtAnotherFolderGetsTheProgramFilesThere) {
    const QString other = dir.path() + "/other-c";
    QDir().mkpath(other);
    QDir().mkpath(options.prefix + "/dosdevices");
    Link(other, device("c:"));
    run();
    EXPECT_EQ(ReadLink(device("c:")), other);
    EXPECT_TRUE(QFileInfo::exists(other + "/windows/quorl.ini"));
    EXPECT_TRUE(IsLink(other + "/quorl/Quorl.exe"));
    EXPECT_FALSE(QFileInfo::exists(c("windows")));
}

TEST_F(SetupTest, StaleProgramLinkIsReplacedButACopiedProgramStays) {
    run();
    Link(dir.path() + "/old-build/Quorl", c("quorl/Quorl.exe"));
    run();
    EXPECT_EQ(ReadLink(c("quorl/Quorl.exe")), options.quorlBinary);

    // A link to another, still existing build is stale as well.
    const QString otherBuild = dir.path() + "/other-build/Quorl";
    WriteFile(otherBuild, "#!/bin/sh\n", true);
    Link(otherBuild, c("quorl/Quorl.exe"));
    run();
    EXPECT_EQ(ReadLink(c("quorl/Quorl.exe")), options.quorlBinary);

    QFile::remove(c("quorl/Quorl.exe"));
    WriteFile(c("quorl/Quorl.exe"), "a copy");
    run();
    EXPECT_FALSE(IsLink(c("quorl/Quorl.exe")));
    EXPECT_EQ(Bytes(c("quorl/Quorl.exe")), "a copy");

    // Without a built program the link is neither made nor touched.
    QFile::remove(c("quorl/Quorl.exe"));
    options.quorlBinary = dir.path() + "/nowhere/Quorl";
    run();
    EXPECT_FALSE(IsLink(c("quorl/Quorl.exe")));
}

TEST_F(SetupTest, AccessoriesAreLinkedToTheFirstProgramFoundOnThePath) {
    WriteFile(pathFolder() + "/xedit", "#!/bin/sh\n", true);
    WriteFile(pathFolder() + "/mousepad", "#!/bin/sh\n", true);
    WriteFile(pathFolder() + "/xcalc", "#!/bin/sh\n", true);
    WriteFile(pathFolder() + "/gedit", "not executable");
    run();
    EXPECT_EQ(ReadLink(c("windows/notepad.exe")), pathFolder() + "/mousepad");
    EXPECT_EQ(ReadLink(c("windows/calc.exe")), pathFolder() + "/xcalc");
    EXPECT_FALSE(EntryExists(c("windows/write.exe")));
    EXPECT_FALSE(EntryExists(c("windows/pbrush.exe")));

    // The user's own choice stays; a launcher whose program is gone follows the PATH.
    Link(pathFolder() + "/xedit", c("windows/notepad.exe"));
    Link(dir.path() + "/uninstalled/galculator", c("windows/calc.exe"));
    QFile::remove(pathFolder() + "/xcalc");
    WriteFile(pathFolder() + "/kcalc", "#!/bin/sh\n", true);
    run();
    EXPECT_EQ(ReadLink(c("windows/notepad.exe")), pathFolder() + "/xedit");
    EXPECT_EQ(ReadLink(c("windows/calc.exe")), pathFolder() + "/kcalc");
}

TEST_F(SetupTest, UserFolderLinksTheHomeAndIsRepairedWhenDangling) {
    run();
    EXPECT_EQ(ReadLink(c("users/ann")), options.home);
    Link(dir.path() + "/old-home", c("users/ann"));
    run();
    EXPECT_EQ(ReadLink(c("users/ann")), options.home);

    // Without a login there is no user folder, but c:\users is still made.
    options.login.clear();
    QDir(c("users")).removeRecursively();
    run();
    EXPECT_TRUE(QFileInfo(c("users")).isDir());
    EXPECT_TRUE(QDir(c("users")).isEmpty());
}

TEST_F(SetupTest, FailsWithAMessageWhenThePrefixCannotBeMade) {
    WriteFile(dir.path() + "/file", "x");
    options.prefix = dir.path() + "/file/prefix";
    QString error;
    EXPECT_FALSE(SetupPrefix(options, &error));
    EXPECT_TRUE(error.contains(options.prefix)) << error.toStdString();

    options.prefix = dir.path() + "/prefix";
    WriteFile(device("c:"), "not a link");
    EXPECT_FALSE(SetupPrefix(options, &error));
    EXPECT_TRUE(error.contains("c:")) << error.toStdString();
}

}  // namespace
