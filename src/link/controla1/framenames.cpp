#include "link/controla1/framenames.h"

#include <array>
#include <utility>

namespace quorvex {

namespace {

constexpr std::array<std::pair<CommandPair, const char*>, 8> names{
    {{command::on, "on"},
     {command::off, "off"},
     {command::play, "play"},
     {command::stop, "stop"},
     {command::back, "back"},
     {command::forward, "forward"},
     {command::record, "record"},
     {command::discInformation, "disc information request"}}};

std::uint8_t byteAt(QByteArrayView bytes, qsizetype fromEnd) {
    return static_cast<std::uint8_t>(bytes.at(bytes.size() - 1 - fromEnd));
}

} // namespace

QString commandName(CommandPair pair) {
    for (const auto& [known, name] : names) {
        if (known.category == pair.category && known.code == pair.code) {
            return QString::fromLatin1(name);
        }
    }
    return QStringLiteral("command %1 %2")
        .arg(pair.category & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(pair.code & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString answerName(QByteArrayView answer) {
    // The disc information: 20 60 eight bytes before the end byte, the track count four before it.
    constexpr qsizetype discInfoLength = 9;
    if (answer.size() >= discInfoLength && byteAt(answer, 8) == 0x20 && byteAt(answer, 7) == 0x60) {
        return QStringLiteral("disc information: %1 tracks, %2:%3")
            .arg(byteAt(answer, 4))
            .arg(byteAt(answer, 3), 2, 10, QLatin1Char('0'))
            .arg(byteAt(answer, 2), 2, 10, QLatin1Char('0'));
    }
    constexpr qsizetype pairLength = 3;
    if (answer.size() >= pairLength && byteAt(answer, 2) == command::record.category) {
        if (byteAt(answer, 1) == command::record.code) {
            return QStringLiteral("record acknowledgement");
        }
        if (byteAt(answer, 1) == command::stop.code) {
            return QStringLiteral("stop acknowledgement");
        }
    }
    return QStringLiteral("answer");
}

} // namespace quorvex
