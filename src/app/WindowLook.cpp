#include "WindowLook.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

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

void PlaceOnScreen(QWidget* window, const QWidget* over) {
    const QRect area = over->screen()->availableGeometry();
    // The frame is known only once the window system has drawn one; until
    // then the design's allowance for it (title bar, borders).
    const QRect g = window->geometry(), f = window->frameGeometry();
    QMargins frame(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                   f.bottom() - g.bottom());
    if (frame.isNull()) frame = QMargins(4, Twips(kFrameTwips) - 4, 4, 4);
    const QRect inner = area.marginsRemoved(frame);
    QRect r(QPoint(), window->size().boundedTo(inner.size()));
    r.moveCenter(over->frameGeometry().center());
    r.moveLeft(std::clamp(r.left(), inner.left(), inner.right() - r.width() + 1));
    r.moveTop(std::clamp(r.top(), inner.top(), inner.bottom() - r.height() + 1));
    window->setGeometry(r);
}

void SetOuterSizeTwips(QWidget* w, int width, int height) {
    w->resize(Twips(width), Twips(height - kFrameTwips));
}

double RelativeLuminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
           0.0722 * channel(c.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor OutsideBandColour(const QColor& background, const QColor& text) {
    // Light orange under dark text, dark orange under light text.
    const bool dark = RelativeLuminance(background) < RelativeLuminance(text);
    const QColor mark = dark ? QColor(140, 72, 0) : QColor(255, 214, 153);
    // A palette of unusual colours: mixed toward its own background until
    // the text reads again (the background itself reads, or nothing does).
    for (int k = 10; k > 0; --k) {
        const auto mix = [k](int a, int b) { return (a * (10 - k) + b * k) / 10; };
        const QColor c(mix(background.red(), mark.red()), mix(background.green(), mark.green()),
                       mix(background.blue(), mark.blue()));
        if (ContrastRatio(c, text) >= 4.5) return c;
    }
    return background;
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

namespace {

class DialogLook : public QObject {
public:
    explicit DialogLook(QWidget* home) : QObject(home), m_Home(home) {}

protected:
    bool eventFilter(QObject* obj, QEvent* e) override {
        const bool show = e->type() == QEvent::Show;
        if (!show && e->type() != QEvent::Resize) return false;
        auto* dialog = qobject_cast<QDialog*>(obj);
        if (!dialog || !dialog->isWindow()) return false;
        auto* box = qobject_cast<QMessageBox*>(dialog);
        const bool own = QByteArray(dialog->metaObject()->className()).startsWith("kq::");
        if (show && (box || own)) {
            if (box) widenForTitle(box);
            // The program's dialogs have one designed size, and a box sizes
            // itself: neither is minimised or maximised on its own. Told to
            // the window system before the window is mapped.
            if (own) dialog->setFixedSize(dialog->size());
            if (QWindow* window = dialog->windowHandle())
                window->setFlags(
                    (window->flags() & ~(Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint)) |
                    Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        }
        // A box sizes itself as it shows, so it is placed after each resize.
        if (box && m_Home->isVisible()) centre(box);
        return false;
    }

private:
    // A box sized for a short text would cut its title; a spacer in the
    // box's grid holds the width the title bar needs (text and buttons).
    static void widenForTitle(QMessageBox* box) {
        auto* grid = qobject_cast<QGridLayout*>(box->layout());
        if (!grid || box->property("kqTitleWidth").isValid()) return;
        QFont bold = box->font();
        bold.setBold(true);
        // An empty title is shown as the program's name.
        const QString title = box->windowTitle().isEmpty()
                                  ? QGuiApplication::applicationDisplayName()
                                  : box->windowTitle();
        const int width =
            QFontMetrics(bold).horizontalAdvance(title) + 4 * QFontMetrics(bold).height() + 40;
        box->setProperty("kqTitleWidth", width);
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    void centre(QWidget* box) const {
        const QRect home = m_Home->frameGeometry();
        box->move(box->pos() + home.center() - box->frameGeometry().center());
    }

    QWidget* m_Home;
};

} // namespace

void InstallDialogLook(QWidget* home) { qApp->installEventFilter(new DialogLook(home)); }

void PlainMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace kq
