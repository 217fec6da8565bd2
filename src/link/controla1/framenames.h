#pragma once

#include "link/controla1/commandframe.h"

#include <QByteArrayView>
#include <QString>

namespace quorvex {

// A command as the trace names it: "record", "disc information request", ...; a pair outside the table by its
// two bytes ("command 07 09").
[[nodiscard]] QString commandName(CommandPair pair);

// An answer of the recorder (its bytes up to and with its end byte) as the trace names it: "record
// acknowledgement", "stop acknowledgement", "disc information: 12 tracks, 45:07", else "answer".
[[nodiscard]] QString answerName(QByteArrayView answer);

} // namespace quorvex
