#include "platform/dbussessionbus.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QTextStream>
#include <utility>

namespace quorvex {
namespace {

constexpr int answerWithinMs = 1000; // the window waits no longer than this for the desktop

const QString program = QStringLiteral("Quorvex");
const QString reason = QStringLiteral("Recording a MiniDisc");
const QString screenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString notifications = QStringLiteral("org.freedesktop.Notifications");

// A call to the object named like its service (org.a.B at /org/a/B).
QDBusMessage callOn(const QString& service, const QString& interface, const QString& method) {
    return QDBusMessage::createMethodCall(service, '/' + QString(service).replace('.', '/'), interface,
                                          method);
}

} // namespace

DBusSessionBus::DBusSessionBus(QString name)
    : DBusSessionBus(
          QDBusConnection::systemBus(), QDBusConnection::sessionBus(),
          [](const QString& line) { QTextStream(stderr) << line << '\n'; }, std::move(name)) {}

DBusSessionBus::DBusSessionBus(QDBusConnection system, QDBusConnection session, Say say, QString name)
    : system(std::move(system)), session(std::move(session)), say(std::move(say)),
      programName(std::move(name)) {}

DBusSessionBus::~DBusSessionBus() {
    releaseInhibitors();
}

void DBusSessionBus::inhibitSleep() {
    if (!sleepLock.isValid()) {
        const QString login = QStringLiteral("org.freedesktop.login1");
        QDBusMessage call = callOn(login, login + ".Manager", QStringLiteral("Inhibit"));
        call << QStringLiteral("sleep:idle") << program << reason << QStringLiteral("block");
        if (const auto reply = ask(Thing::SleepLock, call, QStringLiteral("h"))) {
            sleepLock = reply->arguments().constFirst().value<QDBusUnixFileDescriptor>();
        }
    }
    if (!screenCookie) {
        QDBusMessage call = callOn(screenSaver, screenSaver, QStringLiteral("Inhibit"));
        call << program << reason;
        if (const auto reply = ask(Thing::ScreenLock, call, QStringLiteral("u"))) {
            screenCookie = reply->arguments().constFirst().toUInt();
        }
    }
}

void DBusSessionBus::releaseInhibitors() {
    sleepLock = QDBusUnixFileDescriptor(); // closing our end ends logind's lock
    if (screenCookie) {
        QDBusMessage call = callOn(screenSaver, screenSaver, QStringLiteral("UnInhibit"));
        call << *std::exchange(screenCookie, std::nullopt);
        session.send(call);
    }
}

void DBusSessionBus::notify(const QString& text) {
    if (!connected(Thing::Notifications)) {
        return;
    }
    QDBusMessage call = callOn(notifications, notifications, QStringLiteral("Notify"));
    call << program << 0U << QStringLiteral("quorvex") << text << QString() << QStringList() << QVariantMap()
         << -1;
    // Nobody waits for the answer; only a failure is worth a word.
    auto* watcher =
        new QDBusPendingCallWatcher(session.asyncCall(call, answerWithinMs), &pendingNotifications);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [this, watcher] {
        if (watcher->isError()) {
            sayMissing(Thing::Notifications,
                       QStringLiteral("%1 not available (%2)").arg(notifications, watcher->error().name()));
        }
        watcher->deleteLater();
    });
}

std::optional<QDBusMessage> DBusSessionBus::ask(Thing what, const QDBusMessage& call,
                                                const QString& signature) {
    if (!connected(what)) {
        return std::nullopt;
    }
    const QDBusMessage reply =
        (what == Thing::SleepLock ? system : session).call(call, QDBus::Block, answerWithinMs);
    if (reply.type() == QDBusMessage::ReplyMessage && reply.signature() == signature) {
        return reply;
    }
    const QString why = reply.type() == QDBusMessage::ErrorMessage
                            ? reply.errorName()
                            : QStringLiteral("answered ") + reply.signature();
    sayMissing(what, QStringLiteral("%1 not available (%2)").arg(call.service(), why));
    return std::nullopt;
}

bool DBusSessionBus::connected(Thing what) {
    const QDBusConnection& bus = what == Thing::SleepLock ? system : session;
    if (!bus.isConnected()) {
        sayMissing(what,
                   QStringLiteral("no %1 bus (%2)")
                       .arg(what == Thing::SleepLock ? "system" : "session", bus.lastError().message()));
    }
    return bus.isConnected();
}

void DBusSessionBus::sayMissing(Thing what, const QString& why) {
    if (!saidMissing.insert(what).second) {
        return;
    }
    QString without;
    switch (what) {
    case Thing::SleepLock:
        without = QStringLiteral("the computer may sleep during recording");
        break;
    case Thing::ScreenLock:
        without = QStringLiteral("the screen may blank during recording");
        break;
    case Thing::Notifications:
        without = QStringLiteral("no desktop notifications");
        break;
    }
    say(QStringLiteral("%1: %2; %3").arg(programName, why, without));
}

} // namespace quorvex
