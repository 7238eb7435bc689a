#include "fileops/redraw.h"
#include <QApplication>
#include <QElapsedTimer>

namespace {
constexpr qint64 kFrameMs = 33;

QElapsedTimer& LastFrame() {
    static QElapsedTimer timer;
    return timer;
}
}  // namespace

namespace redraw {

bool Due() { return !LastFrame().isValid() || LastFrame().elapsed() >= kFrameMs; }

void Pump() {
    if (!Due()) return;
    QApplication::processEvents();
    LastFrame().start();
}

}  // namespace redraw
