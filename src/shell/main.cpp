#include <QApplication>
#include <memory>
#include "shell/MDIQuorl.h"
#include "shell/frmShowUp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("Disk Rorediva");
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
