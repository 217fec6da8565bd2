#include "link/recorder.h"

#include "link/waits.h"

#include <QLocale>

namespace quorvex {

QString recorderFamilyText(RecorderFamily family) {
    return family == RecorderFamily::mdsE ? QStringLiteral("mds-e") : QStringLiteral("control-a1");
}

std::optional<RecorderFamily> recorderFamilyOf(const QString& text) {
    for (const RecorderFamily family : {RecorderFamily::controlA1, RecorderFamily::mdsE}) {
        if (text.trimmed().compare(recorderFamilyText(family), Qt::CaseInsensitive) == 0) {
            return family;
        }
    }
    return std::nullopt;
}

Recorder::Recorder(SerialPort& port, EventPump& pump, QObject* parent)
    : QObject(parent), serial(port), line(port), pump(pump) {
    // Queued, so sending a frame never stops to say anything.
    connect(&line, &RecorderLine::lost, this, &Recorder::lost, Qt::QueuedConnection);
}

void Recorder::delay(std::int16_t milliseconds) {
    quorvex::delay(clock(), pump, milliseconds);
}

QString discLabelText(const DiscState& disc) {
    if (disc.noDisc) {
        return QStringLiteral("No disc");
    }
    return QStringLiteral("%1 Tracks %2m %3s")
        .arg(disc.tracks)
        .arg(disc.minutes, 2, 10, QLatin1Char('0'))
        .arg(disc.seconds, 2, 10, QLatin1Char('0'));
}

QString discToolTipText(const DiscState& disc) {
    constexpr int secondsPerMinute = 60;
    QStringList told;
    if (disc.freeSeconds) {
        told.append(QStringLiteral("%1:%2 recordable")
                        .arg(*disc.freeSeconds / secondsPerMinute)
                        .arg(*disc.freeSeconds % secondsPerMinute, 2, 10, QLatin1Char('0')));
    }
    if (disc.freeTitleCharacters) {
        told.append(QStringLiteral("%1 title characters free")
                        .arg(QLocale(QLocale::English).toString(*disc.freeTitleCharacters)));
    }
    if (disc.model.isEmpty()) {
        return told.join(QStringLiteral(", "));
    }
    return told.isEmpty() ? disc.model
                          : QStringLiteral("%1 — %2").arg(disc.model, told.join(QStringLiteral(", ")));
}

} // namespace quorvex
