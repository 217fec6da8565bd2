#pragma once

#include "app/platform.h" // every outside thing the fakes stand in for
#include "platform/bytes.h"
#include "support/printers.h"

#include <functional>
#include <map>
#include <QByteArray>
#include <set>
#include <string>
#include <vector>

namespace quorvex::testing {

// What the fakes did, in order, so tests can check the sequence of port and settings operations.
using Journal = std::vector<std::string>;

inline QByteArray hex(const char* bytes) {
    return QByteArray::fromHex(bytes);
}

class FakeSerialPort final : public SerialPort {
    Q_OBJECT
public:
    explicit FakeSerialPort(Journal& journal) : journal(journal) {}

    void setPortNumber(int n) override {
        journal.push_back("setPortNumber " + std::to_string(n));
        number = n;
    }
    [[nodiscard]] int portNumber() const override { return number; }
    [[nodiscard]] QString deviceName(int n) const override {
        return devices.contains(n) ? devices.at(n) : QStringLiteral("/dev/fake%1").arg(n);
    }
    void setDevice(int n, const QString& device) override {
        journal.push_back("setDevice " + std::to_string(n) + ' ' + device.toStdString());
        devices[n] = device;
    }
    [[nodiscard]] std::vector<SerialDevice> systemDevices() const override { return system; }
    std::optional<QString> open() override {
        journal.push_back("open " + std::to_string(number));
        if (unopenable.contains(number)) {
            return QStringLiteral("%1: No such file or directory").arg(deviceName(number));
        }
        opened = true;
        return std::nullopt;
    }
    void close() override {
        journal.emplace_back("close");
        opened = false;
    }
    [[nodiscard]] bool isOpen() const override { return opened; }
    // The recorder answers each frame as soon as it is written.
    void write(std::span<const std::uint8_t> frame) override {
        frames.push_back(toByteArray(frame));
        received += respond ? respond(frames.back()) : QByteArray();
    }
    // A closed port receives nothing.
    [[nodiscard]] qint64 bytesWaiting() const override { return opened ? received.size() : 0; }
    QByteArray readAll() override { return std::exchange(received, {}); }

    std::function<QByteArray(const QByteArray& frame)> respond; // the recorder's answer to a frame
    std::set<int> unopenable;                                   // port numbers whose open fails
    std::map<int, QString> devices;                             // port number -> device put behind it
    std::vector<SerialDevice> system;                           // the system's serial ports
    std::vector<QByteArray> frames;                             // one entry per write
    QByteArray received;                                        // bytes the recorder has sent

private:
    Journal& journal;
    int number = 1;
    bool opened = false;
};

class FakeSettingsStore final : public SettingsStore {
public:
    explicit FakeSettingsStore(Journal& journal) : journal(journal) {}

    using SettingsStore::read;
    using SettingsStore::save;
    [[nodiscard]] QString read(const QString& section, const QString& key,
                               const QString& defaultValue) const override {
        return values.contains(section + '/' + key) ? values.at(section + '/' + key) : defaultValue;
    }
    void save(const QString& section, const QString& key, const QString& value) override {
        journal.push_back("save " + (section + '/' + key + '=' + value).toStdString());
        values[section + '/' + key] = value;
    }
    [[nodiscard]] bool isFirstStart() const override { return firstStart; }

    std::map<QString, QString> values; // "section/key" -> text
    bool firstStart = false;

private:
    Journal& journal;
};

class FakeDialogs final : public Dialogs {
public:
    QMessageBox::StandardButton show(const Message& message) override {
        shown.push_back(message);
        if (whenShown) {
            whenShown();
        }
        return QMessageBox::Ok;
    }
    // The n-th question gets the n-th scripted answer, else its default choice, as Enter would.
    int ask(const Question& question) override {
        asked.push_back(question);
        return asked.size() <= answers.size() ? answers.at(asked.size() - 1) : question.defaultChoice;
    }

