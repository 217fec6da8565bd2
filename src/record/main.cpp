#include "deck/stopsignals.h"
#include "platform/inisettingsstore.h"
#include "record/recordcommand.h"
#include "record/recordoptions.h"

#include <csignal>
#include <cstdio>
#include <QCoreApplication>

int main(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvex-record"));
    // Before any thread starts, so that every thread leaves SIGINT and SIGTERM to the event loop.
    quorvex::deck::StopSignals stops({SIGINT, SIGTERM});
    // Read, never written: the window's remembered settings are the defaults.
    const quorvex::IniSettingsStore settings(quorvex::IniSettingsStore::Access::readOnly);
    const quorvex::ParsedRecordCommand parsed =
        quorvex::parseRecordCommand(QCoreApplication::arguments(), settings);
    if (!parsed.options) {
        if (!parsed.answer.isEmpty()) {
            std::fputs(parsed.answer.toLocal8Bit().constData(), stdout);
            return EXIT_SUCCESS;
        }
        std::fprintf(stderr, "quorvex-record: %s\nTry 'quorvex-record --help'.\n",
                     parsed.error.toLocal8Bit().constData());
        return static_cast<int>(quorvex::ExitStatus::badUsage);
    }
    quorvex::RecordCommand command(*parsed.options, settings);
    QObject::connect(&stops, &quorvex::deck::StopSignals::signalReceived, &command,
                     &quorvex::RecordCommand::stopSignal);
    return command.run();
}
