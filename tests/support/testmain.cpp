#include <cstdlib>
#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

// Each test program draws its windows offscreen and keeps its settings and disc records in a directory of its
// own, so no test reads or writes those of the person running them.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QTemporaryDir configHome;
    if (!configHome.isValid()) {
        return EXIT_FAILURE;
    }
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    // Disc records too (the programs the tests start inherit it).
    qputenv("XDG_DATA_HOME", (configHome.path() + QStringLiteral("/data")).toLocal8Bit());

    const QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
