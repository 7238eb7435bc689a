#include "shell/frmShowUp.h"
#include <QApplication>
#include <QThread>
#include <QVBoxLayout>
#include "drives/frmDrive.h"
#include "fileops/frmInput.h"
#include "ui/prompter.h"
#include "browse/logging.h"
#include "platform/curdir.h"
#include "browse/frmBrws.h"
#include "shell/MDIQuorl.h"
#include "ui/dialogfocus.h"
#include "shell/startup.h"

frmShowUp::frmShowUp(QWidget* parent) : QWidget(parent, Qt::SplashScreen) {
    setObjectName("frmShowUp");
    auto* layout = new QVBoxLayout(this);
    lblTitle = new QLabel(ProductName, this);
    lblTitle->setObjectName("lblTitle");
    QFont f = lblTitle->font();
    f.setPointSize(f.pointSize() * 2);
    f.setBold(true);
    lblTitle->setFont(f);
    lblTitle->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblTitle);
    auto* sub = new QLabel("Loading...", this);
    sub->setAlignment(Qt::AlignCenter);
    layout->addWidget(sub);
    setFixedSize(360, 160);
}

MDIQuorl* frmShowUp::Form_Load() {
    CenterForm(this, false);
    repaint();
    QApplication::processEvents();

    auto* main = new MDIQuorl;
    main->setWindowTitle(ProductName);
    SetMainForm(main);
    if (!RunStartUp()) {
        SetMainForm(nullptr);
        delete main;
        hide();
        return nullptr;
    }
    // The dialogs are made once, hidden, so that later commands find them ready.
    DriveForm();
    InputForm();
    // No drive is open yet.
    main->menu("mnuFile")->menuAction()->setVisible(false);
    main->menu("mnuFolder")->menuAction()->setVisible(false);

    QThread::msleep(5);
    hide();
    RestoreDesktop(main);
    // The program folder's drive is the current drive now; it opens the first window.
    LogDrive(platform::CurrentDrive());
    if (frmBrws* w = ActiveDriveWindow()) w->GiveFocus(w->DirList);
    // Without a window manager nobody else gives the new main window the keyboard.
    ReturnFocusToMainWindow();
    KeepActivationOnVisibleWindows();
    return main;
}
