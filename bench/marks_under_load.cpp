// Whether every track lands whole and is marked so, also while other programs keep both cores busy: runs of
// eight 3 s files (WAV and MP3 in turn) on the window, the virtual recorder and the sound sink; per run, the
// entries not marked "recorded" (every file here plays whole, so each is marked wrongly), the tracks whose
// sound at the sink is shorter than their file, and the shortest track's share of its file.
//
// Needs the private sound sink and ffmpeg:
//   source scripts/sound-sink.sh && start_sound_sink && ./build-release/bench/quorvex_bench_marks_under_load
//   [RUNS] [--busy]; stop_sound_sink
// --busy starts two processes that spin for the whole bench (one per core of this machine).
#include "run/entrymark.h"
#include "sinkbench.h"
#include "sinkrecorder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <QListWidget>
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
    const std::unique_ptr<quorvex::frmQuorvex> window = quorvex::bench::windowOn(bench.recorder);
    auto* tracks = window->findChild<QListWidget*>(QStringLiteral("ListOfMusic"));
    const Spinners spinners(busy ? 2 : 0);

    int wronglyMarked = 0;
    int shortTracks = 0;
    int missingTracks = 0;
    double shortestShare = 1;
    QStringList marks;
    for (int run = 0; run < runs; ++run) {
        tracks->clear();
        for (int file = 0; file < fileCount; ++file) {
            tracks->addItem(file % 2 == 0 ? wav : mp3);
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
        missingTracks += std::max(fileCount - static_cast<int>(spans.size()), 0);
        int shortHere = 0;
        for (const quorvex::test::SoundSpan& span : spans) {
            const double seconds =
                static_cast<double>(span.lastFrame + 1 - span.firstFrame) / quorvex::test::SinkRecorder::rate;
            shortestShare = std::min(shortestShare, seconds / fileSeconds);
            shortHere += seconds < fileSeconds - shortBy ? 1 : 0;
        }
        wronglyMarked += wrongHere;
        shortTracks += shortHere;
        std::printf(
            "run %2d: %zu tracks at the sink, %d shorter than their file, %d entries marked wrongly\n",
            run + 1, spans.size(), shortHere, wrongHere);
        std::fflush(stdout);
    }
    std::printf("%d runs of %d files (%s null sink, %s):\n", runs, fileCount,
                quorvex::bench::soundServer().constData(),
                busy ? "both cores kept busy by two spinning processes" : "no other load");
    std::printf("  entries marked wrongly:               %d of %d\n", wronglyMarked, runs * fileCount);
    std::printf("  tracks shorter than their file:       %d (missing at the sink: %d)\n", shortTracks,
                missingTracks);
    std::printf("  shortest track's share of its file:   %.3f\n", shortestShare);
    marks.removeDuplicates();
    for (const QString& mark : marks) {
        std::printf("  a wrong mark: %s\n", qPrintable(mark));
    }
    return EXIT_SUCCESS;
}
