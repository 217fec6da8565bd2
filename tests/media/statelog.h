#pragma once

#include "platform/mediaplayer.h"

#include <optional>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <vector>

namespace quorvex::test {

// Everything a player told, with the time it was told: each new play state as it came (from
// stateChanged) and each failure message.
class StateLog final : public QObject {
    Q_OBJECT

public:
    struct Entry {
        double seconds; // since the log started
        int state;
    };

    explicit StateLog(const MediaPlayer& player);

    [[nodiscard]] const std::vector<Entry>& entries() const { return states; }
    [[nodiscard]] const QStringList& failures() const { return failureMessages; }
    [[nodiscard]] bool sawState(int state) const;
    // When the player first entered `state`, and when it next left it.
    [[nodiscard]] std::optional<double> firstEntered(int state) const;
    [[nodiscard]] std::optional<double> leftAfter(int state, double since) const;
    // The seconds on the log's own clock, for comparing other measurements with it.
    [[nodiscard]] double now() const;
    [[nodiscard]] QString describe() const;

private:
    QElapsedTimer clock;
    std::vector<Entry> states;
    QStringList failureMessages;
};

} // namespace quorvex::test
