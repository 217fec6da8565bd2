#include "support/fakes.h"

namespace quorvex::testing {

void FakeSerialPort::setPortNumber(int n) {
    journal.push_back("setPortNumber " + std::to_string(n));
    number = n;
}

std::optional<QString> FakeSerialPort::open() {
    journal.push_back("open " + std::to_string(number));
    if (unopenable.contains(number)) {
        return QStringLiteral("%1: No such file or directory").arg(deviceName(number));
    }
    opened = true;
    return std::nullopt;
}

void FakeSerialPort::close() {
    journal.emplace_back("close");
    opened = false;
}

void FakeSerialPort::write(std::span<const std::uint8_t> frame) {
    frames.push_back(toByteArray(frame));
    if (respond) {
        received += respond(frames.back());
    }
}

QByteArray FakeSerialPort::readAll() {
    QByteArray all;
    all.swap(received);
    return all;
}

void FakeMediaPlayer::open(const QString& path) {
    load(path, false);
}

void FakeMediaPlayer::prepare(const QString& path) {
    load(path, true);
}

void FakeMediaPlayer::load(const QString& path, bool hold) {
    opened.append(path);
    position = 0;
    length = fileLength;
    holding = hold;
    if (unplayable.contains(path)) {
        setState(stopped);
        emit failed(
            path, QStringLiteral("Cannot play \"%1\": it is not a sound file that can be decoded").arg(path));
        return;
    }
    setState(transitioning);
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

void FakeMediaPlayer::stop() {
    ++stops;
    setState(stopped);
}

void FakeMediaPlayer::setState(int newState) {
    state = newState;
    emit stateChanged();
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

QString FakeSettingsStore::read(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    const auto found = values.find(section + '/' + key);
    return found == values.end() ? defaultValue : found->second;
}

void FakeSettingsStore::save(const QString& section, const QString& key, const QString& value) {
    journal.push_back("save " + (section + '/' + key + '=' + value).toStdString());
    values[section + '/' + key] = value;
}

QMessageBox::StandardButton FakeDialogs::show(const Message& message) {
    shown.push_back(message);
    return QMessageBox::Ok;
}

FakePlatform::FakePlatform() {
    auto fakeSettings = std::make_unique<FakeSettingsStore>(journal);
    auto fakeSerial = std::make_unique<FakeSerialPort>(journal);
    auto fakeDialogs = std::make_unique<FakeDialogs>();
    auto fakePump = std::make_unique<FakeEventPump>();
    auto fakePlayer = std::make_unique<FakeMediaPlayer>();
    player = fakePlayer.get();
    auto fakeExit = std::make_unique<FakeProgramExit>(journal);
    exit = fakeExit.get();
    settings = fakeSettings.get();
    serial = fakeSerial.get();
    dialogs = fakeDialogs.get();
    pump = fakePump.get();
    pump->port = serial;
    pump->player = player;
    platform = {.settings = std::move(fakeSettings),
                .serial = std::move(fakeSerial),
                .dialogs = std::move(fakeDialogs),
                .pump = std::move(fakePump),
                .player = std::move(fakePlayer),
                .exit = std::move(fakeExit)};
}

Platform FakePlatform::take() {
    return std::move(platform);
}

} // namespace quorvex::testing