    QStringList chooseFiles(const QString& title, const QString& /*filter*/) override {
        choosers.append(title);
        return std::exchange(chosenFiles, {});
    }
    QString chooseFolder(const QString& title) override {
        choosers.append(title);
        return std::exchange(chosenFolder, {});
    }
    QString chooseFileToSave(const QString& title, const QString& /*filter*/) override {
        choosers.append(title);
        return std::exchange(chosenFileToSave, {});
    }
    // The serial-device dialog is cancelled (the real one is driven in serial_window_test).
    std::optional<SerialChoice> chooseSerialDevice(const QString& title, const SerialChoice& /*current*/,
                                                   std::span<const SerialDevice> /*devices*/,
                                                   const IdentifyRecorder& /*identify*/) override {
        choosers.append(title);
        return std::nullopt;
    }

    std::vector<Message> shown;
    std::function<void()> whenShown; // runs as each box shows
    std::vector<Question> asked;
    std::vector<int> answers;
    QStringList choosers;    // the titles of the choosers opened
    QStringList chosenFiles; // what the next chooser of each kind returns once
    QString chosenFolder;
    QString chosenFileToSave;
};

// The program's plain box: this text under the program's name, one OK button and no icon.
inline bool isPlainBox(const Message& message, const QString& text) {
    return message.text == text && message.title == "Quorvex" && message.buttons == QMessageBox::Ok &&
           message.icon == QMessageBox::NoIcon;
}

// A player that plays nothing: it notes what was opened and moves on one Tick of virtual time at a time.
class FakeMediaPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    void open(const MediaItem& item) override { load(item, false); }
    void prepare(const MediaItem& item) override { load(item, true); }
    // A take opens as its first item; at each item's end the next one is heard.
    void prepareTake(const std::vector<MediaItem>& items) override {
        load(items.empty() ? MediaItem() : items.front(), true);
        take.assign(items.begin() + (items.empty() ? 0 : 1), items.end());
        this->items.insert(this->items.end(), take.begin(), take.end());
        file = 0;
    }
    [[nodiscard]] int takeFile() const override { return file; }
    [[nodiscard]] int playState() const override { return state; }
    [[nodiscard]] double currentPosition() const override { return position; }
    [[nodiscard]] double duration() const override { return length; }
    void stop() override {
        ++stops;
        setState(stopped);
    }
    void play() override {
        holding = false;
        unbufferedPlays += runBuffering ? 0 : 1;
        setState(playing);
    }
    void pause() override { setState(paused); }
    void seek(double seconds) override { position = seconds; }
    void setVolume(int percent) override { level = percent; }
    [[nodiscard]] int volume() const override { return level; }
    void setMuted(bool mute) override { muted = mute; }
    [[nodiscard]] bool isMuted() const override { return muted; }
    [[nodiscard]] std::optional<std::vector<SoundOutput>> soundOutputs() const override { return outputList; }
    void setSoundOutput(const QString& name) override { output = name; }
    void setSend44k(bool on) override { send44k = on; }
    void setLevel(Level chosen) override { programLevel = chosen; }
    void setSilentFallback(bool on) override { silentFallback = on; }
    void setRunBuffering(bool on) override { runBuffering = on; }
    void listOutputs(std::vector<SoundOutput> outputs) {
        outputList = std::move(outputs);
        emit soundOutputsChanged();
    }

    void setState(int newState) {
        state = newState;
        emit stateChanged();
    }
    // One Tick: a loading file starts (a prepared one gets ready), a playing one moves on 0.1 s and ends at
    // its length.
    void advance() {
        if (state == transitioning) {
            setState(holding ? ready : playing);
        } else if (state == playing) {
            position += 0.1;
            if (position >= length - 1e-9 && file < static_cast<int>(take.size())) {
                ++file;
                position = 0;
                emit stateChanged();
            } else if (position >= length - 1e-9) {
                setState(mediaEnded);
            }
        }
    }

