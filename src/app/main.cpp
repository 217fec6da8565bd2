#include "app/demorecorder.h"
#include "app/frmquorvex.h"
#include "app/messages.h"
#include "app/systemplatform.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <QApplication>

int main(int argc, char* argv[]) {
    const QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(quorvex::text::applicationTitle));

    // The demo's recorder lives as long as the window: shut-down ends the program without unwinding.
    std::unique_ptr<quorvex::DemoRecorder> demo;
    if (quorvex::wantsVirtualDeck(QApplication::arguments())) {
        demo = std::make_unique<quorvex::DemoRecorder>(stdout);
        if (!demo->isOpen()) {
            std::fputs("quorvex: cannot open a pseudo-terminal for the virtual recorder\n", stderr);
            return EXIT_FAILURE;
        }
    }

    quorvex::frmQuorvex window(
        quorvex::makeSystemPlatform({}, demo != nullptr ? demo->devicePath() : QString()));
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
