#include "mediatest.h"

#include <iostream>
#include <optional>
#include <QByteArray>
#include <QFileInfo>

namespace quorvex::test {
namespace {

class FailuresTest : public MediaTest {
protected:
    // Opens the file and waits for the failure; the player must never have said "playing".
    static void expectFailure(MpvMediaPlayer& player, const QString& path, const QString& expectedStart) {
        const StateLog log(player);
        player.open(path);
        ASSERT_TRUE(waitUntil(
            player, [&] { return !log.failures().isEmpty(); }, startOfSound))
            << log.describe().toStdString();
        runFor(300ms); // nothing more comes afterwards
        ASSERT_EQ(log.failures().size(), 1) << log.describe().toStdString();
        const QString message = log.failures().front();
        EXPECT_TRUE(message.startsWith(expectedStart)) << message.toStdString();
        EXPECT_TRUE(message.contains(QFileInfo(path).fileName())) << message.toStdString();
        EXPECT_EQ(player.playState(), MediaPlayer::stopped);
        EXPECT_FALSE(log.sawState(MediaPlayer::playing)) << log.describe().toStdString();
        std::cout << "failed: " << message.toStdString() << '\n';
    }
};

// Sets an environment variable for the life of the object.
class EnvironmentOverride final {
public:
    EnvironmentOverride(const char* name, const QByteArray& value) : name(name) {
        if (qEnvironmentVariableIsSet(name)) {
            previous = qgetenv(name);
        }
        qputenv(name, value);
    }
    ~EnvironmentOverride() {
        if (previous) {
            qputenv(name, *previous);
        } else {
            qunsetenv(name);
        }
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;
    EnvironmentOverride(EnvironmentOverride&&) = delete;
    EnvironmentOverride& operator=(EnvironmentOverride&&) = delete;

private:
    const char* name;
    std::optional<QByteArray> previous;
};

TEST_F(FailuresTest, FilesWithoutPlayableSoundFail) {
    // Missing; text named .mp3; an MP3 cut before its first frame of sound; a WAV without samples.
    for (const char* name : {"no-such-file.mp3", "text.mp3", "tagsonly.mp3", "noaudio.wav"}) {
        SCOPED_TRACE(name);
        const auto player = makePlayer();
        expectFailure(*player, fixture(name), QStringLiteral("Cannot play"));
    }
}

TEST_F(FailuresTest, TruncatedMp3PlaysWhatItHasAndEnds) {
    const auto player = makePlayer();
    const StateLog log(*player);
    player->open(fixture("truncated.mp3"));
    ASSERT_TRUE(waitForState(*player, MediaPlayer::mediaEnded, endOfFile)) << log.describe().toStdString();
    const auto started = log.firstEntered(MediaPlayer::playing);
    ASSERT_TRUE(started) << log.describe().toStdString();
    // 16000 bytes of a 128 kbit/s MP3 hold about one second of sound.
    const double played = *log.leftAfter(MediaPlayer::playing, *started) - *started;
    EXPECT_GT(played, 0.8) << log.describe().toStdString();
    EXPECT_LT(played, 1.3) << log.describe().toStdString();
    EXPECT_TRUE(log.failures().isEmpty()) << log.describe().toStdString();
}

TEST_F(FailuresTest, NoSoundOutputFails) {
    // PulseAudio, the only output this player may use, is nowhere to be found.
    const EnvironmentOverride server("PULSE_SERVER", "unix:/nonexistent/quorvex/pulse/native");
    MpvMediaPlayer player(nullptr, QStringLiteral("pulse"));
    expectFailure(player, fixture("sine.wav"), QStringLiteral("no sound output: "));
}

TEST_F(FailuresTest, UnknownSoundOutputFails) {
    MpvMediaPlayer player(nullptr, QStringLiteral("no-such-output"));
    expectFailure(player, fixture("sine.wav"), QStringLiteral("no sound output: "));
}

} // namespace
} // namespace quorvex::test
