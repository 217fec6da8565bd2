#include "run/formatseconds.h"
#include "unit/windowfixture.h"

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

namespace quorvex::testing {
namespace {

TEST(FormatSeconds, TruncatedMinutesAndSecondsRoundedHalfToEven) {
    const struct {
        double seconds;
        const char* text;
    } cases[] = {{0, "00:00"},     {65, "01:05"},   {59.4, "00:59"}, {59.5, "00:00"},        {59.7, "00:00"},
                 {119.7, "01:00"}, {60.5, "01:00"}, {61.5, "01:02"}, {58.5, "00:58"},        {3600, "60:00"},
                 {6000, "100:00"}, {0.49, "00:00"}, {210, "03:30"},  {std::nan(""), "00:00"}};
    for (const auto& row : cases) {
        EXPECT_EQ(formatSeconds(row.seconds), QString::fromLatin1(row.text)) << row.seconds;
    }
}

const QByteArray discRequest = hex("81070547 2044 FF");
const QByteArray recordFrame = hex("81070547 0221 FF");
const QByteArray stopFrame = hex("81070547 0202 FF");
const QByteArray playFrame = hex("81070547 0201 FF");

// The window's Record button in virtual time: a fake recorder with 5 tracks answers through the port and
// acknowledges record and (unless told otherwise) stop; the fake player moves 0.1 s per Tick.
class RecordingRunTest : public WindowTest {
protected:
    RecordingRunTest() {
        respond(true);
        window->selectPort(1);
        fakes.serial->frames.clear();
        for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16) + QByteArray(100, '\0'));
            control<QListWidget>("ListOfMusic")->addItem(file.fileName());
        }
    }

    void respond(bool acknowledgesStop) const {
        fakes.serial->respond = [acknowledgesStop](const QByteArray& frame) {
            if (frame == discRequest) {
                return hex("81 0D 05 48 20 60 01 00 05 0A 0B 00 FF");
            }
            return frame == recordFrame || (frame == stopFrame && acknowledgesStop)
                       ? hex("81070548") + frame.mid(4)
                       : QByteArray();
        };
    }

    // Frames the recorder received, title frames shown as "title N".
    [[nodiscard]] std::vector<std::string> sent() const {
        std::vector<std::string> names;
        for (const QByteArray& frame : fakes.serial->frames) {
            names.push_back(frame == discRequest   ? "request"
                            : frame == recordFrame ? "record"
                            : frame == stopFrame   ? "stop"
                            : frame == playFrame   ? "play"
                            : frame.size() == 23
                                ? "title " + std::to_string(static_cast<unsigned char>(frame[5]))
                                : frame.toHex(' ').toStdString());
        }
        return names;
    }

    QTemporaryDir folder;
};

TEST_F(RecordingRunTest, PauseModeSendsNoCommandButTitlesAndPausesAfterEveryTrack) {
    control<QCheckBox>("chkInsertPauses")->setChecked(true);
    fakes.dialogs->shown.clear();
    click("btnRecordList");

    EXPECT_EQ(sent(), (std::vector<std::string>{"title 1", "title 2", "title 3"}))
        << "the request is a command too; the disc count stays what the window held (0)";
    // 2 s after the request, then per track: 1 Tick to start, 5 Ticks of sound, 40 Ticks of pause.
    EXPECT_EQ(fakes.pump->ticks, 20 + 3 * (1 + 5 + 40));
    EXPECT_EQ(fakes.dialogs->shown.size(), 1U) << "the pause-mode notice, once, at the end";

    control<QListWidget>("ListOfMusic")->clear();
    click("btnRecordList");
    EXPECT_EQ(fakes.dialogs->shown.size(), 2U) << "an empty list too ends with the notice";
}

TEST_F(RecordingRunTest, AnEmptyListAsksForTheDiscAndWaits2Seconds) {
    control<QListWidget>("ListOfMusic")->clear();
    click("btnRecordList");
    EXPECT_EQ(sent(), std::vector<std::string>{"request"});
    EXPECT_EQ(fakes.pump->ticks, 20);
    EXPECT_TRUE(fakes.dialogs->shown.empty());
}

TEST_F(RecordingRunTest, AMissingStopAcknowledgementOnlyCostsItsTimeOut) {
    respond(false);
    click("btnRecordList");
    EXPECT_EQ(sent().size(), 13U);
    // Per track: 1 Tick for the record acknowledgement, 1 to start, 5 of sound, 40 waiting for the stop one.
    EXPECT_EQ(fakes.pump->ticks, 20 + 3 * (1 + 1 + 5 + 40));
    EXPECT_TRUE(fakes.dialogs->shown.empty());
}

TEST_F(RecordingRunTest, DuringARunOnlyTheRecorderButtonsWorkAndOutsideEventsCostNoTrack) {
    fakes.pump->during = {{22,
                           [this] {
                               click("btnRecordList");
                               click("btnCheckTracks");
                               window->ListOfMusic_DblClick();
                               click("btnBack");
                           }},
                          {23, [this] { fakes.player->setState(MediaPlayer::paused); }}};
    // Another file's late failure (a preview's) belongs to no track of the run.
    for (int tick = 24; tick < 80; ++tick) {
        fakes.pump->during[tick] = [this] {
            emit fakes.player->failed("/music/previewed.mp3", "Cannot play");
        };
    }
    click("btnRecordList");
    const std::vector<std::string> expected{"request", "record", "play",   "81 07 05 47 02 15 ff",
                                            "title 6", "stop",   "record", "play",
                                            "title 7", "stop",   "record", "play",
                                            "title 8", "stop"};
    EXPECT_EQ(sent(), expected) << "Back went out; a second run and the disc query were refused";
    EXPECT_EQ(fakes.player->opened.size(), 3) << "no preview took the player";
    EXPECT_EQ(fakes.player->stops, 3) << "paused from outside ends the track and the next follows";
    EXPECT_TRUE(fakes.dialogs->shown.empty());
    EXPECT_FALSE(window->isRecording());
}

TEST_F(RecordingRunTest, EntriesRemovedDuringTheRunEndItQuietlyWhereTheListEnds) {
    fakes.pump->during = {{22, [this] { delete control<QListWidget>("ListOfMusic")->takeItem(2); }}};
    click("btnRecordList");
    const std::vector<std::string> expected{"request", "record", "play",    "title 6", "stop",
                                            "record",  "play",   "title 7", "stop"};
    EXPECT_EQ(sent(), expected);
    EXPECT_TRUE(fakes.dialogs->shown.empty());
}

} // namespace
} // namespace quorvex::testing
