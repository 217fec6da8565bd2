#pragma once

// What the benches that show the window share: their start and the window's first paints.
#include <cstdio>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace quorvex::bench {

// The offscreen platform unless another is asked for, and a settings file of the bench's own (so a user's
// settings are neither read nor changed). Made before the application.
class BenchStart {
public:
    BenchStart() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    }

private:
    QTemporaryDir configHome;
};

// Shows the window and lets its first paints pass, which are no part of what is measured; false (said on
// standard error) when it was never shown.
inline bool showSettled(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("the window was never shown\n", stderr);
        return false;
    }
    constexpr int settleMs = 300;
    QTest::qWait(settleMs);
    return true;
}

} // namespace quorvex::bench
