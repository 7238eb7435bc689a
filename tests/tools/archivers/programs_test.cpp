// The built tools as the interpreter starts them: a process of their own in
// the current folder, with the prefix found through XDG_DATA_HOME.
#include <QFileInfo>
#include "pkunzip.h"
#include "ziplisting.h"
#include "helpers.h"

using namespace archtest;

namespace {

class ProgramsTest : public ArchiverTest {
protected:
    void SetUp() override {
        bin = qEnvironmentVariable("QUORL_BIN_DIR");
        if (bin.isEmpty() || !QFileInfo(bin + "/quorl-pkzip").isExecutable())
            GTEST_SKIP() << "QUORL_BIN_DIR does not hold the built tools; run through ctest";
        ArchiverTest::SetUp();
    }
    // Runs a tool from the host folder `folder`; its output lands in `output`.
    int tool(const QString& name, const QStringList& args, const QString& folder) {
        return runProgram(bin + "/quorl-" + name, args, folder);
    }
    int runProgram(const QString& program, const QStringList& args, const QString& folder) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", prefix.base());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(folder);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
        output = QString::fromUtf8(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    // Runs a tool with a fresh tmpfs of the given size on a host folder, in a
    // mount namespace of its own, so the disk is gone when the tool ends. The
    // names left on the disk then land in `left`. False when the machine lets
    // no one mount such a disk.
    bool toolOnSmallDisk(const QString& name, const QStringList& args, const QString& disk, const QString& size,
                         int* code, QStringList* left) {
        const QString script = "disk=$1; shift; mount -t tmpfs -o size=" + size +
                               " quorl-test \"$disk\" || exit 99; \"$@\"; echo \"== $?\"; cd \"$disk\" && find . -mindepth 1";
        const QStringList words{"-rm", "sh", "-c", script, "sh", disk, bin + "/quorl-" + name};
        const int status = runProgram("unshare", words + args, c + "/work");
        const qsizetype mark = output.lastIndexOf("\n== ");
        if (status != 0 || mark < 0) return false;
        *code = output.mid(mark + 4).section('\n', 0, 0).toInt();
        *left = output.mid(mark + 4).section('\n', 1).split('\n', Qt::SkipEmptyParts);
        output.truncate(mark);
        return true;
    }

    QString bin;
};

// A deflate stream of `mebibytes` MiB of zeros: one flushed block, repeated.
QByteArray DeflatedZeros(int mebibytes, quint32* crc) {
    const QByteArray zeros(1 << 20, '\0');
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY), Z_OK);
    QByteArray block(1 << 16, '\0'), end(64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
    z.avail_in = uInt(zeros.size());
    z.next_out = reinterpret_cast<Bytef*>(block.data());
    z.avail_out = uInt(block.size());
    EXPECT_EQ(deflate(&z, Z_FULL_FLUSH), Z_OK);
    block.truncate(block.size() - z.avail_out);
    z.next_out = reinterpret_cast<Bytef*>(end.data());
    z.avail_out = uInt(end.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    end.truncate(end.size() - z.avail_out);
    deflateEnd(&z);
    const uLong one = crc32(0, reinterpret_cast<const Bytef*>(zeros.constData()), uInt(zeros.size()));
    uLong all = one;
    for (int i = 1; i < mebibytes; ++i) all = crc32_combine(all, one, 1 << 20);
    *crc = quint32(all);
    return block.repeated(mebibytes) + end;
}

TEST_F(ProgramsTest, RelativeNamesAreTakenFromTheFolderTheToolStartsIn) {
    MakeFile(c + "/work/A.txt", "hello\n");
    MakeFile(c + "/work/Sub/Deep.TXT", "deep\n");
    MakeFile(c + "/yhb6543.tmp", "a.txt\r\nsub\\deep.txt\r\n");
    QDir().mkpath(c + "/out");
    EXPECT_EQ(tool("pkzip", Argv(" -whs -o  -P  -es c:\\out\\arc @c:\\yhb6543.tmp"), c + "/work"), 0)
        << output.toStdString();
    EXPECT_EQ(ReadZip(c + "/out/arc.zip").keys(), QStringList({"A.txt", "Sub/Deep.TXT"}));

    // The listing the viewer shows.
    EXPECT_EQ(tool("pkunzip", Argv(" -v c:\\out\\arc.zip"), c + "/work"), 0);
    EXPECT_TRUE(output.contains("Sub\\Deep.TXT")) << output.toStdString();
    EXPECT_EQ(output.trimmed().split('\n').last().split(' ', Qt::SkipEmptyParts).value(3), "2");

    // Extraction into the current folder of another drive.
    QDir().mkpath(d + "/dest");
    EXPECT_EQ(tool("pkunzip", Argv(" -o  -d  c:\\out\\arc.zip"), d + "/dest"), 0) << output.toStdString();
    EXPECT_EQ(ReadAll(d + "/dest/Sub/Deep.TXT"), "deep\n");

    // A failure is one line and a non-zero status.
    EXPECT_NE(tool("pkunzip", {"c:\\out\\gone.zip"}, c + "/work"), 0);
    EXPECT_EQ(output.trimmed().count('\n'), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("gone.zip"));

    if (QFileInfo("/usr/bin/arj").isExecutable()) {
        EXPECT_EQ(tool("arj", Argv(" -a -hu -y  a  -m4 c:\\out\\arc !c:\\yhb6543.tmp"), c + "/work"), 0)
            << output.toStdString();
        EXPECT_EQ(tool("arj", Argv(" l c:\\out\\arc.arj"), c + "/work"), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("A.txt") && output.contains("Deep.TXT")) << output.toStdString();
    } else {
        std::cout << "[ note ] /usr/bin/arj missing: quorl-arj not run\n";
    }
}

}  // namespace

TEST_F(ProgramsTest, AnArchiveThatDoesNotFitIsRefusedBeforeAnythingIsWritten) {
    // A small file and 1 GiB of zeros in a 1 MB archive, for a 256 MB disk.
    quint32 crc = 0;
    const QByteArray bomb = DeflatedZeros(1024, &crc);
    CraftedZip zip;
    zip.stored("first.txt", "first\n");
    zip.add("zeros.bin", bomb, 1u << 30, crc, 8);
    QDir().mkpath(c + "/out");
    zip.write(c + "/out/bomb.zip");
    QDir().mkpath(d + "/small");

    int code = -1;
    QStringList left;
    if (!toolOnSmallDisk("pkunzip", {"-o", "-d", "c:\\out\\bomb.zip", "d:\\small"}, d + "/small", "256m", &code, &left))
        GTEST_SKIP() << "no tmpfs can be mounted here: " << output.toStdString();
    EXPECT_EQ(code, archivers::status::Failed) << output.toStdString();
    EXPECT_TRUE(output.contains("Insufficient disk space: ") && output.contains(" 268435456 bytes free on d:\\small"))
        << output.toStdString();
    EXPECT_EQ(left, QStringList()) << output.toStdString();
}
