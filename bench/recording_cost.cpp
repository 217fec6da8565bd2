// What a recording run costs beside mpv's own player playing the same files into the same sound sink.
// Three 20 s MP3 files are recorded onto the virtual recorder with the program's window shown, as a user
// sees it; the figures are the program's CPU seconds over the run as a user pays for it (from the press of
// Record to 4.5 s after the last stop's acknowledgement) and its peak memory, mpv's (`mpv --no-video`) over
// its whole life for the same files, the X server's CPU seconds for painting the window, how many times
// widgets were painted (a count that does not depend on how busy the machine is), and the program's own time
// per track beyond the files' length and the waits it is meant to make (2 s at the start). quorvex-record
// records the same files onto a second virtual recorder over its whole life, three times, interleaved with
// mpv's three runs; the medians are compared.
//
// The window is shown on a private X server (Xvfb) the bench starts itself: the offscreen platform skips
// most of the painting a user pays for. With QT_QPA_PLATFORM set, that platform is used instead.
//
// Needs the private sound sink and the Debian packages ffmpeg, mpv and xvfb:
//   source scripts/sound-sink.sh && start_sound_sink && ./build-release/bench/quorvex_bench_recording_cost;
//   stop_sound_sink
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "cpuclock.h"
#include "deck/controla1/virtualdeck.h"
#include "platform/inisettingsstore.h"
#include "tracks/tracklistmodel.h"
#include "widgets/tracklist.h"
#include "xserver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

namespace {

constexpr int trackCount = 3;
constexpr double trackSeconds = 20;
constexpr double discRequestSeconds = 2;
constexpr int afterRunMs = 4500; // what the window still does once the run has ended
constexpr int toneHz = 220;      // each file a tone of its own: 220, 440, 660 Hz

// Peak resident memory of this process so far, in MiB.
double peakMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    static const QRegularExpression peak(QStringLiteral(R"(VmHWM:\s+(\d+) kB)"));
    constexpr double kibPerMib = 1024;
    return peak.match(QString::fromLatin1(status.readAll())).captured(1).toDouble() / kibPerMib;
}

bool makeFiles(const QString& folder, QStringList& files) {
    for (int track = 1; track <= trackCount; ++track) {
        const QString file = folder + QStringLiteral("/tone%1.mp3").arg(track);
        const int made = QProcess::execute(
            QStringLiteral("ffmpeg"),
            {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
             QStringLiteral("sine=frequency=%1:duration=%2").arg(toneHz * track).arg(trackSeconds), "-ac",
             "2", "-codec:a", "libmp3lame", "-b:a", "192k", file});
        if (made != 0) {
            return false;
        }
        files.append(file);
    }
    return true;
}

// Counts the paint events of every widget of the application, by object name.
class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints[watched->objectName().isEmpty() ? QString::fromLatin1(watched->metaObject()->className())
                                                     : watched->objectName()];
        }
        return false;
    }

    void clear() { paints.clear(); }

    void print(double seconds) const {
        int total = 0;
        QList<std::pair<int, QString>> most;
        for (auto paint = paints.cbegin(); paint != paints.cend(); ++paint) {
            total += paint.value();
            most.append({paint.value(), paint.key()});
        }
        std::sort(most.begin(), most.end(), std::greater<>());
        std::printf("widget paints during the run: %d (%.1f a second); most painted:", total,
                    total / seconds);
        constexpr qsizetype shownWidgets = 6;
        for (const auto& [count, name] : most.first(std::min(shownWidgets, most.size()))) {
            std::printf(" %s %d", name.toLocal8Bit().constData(), count);
        }
        std::printf("\n");
    }

private:
    QHash<QString, int> paints;
};

struct Cost {
    double cpu = 0;
    double peak = 0;
};

// A program's CPU seconds and peak memory over its whole life; the event loop runs meanwhile, so that the
// virtual recorder in this process answers it.
Cost childCost(const QByteArrayList& command) {
    const pid_t child = fork();
    if (child == 0) {
        silenceOutput();
        std::vector<QByteArray> owned(command.begin(), command.end());
        std::vector<char*> argv;
        argv.reserve(owned.size() + 1);
        for (QByteArray& arg : owned) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execvp(argv.front(), argv.data());
        std::_Exit(127);
    }
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, WNOHANG, &usage) == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    constexpr double microsPerSecond = 1e6;
    constexpr double kibPerMib = 1024;
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / microsPerSecond;
    };
    // glibc declares the counters of rusage inside unions (for 32-bit layouts); ru_maxrss is the field.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access)
    const auto peakKib = static_cast<double>(usage.ru_maxrss);
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), peakKib / kibPerMib};
}

