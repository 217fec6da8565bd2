#pragma once

#include "deck/virtualdeck.h"
#include "framebytes.h"
#include "slaveend.h"

#include <gtest/gtest.h>
#include <memory>

namespace quorvex::deck::testing {

// A deck on a fresh pseudo-terminal, with the test holding the program's end of the cable.
class DeckFixture : public ::testing::Test {
protected:
    void start(Disc disc = {}, Faults faults = {}) {
        deck = std::make_unique<VirtualDeck>(std::move(disc), std::move(faults));
        ASSERT_TRUE(deck->isOpen());
        ASSERT_TRUE(deck->devicePath().startsWith(QStringLiteral("/dev/pts/")))
            << deck->devicePath().toStdString();
        program = std::make_unique<SlaveEnd>(deck->devicePath());
        ASSERT_TRUE(program->isOpen());
    }

    // Sends a command frame and waits for an answer of `expected` bytes (or the time to run out).
    QByteArray ask(int category, int code, qsizetype expected, std::chrono::milliseconds within) {
        program->write(commandBytes(category, code));
        return program->read(expected, within);
    }

    std::unique_ptr<VirtualDeck> deck;
    std::unique_ptr<SlaveEnd> program;
};

inline const QByteArray recordAck = bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x21, 0xFF});
inline const QByteArray stopAck = bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x02, 0xFF});

inline QByteArray discAnswer(int tracks, int minutes, int seconds) {
    return bytes({0x81, 0x0D, 0x05, 0x48, 0x20, 0x60, 0x01, 0x00, tracks, minutes, seconds, 0x00, 0xFF});
}

} // namespace quorvex::deck::testing
