// The platform layer on the real things: the settings file, serial devices, the event loop.
#include "deck/filedescriptor.h"
#include "platform/deviceserialport.h"
#include "platform/inisettingsstore.h"
#include "platform/qteventpump.h"
#include "support/fileaccess.h"
#include "support/printers.h"
#include "support/pseudoterminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <span>
#include <termios.h>

namespace quorvex::testing {
namespace {

using namespace std::chrono_literals;

const QString commport = QStringLiteral("Commport");

// Warnings the code under test printed while noteWarning was the message handler.
QStringList& warnings() {
    static QStringList all;
    return all;
}
void noteWarning(QtMsgType /*type*/, const QMessageLogContext& /*context*/, const QString& message) {
    warnings().append(message);
}

// A settings file that is not INI at all is met by the program itself (demo_test).
TEST(IniSettingsStore, UnwritableFilesGiveWhatTheyHoldAreReportedNamingTheFileAndFoldersAreMade) {
    ASSERT_TRUE(obeyFilePermissions());
    const QTemporaryDir folder;
    const QByteArray readOnly = "[Commport]\nCOM=3\n";
    const struct {
        QString file;
        const char* comRead; // what the store reads for COM
        const char* warning; // part of the warning, which also names the file; nullptr: no warning
    } cases[] = {
        {folder.filePath("readonly.ini"), "3", "cannot write"},
        {QStringLiteral("/dev/null/quorvex/MP3Quorvex.ini"), "1", "cannot write"},
        {folder.filePath("not/yet/MP3Quorvex.ini"), "1", nullptr},
    };
    QFile file(cases[0].file);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(readOnly) == readOnly.size());
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    for (const auto& row : std::span(cases)) {
        SCOPED_TRACE(row.file.toStdString());
        warnings().clear();
        const QtMessageHandler previous = qInstallMessageHandler(&noteWarning);
        IniSettingsStore store(row.file);
        EXPECT_EQ(store.read(commport, QStringLiteral("COM"), QStringLiteral("1")), row.comRead);
        store.save(commport, QStringLiteral("COM"), QStringLiteral("2"));
        store.save(QStringLiteral("General"), QStringLiteral("Dir"), QStringLiteral("/music"));
        qInstallMessageHandler(previous);

        const QStringList& said = warnings();
        ASSERT_EQ(said.size(), row.warning == nullptr ? 0 : 1) << said.join('\n').toStdString();
        EXPECT_TRUE(said.isEmpty() || (said.front().contains(row.file) && said.front().contains(row.warning)))
            << said.join('\n').toStdString();
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), readOnly) << "the user's file is left as it was";
    QFile made(cases[2].file);
    ASSERT_TRUE(made.open(QIODevice::ReadOnly));
    EXPECT_TRUE(made.readAll().contains("COM=2"));
}

TEST(DeviceSerialPort, PortNumbersNameStandardDevicesUnlessASettingSaysOtherwiseAndFailuresNameThem) {
    IniSettingsStore settings;
    settings.save(commport, QStringLiteral("Device3"), QStringLiteral("/dev/ttyUSB0"));
    DeviceSerialPort port(settings);
    EXPECT_EQ(QStringList({port.deviceName(1), port.deviceName(2), port.deviceName(3), port.deviceName(4)}),
              QStringList({"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyS3"}));

    const QTemporaryDir scratch;
    QFile plain(scratch.filePath("not-a-tty"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const QString& device : {scratch.filePath("absent"), scratch.path(), plain.fileName(), QString()}) {
        settings.save(commport, QStringLiteral("Device3"), device);
        port.setPortNumber(3);
        const std::optional<QString> failure = port.open();
        ASSERT_TRUE(failure.has_value()) << device.toStdString();
        EXPECT_TRUE(failure->startsWith(device + ':')) << failure->toStdString();
        EXPECT_FALSE(port.isOpen());
    }
}

TEST(DeviceSerialPort, Opens9600Baud8N1PassesEveryByteUntouchedAndReportsAHangUpOnce) {
    PseudoTerminal recorder;
    const QString device = recorder.line.slavePath();
    // The line's settings, which both ends share. Start from other ones, so the port has to set each itself.
    const deck::FileDescriptor line(::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    termios other{};
    ASSERT_EQ(tcgetattr(line.get(), &other), 0);
    cfsetspeed(&other, B19200);
    other.c_cflag = (other.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB;
    ASSERT_EQ(tcsetattr(line.get(), TCSANOW, &other), 0);
    IniSettingsStore settings;
    settings.save(commport, QStringLiteral("Device4"), device);
    DeviceSerialPort port(settings);
    port.setPortNumber(4);
    ASSERT_EQ(port.open(), std::nullopt);
    ASSERT_EQ(port.open(), std::nullopt) << "opening an open port is harmless";

    termios set{};
    ASSERT_EQ(tcgetattr(line.get(), &set), 0);
    EXPECT_EQ(cfgetispeed(&set), B9600);
    EXPECT_EQ(cfgetospeed(&set), B9600);
    EXPECT_EQ(set.c_cflag & CSIZE, static_cast<tcflag_t>(CS8)) << "8 data bits";
    EXPECT_EQ(set.c_cflag & PARENB, 0U) << "no parity";
    EXPECT_EQ(set.c_cflag & CSTOPB, 0U) << "1 stop bit";

    // Every byte value passes untouched, 0x00, 0x0D, 0x11 and 0x13 included (no line editing, no XON/XOFF).
    std::array<std::uint8_t, 256> everyByte{};
    QByteArray expected;
    for (std::size_t i = 0; i < everyByte.size(); ++i) {
        everyByte.at(i) = static_cast<std::uint8_t>(i);
        expected.append(static_cast<char>(i));
    }
    port.write(everyByte);
    EXPECT_EQ(recorder.read(256, 2s).toHex(' '), expected.toHex(' '));

    // Writes into a pulled cable fail; the failure is reported once. (The window's end-to-end test meets
    // the hang-up through the port's own error signal, before any write can fail.)
    const QSignalSpy failures(&port, &SerialPort::failed);
    recorder.line.close();
    const std::array<std::uint8_t, 7> frame{0x81, 0x07, 0x05, 0x47, 0x02, 0x01, 0xFF};
    for (int i = 0; i < 5; ++i) {
        port.write(frame);
        QTest::qWait(20);
    }
    ASSERT_EQ(failures.count(), 1);
    EXPECT_TRUE(failures.at(0).at(0).toString().startsWith(device));
}

TEST(QtEventPump, BlocksUntilAnEventHasBeenHandled) {
    QtEventPump pump;
    bool fired = false;
    QTimer::singleShot(50, [&fired] { fired = true; });
    // A pass that did not block would return at once, again and again, while the timer is still waiting.
    // Another wake-up (a posted deferred delete, say) may end a pass early, but only a handful of them.
    int passes = 0;
    while (!fired && passes < 1000) {
        pump.pumpEvents();
        ++passes;
    }
    EXPECT_TRUE(fired);
    EXPECT_LT(passes, 5);
}

} // namespace
} // namespace quorvex::testing
