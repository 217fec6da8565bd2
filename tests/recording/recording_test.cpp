#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/virtualdeck.h"
#include "platform/inisettingsstore.h"
#include "support/modalwatcher.h"
#include "support/printers.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>

namespace quorvex::testing {
namespace {

const QString fixtures = QStringLiteral(QUORVEX_MEDIA_FIXTURES);

// What the recorder understood, frame by frame: the meaning at the end of each log line.
QStringList meanings(const deck::VirtualDeck& recorder) {
    QStringList result;
    static const QRegularExpression meaning(QStringLiteral(R"(^\S+\s+(?:[0-9A-F]{2} )*[0-9A-F]{2}\s+(.*)$)"));
    for (const QString& line : recorder.log()) {
        const QRegularExpressionMatch match = meaning.match(line);
        result.append(match.hasMatch() ? match.captured(1) : line);
    }
    return result;
}

TEST(RecordingRun, ThreeFilesBecomeNamedTracksAfterTheFiveOnTheDisc) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("PULSE_SERVER")) << "start the sound sink: scripts/test does";
    deck::Disc disc;
    disc.tracks = 5;
    deck::VirtualDeck recorder(disc);
    IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"), recorder.devicePath());
    // The sound goes to PulseAudio: the test command's private null sink.
    frmQuorvex window(makeSystemPlatform(QStringLiteral("pulse")));
    window.selectPort(1);
    window.findChild<QCheckBox*>("tickUseID3")->setChecked(true);
    auto* tracks = window.findChild<QListWidget*>("ListOfMusic");
    tracks->addItems({fixtures + "/sine.mp3", fixtures + "/sine.wav", fixtures + "/sine.wma"});
    const ModalWatcher answers;

    QTest::mouseClick(window.findChild<QAbstractButton*>("btnRecordList"), Qt::LeftButton);

    const QStringList expected{"disc information request",
                               "record",
                               "play",
                               R"(title track 6 "Sine Title")",
                               "stop",
                               "record",
                               "play",
                               R"(title track 7 "sine")",
                               "stop",
                               "record",
                               "play",
                               R"(title track 8 "sine")",
                               "stop"};
    EXPECT_EQ(meanings(recorder), expected);
    EXPECT_EQ(recorder.disc().tracks, 8);
    EXPECT_TRUE(answers.texts().isEmpty()) << answers.texts().join('\n').toStdString();
    const QString status = window.findChild<QLabel*>("statusLine")->text();
    EXPECT_TRUE(QRegularExpression(R"(^00:03 / 00:03$)").match(status).hasMatch())
        << "the last progress text shows the end: " << status.toStdString();
}

} // namespace
} // namespace quorvex::testing
