#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mpv/client.h>
#include <QObject>
#include <QString>
#include <QStringList>

namespace quorvex {

// One libmpv instance, owned for its whole life. libmpv calls the wakeup from its own threads; the wakeup
// only posts one queued call to the receiver, which then drains the waiting events on the GUI thread.
// Nothing here waits for libmpv: commands and property changes are sent with the async API.
class MpvHandle final {
public:
    // `drain` runs on the receiver's (GUI) thread whenever libmpv has events waiting.
    MpvHandle(QObject& receiver, std::function<void()> drain);
    ~MpvHandle() = default;
    MpvHandle(const MpvHandle&) = delete;
    MpvHandle& operator=(const MpvHandle&) = delete;
    MpvHandle(MpvHandle&&) = delete;
    MpvHandle& operator=(MpvHandle&&) = delete;

    // Before initialize(): an option as mpv's command line takes it. Both return an mpv error code, 0 if
    // fine.
    [[nodiscard]] int setOption(const char* name, const QString& value);
    [[nodiscard]] int initialize();

    // Each returns libmpv's error code: below 0 when the request was refused at once.
    [[nodiscard]] int observe(const char* name, mpv_format format);
    [[nodiscard]] int requestLogMessages(const char* minimumLevel);
    // The reply comes back as MPV_EVENT_COMMAND_REPLY carrying `id`.
    [[nodiscard]] int command(std::uint64_t id, const QStringList& arguments);
    // The value comes back as MPV_EVENT_GET_PROPERTY_REPLY carrying `id`.
    [[nodiscard]] int getProperty(std::uint64_t id, const char* name, mpv_format format);
    [[nodiscard]] int setFlag(const char* name, bool value);
    [[nodiscard]] int setDouble(const char* name, double value);
    [[nodiscard]] int setText(const char* name, const QString& value);

    // The next waiting event, MPV_EVENT_NONE when there is none; valid until the next call.
    [[nodiscard]] const mpv_event& nextEvent();

private:
    struct Destroyer {
        void operator()(mpv_handle* handle) const;
    };

    static void wakeup(void* context);

    QObject& receiver;
    std::function<void()> drain;
    std::atomic<bool> drainPosted{false};
    std::unique_ptr<mpv_handle, Destroyer> handle;
};

} // namespace quorvex
