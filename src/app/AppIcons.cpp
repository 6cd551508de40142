#include "AppIcons.h"

#include <QPainter>

namespace kq {

QPixmap ResultMark(bool ok, int side) {
    QPixmap pix(side, side);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ok ? QColor(0, 140, 60) : QColor(200, 30, 30));
    p.drawEllipse(QRectF(0.5, 0.5, side - 1.0, side - 1.0));
    p.setPen(QPen(Qt::white, side / 7.0, Qt::SolidLine, Qt::RoundCap));
    const double a = side * 0.3, b = side * 0.7;
    if (ok)
        p.drawPolyline(QPolygonF({{a, side * 0.52}, {side * 0.45, b}, {b, a}}));
    else
        p.drawLine(QLineF(a, a, b, b)), p.drawLine(QLineF(a, b, b, a));
    return pix;
}

} // namespace kq
