#pragma once

// What the benches that listen to the private sound sink share: their start, a tone to play, and the
// figures they print.
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/controla1/virtualdeck.h"
#include "platform/inisettingsstore.h"
#include "sinkrecorder.h"
#include "support/soundoutput.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <QAbstractButton>
#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

namespace quorvex::bench {

// What each bench on the sink starts with: offscreen unless a display is asked for, the settings file and
// the sound files in a scratch folder, the application, a clock started, and the virtual recorder. Without
// the sink running there is nothing to measure: the bench says so and ends.
class SinkBench {
public:
    SinkBench(int& argc, char** argv) : application((prepare(scratch), argc), argv) { clock.start(); }

    QTemporaryDir scratch;
    QApplication application;
    QElapsedTimer clock;
    deck::VirtualDeck recorder;

private:
    static void prepare(const QTemporaryDir& scratch) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        qputenv("XDG_CONFIG_HOME", scratch.path().toLocal8Bit());
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER") || qEnvironmentVariableIsEmpty("QUORVEX_TEST_SINK")) {
            std::fputs("Start the sound sink first: source scripts/sound-sink.sh && start_sound_sink\n",
                       stderr);
            std::exit(EXIT_FAILURE); // NOLINT(concurrency-mt-unsafe): no other thread runs yet
        }
    }
};

// A 440 Hz stereo sine of `seconds` as a WAV file, made by ffmpeg, its level `volume` times ffmpeg's own.
inline bool makeTone(const QString& file, double seconds, double volume = 1.0) {
    if (QProcess::execute(QStringLiteral("ffmpeg"),
                          {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                           QStringLiteral("sine=frequency=440:duration=%1").arg(seconds), "-af",
                           QStringLiteral("volume=%1").arg(volume), "-ac", "2", file}) == 0) {
        return true;
    }
    std::fputs("ffmpeg could not make the sound file\n", stderr);
    return false;
}

// The window on Com1, which leads to the virtual recorder; its sound goes to the sink.
inline std::unique_ptr<frmQuorvex> windowOn(const deck::VirtualDeck& recorder) {
    IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"), recorder.devicePath());
    auto window = std::make_unique<frmQuorvex>(makeSystemPlatform(test::sinkSoundOutput()));
    window->selectPort(1);
    return window;
}

inline double secondsOn(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// parec's shortest latency this machine keeps up with: a bench's sink times are at most that early.
inline constexpr int preciseSinkLatencyMs = 3;

// The sound server the sink runs on, as start_sound_sink says it.
inline QByteArray soundServer() {
    return qgetenv("QUORVEX_SOUND_SERVER");
}

// Notes on `clock` when the recorder takes in each frame whose log line ends with `ending`.
inline void noteFrames(const deck::VirtualDeck& recorder, const QElapsedTimer& clock, const QString& ending,
                       std::vector<double>& times) {
    QObject::connect(&recorder, &deck::VirtualDeck::frameReceived,
                     [&clock, ending, &times](const QString& line) {
                         if (line.endsWith(ending)) {
                             times.push_back(secondsOn(clock));
                         }
                     });
}

// Starts recording the sink; false (said on standard error) when parec does not record.
inline bool startSink(test::SinkRecorder& sink) {
    if (sink.start()) {
        return true;
    }
    std::fprintf(stderr, "parec did not record: %s\n", sink.errors().c_str());
    return false;
}

// Records the sink while the window records its Track list, and a little after; false when parec did not.
inline bool recordRun(frmQuorvex& window, test::SinkRecorder& sink) {
    if (!startSink(sink)) {
        return false;
    }
    QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("btnRecordList")), Qt::LeftButton);
    QTest::qWait(300);
    sink.stop();
    return true;
}

inline void report(const char* what, std::vector<double> values) {
    if (values.empty()) {
        std::printf("%-48s no values\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    const double median = values[values.size() / 2];
    std::printf("%-48s min %6.1f ms  median %6.1f ms  max %6.1f ms\n", what, values.front() * 1000,
                median * 1000, values.back() * 1000);
}

} // namespace quorvex::bench
