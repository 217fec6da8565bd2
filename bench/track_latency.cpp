// How tightly a recording run brackets each file's sound: over 20 tracks, the time from the record
// acknowledgement leaving the recorder to the file's first sample reaching the sound sink, and from the
// last sample reaching the sink to the stop frame reaching the recorder. Neither may be negative (the
// recorder must be recording before the sound starts, and until it has ended).
//
// Needs the private sound sink and ffmpeg:
//   source scripts/sound-sink.sh && start_sound_sink && ./build-release/bench/quorvex_bench_track_latency;
//   stop_sound_sink
#include "sinkbench.h"
#include "sinkrecorder.h"

#include <cstdio>
#include <cstdlib>
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

namespace {

constexpr int trackCount = 20;
constexpr double trackSeconds = 1;
// The null sink renders exact zeros while nothing plays; a file's sine never holds zero for this long.
constexpr qsizetype gapFrames = quorvex::test::SinkRecorder::rate / 20; // 50 ms

} // namespace

int main(int argc, char* argv[]) {
    if (!quorvex::bench::sinkIsRunning()) {
        return EXIT_FAILURE;
    }
    const QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.path().toLocal8Bit());
    const QApplication application(argc, argv);

    const QString file = scratch.filePath(QStringLiteral("tone.wav"));
    if (!quorvex::bench::makeTone(file, trackSeconds)) {
        return EXIT_FAILURE;
    }

    QElapsedTimer clock;
    clock.start();
    const quorvex::deck::VirtualDeck recorder;
    std::vector<double> records;
    std::vector<double> stops;
    QObject::connect(&recorder, &quorvex::deck::VirtualDeck::frameReceived, [&](const QString& line) {
        const double now = quorvex::bench::secondsOn(clock);
        // The record acknowledgement leaves as the record frame is read: the recorder answers at once.
        if (line.endsWith(QLatin1String("  record"))) {
            records.push_back(now);
        } else if (line.endsWith(QLatin1String("  stop"))) {
            stops.push_back(now);
        }
    });
    const std::unique_ptr<quorvex::frmQuorvex> window = quorvex::bench::windowOn(recorder);
    auto* tracks = window->findChild<QListWidget*>(QStringLiteral("ListOfMusic"));
    for (int track = 0; track < trackCount; ++track) {
        tracks->addItem(file);
    }

    quorvex::test::SinkRecorder sink(clock);
    if (!sink.start()) {
        std::fprintf(stderr, "parec did not record: %s\n", sink.errors().c_str());
        return EXIT_FAILURE;
    }
    QTest::mouseClick(window->findChild<QAbstractButton*>(QStringLiteral("btnRecordList")), Qt::LeftButton);
    QTest::qWait(300);
    sink.stop();

    const std::vector<quorvex::test::SoundSpan> spans = quorvex::test::soundSpans(sink.pcm(), gapFrames);
    const auto seconds = [&sink](qsizetype frame) { return sink.secondsAt(frame); };
    if (spans.size() != trackCount || records.size() != trackCount || stops.size() != trackCount) {
        std::fprintf(stderr, "expected %d tracks, found %zu sounds, %zu records, %zu stops\n", trackCount,
                     spans.size(), records.size(), stops.size());
        return EXIT_FAILURE;
    }
    std::vector<double> startDelays;
    std::vector<double> stopDelays;
    for (std::size_t track = 0; track < spans.size(); ++track) {
        startDelays.push_back(seconds(spans[track].firstFrame) - records[track]);
        stopDelays.push_back(stops[track] - seconds(spans[track].lastFrame + 1));
    }
    std::printf(
        "%d tracks of %.0f s (WAV) through the PulseAudio null sink; sink times are at most 10 ms early\n",
        trackCount, trackSeconds);
    quorvex::bench::report("record acknowledgement -> first sample in sink:", startDelays);
    quorvex::bench::report("last sample in sink -> stop frame at recorder:", stopDelays);
    return EXIT_SUCCESS;
}
