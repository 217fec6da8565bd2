#include "deck/demorecorder.h"

#include <algorithm>

namespace quorvex {

namespace {

deck::Disc demoDisc() {
    deck::Disc disc;
    disc.tracks = DemoRecorder::startTracks;
    disc.minutes = DemoRecorder::startMinutes;
    disc.seconds = DemoRecorder::startSeconds;
    return disc;
}

void printLine(std::FILE* stream, const QString& line) {
    std::fputs(qPrintable(QStringLiteral("virtual recorder: %1\n").arg(line)), stream);
    std::fflush(stream);
}

// Prints the deck's log and its line closing, and says where it listens.
template <typename Deck> void watch(Deck& deck, void (Deck::*logged)(const QString&), std::FILE* log) {
    QObject::connect(&deck, logged, &deck, [log](const QString& line) { printLine(log, line); });
    QObject::connect(&deck, &Deck::openChanged, &deck, [log](bool open) {
        if (!open) {
            printLine(log, QStringLiteral("line closed"));
        }
    });
    if (deck.isOpen()) {
        printLine(log, QStringLiteral("every Com button leads to %1 in this session").arg(deck.devicePath()));
    }
}

// Three named tracks in 12:30 on a named 74-minute disc.
deck::mdse::Disc demoMdseDisc() {
    using std::chrono::seconds;
    deck::mdse::Disc disc;
    disc.name = QByteArrayLiteral("Quorvex Demo");
    disc.capacity = std::chrono::minutes{DemoRecorder::mdseDiscMinutes};
    disc.tracks = {{seconds{4 * 60 + 5}, QByteArrayLiteral("Morning Tide")},
                   {seconds{3 * 60 + 50}, QByteArrayLiteral("Harbour Lights")},
                   {seconds{4 * 60 + 35}, QByteArrayLiteral("Long Way Home")}};
    return disc;
}

} // namespace

bool wantsVirtualDeck(const QStringList& arguments) {
    // The first argument is the program itself.
    return std::any_of(arguments.begin() + std::min<qsizetype>(1, arguments.size()), arguments.end(),
                       [](const QString& argument) { return argument == QLatin1String(virtualDeckOption); });
}

DemoRecorder::DemoRecorder(std::FILE* log, deck::RecorderFamily family, deck::mdse::Model model) {
    if (family == deck::RecorderFamily::mdsE) {
        mdseDeck =
            std::make_unique<deck::mdse::VirtualDeck>(demoMdseDisc(), deck::mdse::Settings{.model = model});
        watch(*mdseDeck, &deck::mdse::VirtualDeck::logged, log);
    } else {
        controlA1Deck = std::make_unique<deck::VirtualDeck>(demoDisc());
        watch(*controlA1Deck, &deck::VirtualDeck::frameReceived, log);
    }
}

bool DemoRecorder::isOpen() const {
    return mdseDeck ? mdseDeck->isOpen() : controlA1Deck->isOpen();
}

QString DemoRecorder::devicePath() const {
    return mdseDeck ? mdseDeck->devicePath() : controlA1Deck->devicePath();
}

} // namespace quorvex
