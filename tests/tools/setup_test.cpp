// The prefix the setup program makes, keeps and repairs, and the settings file it installs.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <unistd.h>
#include "config/more.h"
#include "config/settings.h"
#include "fixture.h"
#include "model/slots.h"
#include "setup.h"

namespace {

QString ReadLink(const QString& path) {
    char buf[4096];
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), buf, sizeof buf - 1);
    return n < 0 ? QString() : QFile::decodeName(QByteArray(buf, int(n)));
}

void Link(const QString& target, const QString& path) {
    QFile::remove(path);
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) << path.toStdString();
}

void FakeProgram(const QString& folder, const QString& name) {
    WriteFile(folder + "/" + name, "#!/bin/sh\n");
    QFile::setPermissions(folder + "/" + name, QFile::permissions(folder + "/" + name) | QFile::ExeOwner);
}

// A temporary machine: a prefix, a built main program, a home folder, and an empty PATH (no host accessories).
class SetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        options = {.prefix = dir.path() + "/prefix", .quorlBinary = dir.path() + "/bin/Quorl",
                   .toolsFolder = dir.path() + "/bin", .login = "ann", .home = dir.path() + "/home/ann"};
        QDir().mkpath(options.home);
        WriteFile(options.quorlBinary, "#!/bin/sh\n");
        QFile::setPermissions(options.quorlBinary, QFile::permissions(options.quorlBinary) | QFile::ExeOwner);
    }
    QString c(const QString& rel) const { return options.prefix + "/drive_c/" + rel; }
    QString device(const QString& name) const { return options.prefix + "/dosdevices/" + name; }
    // Runs setup with only the given folder on the PATH (by default an empty one).
    QStringList run(const QString& pathFolder = QString()) {
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(pathFolder.isEmpty() ? dir.path() + "/empty-path" : pathFolder));
        QString error;
        QStringList made;
        EXPECT_TRUE(SetupPrefix(options, &error, &made)) << error.toStdString();
        qputenv("PATH", savedPath);
        return made;
    }

    QTemporaryDir dir;
    SetupOptions options;
};

TEST_F(SetupTest, FreshPrefixHoldsEveryItemAndASecondRunNeverOverwritesTheSettingsFile) {
    const QStringList made = run();
    EXPECT_EQ(ReadLink(device("c:")), "../drive_c");
    EXPECT_EQ(ReadLink(device("z:")), "/");
    EXPECT_TRUE(QFileInfo(c("quorl/Quorl.exe")).isSymLink());
    EXPECT_EQ(QFileInfo(c("quorl/Quorl.exe")).symLinkTarget(), options.quorlBinary);
    // The installed files are the project's data files, byte for byte.
    for (const QString name : {"readme.txt", "drive1.ico", "drive2.ico", "drive3.ico", "unknown.ico"}) {
        const QString source = QString(QUORL_DATA_DIR) + (name.endsWith(".ico") ? "/icons/" : "/") + name;
        EXPECT_EQ(Bytes(c("quorl/" + name)), Bytes(source)) << name.toStdString();
    }
    EXPECT_FALSE(Bytes(c("quorl/readme.txt")).isEmpty());
    EXPECT_TRUE(QFileInfo(c("windows/system")).isDir());
    EXPECT_EQ(Bytes(c("windows/quorl.ini")), DefaultSettingsText({}).toUtf8());
    EXPECT_EQ(ReadLink(c("users/ann")), options.home);
    EXPECT_EQ(ReadLink(device("h:")), options.home);
    // The report names what was made, in the program's own terms.
    EXPECT_EQ(made.filter("c:\\windows\\quorl.ini").size(), 1) << made.join("\n").toStdString();
    EXPECT_EQ(made.filter("c:\\quorl\\Quorl.exe").size(), 1) << made.join("\n").toStdString();

    const QByteArray edited = "[general]\r\nIgnore read only attribute=True\r\n";
    WriteFile(c("windows/quorl.ini"), edited);
    QFile::remove(device("h:"));   // the user's own drive map: h: stays removed
    EXPECT_EQ(run(), QStringList());
    EXPECT_FALSE(QFileInfo(device("h:")).isSymLink());
    EXPECT_EQ(Bytes(c("windows/quorl.ini")), edited);
    // Only a settings file that is gone is written again.
    QFile::remove(c("windows/quorl.ini"));
    run();
    EXPECT_EQ(Bytes(c("windows/quorl.ini")), DefaultSettingsText({}).toUtf8());
}

