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

} // namespace

bool wantsVirtualDeck(const QStringList& arguments) {
    // The first argument is the program itself.
    return std::any_of(arguments.begin() + std::min<qsizetype>(1, arguments.size()), arguments.end(),
                       [](const QString& argument) { return argument == QLatin1String(virtualDeckOption); });
}

DemoRecorder::DemoRecorder(std::FILE* log) : deck(demoDisc()) {
    QObject::connect(&deck, &deck::VirtualDeck::frameReceived, &deck,
                     [log](const QString& line) { printLine(log, line); });
    QObject::connect(&deck, &deck::VirtualDeck::openChanged, &deck, [log](bool open) {
        if (!open) {
            printLine(log, QStringLiteral("line closed"));
        }
    });
    if (deck.isOpen()) {
        printLine(log, QStringLiteral("every Com button leads to %1 in this session").arg(deck.devicePath()));
    }
}

} // namespace quorvex
