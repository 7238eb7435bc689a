#include "shell/MDIQuorl.h"
#include <QMdiSubWindow>
#include <QStyle>

// The Window menu's arrangements of the drive windows in the frame.

// Side by side, each window the full height of the frame.
void MDIQuorl::TileVertically() {
    const QList<QMdiSubWindow*> subs = MdiArea->subWindowList();
    if (subs.isEmpty()) return;
    const QSize area = MdiArea->viewport()->size();
    const int width = area.width() / subs.size();
    for (int i = 0; i < subs.size(); ++i) {
        subs[i]->showNormal();
        subs[i]->setGeometry(i * width, 0, width, area.height());
    }
}

// One above the other, each window the full width of the frame.
void MDIQuorl::TileHorizontally() {
    const QList<QMdiSubWindow*> subs = MdiArea->subWindowList();
    if (subs.isEmpty()) return;
    const QSize area = MdiArea->viewport()->size();
    const int height = area.height() / subs.size();
    for (int i = 0; i < subs.size(); ++i) {
        subs[i]->showNormal();
        subs[i]->setGeometry(0, i * height, area.width(), height);
    }
}

// Each window two thirds of the frame, each one a title bar lower and to the
// right of the one before, so that every caption can be read.
void MDIQuorl::Cascade() {
    const QList<QMdiSubWindow*> subs = MdiArea->subWindowList();
    if (subs.isEmpty()) return;
    QMdiSubWindow* active = MdiArea->activeSubWindow();
    const QSize area = MdiArea->viewport()->size();
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
    const QSize size(qMax(area.width() * 2 / 3, qMin(area.width(), 640)),
                     qMax(area.height() * 2 / 3, qMin(area.height(), 400)));
    for (int i = 0; i < subs.size(); ++i) {
        subs[i]->showNormal();
        const QPoint at(qMin(i * step, qMax(0, area.width() - size.width())),
                        qMin(i * step, qMax(0, area.height() - size.height())));
        subs[i]->setGeometry(QRect(at, size));
        subs[i]->raise();
    }
    // The window the user works in stays the one in front.
    if (active) {
        active->raise();
        MdiArea->setActiveSubWindow(active);
    }
}
