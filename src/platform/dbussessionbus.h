#pragma once

#include "platform/sessionbus.h"

#include <functional>
#include <optional>
#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <set>

namespace quorvex {

// logind's sleep lock on the system bus; the screen saver's inhibition and desktop notifications on the
// session bus. A bus or service that is missing, fails or stays silent for a second is done without, and
// `say` is told so once per thing (by default on standard error).
class DBusSessionBus final : public SessionBus {
public:
    using Say = std::function<void(const QString& line)>;

    // `name` is the program's name in what is said: "quorvex: …".
    explicit DBusSessionBus(QString name = QStringLiteral("quorvex"));
    DBusSessionBus(QDBusConnection system, QDBusConnection session, Say say,
                   QString name = QStringLiteral("quorvex"));
    DBusSessionBus(const DBusSessionBus&) = delete;
    DBusSessionBus& operator=(const DBusSessionBus&) = delete;
    DBusSessionBus(DBusSessionBus&&) = delete;
    DBusSessionBus& operator=(DBusSessionBus&&) = delete;
    ~DBusSessionBus() override;

    void inhibitSleep() override;
    void releaseInhibitors() override;
    void notify(const QString& text) override;

private:
    enum class Thing { SleepLock, ScreenLock, Notifications };

    // The answer to `call` when it has the `signature` expected, else nothing (and `what` is said missing).
    std::optional<QDBusMessage> ask(Thing what, const QDBusMessage& call, const QString& signature);
    [[nodiscard]] bool connected(Thing what);
    void sayMissing(Thing what, const QString& why);

    QDBusConnection system;
    QDBusConnection session;
    Say say;
    QString programName;
    std::set<Thing> saidMissing;
    QDBusUnixFileDescriptor sleepLock; // logind keeps the lock while this stays open
    std::optional<uint> screenCookie;
    QObject pendingNotifications; // parent of the watchers still waiting, so none outlives the bus
};

} // namespace quorvex
