// A status bar field that keeps a lasting text: when the bar is too narrow
// for every field, the text is shortened with "..." (the tool tip keeps it
// whole) rather than cut.
#pragma once

#include <QLabel>

namespace kq {

class StatusField : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace kq
