#pragma once

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QtEndian>
#include <string>
#include <utility>
#include <vector>

namespace quorvex::test {

// Records what reaches the private null sink, from its monitor, with parec: raw 16-bit little-endian stereo
// at 44.1 kHz, the sink's own format. The null sink renders silence while nothing plays, so the recording
// runs on the sink's clock from the moment it starts.
class SinkRecorder final {
public:
    static constexpr int rate = 44100;
    static constexpr qsizetype bytesPerFrame = 4;

    // `clock` is the clock the recording's start is measured on (to compare it with other events);
    // `latencyMs` is parec's, the most the recording's times may be early; `sink` the sink recorded, the
    // test sink unless named.
    explicit SinkRecorder(const QElapsedTimer& clock, int latencyMs = 10,
                          QString sink = qEnvironmentVariable("QUORVEX_TEST_SINK"))
        : clock(clock), latencyMs(latencyMs), sink(std::move(sink)) {
        QObject::connect(&parec, &QProcess::readyReadStandardOutput, [this] { take(); });
    }

    // Starts parec and returns once the first sound data has come, or false (with parec's complaint in
    // errors()) if it did not. Each arrival is taken in as it comes, also the one this wait sees.
    bool start() {
        const QString monitor = sink + QStringLiteral(".monitor");
        parec.start(QStringLiteral("parec"),
                    {QStringLiteral("--device=") + monitor, QStringLiteral("--raw"),
                     QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(rate),
                     QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=%1").arg(latencyMs)});
        return parec.waitForStarted(5000) && parec.waitForReadyRead(5000) && !recorded.isEmpty();
    }

    // Stops parec; the recording so far stays in pcm(). A parec that does not end is killed with the
    // recorder.
    void stop() {
        parec.terminate();
        parec.waitForFinished(5000);
        take();
    }

    [[nodiscard]] const QByteArray& pcm() const { return recorded; }
    // On the given clock, in seconds: when a frame of the recording went through the sink, at most parec's
    // latency early.
    [[nodiscard]] double secondsAt(qsizetype frame) const {
        return started.value_or(0.0) + static_cast<double>(frame) / rate;
    }
    [[nodiscard]] std::string errors() { return parec.readAllStandardError().trimmed().toStdString(); }

private:
    void take() {
        recorded.append(parec.readAllStandardOutput());
        // (Called with nothing new, it finds no earlier bound.) Data never comes before the sink rendered it,
        // so each arrival, less the length of all the data until then, bounds the recording's start from
        // above; the earliest bound is the one a late wakeup of this process did not spoil.
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const double bound = now - static_cast<double>(recorded.size()) / bytesPerFrame / rate;
        started = std::min(started.value_or(bound), bound);
    }

    const QElapsedTimer& clock;
    int latencyMs;
    QString sink;
    QProcess parec;
    QByteArray recorded;
    std::optional<double> started;
};

// The largest sample magnitude in 16-bit little-endian sound.
inline int peak(QByteArrayView pcm) {
    int loudest = 0;
    for (qsizetype offset = 0; offset + 2 <= pcm.size(); offset += 2) {
        loudest = std::max(loudest, std::abs(int{qFromLittleEndian<qint16>(pcm.sliced(offset).data())}));
    }
    return loudest;
}

// A stretch of sound between silences: its first and last frame that are not silence.
struct SoundSpan {
    qsizetype firstFrame = 0;
    qsizetype lastFrame = 0;
};

// The stretches of sound in a recording, split wherever at least `gapFrames` frames of exact silence (what a
// null sink renders while nothing plays) stand between them. With a `floor`, only samples louder than it
// are sound: the stretches of the louder of two levels.
inline std::vector<SoundSpan> soundSpans(const QByteArray& pcm, qsizetype gapFrames, int floor = 0) {
    constexpr qsizetype size = SinkRecorder::bytesPerFrame;
    std::vector<SoundSpan> spans;
    for (qsizetype frame = 0; frame < pcm.size() / size; ++frame) {
        if (peak(QByteArrayView(pcm).sliced(frame * size, size)) > floor) {
            if (spans.empty() || frame - spans.back().lastFrame > gapFrames) {
                spans.push_back({frame, frame});
            }
            spans.back().lastFrame = frame;
        }
    }
    return spans;
}

} // namespace quorvex::test
