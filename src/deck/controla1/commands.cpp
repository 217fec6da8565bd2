#include "deck/controla1/commands.h"

#include "deck/hex.h"

#include <array>
#include <utility>

namespace quorvex::deck {

QString commandName(Command command) {
    static constexpr std::array<std::pair<Command, const char*>, 8> names{{
        {commands::on, "on"},
        {commands::off, "off"},
        {commands::play, "play"},
        {commands::stop, "stop"},
        {commands::back, "back"},
        {commands::forward, "forward"},
        {commands::record, "record"},
        {commands::discInformation, "disc information request"},
    }};
    for (const auto& [known, name] : names) {
        if (known == command) {
            return QString::fromLatin1(name);
        }
    }
    const std::array<char, 2> pair{static_cast<char>(command.category), static_cast<char>(command.code)};
    return QStringLiteral("unknown command ") + hexBytes(QByteArrayView(pair.data(), pair.size()));
}

} // namespace quorvex::deck
