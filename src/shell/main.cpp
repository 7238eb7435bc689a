#include <QApplication>
#include <csignal>
#include <memory>
#include "platform/files.h"
#include "shell/MDIQuorl.h"
#include "shell/frmShowUp.h"

int main(int argc, char** argv) {
    // Temporary copies older than this moment are leftovers of a killed run.
    platform::MarkProgramStart();
    // A file-size limit makes a write fail with EFBIG, which a copy reports as a
    // full disk; the default action of the signal would end the program instead.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    app.setApplicationName("Disk Rorediva");
    // The desktop matches the windows to the installed entry and its icon.
    app.setDesktopFileName("org.rorediva.Quorl");
    // The exit writes the desktop itself; closing the last window must not end
    // the program before it has.
    app.setQuitOnLastWindowClosed(false);
    std::unique_ptr<MDIQuorl> main;
    {
        frmShowUp splash;
        main.reset(splash.Form_Load());
    }
    if (!main) return 0;
    return app.exec();
}
