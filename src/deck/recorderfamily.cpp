#include "deck/recorderfamily.h"

namespace quorvex::deck {

QString recorderFamilyName(RecorderFamily family) {
    return family == RecorderFamily::mdsE ? QStringLiteral("mds-e") : QStringLiteral("control-a1");
}

std::optional<RecorderFamily> recorderFamilyFrom(QStringView name) {
    for (const RecorderFamily family : {RecorderFamily::controlA1, RecorderFamily::mdsE}) {
        if (name == recorderFamilyName(family)) {
            return family;
        }
    }
    return std::nullopt;
}

} // namespace quorvex::deck
