#include "app/clockpanel.h"
#include "app/portsetting.h"
#include "support/printers.h"
#include "tracks/dirlistbox.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(PortSetting, RememberedTextBecomesAPortNumberOrCom1) {
    const struct {
        const char* stored;
        int port;
    } cases[] = {
        {"1", 1}, {"2", 2}, {"3", 3},  {"4", 4},     {" 3 ", 3},                         // usable
        {"0", 1}, {"5", 1}, {"-2", 1}, {"65538", 1}, {"", 1},    {"abc", 1}, {"2.5", 1}, // not a Com button
    };
    for (const auto& row : cases) {
        EXPECT_EQ(portNumberFromSetting(QString::fromLatin1(row.stored)), row.port)
            << '"' << row.stored << '"';
    }
}

TEST(PortSetting, RememberedUseId3) {
    const struct {
        const char* stored;
        Qt::CheckState state;
    } cases[] = {{"0", Qt::Unchecked},   {"1", Qt::Checked},   {"2", Qt::Checked},
                 {" 0", Qt::Unchecked},  {"3", Qt::Checked},   {"-1", Qt::Checked},
                 {"40000", Qt::Checked}, {"yes", Qt::Checked}, {"", Qt::Checked}};
    for (const auto& row : cases) {
        EXPECT_EQ(useId3FromSetting(QString::fromLatin1(row.stored)), row.state) << '"' << row.stored << '"';
    }
}

TEST(DirectorySetting, DriveCPathsNameTheRootVolume) {
    const QString start = QStringLiteral("/home/me/started-here");
    const struct {
        const char* stored;
        QString path;
    } cases[] = {{"C:\\", "/"},
                 {"c:\\", "/"},
                 {"c:", start},
                 {"C:\\Music\\Rock", "/Music/Rock"},
                 {"/media/usb/Music", "/media/usb/Music"},
                 {"D:\\Music", "D:\\Music"},
                 {"", ""}};
    for (const auto& row : cases) {
        EXPECT_EQ(directoryFromSetting(QString::fromLatin1(row.stored), start), row.path) << row.stored;
    }
}

TEST(ClockPanel, ShowsHoursAndMinutesOfTheDay) {
    EXPECT_EQ(clockText(QTime(0, 0, 59)), QStringLiteral("00:00"));
    EXPECT_EQ(clockText(QTime(9, 5, 0)), QStringLiteral("09:05"));
    EXPECT_EQ(clockText(QTime(23, 59, 59, 999)), QStringLiteral("23:59"));

    const ClockPanel panel;
    const QTime before = QTime::currentTime();
    const QString shown = panel.text();
    const QTime after = QTime::currentTime();
    EXPECT_TRUE(shown == clockText(before) || shown == clockText(after)) << shown.toStdString();
}

} // namespace
} // namespace quorvex