    double fileLength = 0.5;
    QString output = QStringLiteral("never set");
    std::optional<bool> send44k;
    std::optional<Level> programLevel;
    bool silentFallback = false;
    bool runBuffering = false;
    int unbufferedPlays = 0;         // plays without the run's buffer
    std::optional<QString> noOutput; // every file then fails for want of a sound output, for this reason
    QStringList opened;              // the files of the items opened, prepared or taken first
    std::vector<MediaItem> items;    // those items, and the rest of a take
    int stops = 0;

private:
    void load(const MediaItem& item, bool hold) {
        const QString& path = item.path;
        opened.append(path);
        items.push_back(item);
        if (noOutput) {
            emit outputFailed(path, *noOutput);
            setState(stopped);
            return;
        }
        take.clear();
        file = 0;
        position = 0;
        length = fileLength;
        holding = hold;
        setState(transitioning);
    }

    int state = undefined;
    std::vector<MediaItem> take; // the items after the first
    int file = 0;
    double position = 0;
    double length = 0;
    bool holding = false;
    int level = 100;
    std::optional<std::vector<SoundOutput>> outputList;
    bool muted = false;
};

// Notes that the program would have ended here; the test goes on, unless `then` ends it.
class FakeProgramExit final : public ProgramExit {
public:
    explicit FakeProgramExit(Journal& journal) : journal(journal) {}
    void exitNow() override {
        journal.emplace_back("exit");
        if (then) {
            then();
        }
    }

    std::function<void()> then;

private:
    Journal& journal;
};

// Counts the times the computer was to be kept awake and let go, and keeps each notification's text.
class FakeSessionBus final : public SessionBus {
public:
    void inhibitSleep() override { ++holds; }
    void releaseInhibitors() override { ++releases; }
    void notify(const QString& text) override { notifications.append(text); }

    int holds = 0;
    int releases = 0;
    QStringList notifications;
};

// Virtual time: each pass of the event loop is one Tick. Before Tick n the bytes scripted for n reach
// the port; after it, whatever the user is scripted to do at n runs inside that same pass (and may wait).
class FakeEventPump final : public EventPump {
public:
    void pumpEvents() override {
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

    std::function<void()> tick;                  // what one Tick does
    std::map<int, QByteArray> arrivals;          // Tick number (from 1) -> bytes received before it
    std::map<int, std::function<void()>> during; // Tick number -> a handler run in that pass
    FakeSerialPort* port = nullptr;
    FakeMediaPlayer* player = nullptr;
    int ticks = 0;
};

// The test keeps a plain pointer to each fake that the platform owns.
template <typename Fake, typename Interface, typename... Arguments>
Fake* keep(std::unique_ptr<Interface>& slot, Arguments&... arguments) {
    slot = std::make_unique<Fake>(arguments...);
    return static_cast<Fake*>(slot.get());
}

// A Platform made of fakes, with the fakes still reachable by the test after the window took the set.
struct FakePlatform {
    FakePlatform()
        : settings(keep<FakeSettingsStore>(platform.settings, journal)),
          serial(keep<FakeSerialPort>(platform.serial, journal)),
          dialogs(keep<FakeDialogs>(platform.dialogs)), pump(keep<FakeEventPump>(platform.pump)),
          player(keep<FakeMediaPlayer>(platform.player)), exit(keep<FakeProgramExit>(platform.exit, journal)),
          bus(keep<FakeSessionBus>(platform.bus)) {
        pump->port = serial;
        pump->player = player;
    }
    Platform take() { return std::move(platform); }

    Platform platform;
    Journal journal;
    FakeSettingsStore* settings;
    FakeSerialPort* serial;
    FakeDialogs* dialogs;
    FakeEventPump* pump;
    FakeMediaPlayer* player;
    FakeProgramExit* exit;
    FakeSessionBus* bus;
};

} // namespace quorvex::testing
