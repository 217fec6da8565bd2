// How much CPU the program burns while it waits 4 s for a recorder that never answers.
// The wait hands the thread to the event loop, which should sleep between Ticks: the goal is
// well under 0.02 CPU seconds for the whole 40-Tick time-out.
//
// Run: ./build/bench/quorvex_bench_idle_wait
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "cpuclock.h"
#include "deck/controla1/virtualdeck.h"
#include "link/controla1/controla1recorder.h"
#include "link/controla1/discinfo.h"
#include "platform/inisettingsstore.h"
#include "windowbench.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <QApplication>
#include <QDir>
#include <QFile>
namespace {

void measure(quorvex::frmQuorvex& window, const char* what) {
    const double cpuBefore = processCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    const bool answered =
        dynamic_cast<quorvex::ControlA1Recorder&>(window.recorder())
            .waitForReply(quorvex::discInfoFirst, quorvex::discInfoSecond, quorvex::discInfoDistance);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallBefore;
    std::printf("%-40s wall %.3f s  CPU %.4f s  answered %s\n", what, wall.count(),
                processCpuSeconds() - cpuBefore, answered ? "yes" : "no");
}

} // namespace

int main(int argc, char* argv[]) {
    const quorvex::bench::BenchStart start;
    const QApplication application(argc, argv);

    quorvex::deck::Faults silent;
    silent.silent = true;
    const quorvex::deck::VirtualDeck recorder({}, silent);
    quorvex::IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"),
                                     recorder.devicePath());

    quorvex::frmQuorvex window(quorvex::makeSystemPlatform());
    if (!quorvex::bench::showSettled(window)) {
        return EXIT_FAILURE;
    }
    measure(window, "40-Tick wait, port closed:");
    window.selectPort(1);
    measure(window, "40-Tick wait, silent recorder on the port:");
    return EXIT_SUCCESS;
}
