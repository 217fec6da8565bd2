#include "link/commandframe.h"
#include "run/formatseconds.h"
#include "unit/windowfixture.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
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

QByteArray wavHeader() {
    return {"RIFF\x10\0\0\0WAVEfmt ", 16};
}

const QByteArray discRequest = QByteArray::fromHex("81070547 2044 FF");
const QByteArray recordFrame = QByteArray::fromHex("81070547 0221 FF");
const QByteArray playFrame = QByteArray::fromHex("81070547 0201 FF");
const QByteArray stopFrame = QByteArray::fromHex("81070547 0202 FF");

// A recorder that holds `tracks` tracks and acknowledges record and (unless told otherwise) stop.
struct Recorder {
    int tracks = 5;
    bool acknowledgesStop = true;

    QByteArray operator()(const QByteArray& frame) const {
        if (frame == discRequest) {
            return QByteArray::fromHex("81 0D 05 48 20 60 01 00") + char(tracks) +
                   QByteArray::fromHex("0A 0B 00 FF");
        }
        if (frame == recordFrame || (frame == stopFrame && acknowledgesStop)) {
            return QByteArray::fromHex("81 07 05 48") + frame.mid(4);
        }
        return {};
    }
};

// The window's Record button in virtual time: each pass of a wait is one Tick, the fake recorder
// answers through the port, and the fake player moves 0.1 s per Tick.
class RecordingRunTest : public WindowTest {
protected:
    RecordingRunTest() {
        fakes.pump->tick = [this] { window->Timer1_Timer(); };
        fakes.serial->respond = Recorder{};
        window->selectPort(1);
        fakes.serial->frames.clear();
        control<QCheckBox>("tickUseID3")->setChecked(true);
        const QByteArray tag =
            "TAG" + QByteArray("Tagged Song").leftJustified(30, '\0') + QByteArray(95, '\0');
        add("song.mp3", "ID3\x03" + QByteArray(200, '\x01') + tag);
        add("01_Wave File.wav", wavHeader() + QByteArray(100, '\0'));
        add("Windows.wma", QByteArray("\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8) + QByteArray(100, '\0'));
    }

    void add(const char* name, const QByteArray& contents) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        control<QListWidget>("ListOfMusic")->addItem(file.fileName());
    }

    [[nodiscard]] QString statusLine() const { return control<QLabel>("statusLine")->text(); }

    // Frames the recorder received, title frames shown as "title N".
    [[nodiscard]] std::vector<std::string> sent() const {
        std::vector<std::string> names;
        for (const QByteArray& frame : fakes.serial->frames) {
            names.push_back(frame == discRequest   ? "request"
                            : frame == recordFrame ? "record"
                            : frame == playFrame   ? "play"
                            : frame == stopFrame   ? "stop"
                            : frame.size() == 23
                                ? "title " + std::to_string(static_cast<unsigned char>(frame[5]))
                                : "other " + frame.toHex(' ').toStdString());
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
    EXPECT_EQ(statusLine(), "Pausing...");
    // 2 s after the request, then per track: 1 Tick to start, 5 Ticks of sound, 40 Ticks of pause.
    EXPECT_EQ(fakes.pump->ticks, 20 + 3 * (1 + 5 + 40));
    ASSERT_EQ(fakes.dialogs->shown.size(), 1U) << "the pause-mode notice, once, at the end";
    EXPECT_TRUE(fakes.dialogs->shown[0].text.startsWith("Checking this box disables"));
}

TEST_F(RecordingRunTest, AMissingStopAcknowledgementOnlyCostsItsTimeOut) {
    fakes.serial->respond = Recorder{.acknowledgesStop = false};
    click("btnRecordList");
    EXPECT_EQ(sent().size(), 13U);
    // Per track: 1 Tick for the record acknowledgement, 1 to start, 5 of sound, 40 waiting for the stop one.
    EXPECT_EQ(fakes.pump->ticks, 20 + 3 * (1 + 1 + 5 + 40));
    EXPECT_TRUE(fakes.dialogs->shown.empty());
}

TEST_F(RecordingRunTest, AnEmptyListAsksForTheDiscWaitsAndShowsTheNoticeOnlyInPauseMode) {
    control<QListWidget>("ListOfMusic")->clear();
    click("btnRecordList");
    EXPECT_EQ(sent(), std::vector<std::string>{"request"});
    EXPECT_EQ(fakes.pump->ticks, 20);
    EXPECT_TRUE(fakes.dialogs->shown.empty());

    control<QCheckBox>("chkInsertPauses")->setChecked(true);
    click("btnRecordList");
    EXPECT_EQ(fakes.dialogs->shown.size(), 2U) << "the notice on ticking, and once more after the run";
}

TEST_F(RecordingRunTest, DuringARunRecordPreviewAndTheDiscQueryAreRefusedButTheButtonsWork) {
    fakes.pump->during = {{22, [this] {
                               click("btnRecordList");
                               click("btnCheckTracks");
                               window->ListOfMusic_DblClick();
                               click("btnBack");
                           }}};
    click("btnRecordList");
    const std::vector<std::string> frames = sent();
    EXPECT_EQ(std::count(frames.begin(), frames.end(), "request"), 1);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), "record"), 3);
    EXPECT_EQ(fakes.player->opened.size(), 3) << "no preview took the player";
    EXPECT_EQ(std::count(frames.begin(), frames.end(), "other 81 07 05 47 02 15 ff"), 1) << "Back went out";
    EXPECT_FALSE(window->isRecording());
}

TEST_F(RecordingRunTest, PausedFromOutsideEndsTheTrackAndTheNextFollows) {
    fakes.pump->during = {{23, [this] { fakes.player->setState(MediaPlayer::paused); }}};
    click("btnRecordList");
    EXPECT_EQ(sent().size(), 13U);
    EXPECT_EQ(fakes.player->stops, 3);
}

TEST_F(RecordingRunTest, ALateFailureOfAnotherFileCostsNoEntryItsTrack) {
    for (int tick = 21; tick < 80; ++tick) {
        fakes.pump->during[tick] = [this] {
            emit fakes.player->failed("/music/previewed.mp3", "Cannot play");
        };
    }
    click("btnRecordList");
    EXPECT_EQ(sent().size(), 13U) << "three tracks, each titled";
    EXPECT_TRUE(fakes.dialogs->shown.empty());
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
