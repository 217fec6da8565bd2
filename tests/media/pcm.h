#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <vector>

namespace quorvex::test {

// What a stretch of 16-bit little-endian stereo sound holds.
struct PcmSummary {
    qsizetype frames = 0;
    int peak = 0;                             // the largest sample, as a magnitude
    std::optional<qsizetype> firstSoundFrame; // the first frame that is not silence
    std::optional<qsizetype> lastSoundFrame;  // the last frame that is not silence

    // From the first to the last frame that is not silence, in seconds at `rate`.
    [[nodiscard]] double soundSeconds(int rate) const;
};

// `fromFrame` skips the frames before it.
PcmSummary summarize(const QByteArray& pcm, qsizetype fromFrame = 0);

// A stretch of sound between silences: its first and last frame that are not silence.
struct SoundSpan {
    qsizetype firstFrame = 0;
    qsizetype lastFrame = 0;
};

// The stretches of sound, split wherever at least `gapFrames` frames of exact silence (what a null sink
// renders while nothing plays) stand between them.
std::vector<SoundSpan> soundSpans(const QByteArray& pcm, qsizetype gapFrames);

// The largest sample magnitude in a 16-bit PCM WAV file; nothing if the file is not one.
std::optional<int> wavPeak(const QString& path);

} // namespace quorvex::test
