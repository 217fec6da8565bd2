#pragma once

#include "support/fakes.h"

#include <gtest/gtest.h>
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
