#pragma once

#include <QDir>
#include <QFile>

// CPU seconds of every thread of this process, from the scheduler's nanosecond run-time counters:
// getrusage() on a tick-accounting kernel only samples at the timer rate, far too coarse for a figure
// of a few milliseconds.
inline double processCpuSeconds() {
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (schedstat.open(QIODevice::ReadOnly)) {
            constexpr double nanosPerSecond = 1e9;
            total += schedstat.readAll().split(' ').value(0).toDouble() / nanosPerSecond;
        }
    }
    return total;
}
