#pragma once

#include <QLabel>
#include <QTime>
#include <QTimer>

namespace quorvex {

// Hours and minutes of the time of day, e.g. "09:05".
[[nodiscard]] QString clockText(QTime time);

// The status bar's clock. It rewrites itself just after each minute turns, not on every Tick.
class ClockPanel final : public QLabel {
    Q_OBJECT
public:
    explicit ClockPanel(QWidget* parent = nullptr);

private:
    void refresh();

    QTimer nextMinute;
};

} // namespace quorvex
