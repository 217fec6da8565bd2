// The session bus on private buses: dbus-daemons of the test's own with stand-ins for logind, the screen
// saver and the notification server, so nothing depends on the buses of the machine.
#include "deck/filedescriptor.h"
#include "platform/dbussessionbus.h"
#include "support/printers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <QtCore>
#include <QtDBus>
#include <QTest>

namespace quorvex::testing {
namespace {

const QString login = QStringLiteral("org.freedesktop.login1");
const QString screenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString notifications = QStringLiteral("org.freedesktop.Notifications");

// A dbus-daemon of its own with stand-ins for `services`, each at the path named like it. They note every
// call and answer from a thread of their own, so the test thread's blocking calls get through. Each of the
// `answers` to a method is given once; a call with none left stays unanswered.
class PrivateBus final : public QDBusVirtualObject {
public:
    explicit PrivateBus(const QStringList& services, QMap<QString, QVariantList> answers = {})
        : answers(std::move(answers)) {
        QFile config(folder.filePath("bus.conf"));
        EXPECT_TRUE(
            config.open(QIODevice::WriteOnly) &&
            config.write("<busconfig><listen>unix:tmpdir=/tmp</listen><policy context='default'><allow "
                         "send_destination='*'/><allow receive_sender='*'/><allow own='*'/></policy>"
                         "</busconfig>") > 0 &&
            config.flush());
        daemon.start("dbus-daemon", {"--nofork", "--print-address", "--config-file=" + config.fileName(),
                                     "--address=unix:path=" + folder.filePath("bus")});
        EXPECT_TRUE(daemon.waitForReadyRead(5000));
        address = QString::fromUtf8(daemon.readLine().trimmed());
        standIns = QDBusConnection::connectToBus(address, address + " stand-ins");
        for (const QString& service : services) {
            EXPECT_TRUE(standIns.registerVirtualObject('/' + QString(service).replace('.', '/'), this) &&
                        standIns.registerService(service));
        }
        moveToThread(&thread);
        thread.start();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;
    PrivateBus(PrivateBus&&) = delete;
    PrivateBus& operator=(PrivateBus&&) = delete;
    ~PrivateBus() override {
        thread.quit();
        thread.wait();
        QDBusConnection::disconnectFromBus(standIns.name());
        daemon.kill();
        daemon.waitForFinished();
    }

    [[nodiscard]] QDBusConnection connect() const { return QDBusConnection::connectToBus(address, address); }
    [[nodiscard]] QList<QDBusMessage> calls() const {
        const QMutexLocker lock(&mutex);
        return received;
    }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& connection) override {
        const QMutexLocker lock(&mutex);
        received.append(call);
        if (QVariantList& queued = answers[call.interface() + '.' + call.member()]; !queued.isEmpty()) {
            connection.send(call.createReply(queued.takeFirst()));
        }
        return true;
    }
    [[nodiscard]] QString introspect(const QString& /*path*/) const override { return {}; }

private:
    const QTemporaryDir folder;
    QProcess daemon;
    QString address;
    QDBusConnection standIns{QString()};
    QThread thread;
    mutable QMutex mutex;
    QMap<QString, QVariantList> answers;
    QList<QDBusMessage> received;
};

// A pipe whose write end goes to logind's stand-in, to hand out as a sleep lock; the read end stays here.
QVariant lock(deck::FileDescriptor& readEnd) {
    std::array<int, 2> ends{};
    EXPECT_EQ(::pipe2(ends.data(), O_CLOEXEC), 0); // the dbus-daemons must not inherit it
    readEnd = deck::FileDescriptor(ends[0]);
    QDBusUnixFileDescriptor writeEnd;
    writeEnd.giveFileDescriptor(ends[1]);
    return QVariant::fromValue(writeEnd);
}

// Whether every write end of the lock's pipe is closed within `waitMs`: the lock has been let go.
bool released(const deck::FileDescriptor& readEnd, int waitMs) {
    pollfd watched{.fd = readEnd.get(), .events = POLLIN, .revents = 0};
    return ::poll(&watched, 1, waitMs) == 1; // nobody writes to it: only the hang-up wakes the poll
}

// Each call as "interface.method(signature) arguments".
QStringList seen(const QList<QDBusMessage>& calls) {
    QStringList lines;
    for (const QDBusMessage& call : calls) {
        lines.append(QStringLiteral("%1.%2(%3) %4")
                         .arg(call.interface(), call.member(), call.signature(),
                              QVariant(call.arguments()).toStringList().join(';')));
    }
    return lines;
}

// logind's lock (its descriptor kept open) is held from inhibitSleep until released or until the bus goes;
// the screen saver gets its own cookie back; notifications go out without waiting for an answer.
TEST(DBusSessionBus, HoldsTheSleepLockAndScreenSaverCookieUntilReleasedAndNotifies) {
    deck::FileDescriptor firstLock;
    deck::FileDescriptor secondLock;
    const PrivateBus system({login}, {{login + ".Manager.Inhibit", {lock(firstLock), lock(secondLock)}}});
    const PrivateBus session({screenSaver, notifications},
                             {{screenSaver + ".Inhibit", {42U, 43U}}, {notifications + ".Notify", {7U}}});
    {
        DBusSessionBus bus(system.connect(), session.connect(),
                           [](const QString& line) { ADD_FAILURE() << line.toStdString(); });
        bus.inhibitSleep();
        bus.inhibitSleep();
        EXPECT_FALSE(released(firstLock, 200));
        bus.releaseInhibitors();
        EXPECT_TRUE(released(firstLock, 2000));
        bus.notify(QStringLiteral("Recording ended"));
        bus.inhibitSleep();
        EXPECT_FALSE(released(secondLock, 200));
    }
    EXPECT_TRUE(released(secondLock, 2000)) << "the bus lets go when it goes";
    EXPECT_TRUE(QTest::qWaitFor([&session] { return session.calls().size() == 5; }, 2000));
    const QString sleep =
        "org.freedesktop.login1.Manager.Inhibit(ssss) sleep:idle;Quorvex;Recording a MiniDisc;block";
    const QString screen = "org.freedesktop.ScreenSaver.Inhibit(ss) Quorvex;Recording a MiniDisc";
    const QString notify =
        "org.freedesktop.Notifications.Notify(susssasa{sv}i) Quorvex;0;quorvex;Recording ended;;;;-1";
    EXPECT_EQ(seen(system.calls() + session.calls()),
              QStringList({sleep, sleep, screen, "org.freedesktop.ScreenSaver.UnInhibit(u) 42", notify,
                           screen, "org.freedesktop.ScreenSaver.UnInhibit(u) 43"}));
}

// Without buses, without the services, or with services that never answer: the program goes on, waits a
// second at most for each lock, and says once what it goes without, however often it asks.
TEST(DBusSessionBus, GoesOnWithoutBusesOrServicesAndSaysOnceWhatIsMissing) {
    const QDBusConnection none = QDBusConnection::connectToBus("unix:path=/nonexistent/quorvex-bus", "none");
    const QString noBus = " bus (" + none.lastError().message() + ')';
    // The services on the buses, and the error calls to them end in; no error: no buses.
    const std::vector<std::pair<QStringList, QString>> rows = {
        {{}, {}}, {{}, "ServiceUnknown"}, {{login, screenSaver, notifications}, "NoReply"}};
    for (const auto& [services, error] : rows) {
        SCOPED_TRACE(error.toStdString());
        const PrivateBus system(services.mid(0, 1));
        const PrivateBus session(services.mid(1));
        const auto why = [error = error, &noBus](const QString& service, const QString& bus) {
            return error.isEmpty() ? "no " + bus + noBus
                                   : service + " not available (org.freedesktop.DBus.Error." + error + ')';
        };
        QStringList said;
        DBusSessionBus bus(error.isEmpty() ? none : system.connect(),
                           error.isEmpty() ? none : session.connect(),
                           [&said](const QString& line) { said.append(line); });
        QElapsedTimer timer;
        timer.start();
        bus.inhibitSleep();
        bus.notify(QStringLiteral("Recording ended"));
        bus.releaseInhibitors();
        bus.inhibitSleep();
        bus.notify(QStringLiteral("Recording ended"));
        EXPECT_LT(timer.elapsed(), 4500) << "a second at most for each of the four lock calls";
        QTest::qWait(1500); // until a silent notification server's second has run out
        EXPECT_EQ(said,
                  QStringList(
                      {"quorvex: " + why(login, "system") + "; the computer may sleep during recording",
                       "quorvex: " + why(screenSaver, "session") + "; the screen may blank during recording",
                       "quorvex: " + why(notifications, "session") + "; no desktop notifications"}));
    }
}

} // namespace
} // namespace quorvex::testing
