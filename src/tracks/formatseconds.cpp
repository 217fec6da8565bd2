#include "tracks/formatseconds.h"

#include <cmath>

namespace quorvex {

namespace {

constexpr double secondsPerMinute = 60;

double roundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) {
        return below + 1;
    }
    if (fraction < 0.5) {
        return below;
    }
    return std::fmod(below, 2) == 0 ? below : below + 1;
}

} // namespace

QString formatSeconds(double seconds) {
    if (!std::isfinite(seconds)) {
        seconds = 0;
    }
    const auto minutes = static_cast<long long>(std::floor(seconds / secondsPerMinute));
    const auto wholeSeconds = static_cast<long long>(std::fmod(roundHalfToEven(seconds), secondsPerMinute));
    return QStringLiteral("%1:%2")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(wholeSeconds, 2, 10, QLatin1Char('0'));
}

QString formatLength(std::optional<std::chrono::milliseconds> length, const QString& unknown) {
    if (!length) {
        return unknown;
    }
    return formatSeconds(static_cast<double>(std::chrono::round<std::chrono::seconds>(*length).count()));
}

} // namespace quorvex
