#include "pcm.h"

#include <algorithm>
#include <cstdlib>
#include <QFile>
#include <QtEndian>
#include <span>

namespace quorvex::test {

namespace {

constexpr qsizetype bytesPerSample = 2;
constexpr qsizetype bytesPerFrame = 2 * bytesPerSample;

// The bytes from `offset` on.
const char* from(const QByteArray& bytes, qsizetype offset) {
    return std::span(bytes.constData(), static_cast<std::size_t>(bytes.size()))
        .subspan(static_cast<std::size_t>(offset))
        .data();
}

int sampleAt(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<qint16>(from(bytes, offset));
}

int peakOf(const QByteArray& bytes, qsizetype from, qsizetype to) {
    int peak = 0;
    for (qsizetype offset = from; offset + bytesPerSample <= to; offset += bytesPerSample) {
        peak = std::max(peak, std::abs(sampleAt(bytes, offset)));
    }
    return peak;
}

} // namespace

double PcmSummary::soundSeconds(int rate) const {
    if (!firstSoundFrame || !lastSoundFrame) {
        return 0.0;
    }
    return static_cast<double>(*lastSoundFrame - *firstSoundFrame + 1) / rate;
}

PcmSummary summarize(const QByteArray& pcm, qsizetype fromFrame) {
    PcmSummary summary;
    summary.frames = pcm.size() / bytesPerFrame;
    for (qsizetype frame = std::max<qsizetype>(fromFrame, 0); frame < summary.frames; ++frame) {
        const qsizetype offset = frame * bytesPerFrame;
        const int loudest =
            std::max(std::abs(sampleAt(pcm, offset)), std::abs(sampleAt(pcm, offset + bytesPerSample)));
        if (loudest == 0) {
            continue;
        }
        summary.peak = std::max(summary.peak, loudest);
        if (!summary.firstSoundFrame) {
            summary.firstSoundFrame = frame;
        }
        summary.lastSoundFrame = frame;
    }
    return summary;
}

std::optional<int> wavPeak(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    constexpr qsizetype riffHeader = 12;
    constexpr qsizetype chunkHeader = 8;
    if (bytes.size() < riffHeader || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        return std::nullopt;
    }
    // The chunks follow the RIFF header, each an id and a little-endian length; the samples are in "data".
    for (qsizetype offset = riffHeader; offset + chunkHeader <= bytes.size();) {
        const auto length = static_cast<qsizetype>(qFromLittleEndian<quint32>(from(bytes, offset + 4)));
        const qsizetype body = offset + chunkHeader;
        if (bytes.mid(offset, 4) == "data") {
            return peakOf(bytes, body, std::min(body + length, bytes.size()));
        }
        offset = body + length + (length % 2);
    }
    return std::nullopt;
}

std::vector<SoundSpan> soundSpans(const QByteArray& pcm, qsizetype gapFrames) {
    constexpr qsizetype frameBytes = 4;
    const qsizetype frames = pcm.size() / frameBytes;
    const auto silent = [&pcm](qsizetype frame) {
        const QByteArrayView bytes = QByteArrayView(pcm).sliced(frame * frameBytes, frameBytes);
        return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return byte == 0; });
    };
    std::vector<SoundSpan> spans;
    qsizetype frame = 0;
    while (frame < frames) {
        while (frame < frames && silent(frame)) {
            ++frame;
        }
        if (frame == frames) {
            break;
        }
        SoundSpan span{frame, frame};
        for (qsizetype zeros = 0; frame < frames && zeros < gapFrames; ++frame) {
            if (silent(frame)) {
                ++zeros;
            } else {
                zeros = 0;
                span.lastFrame = frame;
            }
        }
        spans.push_back(span);
    }
    return spans;
}

} // namespace quorvex::test