QByteArrayList withFiles(QByteArrayList command, const QStringList& files) {
    for (const QString& file : files) {
        command.append(file.toLocal8Bit());
    }
    return command;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        std::fputs("Start the sound sink first: source scripts/sound-sink.sh && start_sound_sink\n", stderr);
        return EXIT_FAILURE;
    }
    std::optional<XServer> xServer;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        xServer.emplace();
        if (xServer->displayName().isEmpty()) {
            std::fputs("Xvfb could not be started (Debian package xvfb)\n", stderr);
            return EXIT_FAILURE;
        }
    }
    const QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.path().toLocal8Bit());
    QApplication application(argc, argv);
    PaintCounter paintCounter;
    application.installEventFilter(&paintCounter);

    QStringList files;
    if (!makeFiles(scratch.path(), files)) {
        std::fputs("ffmpeg could not make the sound files\n", stderr);
        return EXIT_FAILURE;
    }

    const quorvex::deck::VirtualDeck recorder;
    quorvex::IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"),
                                     recorder.devicePath());
    quorvex::frmQuorvex window(quorvex::makeSystemPlatform(QStringLiteral("pulse")));
    window.selectPort(1);
    window.findChild<quorvex::TrackList*>(QStringLiteral("ListOfMusic"))->entries()->insert(0, files);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("the window was not shown\n", stderr);
        return EXIT_FAILURE;
    }

    paintCounter.clear();
    const double serverBefore = xServer ? xServer->cpuSeconds() : 0;
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("btnRecordList")), Qt::LeftButton);
    const double wall = static_cast<double>(clock.elapsed()) / 1000;
    QTest::qWait(afterRunMs);
    const Cost program{processCpuSeconds() - cpuBefore, peakMiB()};
    const double server = xServer ? xServer->cpuSeconds() - serverBefore : 0;
    // mpv's own figure varies from run to run as much as the program's: it runs three times, interleaved
    // with quorvex-record (its whole life: start-up, the run, the last stop), and the medians are compared.
    const QByteArrayList mpvCommand =
        withFiles({"mpv", "--no-video", "--no-config", "--ao=pulse", "--really-quiet"}, files);
    const quorvex::deck::VirtualDeck commandLineRecorder;
    const QByteArrayList recordCommand = withFiles(
        {QUORVEX_RECORD_PROGRAM, "--device", commandLineRecorder.devicePath().toLocal8Bit(), "--no-id3"},
        files);
    std::vector<Cost> mpvRuns;
    std::vector<Cost> commandLineRuns;
    constexpr int runs = 3;
    for (int run = 0; run < runs; ++run) {
        mpvRuns.push_back(childCost(mpvCommand));
        commandLineRuns.push_back(childCost(recordCommand));
    }
    const auto medianOf = [](const std::vector<Cost>& costs, double Cost::*figure) {
        std::vector<double> values;
        std::transform(costs.begin(), costs.end(), std::back_inserter(values),
                       [figure](const Cost& cost) { return cost.*figure; });
        return median(values);
    };
    const Cost mpv{medianOf(mpvRuns, &Cost::cpu), medianOf(mpvRuns, &Cost::peak)};
    const Cost commandLine{medianOf(commandLineRuns, &Cost::cpu), medianOf(commandLineRuns, &Cost::peak)};

    const double ownPerTrack = (wall - discRequestSeconds - trackCount * trackSeconds) / trackCount;
    std::printf("three %.0f s MP3 files into the PulseAudio null sink\n", trackSeconds);
    if (xServer) {
        std::printf("window shown on Xvfb %s\n", xServer->displayName().constData());
    } else {
        std::printf("window shown on the %s platform\n",
                    QApplication::platformName().toLocal8Bit().constData());
    }
    std::printf(
        "quorvex recording run (Record to 4.5 s after the last stop): CPU %.3f s  peak memory %.1f MiB  "
        "wall %.2f s\n",
        program.cpu, program.peak, wall);
    for (int run = 0; run < runs; ++run) {
        std::printf("run %d: mpv CPU %.3f s peak %.1f MiB; quorvex-record CPU %.3f s peak %.1f MiB\n",
                    run + 1, mpvRuns.at(run).cpu, mpvRuns.at(run).peak, commandLineRuns.at(run).cpu,
                    commandLineRuns.at(run).peak);
    }
    std::printf(
        "mpv --no-video (its whole life, median of %d):             CPU %.3f s  peak memory %.1f MiB\n", runs,
        mpv.cpu, mpv.peak);
    std::printf(
        "quorvex-record (its whole life, median of %d):             CPU %.3f s  peak memory %.1f MiB\n", runs,
        commandLine.cpu, commandLine.peak);
    std::printf("window against mpv:         CPU %.2fx  memory %.2fx\n", program.cpu / mpv.cpu,
                program.peak / mpv.peak);
    std::printf("quorvex-record against mpv: CPU %.2fx  memory %.2fx\n", commandLine.cpu / mpv.cpu,
                commandLine.peak / mpv.peak);
    if (xServer) {
        std::printf("X server painting the window during the run: CPU %.2f s\n", server);
    }
    paintCounter.print(wall);
    std::printf("the run's own time per track beyond the file and the 2 s disc request: %.0f ms\n",
                ownPerTrack * 1000);
    std::printf("recorder: %d tracks on the disc\n", recorder.disc().tracks);
    return EXIT_SUCCESS;
}
