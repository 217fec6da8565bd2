// How tightly a recording run brackets each file's sound: over 20 tracks, the time from the record
// acknowledgement leaving the recorder to the file's first sample reaching the sound sink, and from the
// last sample reaching the sink to the stop frame reaching the recorder. Neither may be negative (the
// recorder must be recording before the sound starts, and until it has ended).
//
// Needs the private sound sink and ffmpeg:
//   source scripts/sound-sink.sh && start_sound_sink && ./build-release/bench/quorvex_bench_track_latency;
//   stop_sound_sink
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/virtualdeck.h"
#include "platform/inisettingsstore.h"
#include "sinkrecorder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

namespace {

constexpr int trackCount = 20;
constexpr double trackSeconds = 1;
// The null sink renders exact zeros while nothing plays; a file's sine never holds zero for this long.
constexpr qsizetype gapFrames = quorvex::test::SinkRecorder::rate / 20; // 50 ms

void report(const char* what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const double median = values[values.size() / 2];
    std::printf("%-48s min %6.1f ms  median %6.1f ms  max %6.1f ms\n", what, values.front() * 1000,
                median * 1000, values.back() * 1000);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER") || qEnvironmentVariableIsEmpty("QUORVEX_TEST_SINK")) {
        std::fputs("Start the sound sink first: source scripts/sound-sink.sh && start_sound_sink\n", stderr);
        return EXIT_FAILURE;
    }
    const QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.path().toLocal8Bit());
    const QApplication application(argc, argv);

    const QString file = scratch.filePath(QStringLiteral("tone.wav"));
    if (QProcess::execute(QStringLiteral("ffmpeg"),
                          {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                           QStringLiteral("sine=frequency=440:duration=%1").arg(trackSeconds), "-ac", "2",
                           file}) != 0) {
        std::fputs("ffmpeg could not make the sound file\n", stderr);
        return EXIT_FAILURE;
    }

    QElapsedTimer clock;
    clock.start();
    const quorvex::deck::VirtualDeck recorder;
    std::vector<double> records;
    std::vector<double> stops;
    QObject::connect(&recorder, &quorvex::deck::VirtualDeck::frameReceived, [&](const QString& line) {
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        // The record acknowledgement leaves as the record frame is read: the recorder answers at once.
        if (line.endsWith(QLatin1String("  record"))) {
            records.push_back(now);
        } else if (line.endsWith(QLatin1String("  stop"))) {
            stops.push_back(now);
        }
    });
    quorvex::IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"),
                                     recorder.devicePath());
    quorvex::frmQuorvex window(quorvex::makeSystemPlatform(QStringLiteral("pulse")));
    window.selectPort(1);
    auto* tracks = window.findChild<QListWidget*>(QStringLiteral("ListOfMusic"));
    for (int track = 0; track < trackCount; ++track) {
        tracks->addItem(file);
    }

    quorvex::test::SinkRecorder sink(clock);
    if (!sink.start()) {
        std::fprintf(stderr, "parec did not record: %s\n", sink.errors().c_str());
        return EXIT_FAILURE;
    }
    QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("btnRecordList")), Qt::LeftButton);
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
    report("record acknowledgement -> first sample in sink:", startDelays);
    report("last sample in sink -> stop frame at recorder:", stopDelays);
    return EXIT_SUCCESS;
}
