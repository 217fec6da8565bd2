#include "sinkrecorder.h"

#include <algorithm>
#include <QEventLoop>
#include <QTimer>

namespace quorvex::test {

namespace {
constexpr int bytesPerFrame = SinkRecorder::channels * 2;
} // namespace

SinkRecorder::SinkRecorder(const QElapsedTimer& clock) : clock(clock) {
    QObject::connect(&parec, &QProcess::readyReadStandardOutput, [this] { take(); });
}

SinkRecorder::~SinkRecorder() {
    stop();
}

bool SinkRecorder::start() {
    const QString monitor = qEnvironmentVariable("QUORVEX_TEST_SINK") + QStringLiteral(".monitor");
    parec.start(QStringLiteral("parec"),
                {QStringLiteral("--device=") + monitor, QStringLiteral("--raw"),
                 QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(rate),
                 QStringLiteral("--channels=%1").arg(channels), QStringLiteral("--latency-msec=10")});
    if (!parec.waitForStarted(5000)) {
        return false;
    }
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&parec, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
    QObject::connect(&parec, &QProcess::finished, &loop, &QEventLoop::quit);
    deadline.start(5000);
    while (recorded.isEmpty() && deadline.isActive() && parec.state() == QProcess::Running) {
        loop.exec();
    }
    return !recorded.isEmpty();
}

void SinkRecorder::take() {
    const QByteArray data = parec.readAllStandardOutput();
    if (data.isEmpty()) {
        return;
    }
    recorded.append(data);
    // Data never comes before the sink rendered it, so each arrival bounds the recording's start from above;
    // the earliest bound is the one a late wakeup of this process did not spoil.
    const double nowSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const double bound = nowSeconds - static_cast<double>(recorded.size()) / bytesPerFrame / rate;
    started = started ? std::min(*started, bound) : bound;
}

void SinkRecorder::stop() {
    if (parec.state() == QProcess::NotRunning) {
        return;
    }
    parec.terminate();
    if (!parec.waitForFinished(5000)) {
        parec.kill();
        parec.waitForFinished(5000);
    }
    take();
}

QString SinkRecorder::errors() {
    return QString::fromLocal8Bit(parec.readAllStandardError()).trimmed();
}

} // namespace quorvex::test
