#pragma once

#include <optional>
#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>

namespace quorvex::test {

// Records what reaches the private null sink, from its monitor, with parec: raw 16-bit little-endian stereo
// at 44.1 kHz, the sink's own format. The null sink renders silence while nothing plays, so the recording
// runs on the sink's clock from the moment it starts.
class SinkRecorder final {
public:
    static constexpr int rate = 44100;
    static constexpr int channels = 2;

    // `clock` is the clock the recording's start is measured on (the StateLog's, to compare the two).
    explicit SinkRecorder(const QElapsedTimer& clock);
    ~SinkRecorder();
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;
    SinkRecorder(SinkRecorder&&) = delete;
    SinkRecorder& operator=(SinkRecorder&&) = delete;

    // Starts parec and returns once the first sound data has come, or false if it did not.
    bool start();
    // Stops parec; the recording so far stays in pcm().
    void stop();
    [[nodiscard]] const QByteArray& pcm() const { return recorded; }
    // On the given clock, in seconds: when the recording's first frame went through the sink, at most parec's
    // latency (10 ms) late: the earliest of every arrival less the length of all the data until then.
    [[nodiscard]] std::optional<double> startSeconds() const { return started; }
    [[nodiscard]] QString errors();

private:
    void take();

    const QElapsedTimer& clock;
    QProcess parec;
    QByteArray recorded;
    std::optional<double> started;
};

} // namespace quorvex::test
