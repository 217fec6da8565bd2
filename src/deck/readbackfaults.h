#pragma once

#include <chrono>
#include <optional>
#include <QByteArray>
#include <QString>

namespace quorvex::deck {

// Faults that only show when the disc is read back after a run: the deck takes every command as usual,
// but what ends up on the disc is not what it was given, or the disc cannot be read back at all. Both
// decks know them.
struct ReadBackFaults {
    std::optional<int> dropTrack{};  // the n-th track made from now on never reaches the disc
    int shortBySeconds = 0;          // every track made is this much shorter than recorded (not below 0)
    std::optional<int> garbleName{}; // the n-th name stored from now on has one character changed
    bool unansweredAfterRecording = false; // requests that read the disc go unanswered once recording began

    friend bool operator==(const ReadBackFaults&, const ReadBackFaults&) = default;
};

// Counts the tracks and names a deck makes and tells which of them a fault hits. Names without a
// character are not counted: there is nothing in them to change.
class ReadBackFlaws {
public:
    explicit ReadBackFlaws(ReadBackFaults faults = {}) : faults(faults) {}

    // One more track made: false if it is the one that never reaches the disc.
    [[nodiscard]] bool keepsTrack();
    // The length the disc gets for a track recorded for `recorded`.
    [[nodiscard]] std::chrono::milliseconds stored(std::chrono::milliseconds recorded) const;
    // One more name stored: the text to store for it.
    [[nodiscard]] QString stored(const QString& name);
    [[nodiscard]] QByteArray stored(const QByteArray& name);

    [[nodiscard]] bool leavesReadBackUnanswered() const { return faults.unansweredAfterRecording; }

private:
    [[nodiscard]] bool garblesName();

    ReadBackFaults faults;
    int tracksMade = 0;
    int namesStored = 0;
};

// The name with its last character replaced: by 'X', or by 'Y' where it is an 'X' already. A character
// written as two UTF-16 units is replaced whole.
[[nodiscard]] QString withOneCharacterChanged(QString name);
[[nodiscard]] QByteArray withOneCharacterChanged(QByteArray name);

} // namespace quorvex::deck
