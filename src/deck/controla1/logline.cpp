#include "deck/controla1/logline.h"

#include "deck/hex.h"
#include "deck/logformat.h"

namespace quorvex::deck {
namespace {

struct Describe {
    QString operator()(const Command& command) const { return commandName(command); }
    QString operator()(const Title& title) const {
        const QString line = QStringLiteral("title track %1 \"%2\"").arg(title.track).arg(title.text);
        return title.track == 0 ? line + QStringLiteral(" (disc name)") : line;
    }
    QString operator()(const Noise& /*noise*/) const { return QStringLiteral("noise"); }
};

} // namespace

QString meaningOf(const Meaning& meaning) {
    return std::visit(Describe{}, meaning);
}

QString logLine(QTime at, const Received& received) {
    const QString bytes = std::holds_alternative<Noise>(received.meaning) ? shortenedHex(received.bytes)
                                                                          : hexBytes(received.bytes);
    return formatLogLine(at, bytes, meaningOf(received.meaning));
}

} // namespace quorvex::deck
