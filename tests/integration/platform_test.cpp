// The platform layer on the real things: the settings file, serial devices, the event loop.
#include "platform/deviceserialport.h"
#include "platform/inisettingsstore.h"
#include "platform/qteventpump.h"
#include "support/fileaccess.h"
#include "support/pseudoterminal.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <span>

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

TEST(IniSettingsStore, BrokenFilesGiveDefaultsAreReportedNamingTheFileAndNothingIsLost) {
    ASSERT_TRUE(obeyFilePermissions());
    const QTemporaryDir folder;
    // Not INI at all: NUL bytes, a section that never closes, lines of nothing but "=".
    const QByteArray garbage = QByteArray("\x7f"
                                          "ELF\x02\x01\x01\0\0\0[Commport\n===\n\xff\xfe\0COM\n",
                                          29) +
                               QByteArray(300, '\0');
    const struct {
        const char* name;
        QString file;
        QByteArray contents; // written before the store opens the file (not for the missing directory)
        bool readOnly;
        const char* comRead; // what the store reads for COM
        QString warning;     // part of the warning, which also names the file
        QString keptIn;      // where the user's file is afterwards, as it was
    } cases[] = {
        {"not INI", folder.filePath("garbage.ini"), garbage, false, "1",
         "moved to " + folder.filePath("garbage.ini.unreadable"), folder.filePath("garbage.ini.unreadable")},
        {"read-only", folder.filePath("readonly.ini"), "[Commport]\nCOM=3\n", true, "3", "cannot write",
         folder.filePath("readonly.ini")},
        {"directory that cannot exist",
         QStringLiteral("/dev/null/quorvex/MP3Quorvex.ini"),
         {},
         false,
         "1",
         "cannot write",
         {}},
    };
    for (const auto& row : std::span(cases)) {
        SCOPED_TRACE(row.name);
        if (!row.contents.isEmpty()) {
            QFile file(row.file);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(row.contents);
            file.close();
            if (row.readOnly) {
                file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup);
            }
        }
        warnings().clear();
        const QtMessageHandler previous = qInstallMessageHandler(&noteWarning);
        IniSettingsStore store(row.file);
        EXPECT_EQ(store.read(commport, QStringLiteral("COM"), QStringLiteral("1")), row.comRead);
        store.save(commport, QStringLiteral("COM"), QStringLiteral("2"));
        store.save(QStringLiteral("General"), QStringLiteral("Dir"), QStringLiteral("/music"));
        qInstallMessageHandler(previous);

        const QStringList& said = warnings();
        ASSERT_EQ(said.size(), 1) << said.join('\n').toStdString();
        EXPECT_TRUE(said.front().contains(row.file)) << said.front().toStdString();
        EXPECT_TRUE(said.front().contains(row.warning)) << said.front().toStdString();
        if (!row.keptIn.isEmpty()) {
            QFile file(row.keptIn);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), row.contents) << "the user's file is left as it was";
        }
        if (!row.readOnly && row.file.startsWith(folder.path())) {
            QFile fresh(row.file);
            ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
            EXPECT_TRUE(fresh.readAll().contains("COM=2")) << "later saves go to a fresh file";
        }
    }
}

TEST(IniSettingsStore, AMissingDirectoryIsMadeOnTheFirstSave) {
    const QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("not/yet/MP3Quorvex.ini"));
    IniSettingsStore(file).save(commport, QStringLiteral("COM"), QStringLiteral("4"));
    EXPECT_EQ(IniSettingsStore(file).read(commport, QStringLiteral("COM"), QStringLiteral("1")), "4");
}

TEST(DeviceSerialPort, PortNumbersNameStandardDevicesUnlessASettingSaysOtherwise) {
    IniSettingsStore settings;
    settings.save(commport, QStringLiteral("Device3"), QStringLiteral("/dev/ttyUSB0"));
    const DeviceSerialPort port(settings);
    EXPECT_EQ(port.deviceName(1), "/dev/ttyS0");
    EXPECT_EQ(port.deviceName(2), "/dev/ttyS1");
    EXPECT_EQ(port.deviceName(3), "/dev/ttyUSB0");
    EXPECT_EQ(port.deviceName(4), "/dev/ttyS3");
}

TEST(DeviceSerialPort, DevicesThatCannotBeOpenedComeBackAsErrorsNamingThem) {
    const QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    QFile plain(scratch.filePath("not-a-tty"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    const std::array<QString, 4> unopenable{scratch.filePath("absent"), scratch.path(), plain.fileName(),
                                            QString()};
    for (const QString& device : unopenable) {
        IniSettingsStore settings;
        settings.save(commport, QStringLiteral("Device1"), device);
        DeviceSerialPort port(settings);
        port.setPortNumber(1);
        const std::optional<QString> failure = port.open();
        ASSERT_TRUE(failure.has_value()) << device.toStdString();
        EXPECT_TRUE(failure->startsWith(device + ':')) << failure->toStdString();
        EXPECT_FALSE(port.isOpen());
    }
}

TEST(DeviceSerialPort, Opens9600Baud8N1PassesEveryByteUntouchedAndReportsAHangUpOnce) {
    PseudoTerminal recorder;
    ASSERT_TRUE(recorder.isValid());
    // Start from other settings, so the port has to set each one itself.
    std::optional<termios> other = recorder.lineSettings();
    ASSERT_TRUE(other);
    cfsetspeed(&*other, B19200);
    other->c_cflag = (other->c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB;
    ASSERT_TRUE(recorder.setLineSettings(*other));
    IniSettingsStore settings;
    settings.save(commport, QStringLiteral("Device4"), recorder.devicePath());
    DeviceSerialPort port(settings);
    port.setPortNumber(4);
    ASSERT_EQ(port.open(), std::nullopt);
    ASSERT_EQ(port.open(), std::nullopt) << "opening an open port is harmless";

    const std::optional<termios> line = recorder.lineSettings();
    ASSERT_TRUE(line);
    EXPECT_EQ(cfgetispeed(&*line), B9600);
    EXPECT_EQ(cfgetospeed(&*line), B9600);
    EXPECT_EQ(line->c_cflag & CSIZE, static_cast<tcflag_t>(CS8)) << "8 data bits";
    EXPECT_EQ(line->c_cflag & PARENB, 0U) << "no parity";
    EXPECT_EQ(line->c_cflag & CSTOPB, 0U) << "1 stop bit";

    // Every byte value passes untouched, 0x00, 0x0D, 0x11 and 0x13 included (no line editing, no XON/XOFF).
    std::array<std::uint8_t, 256> everyByte{};
    for (std::size_t i = 0; i < everyByte.size(); ++i) {
        everyByte.at(i) = static_cast<std::uint8_t>(i);
    }
    port.write(everyByte);
    const QByteArray arrived = recorder.read(256, 2s);
    ASSERT_EQ(arrived.size(), 256);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(static_cast<std::uint8_t>(arrived[i]), i);
    }

    // Writes into a pulled cable fail; the failure is reported once. (The window's end-to-end test meets
    // the hang-up through the port's own error signal, before any write can fail.)
    const QSignalSpy failures(&port, &SerialPort::failed);
    recorder.hangUp();
    const std::array<std::uint8_t, 7> frame{0x81, 0x07, 0x05, 0x47, 0x02, 0x01, 0xFF};
    for (int i = 0; i < 5; ++i) {
        port.write(frame);
        QTest::qWait(20);
    }
    ASSERT_EQ(failures.count(), 1);
    EXPECT_TRUE(failures.at(0).at(0).toString().startsWith(recorder.devicePath()));
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
