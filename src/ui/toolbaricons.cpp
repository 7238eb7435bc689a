#include "ui/toolbaricons.h"
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {
constexpr int Size = 24;
const QColor Ink(40, 40, 40);

void Page(QPainter& p, QRectF r, QColor fill = Qt::white) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(Ink, 1));
    p.setBrush(fill);
    p.drawPath(path);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (qreal y = r.top() + 6; y < r.bottom() - 2; y += 3) p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 2.5, y));
}

void Folder(QPainter& p, QRectF r, QColor fill = QColor(240, 200, 80)) {
    QPainterPath path;
    path.moveTo(r.left(), r.top() + 2);
    path.lineTo(r.left() + r.width() * 0.4, r.top() + 2);
    path.lineTo(r.left() + r.width() * 0.5, r.top() + 4);
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(Ink, 1));
    p.setBrush(fill);
    p.drawPath(path);
}

void Drive(QPainter& p, QRectF r) {
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(190, 190, 200));
    p.drawRoundedRect(r, 2, 2);
    p.setBrush(QColor(60, 200, 60));
    p.drawRect(QRectF(r.right() - 5, r.bottom() - 4, 3, 2));
}

void Badge(QPainter& p, QColor color, const std::function<void(QPainter&)>& glyph) {
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(color);
    p.drawEllipse(QRectF(12, 12, 11, 11));
    p.setPen(QPen(Qt::white, 2));
    glyph(p);
}

void Plus(QPainter& p) {
    p.drawLine(QPointF(17.5, 14.5), QPointF(17.5, 20.5));
    p.drawLine(QPointF(14.5, 17.5), QPointF(20.5, 17.5));
}
void Minus(QPainter& p) { p.drawLine(QPointF(14.5, 17.5), QPointF(20.5, 17.5)); }
void Again(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(14.5, 14.5, 6, 6), 30 * 16, 280 * 16);
}
void Check(QPainter& p) {
    p.drawLine(QPointF(14.5, 17.5), QPointF(16.5, 20));
    p.drawLine(QPointF(16.5, 20), QPointF(20.5, 14.5));
}
void Star(QPainter& p) {
    p.drawLine(QPointF(17.5, 14), QPointF(17.5, 21));
    p.drawLine(QPointF(14.5, 15.5), QPointF(20.5, 19.5));
    p.drawLine(QPointF(14.5, 19.5), QPointF(20.5, 15.5));
}
void Info(QPainter& p) {
    p.drawPoint(QPointF(17.5, 14.8));
    p.drawLine(QPointF(17.5, 16.8), QPointF(17.5, 20.8));
}

void Branch(QPainter& p) {
    p.setPen(QPen(Ink, 1.5));
    p.drawLine(QPointF(4, 3), QPointF(4, 19));
    p.drawLine(QPointF(4, 8), QPointF(9, 8));
    p.drawLine(QPointF(4, 14), QPointF(9, 14));
    p.setBrush(QColor(240, 200, 80));
    p.setPen(QPen(Ink, 1));
    p.drawRect(QRectF(1.5, 1.5, 5, 4));
    p.drawRect(QRectF(9.5, 6.5, 5, 4));
    p.drawRect(QRectF(9.5, 12.5, 5, 4));
}

void Arrow(QPainter& p, QPointF from, QPointF to, QColor color) {
    p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    QPolygonF head{to + d * 2, to - d * 3 + n * 3, to - d * 3 - n * 3};
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(head);
}

void Monitor(QPainter& p, QColor screen) {
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(2.5, 3.5, 19, 14));
    p.setBrush(screen);
    p.drawRect(QRectF(4.5, 5.5, 15, 10));
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(8.5, 18.5, 7, 3));
}

using Drawer = std::function<void(QPainter&)>;

