#include "WindowLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QWidget>

namespace kq {

namespace {
// The frame and title bar the design's outer sizes include.
constexpr int kFrameTwips = 400;
} // namespace

void PlaceTwips(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

QLabel* PlaceLabel(QWidget* parent, const QString& text, int left, int top, int width) {
    auto* l = new QLabel(text, parent);
    PlaceTwips(l, left, top, width, 300);
    return l;
}

QLineEdit* PlaceField(QWidget* parent, int maxLength, int left, int top, int width) {
    auto* e = new QLineEdit(parent);
    e->setMaxLength(maxLength);
    PlaceTwips(e, left, top, width, 360);
    return e;
}

void SetOuterSizeTwips(QWidget* w, int width, int height) {
    w->resize(Twips(width), Twips(height - kFrameTwips));
}

QFont CourierBoldFont() {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(9.75);
    f.setBold(true);
    return f;
}

QFont ArialBoldFont(double points) {
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(true);
    return f;
}

void PlainMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace kq
