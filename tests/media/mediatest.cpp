#include "mediatest.h"

#include <algorithm>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>

namespace quorvex::test {

namespace {

// Why the sink cannot be used, or an empty string when it can.
QString soundSinkProblem() {
    const QString how = QStringLiteral(
        "The media tests need the private PulseAudio null sink: run them through scripts/test, or first run "
        "`source scripts/sound-sink.sh && start_sound_sink` in the shell that starts ctest.");
    const QString server = qEnvironmentVariable("PULSE_SERVER");
    const QString sink = qEnvironmentVariable("QUORVEX_TEST_SINK");
    if (server.isEmpty() || sink.isEmpty()) {
        return QStringLiteral("PULSE_SERVER or QUORVEX_TEST_SINK is not set. ") + how;
    }
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"),
                {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")});
    if (!pactl.waitForFinished(5000) || pactl.exitStatus() != QProcess::NormalExit || pactl.exitCode() != 0) {
        return QStringLiteral("PulseAudio does not answer on %1 (%2). ")
                   .arg(server, QString::fromLocal8Bit(pactl.readAllStandardError()).trimmed()) +
               how;
    }
    // One sink a line: its index, a tab, its name, then its driver and format.
    const QString sinks = QString::fromLocal8Bit(pactl.readAllStandardOutput());
    const QStringList lines = sinks.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const bool found = std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
        return line.section(QLatin1Char('\t'), 1, 1) == sink;
    });
    if (!found) {
        return QStringLiteral("PulseAudio on %1 has no sink %2 (it has: %3). ")
                   .arg(server, sink, sinks.trimmed()) +
               how;
    }
    return {};
}

} // namespace

void MediaTest::SetUp() {
    const QString problem = soundSinkProblem();
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
}

QString MediaTest::fixture(const char* name) {
    return QStringLiteral(QUORVEX_MEDIA_FIXTURES "/") + QString::fromUtf8(name);
}

std::unique_ptr<MpvMediaPlayer> MediaTest::makePlayer() {
    return std::make_unique<MpvMediaPlayer>(nullptr, QStringLiteral("pulse"));
}

bool waitUntil(const MediaPlayer& player, const std::function<bool()>& done,
               std::chrono::milliseconds timeout) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    const auto check = [&] {
        if (done()) {
            loop.quit();
        }
    };
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    QObject::connect(&player, &MediaPlayer::stateChanged, &loop, check);
    deadline.start(timeout);
    poll.start(5);
    loop.exec();
    return done();
}

bool waitForState(const MediaPlayer& player, int state, std::chrono::milliseconds timeout) {
    return waitUntil(
        player, [&] { return player.playState() == state; }, timeout);
}

void runFor(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace quorvex::test
