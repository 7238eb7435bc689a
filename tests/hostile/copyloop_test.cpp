// The copy loop under stress without root: big files in chunks that Esc stops,
// a write limit (RLIMIT_FSIZE) that fails the copy part way, a copy killed
// with SIGKILL, and the batch rules around failed files.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <csignal>
#include "../fileops/ops_fixture.h"
#include "fileops/operations.h"

namespace {

constexpr qint64 MiB = qint64(1) << 20;

class CopyLoopTest : public OpsTest {
public:
    QString host(const QString& dos) const { return prefix.host(dos); }
    // Names in a host folder that are the program's temporary copies.
    QStringList temporaries(const QString& dosFolder) const {
        return QDir(host(dosFolder)).entryList({platform::CopyTempPrefix + "*"}, QDir::Files | QDir::Hidden);
    }
    static QByteArray pattern(qint64 size) {
        QByteArray data(size, '\0');
        for (qint64 i = 0; i < size; ++i) data[i] = char((i * 7 + i / 4096) & 0xFF);
        return data;
    }
};

// A file size limit makes every write past it fail as a full disk would.
struct FileSizeLimit {
    rlimit saved {};
    explicit FileSizeLimit(rlim_t bytes) {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved); }
};

TEST_F(CopyLoopTest, ChunksCarryEveryByteAndAStoppedCopyLeavesTheDestinationAsItWas) {
    const QByteArray data = pattern(20 * MiB + 12345);   // a last chunk shorter than the others
    put("d:\\big.bin", data);
    put("d:\\old.bin", "old destination");
    QList<qint64> seen;
    ASSERT_EQ(platform::CopyFileTo("d:\\big.bin", "d:\\copy.bin", [&](qint64 copied, qint64 total) {
                  EXPECT_EQ(total, data.size());
                  seen << copied;
                  return true;
              }),
              0);
    EXPECT_TRUE(content("d:\\copy.bin") == data) << "every byte, the last chunk included";
    ASSERT_GE(seen.size(), 3) << "the copy reports as it goes";
    EXPECT_EQ(seen.last(), data.size());

    int calls = 0;
    EXPECT_EQ(platform::CopyFileTo("d:\\big.bin", "d:\\old.bin", [&](qint64, qint64) { return ++calls < 2; }),
              err::Cancelled);
    EXPECT_EQ(calls, 2) << "stopped at the chunk it was told to";
    EXPECT_EQ(content("d:\\old.bin"), "old destination");
    EXPECT_EQ(temporaries("d:"), QStringList());
}

TEST_F(CopyLoopTest, AWriteLimitFailsTheCopyAsADiskFullAndLosesNothing) {
    put("d:\\big.bin", pattern(3 * MiB));
    put("d:\\small.bin", pattern(MiB / 2 + 7));
    put("d:\\dest.bin", "the old file");
    {
        FileSizeLimit limit(MiB);
        EXPECT_EQ(platform::CopyFileTo("d:\\big.bin", "d:\\dest.bin"), err::DiskFull);
        EXPECT_EQ(platform::CopyFileTo("d:\\small.bin", "d:\\fits.bin"), 0);
    }
    EXPECT_EQ(content("d:\\dest.bin"), "the old file");
    EXPECT_TRUE(content("d:\\fits.bin") == pattern(MiB / 2 + 7));
    EXPECT_EQ(temporaries("d:"), QStringList());
}

// The old destination of a failed overwrite gets back its read-only, hidden
// and system attributes, and the user hears of the full disk.
TEST_F(CopyLoopTest, AFailedOverwriteGivesTheOldFileBackItsAttributes) {
    put("d:\\src\\big.bin", pattern(3 * MiB));
    put("d:\\dst\\big.bin", "keep me");
    setAttributes("d:\\dst\\big.bin",
                  platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::System | platform::attr::Archive);
    start({"d:", "d:\\dst", "d:\\src"}, true);
    Settings[1] = QVariant(true);
    focusList();
    current("big.bin");
    expectCopyDialog("Copy file", "d:\\dst");
    prompts.expect("Insuficient disk space. Abort copying process ?", Yes, "Question");
    {
        FileSizeLimit limit(MiB);
        key(Qt::Key_C);
    }
    EXPECT_EQ(content("d:\\dst\\big.bin"), "keep me");
    int a = 0;
    ASSERT_EQ(platform::GetAttributes("d:\\dst\\big.bin", &a), 0);
    EXPECT_EQ(a & (platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::System),
              platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::System);
    EXPECT_EQ(temporaries("d:\\dst"), QStringList());
}

