// How closely a gapless take marks its tracks: 21 files of alternating level in one take, so that the 20
// boundaries show in the sound sink; for each, the time from the next file's first sample reaching the sink
// to the track mark (the record command) reaching the recorder, and the longest silence anywhere in the take.
// With --cue, one file and a cue sheet of 20 tracks of 0.6 s each, alternating the same way: the marks
// against each INDEX 01 as heard.
//
// Needs the private sound sink and ffmpeg:
//   source scripts/sound-sink.sh && start_sound_sink && ./build-release/bench/quorvex_bench_gapless_marks
//   [--cue]; stop_sound_sink
#include "sinkbench.h"
#include "sinkrecorder.h"
#include "tracks/cuesheet.h"
#include "tracks/tracklistmodel.h"
#include "widgets/tracklist.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <vector>

namespace {

constexpr int fileCount = 21;
constexpr double fileSeconds = 0.5;
constexpr int cueTrackCount = 20;
constexpr int cueTrackFrames = 45; // 0.6 s in a cue sheet's 75ths of a second
// ffmpeg's sine peaks at 1/8 of full scale: at the program's -6 dB, 2048 loud and 512 quiet.
constexpr double quietLevel = 0.25;
constexpr int loudFloor = 1200;
constexpr qsizetype halfWaveFrames = quorvex::test::SinkRecorder::rate / 880;

// The longest run of exact silence between the first and the last sound of the recording, in frames.
qsizetype longestSilence(const QByteArray& pcm, const quorvex::test::SoundSpan& take) {
    constexpr qsizetype size = quorvex::test::SinkRecorder::bytesPerFrame;
    qsizetype longest = 0;
    qsizetype run = 0;
    for (qsizetype frame = take.firstFrame; frame <= take.lastFrame; ++frame) {
        run = quorvex::test::peak(QByteArrayView(pcm).sliced(frame * size, size)) == 0 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// One WAV whose 0.6 s stretches alternate loud and quiet, and a cue sheet with a track at each.
bool makeCueAlbum(const QString& sound, const QString& sheet) {
    const double stretch = cueTrackFrames / 75.0;
    const QString levels =
        QStringLiteral("aevalsrc=0.125*if(lt(mod(t\\,%1)\\,%2)\\,1\\,%3)*sin(2*PI*440*t):s=44100:d=%4")
            .arg(2 * stretch)
            .arg(stretch)
            .arg(quietLevel)
            .arg(stretch * cueTrackCount);
    QFile cue(sheet);
    if (QProcess::execute(QStringLiteral("ffmpeg"), {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi",
                                                     "-i", levels, "-ac", "2", sound}) != 0 ||
        !cue.open(QIODevice::WriteOnly)) {
        std::fputs("ffmpeg could not make the album\n", stderr);
        return false;
    }
    cue.write("FILE album.wav WAVE\n");
    for (int track = 0; track < cueTrackCount; ++track) {
        const int frames = track * cueTrackFrames;
        cue.write(QStringLiteral("TRACK %1 AUDIO\nINDEX 01 00:%2:%3\n")
                      .arg(track + 1)
                      .arg(frames / 75, 2, 10, QLatin1Char('0'))
                      .arg(frames % 75, 2, 10, QLatin1Char('0'))
                      .toLatin1());
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    quorvex::bench::SinkBench bench(argc, argv);
    const bool cue = QCoreApplication::arguments().contains(QStringLiteral("--cue"));

    const QString loud = bench.scratch.filePath(QStringLiteral("loud.wav"));
    const QString quiet = bench.scratch.filePath(QStringLiteral("quiet.wav"));
    if (!quorvex::bench::makeTone(loud, fileSeconds) ||
        !quorvex::bench::makeTone(quiet, fileSeconds, quietLevel)) {
        return EXIT_FAILURE;
    }

    std::vector<double> marks;
    quorvex::bench::noteFrames(bench.recorder, bench.clock, QStringLiteral("track mark"), marks);
    const std::unique_ptr<quorvex::frmQuorvex> window = quorvex::bench::windowOn(bench.recorder);
    window->findChild<QAction*>(QStringLiteral("actionGapless"))->trigger();
    auto* tracks = window->findChild<quorvex::TrackList*>(QStringLiteral("ListOfMusic"))->entries();
    const int entries = cue ? cueTrackCount : fileCount;
    if (cue) {
        const QString sheet = bench.scratch.filePath(QStringLiteral("album.cue"));
        if (!makeCueAlbum(bench.scratch.filePath(QStringLiteral("album.wav")), sheet)) {
            return EXIT_FAILURE;
        }
        tracks->insert(0, quorvex::readCueSheet(sheet).added);
    } else {
        for (int file = 0; file < fileCount; ++file) {
            tracks->append({file % 2 == 0 ? loud : quiet});
        }
    }

    quorvex::test::SinkRecorder sink(bench.clock, quorvex::bench::preciseSinkLatencyMs);
    if (!quorvex::bench::recordRun(*window, sink)) {
        return EXIT_FAILURE;
    }

    // The loud files are the stretches above the quiet one's peak: a boundary is where one ends or begins.
    const std::vector<quorvex::test::SoundSpan> takes = quorvex::test::soundSpans(sink.pcm(), halfWaveFrames);
    const std::vector<quorvex::test::SoundSpan> louds =
        quorvex::test::soundSpans(sink.pcm(), halfWaveFrames * 2, loudFloor);
    if (takes.size() != 1 || louds.size() != static_cast<std::size_t>(entries + 1) / 2 ||
        marks.size() != static_cast<std::size_t>(entries) - 1) {
        std::fprintf(stderr, "expected one take of %d entries, found %zu sounds, %zu loud ones, %zu marks\n",
                     entries, takes.size(), louds.size(), marks.size());
        return EXIT_FAILURE;
    }
    std::vector<double> distances;
    std::vector<double> late;
    for (std::size_t boundary = 0; boundary < marks.size(); ++boundary) {
        const quorvex::test::SoundSpan& span = louds.at((boundary + 1) / 2);
        const double heard = boundary % 2 == 0 ? sink.secondsAt(louds.at(boundary / 2).lastFrame + 1)
                                               : sink.secondsAt(span.firstFrame);
        late.push_back(marks.at(boundary) - heard);
        distances.push_back(std::abs(late.back()));
    }
    std::printf(
        "%d %s of %.1f s (WAV) in one take through the %s null sink; sink times are at most %d ms early\n",
        entries, cue ? "cue tracks in one file" : "files", cue ? cueTrackFrames / 75.0 : fileSeconds,
        quorvex::bench::soundServer().constData(), quorvex::bench::preciseSinkLatencyMs);
    quorvex::bench::report("mark at recorder - boundary in sink:", late);
    quorvex::bench::report("distance between mark and boundary:", distances);
    std::printf("%-48s %.2f ms\n", "longest silence in the take:",
                static_cast<double>(longestSilence(sink.pcm(), takes.front())) * 1000 /
                    quorvex::test::SinkRecorder::rate);
    return EXIT_SUCCESS;
}
