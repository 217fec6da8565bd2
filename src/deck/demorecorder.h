#pragma once

#include "deck/controla1/virtualdeck.h"

#include <cstdio>
#include <QString>
#include <QStringList>

namespace quorvex {

// The option that starts the program with a virtual recorder instead of the serial cable.
inline constexpr const char* virtualDeckOption = "--virtual-deck";

// True when the program was started with --virtual-deck. Nothing else on the command line is read.
[[nodiscard]] bool wantsVirtualDeck(const QStringList& arguments);

// A virtual MiniDisc recorder inside the program, so that Quorvex can be tried without the hardware. It
// listens on a pseudo-terminal that every Com button opens for this session, holds a disc with a few tracks
// on it, and prints every frame it receives to `log`, so the user sees what a real recorder would be told.
class DemoRecorder {
public:
    explicit DemoRecorder(std::FILE* log);

    [[nodiscard]] bool isOpen() const { return deck.isOpen(); }
    [[nodiscard]] QString devicePath() const { return deck.devicePath(); }
    [[nodiscard]] const deck::Disc& disc() const { return deck.disc(); }

    static constexpr int startTracks = 3;
    static constexpr int startMinutes = 12;
    static constexpr int startSeconds = 30;

private:
    deck::VirtualDeck deck;
};

} // namespace quorvex
