#include "ui/mainwindow.h"
#include <QPointer>

namespace {
QPointer<QMainWindow> frame;
QPointer<QMdiArea> area;
}  // namespace

QMainWindow* MainWindow() { return frame; }
QMdiArea* DriveWindowArea() { return area; }

void SetMainWindow(QMainWindow* f, QMdiArea* a) {
    frame = f;
    area = a;
}
