// Whatever comes down the serial line, "Check disc" ends: noise around and inside answers, a flood of
// bytes in one Tick, nothing but end bytes. The far end is a bare pseudo-terminal the test writes to.
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "platform/inisettingsstore.h"
#include "support/printers.h"
#include "support/pseudoterminal.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <span>

namespace quorvex::testing {
namespace {

using namespace std::chrono_literals;

// The recorder's answer to the disc-information request: 12 tracks, 45 min 7 s.
const QByteArray answer = QByteArray::fromHex("810D0548 2060 0100 0C2D07 00 FF");

// Line noise without end bytes.
QByteArray noise(qsizetype size) {
    QRandomGenerator random(7);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(255));
    }
    return bytes;
}

TEST(HostileLine, CheckDiscEndsWhateverTheLineBrings) {
    const struct {
        const char* line;
        QByteArray bytes;
        QByteArray later; // a second later, once the check is over
        const char* label;
        double atLeast; // seconds the check takes
        double atMost;
    } cases[] = {
        {"noise between answers", noise(25) + answer, noise(9) + answer + noise(30), "12 Tracks 45m 07s", 0,
         2},
        {"noise inside the answer, before its pair",
         answer.first(4) + QByteArray::fromHex("1337 81 0000") + answer.sliced(4),
         {},
         "12 Tracks 45m 07s",
         0,
         2},
        {"1,000 bytes in one Tick, then the answer", noise(1000) + answer, {}, "12 Tracks 45m 07s", 0, 2},
        {"only end bytes", QByteArray(30, '\xFF'), {}, "255 Tracks 255m 255s", 3.8, 6},
    };
    for (const auto& row : std::span(cases)) {
        SCOPED_TRACE(row.line);
        PseudoTerminal recorder;
        ASSERT_TRUE(recorder.isValid());
        IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"), recorder.devicePath());
        frmQuorvex window(makeSystemPlatform());
        window.selectPort(1);
        QTimer::singleShot(200, &window, [&recorder, &row] { ASSERT_TRUE(recorder.write(row.bytes)); });

        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(window.findChild<QAbstractButton*>("btnCheckTracks"), Qt::LeftButton);
        const double seconds = static_cast<double>(clock.elapsed()) / 1000;

        if (!row.later.isEmpty()) {
            ASSERT_TRUE(recorder.write(row.later));
            QTest::qWait(1000);
        }
        EXPECT_EQ(window.findChild<QLabel*>("lblTrackInfo")->text(), row.label);
        EXPECT_GE(seconds, row.atLeast);
        EXPECT_LE(seconds, row.atMost);
        const QByteArray request = QByteArray::fromHex("81070547 2044 FF");
        EXPECT_EQ(recorder.read(request.size(), 1s).toHex(' '), request.toHex(' '));
    }
}

} // namespace
} // namespace quorvex::testing
