#include "deck/controla1/virtualdeck.h"
#include "deck/deckoptions.h"
#include "deck/devicelink.h"
#include "deck/stopsignals.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>

namespace {

void printLine(std::FILE* stream, const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stream);
    std::fflush(stream);
}

} // namespace

// quorvex-deck: a virtual MiniDisc recorder on a pseudo-terminal. Point Quorvex's Com port at the device it
// names, and every frame Quorvex sends is printed as it arrives.
int main(int argc, char** argv) {
    using namespace quorvex::deck;

    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvex-deck"));
    const StopSignals stopSignals({SIGINT, SIGTERM});
    QObject::connect(&stopSignals, &StopSignals::signalReceived, &application,
                     [] { QCoreApplication::quit(); });

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A virtual MiniDisc recorder on a pseudo-terminal, answering Quorvex's Control-A1 "
                       "frames and misbehaving on demand."));
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

    VirtualDeck deck(read.options->disc, read.options->faults);
    if (!deck.isOpen()) {
        printLine(stderr, QStringLiteral("quorvex-deck: cannot open a pseudo-terminal"));
        return EXIT_FAILURE;
    }
    std::unique_ptr<DeviceLink> link;
    if (!read.options->linkPath.isEmpty()) {
        link = std::make_unique<DeviceLink>(read.options->linkPath, deck.devicePath());
        if (!link->isValid()) {
            printLine(stderr, QStringLiteral("quorvex-deck: %1").arg(link->error()));
            return EXIT_FAILURE;
        }
    }
    QObject::connect(&deck, &VirtualDeck::frameReceived,
                     [](const QString& line) { printLine(stdout, line); });
    QObject::connect(&deck, &VirtualDeck::openChanged, [](bool open) {
        if (!open) {
            printLine(stdout, QStringLiteral("quorvex-deck: line closed"));
        }
    });

    printLine(stdout, QStringLiteral("quorvex-deck: connect to %1").arg(deck.devicePath()));
    return QCoreApplication::exec();
}
