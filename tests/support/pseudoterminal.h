#pragma once

#include "deck/pseudoterminalmaster.h"

#include <chrono>
#include <QByteArray>
#include <QTest>
#include <utility>

namespace quorvex::testing {

// The far end of a serial line: a bare pseudo-terminal whose device the program opens as its Com port,
// keeping every byte that arrives from it. Reading runs Qt's event loop, so a window in this process goes on.
class PseudoTerminal {
public:
    PseudoTerminal() {
        QObject::connect(&line, &deck::PseudoTerminalMaster::bytesReceived, &line,
                         [this](const QByteArray& bytes) { arrived += bytes; });
    }

    // Waits until `count` bytes have arrived or the time is up, and takes what arrived.
    QByteArray read(qsizetype count, std::chrono::milliseconds within) {
        // Too few bytes in time is no failure here: the caller compares what came.
        static_cast<void>(QTest::qWaitFor([this, count] { return arrived.size() >= count; },
                                          static_cast<int>(within.count())));
        return std::exchange(arrived, {});
    }

    deck::PseudoTerminalMaster line; // write() sends to the program, close() pulls the cable

private:
    QByteArray arrived;
};

} // namespace quorvex::testing
