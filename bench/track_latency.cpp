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
#include "tracks/tracklistmodel.h"
#include "widgets/tracklist.h"

#include <cstdio>
#include <cstdlib>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <vector>

namespace {

constexpr int trackCount = 20;
constexpr double trackSeconds = 1;
// The null sink renders exact zeros while nothing plays; a file's sine never holds zero for this long.
constexpr qsizetype gapFrames = quorvex::test::SinkRecorder::rate / 20; // 50 ms

} // namespace

int main(int argc, char* argv[]) {
    quorvex::bench::SinkBench bench(argc, argv);

    const QString file = bench.scratch.filePath(QStringLiteral("tone.wav"));
    if (!quorvex::bench::makeTone(file, trackSeconds)) {
        return EXIT_FAILURE;
    }

    // The record acknowledgement leaves as the record frame is read: the recorder answers at once.
    std::vector<double> records;
    std::vector<double> stops;
    quorvex::bench::noteFrames(bench.recorder, bench.clock, QStringLiteral("  record"), records);
    quorvex::bench::noteFrames(bench.recorder, bench.clock, QStringLiteral("  stop"), stops);
    const std::unique_ptr<quorvex::frmQuorvex> window = quorvex::bench::windowOn(bench.recorder);
    auto* tracks = window->findChild<quorvex::TrackList*>(QStringLiteral("ListOfMusic"))->entries();
    for (int track = 0; track < trackCount; ++track) {
        tracks->append({file});
    }

    quorvex::test::SinkRecorder sink(bench.clock, quorvex::bench::preciseSinkLatencyMs);
    if (!quorvex::bench::recordRun(*window, sink)) {
        return EXIT_FAILURE;
    }

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
    std::printf("%d tracks of %.0f s (WAV) through the %s null sink; sink times are at most %d ms early\n",
                trackCount, trackSeconds, quorvex::bench::soundServer().constData(),
                quorvex::bench::preciseSinkLatencyMs);
    quorvex::bench::report("record acknowledgement -> first sample in sink:", startDelays);
    quorvex::bench::report("last sample in sink -> stop frame at recorder:", stopDelays);
    return EXIT_SUCCESS;
}
