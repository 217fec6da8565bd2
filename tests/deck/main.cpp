#include <gtest/gtest.h>
#include <QCoreApplication>

// The deck lives on Qt's event loop (socket notifier, timers), so the tests need an application object.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