TEST_F(SetupTest, DriveLinksTheUserAddedSurviveAndAMissingOrDanglingCIsRepaired) {
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
    EXPECT_EQ(QDir(device("")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(), 4);

    Link(dir.path() + "/gone", device("c:"));
    const QStringList made = run();
    EXPECT_EQ(ReadLink(device("c:")), "../drive_c");
    EXPECT_EQ(made.size(), 1) << made.join("\n").toStdString();
    QFile::remove(device("c:"));
    run();
    EXPECT_EQ(ReadLink(device("c:")), "../drive_c");
    EXPECT_TRUE(QFileInfo::exists(c("windows/quorl.ini")));
}

TEST(DefaultSettings, SectionsInOrderWithCrLfLinesThatTheProgramReadsWithoutFallbacks) {
    const QString text = DefaultSettingsText({"c:\\windows\\notepad.exe", "C:\\Windows\\Write.exe"});
    EXPECT_TRUE(text.contains("\r\n.wri,Write document,c:\\windows\\write.exe\r\n"));
    EXPECT_FALSE(text.contains("pbrush.exe")) << "a line for a program that is not there";
    ASSERT_TRUE(text.endsWith("\r\n"));
    EXPECT_EQ(text.count('\n'), text.count("\r\n")) << "a line ends without CR";
    EXPECT_EQ(text.count('\r'), text.count("\r\n")) << "a CR stands alone";
    QStringList order;
    QMap<QString, QStringList> sections;   // lines of each section, empty ones kept
    for (const QString& line : text.chopped(2).split("\r\n"))
        (line.startsWith('[') ? order : sections[order.value(order.size() - 1)]) << line;
    ASSERT_EQ(order, QStringList({"[general]", "[compression]", "[fonts]", "[supportedfiletypes]", "[more]",
                                  "[associations]", "[desktop]"}));
    EXPECT_FALSE(sections.contains(QString())) << "text before the first section";
    for (int i = 0; i < order.size(); ++i) {
        const QStringList& body = sections[order[i]];
        const bool last = i == order.size() - 1;
        ASSERT_FALSE(body.isEmpty()) << i;
        // One empty line closes each section but the last; none stands inside one.
        EXPECT_EQ(body.filter(QRegularExpression("^\\s*$")).size(), last ? 0 : 1) << i;
        EXPECT_EQ(body.last().isEmpty(), !last) << i;
    }

    // Installed, every value reads as written; one that failed its check would have taken its fallback.
    TempPrefix prefix;
    prefix.setup();
    ScriptedPrompter prompts;   // any message would mean the file was refused
    // The setting sections hold 8, 8 and 4 lines (and the end mark of a section).
    const QStringList general = ReadSection("[general]"), compression = ReadSection("[compression]"),
                      fonts = ReadSection("[fonts]");
    ASSERT_EQ(QList<qsizetype>({general.size(), compression.size(), fonts.size()}), QList<qsizetype>({9, 9, 5}));
    const QStringList values = general.mid(0, 8) + compression.mid(0, 8) + fonts.mid(0, 4);
    ASSERT_TRUE(LoadSettings());
    for (int index = 1; index <= 20; ++index)
        EXPECT_EQ(Settings[index].toString().toLower(), ValueOf(values[index - 1])) << index;
    EXPECT_EQ(Settings[4].typeId(), QMetaType::Bool);
    // Every setting beyond the first sections has its line, and a fresh file deletes to the trash.
    for (const MoreSetting& setting : MoreSettings())
        EXPECT_EQ(sections["[more]"].filter(QRegularExpression("^" + setting.name + "=")).size(), 1)
            << setting.name.toStdString();
    EXPECT_TRUE(MoreSwitch(more::DeleteToTrash));
}

// The desktop's accessories and settings panels are linked only when a program for
// them is installed, and a later run picks up what was installed since.
TEST_F(SetupTest, AccessoriesAndSettingsPanelsStandForTheInstalledProgramsOnly) {
    const QString bin = dir.path() + "/host-bin";
    for (const char* name : {"mousepad", "env", "pavucontrol", "nm-connection-editor"}) FakeProgram(bin, name);
    run(bin);
    EXPECT_EQ(ReadLink(c("windows/notepad.exe")), bin + "/mousepad");
    EXPECT_EQ(ReadLink(c("windows/control.exe")), bin + "/env");
    EXPECT_EQ(ReadLink(c("windows/system/mmsys.cpl")), bin + "/pavucontrol");
    EXPECT_EQ(ReadLink(c("windows/system/netcpl.cpl")), bin + "/nm-connection-editor");
    EXPECT_EQ(ReadLink(c("windows/system/modem.cpl")), bin + "/nm-connection-editor");
    // The fresh settings file associates files with the programs made only.
    const QByteArray ini = Bytes(c("windows/quorl.ini"));
    EXPECT_TRUE(ini.contains("\r\n.txt,Text document,c:\\windows\\notepad.exe\r\n")) << ini.constData();
    EXPECT_FALSE(ini.contains("write.exe") || ini.contains("pbrush.exe")) << ini.constData();
    for (const char* missing : {"windows/calc.exe", "windows/write.exe", "windows/pbrush.exe", "windows/scandskw.exe",
                                "windows/defrag.exe", "windows/system/desk.cpl", "windows/system/sysdm.cpl",
                                "windows/system/appwiz.cpl"})
        EXPECT_FALSE(QFileInfo::exists(c(missing)) || QFileInfo(c(missing)).isSymLink()) << missing;

    // Installed since: a calculator, and a text editor that comes earlier in the list.
    FakeProgram(bin, "gnome-calculator");
    FakeProgram(bin, "gedit");
    run(bin);
    EXPECT_EQ(ReadLink(c("windows/calc.exe")), bin + "/gnome-calculator");
    EXPECT_EQ(ReadLink(c("windows/notepad.exe")), bin + "/mousepad") << "a working launcher stays as it is";

    // A launcher whose program was removed leads to what is installed now.
    QFile::remove(bin + "/mousepad");
    run(bin);
    EXPECT_EQ(ReadLink(c("windows/notepad.exe")), bin + "/gedit");
}

}  // namespace
