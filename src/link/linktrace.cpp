#include "link/linktrace.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <QFile>
#include <QSaveFile>

namespace quorvex {

QString traceLine(QTime at, char direction, QByteArrayView bytes, const QString& name) {
    return QStringLiteral("%1  %2  %3  %4")
        .arg(at.toString(QStringLiteral("hh:mm:ss.zzz")), QChar::fromLatin1(direction),
             QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper()), name)
        .trimmed();
}

LinkTrace::LinkTrace(Keep keep) {
    if (keep == Keep::session) {
        session.reset(std::tmpfile()); // none: no trace to save, but nothing else lost
    }
}

std::optional<QString> LinkTrace::writeTo(const QString& path) {
    File opened(std::fopen(QFile::encodeName(path).constData(), "a"));
    if (!opened) {
        return QStringLiteral("The serial trace \"%1\" cannot be written: %2")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    file = std::move(opened);
    return std::nullopt;
}

std::optional<QString> LinkTrace::save(const QString& path) const {
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (session) {
            std::rewind(session.get());
            std::array<char, 1 << 16> chunk{};
            for (std::size_t got = 0; (got = std::fread(chunk.data(), 1, chunk.size(), session.get())) > 0;) {
                out.write(chunk.data(), static_cast<qint64>(got));
            }
            std::fseek(session.get(), 0, SEEK_END);
        }
        if (out.commit()) {
            return std::nullopt;
        }
    }
    return QStringLiteral("The serial trace \"%1\" could not be saved: %2").arg(path, out.errorString());
}

void LinkTrace::add(char direction, QByteArrayView bytes, const QString& name) {
    const QByteArray line =
        (traceLine(QTime::currentTime(), direction, bytes, name) + QLatin1Char('\n')).toUtf8();
    for (std::FILE* const to : {session.get(), file.get()}) {
        if (to != nullptr) {
            std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), to);
            std::fflush(to);
        }
    }
}

} // namespace quorvex
