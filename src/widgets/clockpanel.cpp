#include "widgets/clockpanel.h"

namespace quorvex {

namespace {

constexpr int msPerMinute = 60'000;
// Wake a little after the minute turns, so a timer that fires a few ms early still sees the new minute.
constexpr int lateMargin = 20;

} // namespace

QString clockText(QTime time) {
    return time.toString(QStringLiteral("HH:mm"));
}

ClockPanel::ClockPanel(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("clockPanel"));
    setAlignment(Qt::AlignCenter);
    nextMinute.setSingleShot(true);
    nextMinute.setTimerType(Qt::CoarseTimer);
    connect(&nextMinute, &QTimer::timeout, this, &ClockPanel::refresh);
    refresh();
}

void ClockPanel::refresh() {
    const QTime now = QTime::currentTime();
    setText(clockText(now));
    const int intoMinute = (now.msecsSinceStartOfDay() % msPerMinute);
    nextMinute.start(msPerMinute - intoMinute + lateMargin);
}

} // namespace quorvex
