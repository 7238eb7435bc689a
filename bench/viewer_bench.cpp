// Times what a user waits for in the text viewer: a 50 MB text file shown in
// the text view, and the first part of the hex dump of a 4 GB sparse file;
// each beside reading the same file with cat.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <unistd.h>
#include "model/slots.h"
#include "platform/prefix.h"
#include "ui/prompter.h"
#include "viewers/frmDump.h"
#include "viewers/textfile.h"

namespace {
double CatMilliseconds(const QString& hostPath) {
    QElapsedTimer timer;
    timer.start();
    QProcess cat;
    cat.setStandardOutputFile(QProcess::nullDevice());
    cat.start("cat", {hostPath});
    cat.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString prefix = dir.path() + "/prefix";
    const QString drive = dir.path() + "/drive";
    QDir().mkpath(prefix + "/dosdevices");
    QDir().mkpath(prefix + "/drive_c/windows");
    QDir().mkpath(drive);
    symlink(QFile::encodeName(prefix + "/drive_c").constData(), QFile::encodeName(prefix + "/dosdevices/c:").constData());
    symlink(QFile::encodeName(drive).constData(), QFile::encodeName(prefix + "/dosdevices/d:").constData());
    platform::SetPrefixFolder(prefix);
    ResetProgramState();
    SetPromptHandler([](const PromptRequest& r) {
        std::fprintf(stderr, "prompt: %s\n", qPrintable(r.text));
        return PromptAnswer::Ok;
    });

    {   // 50 MB of text in lines of 80 characters.
        QFile text(drive + "/big.txt");
        text.open(QIODevice::WriteOnly);
        const QByteArray line = QByteArray("The quick brown fox jumps over the lazy dog, line after line of a long log.  ") + "\r\n";
        QByteArray block;
        for (int i = 0; i < 1000; ++i) block += line;
        while (text.size() < 50LL * 1000 * 1000) text.write(block);
    }
    {   // 4 GB with nothing written but a few bytes at the start.
        QFile sparse(drive + "/sparse.bin");
        sparse.open(QIODevice::WriteOnly);
        sparse.write("sparse file head");
        sparse.resize(4LL * 1024 * 1024 * 1024);
    }
    frmDump* form = DumpForm();
    QElapsedTimer timer;
    {
        timer.start();
        QByteArray bytes; qint64 size = 0;
        ReadFileStart("d:\\big.txt", TextViewLimit, &bytes, &size);
        const double read = timer.nsecsElapsed() / 1e6; timer.restart();
        QString text = DecodeForView(bytes);
        const double decode = timer.nsecsElapsed() / 1e6; timer.restart();
        text = BreakLongLines(text);
        const double lines = timer.nsecsElapsed() / 1e6;
        std::printf("  whole 64 MiB at once: read %.1f ms, decode %.1f ms, long lines %.1f ms\n", read, decode,
                    lines);
    }
    timer.start();
    const bool textLoaded = form->LoadDump("d:\\big.txt");
    std::printf("  (loading %.1f ms)\n", timer.nsecsElapsed() / 1e6);
    form->show();
    QApplication::processEvents();
    const double textMs = timer.nsecsElapsed() / 1e6;
    // The rest comes in parts while the user can already scroll; a search waits for it all.
    timer.restart();
    while (form->TextPending()) form->TextTimer_Timer();
    std::printf("  (rest of the 50 MB in the background: %.1f ms in parts)\n", timer.nsecsElapsed() / 1e6);
    form->CloseForm();

    timer.restart();
    const bool binaryLoaded = form->LoadDump("d:\\sparse.bin");
    form->show();
    QApplication::processEvents();
    const double binaryTextMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    form->mnuViewMode_Click(1);
    QApplication::processEvents();
    const double hexMs = timer.nsecsElapsed() / 1e6;
    form->CloseForm();

    std::printf("50 MB text file in the text view: %8.1f ms (loaded %d)   cat: %8.1f ms\n", textMs, textLoaded,
                CatMilliseconds(drive + "/big.txt"));
    std::printf("4 GB sparse file in the text view: %8.1f ms (loaded %d)\n", binaryTextMs, binaryLoaded);
    std::printf("4 GB sparse file, first hex part:  %8.1f ms             cat: %8.1f ms\n", hexMs,
                CatMilliseconds(drive + "/sparse.bin"));
    return textLoaded && binaryLoaded ? 0 : 1;
}
