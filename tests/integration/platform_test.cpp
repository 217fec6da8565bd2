// The platform layer on the real things: the settings file, serial devices, the event loop.
#include "deck/filedescriptor.h"
#include "platform/deviceserialport.h"
#include "platform/inisettingsstore.h"
#include "platform/qteventpump.h"
#include "support/fileaccess.h"
#include "support/printers.h"
#include "support/pseudoterminal.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <numeric>
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

// Unwritable files give what they hold and are reported naming the file; folders are made; a file that is
// not INI at all is put aside as it was, naming both files, and the defaults go to a fresh one; read only
// (quorvex-record), such a file gives the defaults and stays where it is, and nothing is written.
TEST(IniSettingsStore, UnwritableFilesAreReportedBrokenOnesPutAsideAndFoldersAreMade) {
    ASSERT_TRUE(obeyFilePermissions());
    static QStringList said; // what the store warned while the handler below was installed
    const QTemporaryDir folder;
    const QByteArray readOnly = "[Commport]\nCOM=3\n";
    const QByteArray notIni = QByteArray("\x89PNG\r\n\x1a\n\0\0[General\n==\n", 20) + QByteArray(200, '\xFE');
    const QString broken = folder.filePath("broken.ini");
    const QString readOnlyBroken = folder.filePath("broken-read.ini");
    const struct {
        QString file;
        const char* comRead; // what the store reads for COM
        QString warning;     // part of the warning, which also names the file; empty: no warning
        IniSettingsStore::Access access = IniSettingsStore::Access::readWrite;
    } cases[] = {
        {folder.filePath("readonly.ini"), "3", "cannot write"},
        {QStringLiteral("/dev/null/quorvex/MP3Quorvex.ini"), "1", "cannot write"},
        {folder.filePath("not/yet/MP3Quorvex.ini"), "1", {}},
        {broken, "1", " is not a settings file it can read; it was moved to " + broken + ".unreadable"},
        {readOnlyBroken, "1", " is not a settings file it can read; the defaults are used",
         IniSettingsStore::Access::readOnly},
    };
    QFile file(cases[0].file);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(readOnly) == readOnly.size());
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    for (const QString& path : {broken, readOnlyBroken}) {
        QFile notSettings(path);
        ASSERT_TRUE(notSettings.open(QIODevice::WriteOnly) && notSettings.write(notIni) == notIni.size());
    }
    for (const auto& row : std::span(cases)) {
        SCOPED_TRACE(row.file.toStdString());
        said.clear();
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType /*type*/, const QMessageLogContext& /*context*/,
                                      const QString& text) { said.append(text); });
        IniSettingsStore store(row.file, row.access);
        EXPECT_EQ(store.read(commport, QStringLiteral("COM"), QStringLiteral("1")), row.comRead);
        store.save(commport, QStringLiteral("COM"), QStringLiteral("2"));
        store.save(QStringLiteral("General"), QStringLiteral("Dir"), QStringLiteral("/music"));
        qInstallMessageHandler(previous);

        ASSERT_EQ(said.size(), row.warning.isEmpty() ? 0 : 1) << said.join('\n').toStdString();
        EXPECT_TRUE(said.isEmpty() || (said.front().contains(row.file) && said.front().contains(row.warning)))
            << said.join('\n').toStdString();
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), readOnly) << "the user's file is left as it was";
    for (const QString& kept : {broken + ".unreadable", readOnlyBroken}) {
        QFile aside(kept);
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), notIni);
    }
    for (const QString& made : {cases[2].file, broken}) {
        QFile fresh(made);
        ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
        EXPECT_TRUE(fresh.readAll().contains("COM=2"));
    }
}

