#include "support/fakes.h"

namespace quorvex::testing {

std::optional<QString> FakeSerialPort::open() {
    journal.push_back("open " + std::to_string(number));
    if (unopenable.contains(number)) {
        return QStringLiteral("%1: No such file or directory").arg(deviceName(number));
    }
    opened = true;
    return std::nullopt;
}

void FakeMediaPlayer::advance() {
    if (state == transitioning) {
        setState(holding ? ready : playing);
    } else if (state == playing) {
        position += 0.1;
        if (position >= length - 1e-9) {
            setState(mediaEnded);
        }
    }
}

void FakeEventPump::pumpEvents() {
    ++ticks;
    if (const auto bytes = arrivals.find(ticks); bytes != arrivals.end() && port != nullptr) {
        port->received += bytes->second;
    }
    if (tick) {
        tick();
    }
    if (player != nullptr) {
        player->advance();
    }
    if (const auto action = during.find(ticks); action != during.end()) {
        action->second();
    }
}

// The test keeps a plain pointer to each fake that the platform owns.
template <typename Fake, typename Interface, typename... Arguments>
Fake* keep(std::unique_ptr<Interface>& slot, Arguments&... arguments) {
    auto fake = std::make_unique<Fake>(arguments...);
    Fake* kept = fake.get();
    slot = std::move(fake);
    return kept;
}

FakePlatform::FakePlatform()
    : settings(keep<FakeSettingsStore>(platform.settings, journal)),
      serial(keep<FakeSerialPort>(platform.serial, journal)), dialogs(keep<FakeDialogs>(platform.dialogs)),
      pump(keep<FakeEventPump>(platform.pump)), player(keep<FakeMediaPlayer>(platform.player)) {
    keep<FakeProgramExit>(platform.exit, journal);
    pump->port = serial;
    pump->player = player;
}

} // namespace quorvex::testing
