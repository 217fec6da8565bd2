#include "platform/level.h"

#include <algorithm>
#include <cmath>

namespace quorvex {

namespace {

constexpr double minus6 = -6.0;

// A gain and its peak, limited so that the peak times the gain stays within full scale.
double limitedDb(double gain, std::optional<double> peak) {
    constexpr double decibelsPerDecade = 20.0;
    const double limit = peak && *peak > 0.0 ? -decibelsPerDecade * std::log10(*peak) : 0.0;
    return std::min(gain, limit);
}

double gainDb(const ReplayGain& gains, bool album) {
    if (album && gains.albumGain) {
        return limitedDb(*gains.albumGain, gains.albumPeak);
    }
    if (gains.trackGain) {
        return limitedDb(*gains.trackGain, gains.trackPeak);
    }
    return gains.albumGain ? limitedDb(*gains.albumGain, gains.albumPeak) : minus6;
}

} // namespace

double levelDb(Level level, const ReplayGain& gains) {
    switch (level) {
    case Level::full:
        return 0.0;
    case Level::trackGain:
        return gainDb(gains, false);
    case Level::albumGain:
        return gainDb(gains, true);
    case Level::minus6dB:
        break;
    }
    return minus6;
}

double takeLevelDb(Level level, const ReplayGain& first) {
    return level == Level::trackGain ? gainDb(first, true) : levelDb(level, first);
}

} // namespace quorvex
