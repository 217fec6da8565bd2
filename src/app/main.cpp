#include "app/commandline.h"
#include "app/frmquorvex.h"
#include "app/insertcommand.h"
#include "app/messages.h"
#include "app/systemplatform.h"
#include "deck/demorecorder.h"
#include "widgets/messageboxdialogs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <QApplication>
#include <string>
#include <utility>

int main(int argc, char* argv[]) {
    if (const std::optional<std::string> answer =
            quorvex::commandLineAnswer({argv, static_cast<std::size_t>(std::max(argc, 0))})) {
        std::fputs(answer->c_str(), stdout);
        return EXIT_SUCCESS;
    }
    if (const std::optional<int> status = quorvex::insertCommand(argc, argv)) {
        return *status;
    }
    const QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(quorvex::text::applicationTitle));

    // The demo's recorder lives as long as the window: shut-down ends the program without unwinding.
    const quorvex::WindowOptions options = quorvex::windowOptions(QApplication::arguments());
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "quorvex: %s\n", options.error.toLocal8Bit().constData());
        return 4;
    }
    std::unique_ptr<quorvex::DemoRecorder> demo;
    if (options.virtualDeck) {
        demo =
            std::make_unique<quorvex::DemoRecorder>(stdout, options.recorder == quorvex::RecorderFamily::mdsE
                                                                ? quorvex::deck::RecorderFamily::mdsE
                                                                : quorvex::deck::RecorderFamily::controlA1);
        if (!demo->isOpen()) {
            std::fputs("quorvex: cannot open a pseudo-terminal for the virtual recorder\n", stderr);
            return EXIT_FAILURE;
        }
    }

    quorvex::MessageBoxDialogs dialogs;
    std::optional<quorvex::Platform> platform = quorvex::makePlatformOrSayWhy(
        [&demo] { return quorvex::makeSystemPlatform({}, demo != nullptr ? demo->devicePath() : QString()); },
        dialogs);
    if (!platform) {
        return EXIT_FAILURE;
    }
    quorvex::frmQuorvex window(std::move(*platform));
    if (options.recorder) {
        window.useFamilyOnEveryPort(*options.recorder);
    }
    if (!options.trace.isEmpty()) {
        if (const std::optional<QString> failure = window.traceTo(options.trace)) {
            std::fprintf(stderr, "quorvex: %s\n", failure->toLocal8Bit().constData());
            return 4;
        }
    }
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
