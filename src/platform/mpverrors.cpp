#include "platform/mpverrors.h"

namespace quorvex {

QString mpvErrorReason(int error) {
    switch (error) {
    case MPV_ERROR_LOADING_FAILED:
        return QStringLiteral("the file cannot be opened");
    case MPV_ERROR_UNKNOWN_FORMAT:
        return QStringLiteral("it is not a sound file that can be decoded");
    case MPV_ERROR_NOTHING_TO_PLAY:
        return QStringLiteral("it has no sound that can be decoded");
    default:
        return QString::fromUtf8(mpv_error_string(error));
    }
}

QString cannotPlayText(const QString& file, int error) {
    return QStringLiteral("Cannot play \"%1\": %2").arg(file, mpvErrorReason(error));
}

void MpvErrorLog::add(const mpv_event_log_message& message) {
    const QString text = QString::fromUtf8(message.text).trimmed();
    if (text.isEmpty() || lines.contains(text)) {
        return;
    }
    constexpr qsizetype kept = 4;
    if (lines.size() == kept) {
        lines.removeFirst();
    }
    lines.append(text);
}

QString MpvErrorLog::failure(const QString& file, int error) const {
    const QString details =
        lines.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(lines.join(QStringLiteral("; ")));
    return cannotPlayText(file, error) + details;
}

QString MpvErrorLog::outputFailure() const {
    QString reason = lines.isEmpty() ? QString::fromUtf8(mpv_error_string(MPV_ERROR_AO_INIT_FAILED))
                                     : lines.join(QStringLiteral("; "));
    return reason.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace quorvex
