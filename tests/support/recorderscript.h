#pragma once

#include "support/fakes.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>
#include <vector>

namespace quorvex::testing {

// Writes a file and returns its path.
inline QString writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    return path;
}

// What the fake player is given to play: a WAV header and a little silence.
inline const QByteArray silentWav = QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16) + QByteArray(64, '\0');

inline const QByteArray discRequest = hex("81070547 2044 FF");
inline const QByteArray recordFrame = hex("81070547 0221 FF");
inline const QByteArray stopFrame = hex("81070547 0202 FF");
inline const QByteArray playFrame = hex("81070547 0201 FF");

// A recorder with 5 tracks on its disc that answers the disc request and acknowledges record and stop while
// the flags say so (read at each frame). Every record command acknowledged makes a track; with a clock (the
// fake event pump's Tick count) the disc's time grows by what was recorded, from the first record to the
// stop.
inline std::function<QByteArray(const QByteArray& frame)>
fiveTrackRecorder(const bool& acknowledgesRecord, const bool& acknowledgesStop, const int* clock = nullptr) {
    return [&acknowledgesRecord, &acknowledgesStop, clock, made = 0, since = std::optional<int>(),
            recordedTicks = 0](const QByteArray& frame) mutable {
        const int now = clock != nullptr ? *clock : 0;
        if (frame == recordFrame && acknowledgesRecord) {
            ++made;
            since = since.value_or(now);
        } else if (frame == stopFrame && since) {
            recordedTicks += now - *since;
            since.reset();
        }
        if (frame == discRequest) {
            constexpr int ticksPerSecond = 10;
            const int seconds = 10 * 60 + 11 + (recordedTicks + ticksPerSecond / 2) / ticksPerSecond;
            QByteArray answer = hex("81 0D 05 48 20 60 01 00 00 00 00 00 FF");
            answer[8] = static_cast<char>(5 + made);
            answer[9] = static_cast<char>(seconds / 60);
            answer[10] = static_cast<char>(seconds % 60);
            return answer;
        }
        return (frame == recordFrame && acknowledgesRecord) || (frame == stopFrame && acknowledgesStop)
                   ? hex("81070548") + frame.mid(4)
                   : QByteArray();
    };
}

// Frames as the tests name them: "request", "record", "stop", "play", "title N", else their bytes.
inline std::vector<std::string> frameNames(const std::vector<QByteArray>& frames) {
    std::vector<std::string> names;
    names.reserve(frames.size());
    for (const QByteArray& frame : frames) {
        names.push_back(frame == discRequest   ? "request"
                        : frame == recordFrame ? "record"
                        : frame == stopFrame   ? "stop"
                        : frame == playFrame   ? "play"
                        : frame.size() == 23 ? "title " + std::to_string(static_cast<unsigned char>(frame[5]))
                                             : frame.toHex(' ').toStdString());
    }
    return names;
}

} // namespace quorvex::testing
