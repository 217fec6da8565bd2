// Broken and hostile input through the real program: files that are not what their names say, names no
// one would type, a recorder line full of noise, a device that vanishes in the middle of a run. Nothing
// may crash or hang; every file ends as a recorded track, a message naming it, or a skipped entry.
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/virtualdeck.h"
#include "decklog.h"
#include "platform/inisettingsstore.h"
#include "recordingfixture.h"
#include "support/fileaccess.h"
#include "support/modalwatcher.h"
#include "tracks/dirlistbox.h"
#include "tracks/filelistbox.h"
#include "tracks/titlerules.h"

#include <cmath>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvex::testing {
namespace {

const QString fixtures = QStringLiteral(QUORVEX_MEDIA_FIXTURES);

void appendLittleEndian(QByteArray& bytes, quint32 value, int size) {
    for (int byte = 0; byte < size; ++byte) {
        bytes.append(static_cast<char>((value >> (8 * byte)) & 0xFFU));
    }
}

// A 44.1 kHz 16-bit stereo WAV of a 440 Hz tone. `dataSize` is what the header claims the sound takes;
// `before` is put between the format and the sound.
QByteArray wav(double seconds, std::optional<quint32> dataSize = {}, const QByteArray& before = {}) {
    constexpr int rate = 44100;
    QByteArray sound;
    const int frames = static_cast<int>(seconds * rate);
    for (int frame = 0; frame < frames; ++frame) {
        const auto sample = static_cast<qint16>(8000 * std::sin(2 * M_PI * 440 * frame / rate));
        appendLittleEndian(sound, static_cast<quint16>(sample), 2);
        appendLittleEndian(sound, static_cast<quint16>(sample), 2);
    }
    QByteArray file("RIFF");
    appendLittleEndian(file, static_cast<quint32>(36 + before.size() + sound.size()), 4);
    file += "WAVEfmt ";
    appendLittleEndian(file, 16, 4);
    appendLittleEndian(file, 1, 2); // PCM
    appendLittleEndian(file, 2, 2);
    appendLittleEndian(file, rate, 4);
    appendLittleEndian(file, rate * 4, 4);
    appendLittleEndian(file, 4, 2);
    appendLittleEndian(file, 16, 2);
    file += before;
    file += "data";
    appendLittleEndian(file, dataSize.value_or(static_cast<quint32>(sound.size())), 4);
    return file + sound;
}

// Bytes no decoder can take for sound: no 0xFF, so no MPEG frame sync, and no known header.
QByteArray noise(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(255));
    }
    return bytes;
}

