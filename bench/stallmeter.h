#pragma once

// The window's longest stall: a 1 ms timer on the window's thread, whose longest gap between wake-ups,
// less its period, is the longest time the window could not react.
#include <algorithm>
#include <QElapsedTimer>
#include <QTimer>

namespace quorvex::bench {

class StallMeter {
public:
    StallMeter() {
        pulse.setTimerType(Qt::PreciseTimer);
        pulse.setInterval(1);
        QObject::connect(&pulse, &QTimer::timeout, [this] {
            const qint64 now = clock.nsecsElapsed();
            longestGap = std::max(longestGap, now - lastWake);
            lastWake = now;
        });
    }

    void start() {
        clock.start();
        lastWake = 0;
        longestGap = 0;
        pulse.start();
    }
    // Seconds since start().
    [[nodiscard]] double seconds() const { return static_cast<double>(clock.nsecsElapsed()) / 1e9; }
    [[nodiscard]] double longestStallMs() const {
        constexpr double nanosecondsPerMillisecond = 1e6;
        return static_cast<double>(longestGap) / nanosecondsPerMillisecond - 1.0;
    }

private:
    QElapsedTimer clock;
    QTimer pulse;
    qint64 lastWake = 0;
    qint64 longestGap = 0;
};

} // namespace quorvex::bench
