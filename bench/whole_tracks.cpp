// Whether every track reaches the sound output whole and at its level while the computer builds something
// beside the run: quorvex-record records 20 files of 5 s (each a tone of its own) onto the virtual recorder
// into the sound sink, idle and beside scripts/build-load, three runs each (at Track gain, Full level and
// -6 dB in turn). The program runs without realtime rights (no CAP_SYS_NICE, RLIMIT_RTPRIO 0), as on a
// user's desktop. Per condition: the holes inside tracks (44 or more silent frames), each file's level error
// (the largest over windows of about 0.1 s, and in the first window), samples that are not the file's own at
// Full level, the time from the recorder's record command to the track's first sample, and from its last
// sample to the stop command; and the capture's own shortfall (data the capture lost, against its clock),
// which would tell a hole of the capture from a hole in what was played. Exits 1 when a track is missing,
// out of order, has a hole, or misses its level by more than 0.03 dB (Full level: one sample off).
//
//   source scripts/sound-sink.sh && start_sound_sink && ./build-release/bench/quorvex_bench_whole_tracks
//   [--runs N] [--files N] [--idle-only | --load-only] [--program PATH]; stop_sound_sink
#include "sinkbench.h"
#include "tonetracks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <vector>

namespace {

using namespace quorvex::bench;

constexpr double fileSeconds = 5;
constexpr double allowedDb = 0.03;

struct Figures {
    int tracks = 0;
    int wrong = 0; // missing, twice or out of order
    int holes = 0;
    double longestHoleMs = 0;
    double worstLevelDb = 0;
    double worstFirstLevelDb = 0;
    qsizetype differentAtFull = 0;
    double captureShortfallMs = 0;
    std::vector<double> toFirstSample;
    std::vector<double> fromLastSample;
};

// scripts/build-load until destroyed.
class BuildLoad {
public:
    BuildLoad() {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(QUORVEX_SOURCE_DIR "/scripts/build-load"), {});
        process.waitForStarted();
        QTest::qWait(5000); // the compilers under way
    }
    BuildLoad(const BuildLoad&) = delete;
    BuildLoad& operator=(const BuildLoad&) = delete;
    BuildLoad(BuildLoad&&) = delete;
    BuildLoad& operator=(BuildLoad&&) = delete;
    ~BuildLoad() {
        process.terminate();
        process.waitForFinished(10000);
    }

private:
    QProcess process;
};

struct RunLevel {
    const char* option;
    const char* name;
};
constexpr std::array levels{RunLevel{"track", "Track gain"}, RunLevel{"0", "Full level"},
                            RunLevel{"-6", "-6 dB"}};

// One run of the program over the folder; its figures added to `figures`.
bool recordOnce(SinkBench& bench, const QString& program, const QString& folder,
                const std::vector<ToneFile>& files, const RunLevel& level, Figures& figures) {
    std::vector<double> records;
    std::vector<double> stops;
    noteFrames(bench.recorder, bench.clock, QStringLiteral("  record"), records);
    noteFrames(bench.recorder, bench.clock, QStringLiteral("  stop"), stops);
    quorvex::test::SinkRecorder sink(bench.clock, 10);
    if (!startSink(sink)) {
        return false;
    }
    QProcess run;
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.setStandardOutputFile(QProcess::nullDevice());
    // Without realtime rights, as a user's programs run: root keeps CAP_SYS_NICE otherwise.
    run.start(QStringLiteral("setpriv"),
              {"--bounding-set", "-sys_nice", "prlimit", "--rtprio=0", "--", program, "--device",
               bench.recorder.devicePath(), "--level", level.option, "--disc-length", "80", folder});
    const int limitMs = static_cast<int>(files.size()) * 15000;
    if (!QTest::qWaitFor([&run] { return run.state() == QProcess::NotRunning; }, limitMs)) {
        run.kill();
    }
    QTest::qWait(300);
    const double stoppedAt = secondsOn(bench.clock);
    sink.stop();
    QObject::disconnect(&bench.recorder, nullptr, nullptr, nullptr);
    figures.captureShortfallMs =
        std::max(figures.captureShortfallMs,
                 1000 * (stoppedAt - sink.secondsAt(0) - static_cast<double>(sink.pcm().size()) / 4 / rate));

    std::vector<double> targets;
    targets.reserve(files.size());
    for (const ToneFile& file : files) {
        targets.push_back(level.option == std::string_view("track") ? file.gainDb
                          : level.option == std::string_view("0")   ? 0.0
                                                                    : -6.0);
    }
    const std::vector<HeardTrack> heard = heardTracks(sink.pcm(), files, targets);
    figures.tracks += static_cast<int>(heard.size());
    figures.wrong +=
        static_cast<int>(std::max(files.size(), heard.size()) - std::min(files.size(), heard.size()));
    for (std::size_t index = 0; index < heard.size(); ++index) {
        const HeardTrack& track = heard[index];
        figures.wrong += track.file != static_cast<int>(index) ? 1 : 0;
        figures.holes += track.holes;
        figures.longestHoleMs = std::max(figures.longestHoleMs, track.longestHoleMs);
        figures.worstLevelDb = std::max(figures.worstLevelDb, track.worstLevelDb);
        figures.worstFirstLevelDb = std::max(figures.worstFirstLevelDb, track.firstLevelDb);
        if (level.option == std::string_view("0")) {
            figures.differentAtFull += track.differentSamples;
        }
        if (index < records.size()) {
            figures.toFirstSample.push_back(sink.secondsAt(track.firstFrame) - records[index]);
        }
        if (index < stops.size()) {
            figures.fromLastSample.push_back(stops[index] - sink.secondsAt(track.lastFrame + 1));
        }
        if (track.holes > 0 || track.worstLevelDb > allowedDb) {
            std::printf(
                "  %s, file %d: %d holes (longest %.1f ms), level off by %.3f dB (first window %.3f dB)\n",
                level.name, track.file + 1, track.holes, track.longestHoleMs, track.worstLevelDb,
                track.firstLevelDb);
        }
    }
    return run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
}

