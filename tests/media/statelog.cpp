#include "statelog.h"

#include <algorithm>

namespace quorvex::test {

StateLog::StateLog(const MediaPlayer& player) {
    clock.start();
    states.push_back({0.0, player.playState()});
    connect(&player, &MediaPlayer::stateChanged, this, [this, &player] {
        if (const int state = player.playState(); state != states.back().state) {
            states.push_back({now(), state});
        }
    });
    connect(&player, &MediaPlayer::failed, this,
            [this](const QString&, const QString& message) { failureMessages.append(message); });
}

double StateLog::now() const {
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

bool StateLog::sawState(int state) const {
    return std::any_of(states.begin(), states.end(),
                       [state](const Entry& entry) { return entry.state == state; });
}

std::optional<double> StateLog::firstEntered(int state) const {
    const auto found = std::find_if(states.begin(), states.end(),
                                    [state](const Entry& entry) { return entry.state == state; });
    return found == states.end() ? std::nullopt : std::optional(found->seconds);
}

std::optional<double> StateLog::leftAfter(int state, double since) const {
    const auto found = std::find_if(states.begin(), states.end(), [&](const Entry& entry) {
        return entry.seconds > since && entry.state != state;
    });
    return found == states.end() ? std::nullopt : std::optional(found->seconds);
}

QString StateLog::describe() const {
    QStringList parts;
    for (const Entry& entry : states) {
        parts.append(QStringLiteral("%1@%2s").arg(entry.state).arg(entry.seconds, 0, 'f', 3));
    }
    if (!failureMessages.isEmpty()) {
        parts.append(QStringLiteral("failed: ") + failureMessages.join(QStringLiteral(" | ")));
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace quorvex::test
