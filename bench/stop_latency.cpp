// How quickly Stop recording takes hold: over 20 runs, each stopped at a random moment while its file
// sounds, the time from the press to the stop frame reaching the recorder and to the sound's last sample
// in the sound sink.
//
// Needs the private sound sink and ffmpeg:
//   source scripts/sound-sink.sh && start_sound_sink && ./build-release/bench/quorvex_bench_stop_latency;
//   stop_sound_sink
#include "sinkbench.h"
#include "sinkrecorder.h"
#include "tracks/tracklistmodel.h"
#include "widgets/tracklist.h"

#include <cstdio>
#include <cstdlib>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <vector>

namespace {

constexpr int pressCount = 20;
constexpr double toneSeconds = 3;
// The run asks the disc for 2 s, then the tone sounds for 3 s: presses fall between 0.2 s and 2.8 s of it.
constexpr int firstPressMs = 2300;
constexpr int lastPressMs = 4800;
constexpr qsizetype gapFrames = quorvex::test::SinkRecorder::rate / 20; // 50 ms

} // namespace

int main(int argc, char* argv[]) {
    quorvex::bench::SinkBench bench(argc, argv);
    const QString file = bench.scratch.filePath(QStringLiteral("tone.wav"));
    if (!quorvex::bench::makeTone(file, toneSeconds)) {
        return EXIT_FAILURE;
    }

    std::vector<double> stops;
    quorvex::bench::noteFrames(bench.recorder, bench.clock, QStringLiteral("  stop"), stops);
    const std::unique_ptr<quorvex::frmQuorvex> window = quorvex::bench::windowOn(bench.recorder);
    window->findChild<quorvex::TrackList*>(QStringLiteral("ListOfMusic"))->entries()->append({file});
    auto* record = window->findChild<QAbstractButton*>(QStringLiteral("btnRecordList"));

    quorvex::test::SinkRecorder sink(bench.clock);
    if (!quorvex::bench::startSink(sink)) {
        return EXIT_FAILURE;
    }
    std::vector<double> presses;
    for (int run = 0; run < pressCount; ++run) {
        // The entry was cut off, so it is not recorded and the next press of Record asks nothing.
        QTimer::singleShot(QRandomGenerator::global()->bounded(firstPressMs, lastPressMs), record, [&] {
            presses.push_back(quorvex::bench::secondsOn(bench.clock));
            QTest::mouseClick(record, Qt::LeftButton);
        });
        QTest::mouseClick(record, Qt::LeftButton);
        QTest::qWait(200); // a gap of silence between the runs' sounds
    }
    sink.stop();

    const std::vector<quorvex::test::SoundSpan> spans = quorvex::test::soundSpans(sink.pcm(), gapFrames);
    if (spans.size() != pressCount || stops.size() != pressCount || presses.size() != pressCount) {
        std::fprintf(stderr, "expected %d runs, found %zu sounds, %zu stops, %zu presses\n", pressCount,
                     spans.size(), stops.size(), presses.size());
        return EXIT_FAILURE;
    }
    std::vector<double> toStop;
    std::vector<double> toSilence;
    for (std::size_t run = 0; run < presses.size(); ++run) {
        toStop.push_back(stops[run] - presses[run]);
        toSilence.push_back(sink.secondsAt(spans[run].lastFrame + 1) - presses[run]);
    }
    std::printf("%d presses of Stop recording at random moments of a %.0f s WAV's sound (%s null sink; sink "
                "times are at most 10 ms early)\n",
                pressCount, toneSeconds, quorvex::bench::soundServer().constData());
    quorvex::bench::report("press -> stop frame at recorder:", toStop);
    quorvex::bench::report("press -> last sample in sink:", toSilence);
    return EXIT_SUCCESS;
}
