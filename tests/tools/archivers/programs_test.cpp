// The built tools as the interpreter starts them: a process of their own in
// the current folder, with the prefix found through XDG_DATA_HOME.
#include <QFileInfo>
#include <QTemporaryDir>
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
        ASSERT_TRUE(xdg.isValid());
        ASSERT_EQ(::symlink(Enc(prefix.prefix()).constData(), Enc(xdg.path() + "/quorl").constData()), 0);
    }
    // Runs a tool from the host folder `folder`; its output lands in `output`.
    int tool(const QString& name, const QStringList& args, const QString& folder) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", xdg.path());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(folder);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(bin + "/quorl-" + name, args);
        EXPECT_TRUE(p.waitForFinished(60000)) << name.toStdString();
        output = QString::fromUtf8(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QString bin;
    QTemporaryDir xdg;
};

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
