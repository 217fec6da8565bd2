#include "platform/mpvhandle.h"

#include "platform/mediaplayer.h"

#include <clocale>
#include <QByteArray>
#include <QMetaObject>
#include <utility>
#include <vector>

namespace quorvex {

namespace {

// libmpv refuses to start unless numbers are formatted the C way; QApplication sets the user's locale.
mpv_handle* createHandle() {
    std::setlocale(LC_NUMERIC, "C"); // NOLINT(concurrency-mt-unsafe): only the GUI thread creates players
    mpv_handle* const handle = mpv_create();
    if (handle == nullptr) {
        // libmpv says why on standard error; its API gives no reason beyond the missing handle.
        throw MediaPlayerUnavailable("libmpv could not create a player");
    }
    return handle;
}

} // namespace

void MpvHandle::Destroyer::operator()(mpv_handle* handle) const {
    // Once the callback is cleared no libmpv thread can post to the receiver any more.
    mpv_set_wakeup_callback(handle, nullptr, nullptr);
    mpv_terminate_destroy(handle);
}

MpvHandle::MpvHandle(QObject& receiver, std::function<void()> drain)
    : receiver(receiver), drain(std::move(drain)), handle(createHandle()) {
    mpv_set_wakeup_callback(handle.get(), &MpvHandle::wakeup, this);
}

void MpvHandle::wakeup(void* context) {
    auto* const self = static_cast<MpvHandle*>(context);
    // One posted call drains everything that is waiting, so further wakeups before it runs post nothing.
    if (!self->drainPosted.exchange(true)) {
        QMetaObject::invokeMethod(
            &self->receiver,
            [self] {
                self->drainPosted = false;
                self->drain();
            },
            Qt::QueuedConnection);
    }
}

int MpvHandle::setOption(const char* name, const QString& value) {
    return mpv_set_option_string(handle.get(), name, value.toUtf8().constData());
}

int MpvHandle::initialize() {
    return mpv_initialize(handle.get());
}

int MpvHandle::observe(const char* name, mpv_format format) {
    return mpv_observe_property(handle.get(), 0, name, format);
}

int MpvHandle::requestLogMessages(const char* minimumLevel) {
    return mpv_request_log_messages(handle.get(), minimumLevel);
}

int MpvHandle::getProperty(std::uint64_t id, const char* name, mpv_format format) {
    return mpv_get_property_async(handle.get(), id, name, format);
}

int MpvHandle::command(std::uint64_t id, const QStringList& arguments) {
    std::vector<QByteArray> texts;
    texts.reserve(static_cast<std::size_t>(arguments.size()));
    std::vector<const char*> pointers;
    pointers.reserve(static_cast<std::size_t>(arguments.size()) + 1);
    for (const QString& argument : arguments) {
        pointers.push_back(texts.emplace_back(argument.toUtf8()).constData());
    }
    pointers.push_back(nullptr);
    return mpv_command_async(handle.get(), id, pointers.data());
}

int MpvHandle::setFlag(const char* name, bool value) {
    int flag = value ? 1 : 0;
    return mpv_set_property_async(handle.get(), 0, name, MPV_FORMAT_FLAG, &flag);
}

int MpvHandle::setDouble(const char* name, double value) {
    return mpv_set_property_async(handle.get(), 0, name, MPV_FORMAT_DOUBLE, &value);
}

int MpvHandle::setText(const char* name, const QString& value) {
    QByteArray text = value.toUtf8();
    char* pointer = text.data();
    // libmpv copies the value before the call returns.
    return mpv_set_property_async(handle.get(), 0, name, MPV_FORMAT_STRING, static_cast<void*>(&pointer));
}

const mpv_event& MpvHandle::nextEvent() {
    return *mpv_wait_event(handle.get(), 0);
}

} // namespace quorvex