const QHash<QString, Drawer>& Drawers() {
    static const QHash<QString, Drawer> drawers{
        {"tbCopy", [](QPainter& p) { Page(p, {2.5, 2.5, 12, 15}); Page(p, {9.5, 6.5, 12, 15}, QColor(220, 235, 255)); }},
        {"tbDelete", [](QPainter& p) {
             Page(p, {4.5, 2.5, 14, 19});
             p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(7, 8), QPointF(17, 18));
             p.drawLine(QPointF(17, 8), QPointF(7, 18));
         }},
        {"tbMove", [](QPainter& p) { Page(p, {2.5, 2.5, 11, 15}); Arrow(p, {8, 17}, {19, 17}, QColor(30, 120, 210)); }},
        {"tbView", [](QPainter& p) {
             Page(p, {2.5, 2.5, 13, 17});
             p.setPen(QPen(Ink, 2));
             p.setBrush(QColor(210, 240, 255, 200));
             p.drawEllipse(QRectF(10, 9, 8, 8));
             p.drawLine(QPointF(17, 16), QPointF(21.5, 20.5));
         }},
        {"tbBMatch", [](QPainter& p) { Branch(p); Badge(p, QColor(30, 120, 210), Star); }},
        {"tbBTagged", [](QPainter& p) { Branch(p); Badge(p, QColor(30, 150, 60), Check); }},
        {"tbLog", [](QPainter& p) { Drive(p, {1.5, 6.5, 18, 9}); Badge(p, QColor(30, 150, 60), Plus); }},
        {"tbRelog", [](QPainter& p) { Drive(p, {1.5, 6.5, 18, 9}); Badge(p, QColor(30, 120, 210), Again); }},
        {"tbDriveInfo", [](QPainter& p) { Drive(p, {1.5, 6.5, 18, 9}); Badge(p, QColor(30, 120, 210), Info); }},
        {"tbLogFolder", [](QPainter& p) { Folder(p, {1.5, 3.5, 18, 14}); Badge(p, QColor(30, 150, 60), Plus); }},
        {"tbRelogFolder", [](QPainter& p) { Folder(p, {1.5, 3.5, 18, 14}); Badge(p, QColor(30, 120, 210), Again); }},
        {"tbUnlogFolder", [](QPainter& p) { Folder(p, {1.5, 3.5, 18, 14}); Badge(p, QColor(200, 30, 30), Minus); }},
        {"tbMakeFolder", [](QPainter& p) { Folder(p, {1.5, 3.5, 18, 14}); Badge(p, QColor(230, 140, 20), Star); }},
        {"tbAppWiz", [](QPainter& p) {
             p.setPen(QPen(Ink, 1));
             p.setBrush(QColor(200, 160, 110));
             p.drawRect(QRectF(3.5, 8.5, 17, 12));
             p.setBrush(QColor(225, 190, 140));
             p.drawPolygon(QPolygonF{{3.5, 8.5}, {7.5, 3.5}, {24.5, 3.5}, {20.5, 8.5}});
             p.setPen(QPen(QColor(120, 80, 40), 1));
             p.drawLine(QPointF(12, 8.5), QPointF(12, 20.5));
         }},
        {"tbDesk", [](QPainter& p) { Monitor(p, QColor(60, 130, 200)); }},
        {"tbMultimedia", [](QPainter& p) {
             p.setPen(QPen(Ink, 2));
             p.drawLine(QPointF(9, 5), QPointF(9, 17));
             p.drawLine(QPointF(18, 3), QPointF(18, 15));
             p.drawLine(QPointF(9, 5), QPointF(18, 3));
             p.setBrush(Ink);
             p.drawEllipse(QRectF(4, 15, 5, 4));
             p.drawEllipse(QRectF(13, 13, 5, 4));
         }},
        {"tbModem", [](QPainter& p) {
             p.setPen(QPen(Ink, 1));
             p.setBrush(QColor(190, 190, 200));
             p.drawRoundedRect(QRectF(2.5, 10.5, 19, 8), 2, 2);
             p.setBrush(QColor(60, 200, 60));
             for (int i = 0; i < 3; ++i) p.drawEllipse(QRectF(5 + 4 * i, 13.5, 2.5, 2.5));
             p.setPen(QPen(Ink, 1.5));
             p.drawLine(QPointF(18, 10.5), QPointF(18, 4));
         }},
        {"tbNetwork", [](QPainter& p) {
             p.setPen(QPen(Ink, 1));
             p.setBrush(QColor(60, 130, 200));
             p.drawRect(QRectF(1.5, 2.5, 9, 7));
             p.drawRect(QRectF(13.5, 2.5, 9, 7));
             p.drawRect(QRectF(7.5, 14.5, 9, 7));
             p.setPen(QPen(Ink, 1.5));
             p.drawLine(QPointF(6, 9.5), QPointF(6, 12));
             p.drawLine(QPointF(18, 9.5), QPointF(18, 12));
             p.drawLine(QPointF(6, 12), QPointF(18, 12));
             p.drawLine(QPointF(12, 12), QPointF(12, 14.5));
         }},
        {"tbSystem", [](QPainter& p) {
             p.setPen(QPen(Ink, 1));
             p.setBrush(QColor(200, 200, 205));
             p.drawRect(QRectF(6.5, 1.5, 11, 21));
             p.setBrush(QColor(90, 90, 100));
             p.drawRect(QRectF(8.5, 4.5, 7, 2));
             p.drawRect(QRectF(8.5, 8.5, 7, 2));
             p.setBrush(QColor(60, 200, 60));
             p.drawEllipse(QRectF(10.5, 17, 3, 3));
         }},
        {"opened", [](QPainter& p) {
             Folder(p, {1.5, 4.5, 18, 14}, QColor(220, 180, 60));
             p.setPen(QPen(Ink, 1));
             p.setBrush(QColor(250, 220, 120));
             p.drawPolygon(QPolygonF{{4.5, 10.5}, {22.5, 10.5}, {19.5, 18.5}, {1.5, 18.5}});
         }},
        {"closed", [](QPainter& p) { Folder(p, {2.5, 4.5, 19, 14}); }},
    };
    return drawers;
}

QIcon Draw(const QString& key) {
    static QHash<QString, QIcon> cache;
    if (auto it = cache.find(key); it != cache.end()) return *it;
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (auto it = Drawers().find(key); it != Drawers().end()) (*it)(p);
    p.end();
    return cache.insert(key, QIcon(pixmap)).value();
}
}  // namespace

QIcon ToolbarIcon(const QString& key) { return Draw(key); }
QIcon DirListImage(const QString& name) { return Draw(name); }
