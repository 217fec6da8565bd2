#include "deck/controla1/virtualdeck.h"
#include "deck/deckoptions.h"
#include "deck/devicelink.h"
#include "deck/mdse/virtualdeck.h"
#include "deck/stopsignals.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>

namespace {

using namespace quorvex::deck;

void printLine(std::FILE* stream, const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stream);
    std::fflush(stream);
}

// Offers the deck's device (and its link), prints its log, and runs until a signal ends the program.
template <typename Deck>
int serve(Deck& deck, void (Deck::*logged)(const QString&), const QString& linkPath) {
    if (!deck.isOpen()) {
        printLine(stderr, QStringLiteral("quorvex-deck: cannot open a pseudo-terminal"));
        return EXIT_FAILURE;
    }
    std::unique_ptr<DeviceLink> link;
    if (!linkPath.isEmpty()) {
        link = std::make_unique<DeviceLink>(linkPath, deck.devicePath());
        if (!link->isValid()) {
            printLine(stderr, QStringLiteral("quorvex-deck: %1").arg(link->error()));
            return EXIT_FAILURE;
        }
    }
    QObject::connect(&deck, logged, [](const QString& line) { printLine(stdout, line); });
    QObject::connect(&deck, &Deck::openChanged, [](bool open) {
        if (!open) {
            printLine(stdout, QStringLiteral("quorvex-deck: line closed"));
        }
    });
    printLine(stdout, QStringLiteral("quorvex-deck: connect to %1").arg(deck.devicePath()));
    return QCoreApplication::exec();
}

} // namespace

// quorvex-deck: a virtual MiniDisc recorder on a pseudo-terminal. Point Quorvex's Com port at the device it
// names, and every frame Quorvex sends is printed as it arrives.
int main(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvex-deck"));
    const StopSignals stopSignals({SIGINT, SIGTERM});
    QObject::connect(&stopSignals, &StopSignals::signalReceived, &application,
                     [] { QCoreApplication::quit(); });

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual MiniDisc recorder on a pseudo-terminal, answering Quorvex's Control-A1 frames "
        "or, with --recorder mds-e, the RS-232C packets of a Sony MDS-E11/E12/E52, and "
        "misbehaving on demand."));
    parser.addHelpOption();
    addDeckOptions(parser);
    parser.process(application);
    const DeckOptionsResult read = readDeckOptions(parser);
    if (!read.options) {
        printLine(stderr, QStringLiteral("quorvex-deck: %1").arg(read.error));
        return EXIT_FAILURE;
    }
    if (!stopSignals.isValid()) {
        printLine(stderr, QStringLiteral("quorvex-deck: cannot watch for SIGINT and SIGTERM"));
        return EXIT_FAILURE;
    }

    const DeckOptions& options = *read.options;
    if (options.recorder == RecorderFamily::mdsE) {
        mdse::VirtualDeck deck(options.mdse.disc, options.mdse.settings, options.mdse.faults);
        return serve(deck, &mdse::VirtualDeck::logged, options.linkPath);
    }
    VirtualDeck deck(options.disc, options.faults);
    return serve(deck, &VirtualDeck::frameReceived, options.linkPath);
}
