#include "deck/devicelink.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace quorvex::deck {
namespace {

namespace fs = std::filesystem;

class DeviceLinkTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(directory.isValid()); }

    [[nodiscard]] fs::path inside(const char* name) const {
        return fs::path(directory.path().toStdString()) / name;
    }
    static QString text(const fs::path& path) { return QString::fromStdString(path.string()); }

    QTemporaryDir directory;
};

TEST_F(DeviceLinkTest, ReplacesALinkLeftBehind) {
    const fs::path link = inside("recorder");
    fs::create_symlink("/dev/pts/3", link);
    const DeviceLink made(text(link), QStringLiteral("/dev/pts/8"));
    ASSERT_TRUE(made.isValid()) << made.error().toStdString();
    EXPECT_EQ(fs::read_symlink(link), fs::path("/dev/pts/8"));
}

TEST_F(DeviceLinkTest, LeavesAnOrdinaryFileAlone) {
    const fs::path file = inside("settings.ini");
    std::ofstream(file) << "[Commport]\n";
    {
        const DeviceLink refused(text(file), QStringLiteral("/dev/pts/8"));
        EXPECT_FALSE(refused.isValid());
        EXPECT_TRUE(refused.error().contains(QStringLiteral("not a symbolic link")))
            << refused.error().toStdString();
    }
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(fs::file_size(file), 11U);
}

TEST_F(DeviceLinkTest, KeepsALinkSomeoneElsePointedElsewhere) {
    const fs::path link = inside("recorder");
    {
        const DeviceLink made(text(link), QStringLiteral("/dev/pts/8"));
        ASSERT_TRUE(made.isValid());
        fs::remove(link);
        fs::create_symlink("/dev/pts/9", link); // a second deck took the path over
    }
    ASSERT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(fs::read_symlink(link), fs::path("/dev/pts/9"));
}

TEST_F(DeviceLinkTest, ReportsADirectoryThatIsNotThere) {
    const DeviceLink refused(text(inside("missing") / "recorder"), QStringLiteral("/dev/pts/8"));
    EXPECT_FALSE(refused.isValid());
    EXPECT_FALSE(refused.error().isEmpty());
}

} // namespace
} // namespace quorvex::deck