// Esc in the progress window stops a big file part way: the temporary file
// goes, the destination stays, a move keeps its source; the window showed
// bytes, and the bar of this one file followed them.
TEST_F(CopyLoopTest, EscStopsABigFileMidwayAndTheWindowShowsItsBytes) {
    const QByteArray data = pattern(24 * MiB);
    put("d:\\src\\big.bin", data);
    put("d:\\dst\\big.bin", "older");
    start({"d:", "d:\\dst", "d:\\src"}, true);
    focusList();
    QStringList labels;
    QList<double> bar;   // the share of the bar filled when a chunk is done, before the window hears of it
    QList<qint64> done;
    SetCopyChunkHook([&](qint64 copied, qint64) {
        labels << GraphForm()->lblMessage->text();
        const QProgressBar* b = GraphForm()->ProgressBar;
        bar << double(b->value() - b->minimum()) / (b->maximum() - b->minimum());
        done << copied;
        if (copied >= 16 * MiB) QTest::keyClick(GraphForm(), Qt::Key_Escape);
    });
    current("big.bin");
    expectCopyDialog("Move file", "d:\\dst");
    key(Qt::Key_M);
    SetCopyChunkHook(nullptr);
    EXPECT_EQ(content("d:\\dst\\big.bin"), "older");
    EXPECT_TRUE(content("d:\\src\\big.bin") == data) << "a stopped move keeps its source";
    EXPECT_EQ(temporaries("d:\\dst"), QStringList());
    ASSERT_GE(labels.size(), 2);
    EXPECT_TRUE(labels[1].contains(FormatCount(data.size()) + " bytes")) << labels[1].toStdString();
    EXPECT_GT(bar[1], 0.0);
    EXPECT_NEAR(bar[1], double(done[0]) / data.size(), 0.01) << "the bar follows the bytes";
    EXPECT_EQ(AbortFlag, 0);
    EXPECT_FALSE(GraphForm()->isVisible());
    expectPictureMatchesDisk();
}

// A copy killed with SIGKILL leaves its temporary file; the next run removes it
// when it logs the folder, and leaves alone a running copy's and a link of that name.
TEST_F(CopyLoopTest, AKilledCopysLeftoverGoesWhenTheNextRunLogsTheFolder) {
    put("d:\\src\\big.bin", pattern(20 * MiB));
    folder("d:\\dst");
    const pid_t child = ::fork();
    if (child == 0) {
        platform::CopyFileTo("d:\\src\\big.bin", "d:\\dst\\big.bin", [](qint64, qint64) {
            ::raise(SIGKILL);
            return true;
        });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    const QStringList left = temporaries("d:\\dst");
    ASSERT_EQ(left.size(), 1) << "the killed copy left its temporary file";
    EXPECT_TRUE(left[0].startsWith(platform::CopyTempPrefix + QString::number(child) + "-"));
    // A copy of this process, running now, and a link named like a leftover.
    const QString mine = platform::CopyTempPrefix + QString::number(::getpid()) + "-abcdef";
    put("d:\\dst\\" + mine, "running");
    ::symlink(QFile::encodeName(host("d:\\src\\big.bin")).constData(),
              QFile::encodeName(host("d:\\dst") + "/" + platform::CopyTempPrefix + "1-link").constData());
    ::usleep(20000);
    platform::MarkProgramStart();   // the next run
    start({"d:", "d:\\dst"});
    const QString link = platform::CopyTempPrefix + "1-link";
    EXPECT_EQ(temporaries("d:\\dst"), QStringList({link, mine})) << "only the dead copy's leftover went";
    EXPECT_TRUE(QFileInfo(host("d:\\dst") + "/" + link).isSymLink());
    EXPECT_FALSE(exists("d:\\dst\\big.bin"));
    EXPECT_EQ(content("d:\\src\\big.bin").size(), 20 * MiB);
}

// A failed delete in a tagged batch ends the batch: the next tagged file stays.
TEST_F(CopyLoopTest, AFailedDeleteEndsTheTaggedBatch) {
    for (const char* n : {"a.txt", "b.txt", "c.txt"}) put(QString("d:\\docs\\") + n, n);
    start({"d:", "d:\\docs"});
    focusList();
    tag({"a.txt", "b.txt", "c.txt"});
    const int fd = ::open(QFile::encodeName(host("d:\\docs\\a.txt")).constData(), O_RDWR | O_CLOEXEC);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
    prompts.expect("Confirm delete for each file ?", No).expect("Sharing violation", Ok, "Error");
    key(Qt::Key_D, Qt::ControlModifier);
    ::close(fd);
    EXPECT_EQ(diskNames("d:\\docs"), QStringList({"a.txt", "b.txt", "c.txt"}));
    expectPictureMatchesDisk();
}

}  // namespace
