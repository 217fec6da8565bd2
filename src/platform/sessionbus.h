#pragma once

#include <QString>

namespace quorvex {

// The desktop around a recording run: keeping the computer awake and the screen on, and telling the user
// when a run ends while the window is not looked at.
class SessionBus {
public:
    SessionBus() = default;
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;
    SessionBus(SessionBus&&) = delete;
    SessionBus& operator=(SessionBus&&) = delete;
    virtual ~SessionBus() = default;

    // From now until releaseInhibitors(): no sleep, no screen blanking. Taking them again while held changes
    // nothing.
    virtual void inhibitSleep() = 0;
    virtual void releaseInhibitors() = 0;
    // A desktop notification with this text.
    virtual void notify(const QString& text) = 0;
};

} // namespace quorvex
