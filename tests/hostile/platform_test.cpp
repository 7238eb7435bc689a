// Hostile drives seen by the platform layer: planted links, names the probe or
// the label file use, Samba's attribute record, names whose lower-case form
// differs in length, and folders big enough that a lookup must not read them
// again for every file.
#include <QDir>
#include "../platform/helpers.h"
#include "platform/hostfs.h"
#include "platform/userfile.h"
#include "ui/errors.h"
#include "model/slots.h"

using namespace platform;
using namespace testhost;

namespace {

const QString ProbeName = QString::fromUtf8("k56f5432.h\u00f18");

class HostileTest : public PlatformTest {
protected:
    // A file outside the drive that a planted link points at.
    QString victim(const QString& name = "victim.txt", const QByteArray& bytes = "precious") {
        return MakeHostFile(tp.base() + "/outside/" + name, bytes);
    }
    void plantLink(const QString& target, const QString& linkHostPath) {
        QDir().mkpath(linkHostPath.left(linkHostPath.lastIndexOf('/')));
        ASSERT_EQ(::symlink(Enc(target).constData(), Enc(linkHostPath).constData()), 0);
    }
    bool isLink(const QString& hostPath) {
        struct stat st;
        return ::lstat(Enc(hostPath).constData(), &st) == 0 && S_ISLNK(st.st_mode);
    }
};

TEST_F(HostileTest, TheWriteProbeMakesItsOwnFileInTheNearestFolderAndLeavesEveryEntryOfItsNameAlone) {
    const QString target = victim();
    plantLink(target, d + "/" + ProbeName);
    const QString real = MakeHostFile(d + "/sub/" + ProbeName, "not a probe");
    MakeHostFolder(d + "/sub2/" + ProbeName);
    const QStringList rootBefore = FolderNames(d), subBefore = FolderNames(d + "/sub");

    EXPECT_EQ(TestWritable("d:"), 0);
    EXPECT_EQ(TestWritable("d:\\sub"), 0);
    EXPECT_EQ(TestWritable("d:\\sub2"), 0);
    EXPECT_EQ(LastError, 0);
    EXPECT_EQ(ReadAll(target), "precious") << "the link's target is never opened for writing";
    EXPECT_TRUE(isLink(d + "/" + ProbeName)) << "the planted link stays";
    EXPECT_EQ(ReadAll(real), "not a probe");
    EXPECT_EQ(FolderNames(d), rootBefore) << "no probe file is left behind";
    EXPECT_EQ(FolderNames(d + "/sub"), subBefore);
    EXPECT_TRUE(QFileInfo(d + "/sub2/" + ProbeName).isDir());

    // The probe of a folder still to be made goes to its nearest existing folder.
    MakeHostFolder(d + "/deep");
    EXPECT_EQ(TestWritable("d:\\deep\\not\\yet\\made"), 0);
    EXPECT_FALSE(QFileInfo::exists(d + "/deep/not")) << "the probe makes no folders";
    EXPECT_EQ(FolderNames(d + "/deep"), QStringList());
    MakeHostFile(d + "/plain.txt");
    EXPECT_EQ(TestWritable("d:\\plain.txt\\below"), 0) << "a file in the way is for the operation to report";
}

// Through z: (the host's root) a normal user may write where the permissions
// let him: the probe goes to the folder written, not to the drive's root.
TEST_F(HostileTest, AUserOtherThanRootMayWriteIntoHisFoldersOfADriveWhoseRootHeMayNotWrite) {
    openForOthers();
    const QString root = MakeHostFolder(tp.base() + "/zroot");
    const QString mine = MakeHostFolder(root + "/tmp/mine");
    Chmod(root, 0755);
    Chmod(root + "/tmp", 0755);
    Chmod(mine, 0777);
    tp.linkDrive('z', root);
    const int code = RunAsNobody([] {
        const int a = TestWritable("z:") == 70;
        const int b = TestWritable("z:\\tmp\\mine") == 0;
        const int c = TestWritable("z:\\tmp\\mine\\new\\folder") == 0;
        return a | (b << 1) | (c << 2);
    });
    ASSERT_NE(code, -1) << "the child could not run as another user";
    EXPECT_TRUE(code & 1) << "the root of z: is refused";
    EXPECT_TRUE(code & 2) << "a folder the user may write is writable";
    EXPECT_TRUE(code & 4) << "a folder still to be made in it too";
    EXPECT_EQ(FolderNames(mine), QStringList());
}

TEST_F(HostileTest, TheLabelFileIsReadOnlyAsAFileAndReplacedRatherThanWrittenThrough) {
    const QString target = victim("label-victim", "secret text\n");
    plantLink(target, d + "/.windows-label");
    EXPECT_EQ(VolumeLabel('d'), "") << "a link is no label: nothing is read through it";
    ASSERT_EQ(SetVolumeLabel('d', "backup"), 0);
    EXPECT_EQ(ReadAll(target), "secret text\n") << "the link's target is untouched";
    EXPECT_FALSE(isLink(d + "/.windows-label"));
    EXPECT_EQ(ReadAll(d + "/.windows-label"), "backup\n");
    EXPECT_EQ(VolumeLabel('d'), "backup");
    EXPECT_EQ(FolderNames(d), QStringList({".windows-label"})) << "no temporary file is left";

    ::unlink(Enc(d + "/.windows-label").constData());
    plantLink(target, d + "/.windows-label");
    ASSERT_EQ(SetVolumeLabel('d', ""), 0);
    EXPECT_FALSE(QFileInfo::exists(d + "/.windows-label")) << "the link goes";
    EXPECT_EQ(ReadAll(target), "secret text\n");
    ASSERT_EQ(::mkfifo(Enc(d + "/.windows-label").constData(), 0600), 0);
    EXPECT_EQ(VolumeLabel('d'), "") << "a pipe of that name neither hangs nor counts";
}

TEST_F(HostileTest, AUsersFileIsOpenedOnlyWhenItIsOneAndAPipeOrDeviceIsNeverOpened) {
    tp.linkDrive('z', "/");
    MakeHostFile(d + "/plain.txt", "bytes");
    plantLink(d + "/plain.txt", d + "/link.txt");
    MakeHostFolder(d + "/folder");
    ASSERT_EQ(::mkfifo(Enc(d + "/pipe").constData(), 0600), 0);
    const struct { const char* path; ErrorCode code; } cases[] = {
        {"d:\\plain.txt", err::None},         {"d:\\link.txt", err::None},
        {"d:\\folder", err::PathFileConflict}, {"d:\\pipe", err::DiskChanged},
        {"z:\\dev\\null", err::DiskChanged},  {"d:\\missing.txt", err::FileNotFound},
    };
    for (const auto& c : cases) {
        QFile file;
        EXPECT_EQ(OpenUserFile(c.path, &file), c.code) << c.path;
        EXPECT_EQ(file.isOpen() ? file.readAll() : QByteArray(), c.code ? QByteArray() : "bytes") << c.path;
        // The in-use probe opens the same way: a pipe it would open wakes the
        // program writing into it, to a reader that is gone at once.
        EXPECT_EQ(OpenForReading(c.path), c.code) << c.path;
        EXPECT_EQ(IsRegularFile(c.path), c.code == err::None) << c.path;
    }
}

// The steps of delete, copy and rename act on a link itself, never on what it points at.
TEST_F(HostileTest, DeletingAndOverwritingLinksLeaveTheirTargetsAsTheyWere) {
    REQUIRE_XATTRS();
    const QString ro = victim("ro.txt", "read only"), hidden = victim("hidden.txt", "hidden");
    Chmod(ro, 0444);
    ASSERT_TRUE(SetRawDosAttrib(hidden, "0x22"));
    plantLink(ro, d + "/l1.txt");
    plantLink(hidden, d + "/l2.txt");
    EXPECT_EQ(attributesOf("d:\\l1.txt") & attr::ReadOnly, attr::ReadOnly) << "a link shows what it points at";

    EXPECT_EQ(SetEntryAttributes("d:\\l1.txt", attr::Archive), 0);
    EXPECT_EQ(SetEntryAttributes("d:\\l2.txt", attr::Archive), 0);
    EXPECT_EQ(DeleteFile("d:\\l1.txt"), 0) << "a link goes whatever its target's attributes";
    EXPECT_EQ(DeleteFile("d:\\l2.txt"), 0);
    EXPECT_EQ(ModeOf(ro), mode_t(0444));
    EXPECT_EQ(RawDosAttrib(hidden), "0x22");
    EXPECT_TRUE(QFileInfo::exists(ro) && QFileInfo::exists(hidden));

    plantLink(ro, d + "/over.txt");
    MakeHostFile(d + "/new.txt", "new bytes");
    EXPECT_EQ(CopyFileTo("d:\\new.txt", "d:\\over.txt"), 0);
    EXPECT_FALSE(isLink(d + "/over.txt")) << "the copy replaces the link";
    EXPECT_EQ(ReadAll(d + "/over.txt"), "new bytes");
    EXPECT_EQ(ReadAll(ro), "read only");
    EXPECT_EQ(ModeOf(ro), mode_t(0444));

    plantLink(hidden, d + "/thrash.txt");
    EXPECT_EQ(CreateEmptyFile("d:\\thrash.txt"), err::AccessDenied) << "nothing is emptied through a link";
    EXPECT_EQ(ReadAll(hidden), "hidden");
}

// Samba 4.17 with "store dos attributes" wrote this for a file made hidden over the share.
const QByteArray SambaHiddenArchive =
    QByteArray::fromHex("000005000500000011000000220000007272" "7d6d9685dd01");

TEST_F(HostileTest, AttributesSambaWroteAreReadAndChangedInItsOwnRecord) {
    ASSERT_EQ(SambaHiddenArchive.size(), 24);
    int bits = -1;
    ASSERT_TRUE(host::ParseDosAttrib(SambaHiddenArchive, &bits));
    EXPECT_EQ(bits, attr::Hidden | attr::Archive);
    // Older versions: 1 has the attributes first, 2 to 4 after the flags; the text may be "0x…".
    const QByteArray v1 = QByteArray::fromHex("0000010001000000" "04000000");
    const QByteArray v3 = QByteArray("0x6", 4) + QByteArray::fromHex("03000300" "01000000" "06000000" "0000000000000000");
    ASSERT_TRUE(host::ParseDosAttrib(v1, &bits));
    EXPECT_EQ(bits, attr::System);
    ASSERT_TRUE(host::ParseDosAttrib(v3, &bits));
    EXPECT_EQ(bits, attr::Hidden | attr::System);
    for (const QByteArray& broken : {QByteArray::fromHex("0000060006000000" "1100000022000000"),
                                     QByteArray::fromHex("0000050004000000" "1100000022000000"),
                                     QByteArray::fromHex("00000500050000001100")})
        EXPECT_EQ(host::DosAttribRecordField(broken), -1) << broken.toHex().constData();
    ASSERT_TRUE(host::ParseDosAttrib(QByteArray("0x4\0", 4), &bits)) << "the text form with its NUL";
    EXPECT_EQ(bits, attr::System);

    REQUIRE_XATTRS();
    const QString f = MakeHostFile(d + "/shared.doc");
    ASSERT_TRUE(SetRawDosAttrib(f, SambaHiddenArchive));
    EXPECT_EQ(attributesOf("d:\\shared.doc"), attr::Hidden | attr::Archive);
    ASSERT_EQ(SetAttributes("d:\\shared.doc", attr::System | attr::Archive | attr::ReadOnly), 0);
    QByteArray expected = SambaHiddenArchive;
    expected[12] = char(attr::System | attr::Archive | attr::ReadOnly);
    EXPECT_EQ(RawDosAttrib(f).toHex(), expected.toHex()) << "flags and creation time are kept";
    EXPECT_EQ(attributesOf("d:\\shared.doc"), attr::System | attr::Archive | attr::ReadOnly);
    ASSERT_EQ(SetAttributes("d:\\shared.doc", attr::Archive), 0);
    expected[12] = char(attr::Archive);
    EXPECT_EQ(RawDosAttrib(f).toHex(), expected.toHex()) << "clearing R clears it in the record too";

    // A client set R, H and S over the share: the record alone says read-only.
    expected[12] = char(attr::ReadOnly | attr::Hidden | attr::System);
    ASSERT_TRUE(SetRawDosAttrib(f, expected));
    EXPECT_EQ(attributesOf("d:\\shared.doc"), attr::ReadOnly | attr::Hidden | attr::System);
    EXPECT_EQ(DeleteFile("d:\\shared.doc"), err::AccessDenied);
    ASSERT_EQ(SetAttributes("d:\\shared.doc", attr::Hidden | attr::System), 0);   // -r
    expected[12] = char(attr::Hidden | attr::System);
    EXPECT_EQ(RawDosAttrib(f).toHex(), expected.toHex());
    ASSERT_EQ(SetAttributes("d:\\shared.doc", attr::ReadOnly), 0);   // +r -h -s
    expected[12] = char(attr::ReadOnly);
    EXPECT_EQ(RawDosAttrib(f).toHex(), expected.toHex()) << "R stays in the record when H and S go";
    EXPECT_EQ(ModeOf(f) & 0222, mode_t(0)) << "and in the permissions";
    // A copy given its attributes takes them in the source's record before it has its name.
    ASSERT_EQ(CopyFileTo("d:\\shared.doc", "d:\\copy.doc", {}, LastName::AnyCase, attr::Hidden | attr::Archive), 0);
    expected[12] = char(attr::Hidden | attr::Archive);
    EXPECT_EQ(RawDosAttrib(d + "/copy.doc").toHex(), expected.toHex());
    EXPECT_EQ(ModeOf(d + "/copy.doc") & 0200, mode_t(0200)) << "no longer read-only";
}

TEST_F(HostileTest, NamesWhoseLowerCaseFormDiffersInLengthAreFoundByThatForm) {
    const QString turkish = QString::fromUtf8("\u0130stanbul.txt");
    const QString long_ = QString(100, QChar(0x023A)) + ".txt";
    ASSERT_GT(long_.toLower().toUtf8().size(), 255) << "the lower-case form is too long for a name";
    MakeHostFile(d + "/" + turkish, "ist");
    MakeHostFile(d + "/" + long_, "long");
    QList<FileEntry> files;
    ASSERT_EQ(ListFiles("d:\\", "*.*", true, &files), 0);
    ASSERT_EQ(files.size(), 2);
    for (const FileEntry& f : files) {
        const QString dos = "d:\\" + f.name.toLower();
        EXPECT_EQ(hostOf(dos), d + "/" + f.name) << dos.toStdString();
        EXPECT_TRUE(FileExists(dos)) << dos.toStdString();
        EXPECT_EQ(CopyFileTo(dos, "d:\\copy.txt"), 0);
    }
}

// A lookup of a name that is not spelt in lower case on disk reads the folder
// once, then keeps its names while the folder does not change.
TEST_F(HostileTest, LookupsInABigFolderReadItOnceWhileItIsUnchanged) {
    const QString big = MakeHostFolder(d + "/Big");
    for (int i = 0; i < 2000; ++i) MakeHostFile(big + QString("/FILE%1.TXT").arg(i, 4, 10, QChar('0')));
    MakeHostFolder(d + "/out");
    QString h;
    ASSERT_EQ(DosToHost("d:\\big\\file0000.txt", &h), 0);
    const quint64 before = host::FolderReadCount();
    for (int i = 0; i < 2000; ++i) {
        const QString name = QString("file%1.txt").arg(i, 4, 10, QChar('0'));
        ASSERT_EQ(DosToHost("d:\\big\\" + name, &h), 0);
        ASSERT_EQ(h, big + "/" + name.toUpper());
        if (i % 10 == 0) {
            ASSERT_EQ(CopyFileTo("d:\\big\\" + name, "d:\\out\\" + name.toUpper()), 0);
        }
    }
    EXPECT_LE(host::FolderReadCount() - before, 4u) << "one read per folder, not one per file";

    // A change made by someone else is seen: the folder's time stamp moved.
    MakeHostFile(big + "/Added.TXT");
    ::rename(Enc(big + "/FILE0001.TXT").constData(), Enc(big + "/Renamed.TXT").constData());
    ASSERT_EQ(DosToHost("d:\\big\\added.txt", &h), 0);
    EXPECT_EQ(h, big + "/Added.TXT");
    ASSERT_EQ(DosToHost("d:\\big\\renamed.txt", &h), 0);
    EXPECT_EQ(h, big + "/Renamed.TXT");
    ASSERT_EQ(DosToHost("d:\\big\\file0001.txt", &h), 0);
    EXPECT_EQ(h, big + "/file0001.txt") << "a name gone is no longer found";
}

}  // namespace
