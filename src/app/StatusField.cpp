#include "StatusField.h"

#include <QPainter>

namespace kq {

void StatusField::paintEvent(QPaintEvent* e) {
    QFrame::paintEvent(e);
    QPainter p(this);
    const QRect r = contentsRect().adjusted(margin(), 0, -margin(), 0);
    p.drawText(r, Qt::AlignVCenter | Qt::AlignLeft,
               fontMetrics().elidedText(text(), Qt::ElideMiddle, r.width()));
}

} // namespace kq
