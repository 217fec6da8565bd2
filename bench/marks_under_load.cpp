// Whether every track lands whole and is marked so, also while other programs keep both cores busy: runs of
// eight 3 s files (WAV and MP3 in turn) on the window, the virtual recorder and the sound sink; per run, the
// entries not marked "recorded" (every file here plays whole, so each is marked wrongly), the tracks whose
// sound at the sink (between the recorder's record and stop frames) is shorter than their file, the gaps of
// silence inside a track's sound (the sound server starved), and the shortest track's share of its file.
//
// Needs the private sound sink and ffmpeg:
//   source scripts/sound-sink.sh && start_sound_sink && ./build-release/bench/quorvex_bench_marks_under_load
//   [RUNS] [--busy]; stop_sound_sink
// --busy starts two processes that spin for the whole bench (one per core of this machine).
#include "sinkbench.h"
#include "sinkrecorder.h"
#include "tracks/entrymark.h"
#include "tracks/tracklistmodel.h"
#include "widgets/tracklist.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <QProcess>
#include <QStringList>
#include <vector>

namespace {

constexpr int fileCount = 8;
constexpr double fileSeconds = 3;
constexpr double shortBy = 0.05; // a track this much shorter than its file has lost sound
constexpr qsizetype gapFrames = quorvex::test::SinkRecorder::rate / 20; // 50 ms between tracks

// Processes that keep a core busy until they are destroyed.
class Spinners {
public:
    explicit Spinners(int count) {
        for (int spinner = 0; spinner < count; ++spinner) {
            auto& process = processes.emplace_back(std::make_unique<QProcess>());
            process->start(QStringLiteral("sh"),
                           {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
            process->waitForStarted();
        }
    }
    Spinners(const Spinners&) = delete;
    Spinners& operator=(const Spinners&) = delete;
    Spinners(Spinners&&) = delete;
    Spinners& operator=(Spinners&&) = delete;
    ~Spinners() {
        for (const auto& process : processes) {
            process->kill();
            process->waitForFinished();
        }
    }

private:
    std::vector<std::unique_ptr<QProcess>> processes;
};

bool makeMp3(const QString& wav, const QString& mp3) {
    return QProcess::execute(QStringLiteral("ffmpeg"), {"-nostdin", "-loglevel", "error", "-y", "-i", wav,
                                                        "-codec:a", "libmp3lame", "-b:a", "192k", mp3}) == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    quorvex::bench::SinkBench bench(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const bool busy = arguments.contains(QStringLiteral("--busy"));
    int runs = 20;
    for (const QString& argument : arguments.mid(1)) {
        runs = argument.toInt() > 0 ? argument.toInt() : runs;
    }

    const QString wav = bench.scratch.filePath(QStringLiteral("tone.wav"));
    const QString mp3 = bench.scratch.filePath(QStringLiteral("tone.mp3"));
    if (!quorvex::bench::makeTone(wav, fileSeconds) || !makeMp3(wav, mp3)) {
        return EXIT_FAILURE;
    }
    std::vector<double> records;
    std::vector<double> stops;
    quorvex::bench::noteFrames(bench.recorder, bench.clock, QStringLiteral("  record"), records);
    quorvex::bench::noteFrames(bench.recorder, bench.clock, QStringLiteral("  stop"), stops);
    const std::unique_ptr<quorvex::frmQuorvex> window = quorvex::bench::windowOn(bench.recorder);
    auto* tracks = window->findChild<quorvex::TrackList*>(QStringLiteral("ListOfMusic"))->entries();
    const Spinners spinners(busy ? 2 : 0);

    int wronglyMarked = 0;
    int shortTracks = 0;
    int gaps = 0;
    double shortestShare = 1;
    QStringList marks;
    for (int run = 0; run < runs; ++run) {
        tracks->clear();
        for (int file = 0; file < fileCount; ++file) {
            tracks->append({file % 2 == 0 ? wav : mp3});
        }
        quorvex::test::SinkRecorder sink(bench.clock);
        if (!quorvex::bench::recordRun(*window, sink)) {
            return EXIT_FAILURE;
        }
        int wrongHere = 0;
        for (int entry = 0; entry < fileCount; ++entry) {
            const quorvex::EntryMark mark = window->entryMark(entry);
            if (mark.state != quorvex::EntryState::recorded) {
                ++wrongHere;
                marks.append(quorvex::entryMarkText(mark));
            }
        }
        const std::vector<quorvex::test::SoundSpan> spans = quorvex::test::soundSpans(sink.pcm(), gapFrames);
        if (records.size() < fileCount || stops.size() < fileCount) {
            std::fprintf(stderr, "run %d: the recorder saw %zu records and %zu stops\n", run + 1,
                         records.size(), stops.size());
            return EXIT_FAILURE;
        }
        int shortHere = 0;
        int gapsHere = 0;
        for (int track = 0; track < fileCount; ++track) {
            // The sound at the sink from the track's record frame to its stop frame.
            const double from = records.at(records.size() - fileCount + track);
            const double to = stops.at(stops.size() - fileCount + track);
            double seconds = 0;
            int pieces = 0;
            for (const quorvex::test::SoundSpan& span : spans) {
                const double start = std::max(sink.secondsAt(span.firstFrame), from);
                const double end = std::min(sink.secondsAt(span.lastFrame + 1), to);
                if (end > start) {
                    seconds += end - start;
                    ++pieces;
                }
            }
            shortestShare = std::min(shortestShare, seconds / fileSeconds);
            shortHere += seconds < fileSeconds - shortBy ? 1 : 0;
            gapsHere += std::max(pieces - 1, 0);
        }
        wronglyMarked += wrongHere;
        shortTracks += shortHere;
        gaps += gapsHere;
        std::printf(
            "run %2d: %d tracks shorter than their file, %d gaps inside tracks, %d entries marked wrongly\n",
            run + 1, shortHere, gapsHere, wrongHere);
        std::fflush(stdout);
    }
    std::printf("%d runs of %d files (%s null sink, %s):\n", runs, fileCount,
                quorvex::bench::soundServer().constData(),
                busy ? "both cores kept busy by two spinning processes" : "no other load");
    std::printf("  entries marked wrongly:               %d of %d\n", wronglyMarked, runs * fileCount);
    std::printf("  tracks shorter than their file:       %d of %d\n", shortTracks, runs * fileCount);
    std::printf("  gaps of 50 ms or more inside tracks:  %d\n", gaps);
    std::printf("  shortest track's share of its file:   %.3f\n", shortestShare);
    marks.removeDuplicates();
    for (const QString& mark : marks) {
        std::printf("  a wrong mark: %s\n", qPrintable(mark));
    }
    return EXIT_SUCCESS;
}