// Port numbers name standard devices unless a setting says otherwise, and failures name the device. Open,
// the port sets 9600 baud 8N1, passes every byte untouched and reports a hang-up once.
TEST(DeviceSerialPort, NamesDevicesSets9600Baud8N1PassesEveryByteAndReportsFailuresNamingTheDevice) {
    IniSettingsStore settings;
    settings.save(commport, QStringLiteral("Device3"), QStringLiteral("/dev/ttyUSB0"));
    DeviceSerialPort port(settings);
    EXPECT_EQ(QStringList({port.deviceName(1), port.deviceName(2), port.deviceName(3), port.deviceName(4)}),
              QStringList({"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyS3"}));

    // What the user is told when a device cannot be opened: a missing device, a folder (by path and by a bare
    // name, which QSerialPort looks for in /dev), a file that is no terminal (the settings file just saved),
    // no name, and a terminal the user may not open but its group may, with file permissions obeyed.
    ASSERT_TRUE(obeyFilePermissions());
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    const PseudoTerminal forbidden;
    const QString locked = forbidden.line.slavePath();
    const group* dialout = getgrnam("dialout"); // Debian's group for serial devices
    ASSERT_NE(dialout, nullptr);
    ASSERT_EQ(::chown(locked.toLocal8Bit().constData(), 0, dialout->gr_gid), 0);
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadGroup | QFileDevice::WriteGroup));
    const QString chooser = QStringLiteral(" Choose the recorder's cable in Disc \u25B8 Serial device\u2026");
    const struct {
        QString device;
        QString said;
    } refusals[] = {
        {QStringLiteral("/dev/quorvex-absent"),
         "/dev/quorvex-absent: No such device. Check that the cable is plugged in." + chooser},
        {folder, folder + ": This is a folder, not a serial device." + chooser},
        {QStringLiteral("shm"), "shm: This is a folder, not a serial device." + chooser}, // /dev/shm
        {folder + "/MP3Quorvex.ini", folder + "/MP3Quorvex.ini: Inappropriate ioctl for device."},
        {QString(), ": No such device. Check that the cable is plugged in." + chooser},
        {locked, locked + ": Permission denied. On Debian, add yourself to the group dialout "
                          "(sudo adduser $USER dialout) and log in again."},
    };
    for (const auto& row : std::span(refusals)) {
        settings.save(commport, QStringLiteral("Device3"), row.device);
        port.setPortNumber(3);
        EXPECT_EQ(port.open(), row.said);
        EXPECT_FALSE(port.isOpen());
    }

    PseudoTerminal recorder;
    const QString device = recorder.line.slavePath();
    // The line's settings, which both ends share. Start from other ones, so the port has to set each itself.
    const deck::FileDescriptor line(::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    termios other{};
    ASSERT_EQ(tcgetattr(line.get(), &other), 0);
    cfsetspeed(&other, B19200);
    other.c_cflag = (other.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB;
    ASSERT_EQ(tcsetattr(line.get(), TCSANOW, &other), 0);
    settings.save(commport, QStringLiteral("Device3"), device);
    port.setPortNumber(3);
    ASSERT_EQ(port.open(), std::nullopt);
    ASSERT_EQ(port.open(), std::nullopt) << "opening an open port is harmless";

    termios set{};
    ASSERT_EQ(tcgetattr(line.get(), &set), 0);
    EXPECT_EQ(cfgetispeed(&set), B9600);
    EXPECT_EQ(cfgetospeed(&set), B9600);
    EXPECT_EQ(set.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8))
        << "8 data bits, no parity, 1 stop bit";

    // Every byte value passes untouched, 0x00, 0x0D, 0x11 and 0x13 included (no line editing, no XON/XOFF).
    std::array<std::uint8_t, 256> everyByte{};
    std::iota(everyByte.begin(), everyByte.end(), 0);
    port.write(everyByte);
    EXPECT_EQ(recorder.read(256, 2s).toHex(' '), QByteArrayView(everyByte).toByteArray().toHex(' '));

    // Writes into a pulled cable fail; the failure is reported once. (The window's end-to-end test meets
    // the hang-up through the port's own error signal, before any write can fail.)
    const QSignalSpy failures(&port, &SerialPort::failed);
    recorder.line.close();
    for (int i = 0; i < 5; ++i) {
        port.write(everyByte);
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
    for (; !fired && passes < 1000; ++passes) {
        pump.pumpEvents();
    }
    EXPECT_TRUE(fired);
    EXPECT_LT(passes, 5);
}

} // namespace
} // namespace quorvex::testing
