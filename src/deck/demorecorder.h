#pragma once

#include "deck/controla1/virtualdeck.h"
#include "deck/mdse/settings.h"
#include "deck/mdse/virtualdeck.h"
#include "deck/recorderfamily.h"

#include <cstdio>
#include <memory>
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
// It is a Control-A1 recorder, or an MDS-E deck of the model given (in remote mode only once told, and
// switched on, with a disc whose tracks and disc have names).
class DemoRecorder {
public:
    explicit DemoRecorder(std::FILE* log, deck::RecorderFamily family = deck::RecorderFamily::controlA1,
                          deck::mdse::Model model = deck::mdse::Model::e12);

    [[nodiscard]] bool isOpen() const;
    [[nodiscard]] QString devicePath() const;
    [[nodiscard]] deck::RecorderFamily family() const {
        return mdseDeck ? deck::RecorderFamily::mdsE : deck::RecorderFamily::controlA1;
    }
    // The deck of the family chosen; nullptr for the other.
    [[nodiscard]] const deck::VirtualDeck* controlA1() const { return controlA1Deck.get(); }
    [[nodiscard]] const deck::mdse::VirtualDeck* mdse() const { return mdseDeck.get(); }

    // Both decks' discs: 3 tracks, 12m 30s.
    static constexpr int startTracks = 3;
    static constexpr int startMinutes = 12;
    static constexpr int startSeconds = 30;
    // The MDS-E disc is a 74-minute one: 61m 30s left to record.
    static constexpr int mdseDiscMinutes = 74;

private:
    std::unique_ptr<deck::VirtualDeck> controlA1Deck;
    std::unique_ptr<deck::mdse::VirtualDeck> mdseDeck;
};

} // namespace quorvex
