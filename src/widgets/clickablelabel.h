#pragma once

#include <QLabel>

namespace quorvex {

// A label that reports a click: pressed and released with the left button over it.
class ClickableLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed = false;
};

} // namespace quorvex
