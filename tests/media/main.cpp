#include <gtest/gtest.h>
#include <QApplication>

// The player lives on Qt's event loop and the control bar is a widget: the tests need a QApplication,
// drawn offscreen unless the caller chose a platform.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