bool holds(const Figures& figures, int expectedTracks) {
    return figures.tracks == expectedTracks && figures.wrong == 0 && figures.holes == 0 &&
           figures.worstLevelDb <= allowedDb && figures.differentAtFull == 0;
}

void print(const char* condition, const Figures& figures) {
    std::printf("%s: %d tracks heard, %d missing/twice/out of order, %d holes (longest %.1f ms)\n", condition,
                figures.tracks, figures.wrong, figures.holes, figures.longestHoleMs);
    std::printf("%s: level error at most %.3f dB (first window %.3f dB); %lld samples not the file's own at "
                "Full level; capture shortfall %.1f ms\n",
                condition, figures.worstLevelDb, figures.worstFirstLevelDb,
                static_cast<long long>(figures.differentAtFull), figures.captureShortfallMs);
    report("  record command -> first sample", figures.toFirstSample);
    report("  last sample -> stop command", figures.fromLastSample);
}

} // namespace

int main(int argc, char* argv[]) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as it comes, also into a file
    SinkBench bench(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const auto valueOf = [&arguments](const char* option, const QString& fallback) {
        const qsizetype at = arguments.indexOf(QLatin1String(option));
        return at > 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
    };
    const int runs = valueOf("--runs", QStringLiteral("3")).toInt();
    const int count =
        std::clamp(valueOf("--files", QStringLiteral("20")).toInt(), 1, static_cast<int>(tonePeriods.size()));
    const QString program = valueOf("--program", QStringLiteral(QUORVEX_RECORD_PROGRAM));
    const QString folder = bench.scratch.filePath(QStringLiteral("tones"));
    QDir().mkpath(folder);
    const std::optional<std::vector<ToneFile>> files = makeToneFiles(folder, count, fileSeconds);
    if (!files) {
        return EXIT_FAILURE;
    }
    qputenv("XDG_DATA_HOME", bench.scratch.filePath(QStringLiteral("data")).toLocal8Bit());
    std::printf("%d runs of %d files of %.0f s by %s, without realtime rights\n", runs, count, fileSeconds,
                qPrintable(program));
    bool allHold = true;
    for (const bool loaded : {false, true}) {
        if ((loaded && arguments.contains(QStringLiteral("--idle-only"))) ||
            (!loaded && arguments.contains(QStringLiteral("--load-only")))) {
            continue;
        }
        std::optional<BuildLoad> load;
        if (loaded) {
            load.emplace();
        }
        Figures figures;
        bool ended = true;
        for (int run = 0; run < runs; ++run) {
            ended = recordOnce(bench, program, folder, *files, levels.at(static_cast<std::size_t>(run) % 3),
                               figures) &&
                    ended;
        }
        const char* condition = loaded ? "beside scripts/build-load" : "idle";
        print(condition, figures);
        allHold = allHold && ended && holds(figures, runs * count);
        if (!ended) {
            std::printf("%s: quorvex-record did not end with status 0 every time\n", condition);
        }
    }
    std::puts(allHold ? "every track whole and at its level"
                      : "FAILED: a track was not whole or not at its level");
    return allHold ? EXIT_SUCCESS : EXIT_FAILURE;
}
