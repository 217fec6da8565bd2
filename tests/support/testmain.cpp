#include <cstdlib>
#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

// Each test program draws its windows offscreen and keeps its settings in a directory of its own,
// so no test reads or writes the settings of the person running them.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QTemporaryDir configHome;
    if (!configHome.isValid()) {
        return EXIT_FAILURE;
    }
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());

    const QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