bool write(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray fixture(const char* name) {
    QFile file(fixtures + '/' + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

enum class Outcome {
    skipped,  // refused or failed, and named in the message at the end of the run
    recorded, // a titled track on the disc
    either,   // a decoder may make sound of what is there, or refuse it: both are fine
};

struct HostileFile {
    QString name;
    Outcome outcome;
    QString path{};
};

class HostileInputTest : public RecordingWindowTest {
protected:
    void SetUp() override {
        RecordingWindowTest::SetUp();
        // Before the player starts its threads, so that they too meet the file permissions.
        ASSERT_TRUE(obeyFilePermissions());
    }
};

TEST_F(HostileInputTest, BrokenFilesArePreviewedAndRecordedOrSkippedNamingEachOne) {
    const QTemporaryDir folder;
    const QString longName = QString(240, QLatin1Char('L')) + QStringLiteral("_long name.wav");
    std::vector<HostileFile> files{
        {"zero bytes.mp3", Outcome::skipped},   {"127 bytes.mp3", Outcome::skipped},
        {"random.mp3", Outcome::skipped},       {"random.wav", Outcome::skipped},
        {"random.wma", Outcome::skipped},       {"folder.mp3", Outcome::skipped},
        {"pipe.wav", Outcome::skipped},         {"deleted.wav", Outcome::skipped},
        {"unreadable.wav", Outcome::skipped},   {"size larger than the file.wav", Outcome::either},
        {"size zero.wav", Outcome::either},     {"looping chunk.wav", Outcome::either},
        {"cut mid-frame.mp3", Outcome::either}, {"it's \"quoted\" with spaces.wav", Outcome::recorded},
        {"new\nline.wav", Outcome::recorded},   {longName, Outcome::recorded},
    };
    for (HostileFile& file : files) {
        file.path = folder.filePath(file.name);
    }
    const auto pathOf = [&files](const char* name) {
        return files
            .at(static_cast<std::size_t>(std::distance(
                files.begin(),
                std::find_if(files.begin(), files.end(),
                             [name](const HostileFile& file) { return file.name == QLatin1String(name); }))))
            .path;
    };
    ASSERT_TRUE(write(pathOf("zero bytes.mp3"), {}));
    ASSERT_TRUE(write(pathOf("127 bytes.mp3"), noise(127, 1)));
    ASSERT_TRUE(write(pathOf("random.mp3"), noise(8192, 2)));
    ASSERT_TRUE(write(pathOf("random.wav"), noise(8192, 3)));
    ASSERT_TRUE(write(pathOf("random.wma"), noise(8192, 4)));
    ASSERT_TRUE(QDir().mkdir(pathOf("folder.mp3")));
    ASSERT_EQ(mkfifo(QFile::encodeName(pathOf("pipe.wav")).constData(), 0600), 0);
    ASSERT_TRUE(write(pathOf("deleted.wav"), wav(0.5)));
    ASSERT_TRUE(write(pathOf("unreadable.wav"), wav(0.5)));
    ASSERT_TRUE(write(pathOf("size larger than the file.wav"), wav(0.5, 0x7FFFFFF0U)));
    ASSERT_TRUE(write(pathOf("size zero.wav"), wav(0.5, 0U)));
    // A chunk whose size brings the reader back to its own start when added in 32 bits.
    QByteArray looping("junk");
    appendLittleEndian(looping, 0xFFFFFFF8U, 4);
    ASSERT_TRUE(write(pathOf("looping chunk.wav"), wav(0.5, {}, looping)));
    const QByteArray mp3 = fixture("sine.mp3");
    ASSERT_GT(mp3.size(), 9000);
    ASSERT_TRUE(write(pathOf("cut mid-frame.mp3"), mp3.first(9000)));
    for (const char* name : {"it's \"quoted\" with spaces.wav", "new\nline.wav"}) {
        ASSERT_TRUE(write(pathOf(name), wav(0.5)));
    }
    ASSERT_TRUE(write(files.back().path, wav(0.5)));
    // A name that is not UTF-8, as another system may have written it. Qt does not list such names, so
    // the browser passes over it and it never reaches the track list.
    const QByteArray latin1Name = QFile::encodeName(folder.path()) + "/caf\xE9_latin1.wav";
    const int descriptor = ::open(latin1Name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(descriptor, 0);
    const QByteArray latin1Sound = wav(0.5);
    ASSERT_EQ(::write(descriptor, latin1Sound.constData(), static_cast<std::size_t>(latin1Sound.size())),
              latin1Sound.size());
    ::close(descriptor);
    // Qt cannot list the name, so it cannot remove it with the folder either.
    const std::unique_ptr<const char, void (*)(const char*)> removeLatin1(
        latin1Name.constData(), [](const char* name) { ::unlink(name); });

    connectRecorder({});
    for (const HostileFile& file : files) {
        trackList()->addItem(file.path);
    }
    window->findChild<DirListBox*>("DirList")->setPath(folder.path());
    auto* browser = window->findChild<FileListBox*>("FileList");
    EXPECT_TRUE(browser->findItems(QStringLiteral("latin1"), Qt::MatchContains).isEmpty());
    EXPECT_FALSE(browser->findItems(QStringLiteral("random.wma"), Qt::MatchExactly).isEmpty());
    ASSERT_TRUE(QFile::remove(pathOf("deleted.wav")));
    ASSERT_TRUE(QFile::setPermissions(pathOf("unreadable.wav"), {}));

    // Preview each entry: a file that cannot be played is reported, naming it.
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        const auto named = [&] {
            return std::any_of(answers.texts().begin(), answers.texts().end(),
                               [&file](const QString& text) { return text.contains(file.path); });
        };
        trackList()->setCurrentRow(static_cast<int>(&file - files.data()));
        window->ListOfMusic_DblClick();
        QElapsedTimer waited;
        waited.start();
        while (!named() && waited.elapsed() < 1500) {
            QTest::qWait(50);
        }
        if (file.outcome == Outcome::skipped) {
            EXPECT_TRUE(named()) << answers.texts().join('\n').toStdString();
        } else if (file.outcome == Outcome::recorded) {
            EXPECT_FALSE(named()) << answers.texts().join('\n').toStdString();
        }
    }
    const qsizetype previewBoxes = answers.texts().size();

    EXPECT_LT(record(), 60.0);

    ASSERT_EQ(answers.texts().size(), previewBoxes + 1) << "one list of the files not recorded";
    const QString skipped = answers.texts().back();
    const QStringList heard = meanings(*recorder);
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        // The title frame carries the file-name title without its outer spaces.
        const QString title = QStringLiteral("\"%1\"").arg(titleFromFileName(file.path).trimmed());
        const bool listed = skipped.contains(file.path + QStringLiteral(": "));
        const bool titled = std::any_of(heard.begin(), heard.end(), [&title](const QString& meaning) {
            // A title with a line break is logged over two lines, so the meaning is looked for, not parsed.
            return meaning.contains(QLatin1String("title track")) && meaning.endsWith(title);
        });
        EXPECT_NE(listed, titled) << "recorded or skipped, never both or neither";
        if (file.outcome == Outcome::skipped) {
            EXPECT_TRUE(listed) << skipped.toStdString();
        } else if (file.outcome == Outcome::recorded) {
            EXPECT_TRUE(titled) << heard.join('\n').toStdString();
        }
    }
    EXPECT_FALSE(window->isRecording());
    std::printf("%s\n", qPrintable(skipped));
}

TEST_F(HostileInputTest, TheDeviceVanishingMidRunEndsTheRunAndThePortCanBeChosenAgain) {
    connectRecorder({});
    trackList()->addItems({fixtures + "/sine.wav", fixtures + "/sine.wav", fixtures + "/sine.wav"});
    // In the middle of the first track: 2 s for the disc request, then the file plays for 3 s.
    QTimer::singleShot(3500, recorder.get(), [this] { recorder->hangUp(); });

    EXPECT_LT(record(), 30.0);

    EXPECT_FALSE(window->isRecording());
    const QStringList said = answers.texts();
    ASSERT_FALSE(said.isEmpty());
    EXPECT_TRUE(said.front().startsWith("The connection to the recorder was lost"))
        << said.join('\n').toStdString();
    EXPECT_EQ(said.filter(QStringLiteral("The connection to the recorder was lost")).size(), 1)
        << "said once";
    EXPECT_TRUE(said.back() ==
                "Not able to record - check recorder connections - is optical cable connected?")
        << said.join('\n').toStdString();

    // The cable is plugged in again (a new device), and Com1 is chosen again.
    deck::Disc disc;
    disc.tracks = 4;
    deck::VirtualDeck pluggedIn(disc);
    IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"), pluggedIn.devicePath());
    const qsizetype boxes = answers.texts().size();
    QTest::mouseClick(window->findChild<QAbstractButton*>("optCom1"), Qt::LeftButton);
    QTest::mouseClick(window->findChild<QAbstractButton*>("btnCheckTracks"), Qt::LeftButton);
    EXPECT_EQ(answers.texts().size(), boxes) << "the port opens without a message";
    EXPECT_EQ(window->findChild<QLabel*>("lblTrackInfo")->text(), "4 Tracks 00m 00s");
}

} // namespace
} // namespace quorvex::testing
