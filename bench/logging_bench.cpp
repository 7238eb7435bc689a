// Times logging a drive of many folders and files, and building a global view
// over it: the two walks whose speed a user feels on a big disk.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidgetItem>
#include <cstdio>
#include <unistd.h>
#include "ui/prompter.h"
#include "browse/logging.h"
#include "model/slots.h"
#include "platform/curdir.h"
#include "platform/prefix.h"
#include "browse/frmBrws.h"
#include "browse/views.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int folders = argc > 1 ? atoi(argv[1]) : 60;
    const int files = argc > 2 ? atoi(argv[2]) : 120;
    QTemporaryDir dir;
    const QString prefix = dir.path() + "/prefix";
    const QString drive = dir.path() + "/drive";
    QDir().mkpath(prefix + "/dosdevices");
    QDir().mkpath(prefix + "/drive_c/windows");
    symlink(QFile::encodeName(prefix + "/drive_c").constData(), QFile::encodeName(prefix + "/dosdevices/c:").constData());
    symlink(QFile::encodeName(drive).constData(), QFile::encodeName(prefix + "/dosdevices/d:").constData());
    for (int f = 0; f < folders; ++f) {
        const QString folder = QString("%1/folder%2").arg(drive).arg(f, 3, 10, QChar('0'));
        QDir().mkpath(folder);
        for (int i = 0; i < files; ++i) {
            QFile file(QString("%1/file%2.dat").arg(folder).arg(i, 4, 10, QChar('0')));
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray(i % 97, 'x'));
        }
    }
    platform::SetPrefixFolder(prefix);
    ResetProgramState();
    Settings[3] = QString("fast");
    Settings[4] = true;
    Settings[6] = QString("mm-dd-yy");
    Settings[7] = 1;
    SetPromptHandler([](const PromptRequest& r) {
        std::fprintf(stderr, "prompt: %s\n", qPrintable(r.text));
        return PromptAnswer::Ok;
    });

    QElapsedTimer timer;
    timer.start();
    LogDrive("d:");
    const qint64 logDrive = timer.restart();
    frmBrws* w = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<frmBrws*>(top)) w = b;
    if (!w) return 1;
    QTreeWidgetItem* root = w->Node(1);
    for (int i = 0; i < root->childCount(); ++i) LogFolder(w, w->NodeIndex(root->child(i)), true, false);
    const qint64 logFolders = timer.restart();
    BuildGlobalList(CurrentDriveSlot(), ViewSelection::GlobalMatching);
    const qint64 global = timer.restart();
    std::printf("%d folders x %d files: %d lines\n", folders, files, CurrentDriveSlot().LineCount);
    std::printf("log drive      %6lld ms\n", static_cast<long long>(logDrive));
    std::printf("log folders    %6lld ms\n", static_cast<long long>(logFolders));
    std::printf("global list    %6lld ms\n", static_cast<long long>(global));
    return 0;
}
