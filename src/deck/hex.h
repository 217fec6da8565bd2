#pragma once

#include <QByteArrayView>
#include <QString>

namespace quorvex::deck {

// Bytes as a reader of the line would write them down: "81 07 05 47 02 21 FF".
[[nodiscard]] QString hexBytes(QByteArrayView bytes);

} // namespace quorvex::deck
