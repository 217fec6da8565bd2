#include "app/systemplatform.h"
#include "platform/programexit.h"
#include "tracks/dirlistbox.h"
#include "unit/windowfixture.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <vector>

namespace quorvex::testing {
namespace {

TEST(StartFailure, APlayerThatCannotBeHadIsSaidInABoxAndNothingStarts) {
    FakeDialogs dialogs;
    const std::optional<Platform> none = makePlatformOrSayWhy(
        []() -> Platform { throw MediaPlayerUnavailable("mpv_initialize: unsupported"); }, dialogs);
    EXPECT_FALSE(none.has_value());
    ASSERT_EQ(dialogs.shown.size(), 1U);
    EXPECT_EQ(dialogs.shown[0].text, "The media player could not be started (mpv_initialize: unsupported).");
    EXPECT_EQ(dialogs.shown[0].title, "Quorvex");

    FakePlatform fakes;
    EXPECT_TRUE(makePlatformOrSayWhy([&fakes] { return fakes.take(); }, dialogs).has_value());
    EXPECT_EQ(dialogs.shown.size(), 1U) << "no box when the player is there";
}

TEST_F(WindowTest, StartUpSwitchesOnAndAsksForTheDiscClosingSavesTheSettingsForTheNextStart) {
    // A drive and a directory that are gone: passed over, and the browser starts as always.
    fakes.settings->values = {{"General/Disk", "Q"}, {"General/Dir", "/no/such/folder"}};
    window->Form_Load();

    EXPECT_EQ(fakes.journal, (Journal{"setPortNumber 1", "save Commport/COM=1", "open 1"})) << "first start";
    EXPECT_TRUE(control<QRadioButton>("optCom1")->isChecked());
    EXPECT_EQ(fakes.serial->frames,
              (std::vector<QByteArray>{hex("81070547 0102FF"), hex("81070547 2044FF")}));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvex recorder    V0.3.0"));
    EXPECT_EQ(fakes.pump->ticks, 2 + 40) << "200 ms before switching on, 40 Ticks for the silent disc";
    EXPECT_EQ(control<QLabel>("lblTrackInfo")->text(), "0 Tracks 00m 00s");
    EXPECT_EQ(control<DirListBox>("DirList")->path(), QDir::currentPath())
        << "the browser starts where the program was started";
    EXPECT_EQ(control<QCheckBox>("tickUseID3")->checkState(), Qt::Checked)
        << "ID3 tags are used until the user says otherwise";

    const QTemporaryDir music;
    window->selectPort(2);
    control<QCheckBox>("tickUseID3")->setChecked(false);
    control<DirListBox>("DirList")->setPath(music.path());
    fakes.serial->frames.clear();
    fakes.journal.clear();
    fakes.pump->ticks = 0;

    window->close();
    window->close();

    const Journal expected{"close",
                           "save Commport/COM=2",
                           "save General/Use ID3=0",
                           "save General/Disk=" + QDir::rootPath().toStdString(),
                           "save General/Dir=" + QDir::cleanPath(music.path()).toStdString(),
                           "exit"};
    EXPECT_EQ(fakes.journal, expected) << "a second close does nothing";
    EXPECT_EQ(fakes.pump->ticks, 2) << "200 ms before the port closes";
    EXPECT_TRUE(fakes.serial->frames.empty()) << "shut-down sends the recorder nothing";

    FakePlatform next;
    next.settings->values = fakes.settings->values;
    frmQuorvex started(next.take());
    next.pump->tick = [&started] { started.Timer1_Timer(); };
    started.Form_Load();
    EXPECT_EQ(next.journal.at(2), "open 2");
    EXPECT_EQ(started.findChild<QCheckBox*>("tickUseID3")->checkState(), Qt::Unchecked);
    EXPECT_EQ(started.findChild<DirListBox*>("DirList")->path(), QDir::currentPath())
        << "the remembered directory is replaced by the start directory";
}

// The real way out: the journal and the last frame sent go to stderr for the parent to read, then the
// process ends at once.
class JournalThenExit final : public ProgramExit {
public:
    explicit JournalThenExit(const FakePlatform& fakes) : fakes(fakes) {}
    [[noreturn]] void exitNow() override {
        for (const std::string& entry : fakes.journal) {
            std::fprintf(stderr, "%s\n", entry.c_str());
        }
        std::fprintf(stderr, "last frame %s\n", fakes.serial->frames.back().toHex(' ').constData());
        ProcessExit().exitNow();
    }

private:
    const FakePlatform& fakes;
};

TEST(ShutDownDeathTest, ClosingDuringAWaitEndsTheProgramAndNothingResumes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct WaitCase {
        const char* wait;
        int closeAt;
        std::function<void(frmQuorvex&, FakePlatform&)> run;
        const char* lastFrame;
    };
    const std::vector<WaitCase> cases{
        {"disc information", 5, [](frmQuorvex& window, FakePlatform&) { window.lblTrackInfo_Click(); },
         "81 07 05 47 20 44 ff"},
        {"a track of a recording run", 30,
         [](frmQuorvex& window, FakePlatform& fakes) {
             fakes.serial->respond = [](const QByteArray& frame) {
                 return frame.mid(4, 2) == hex("0221") ? hex("81070548 0221 FF") : QByteArray();
             };
             fakes.player->fileLength = 10;
             const QTemporaryDir folder;
             QFile wav(folder.filePath("a.wav"));
             wav.open(QIODevice::WriteOnly);
             wav.write(QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16) + QByteArray(64, '\0'));
             wav.close();
             window.findChild<QListWidget*>("ListOfMusic")->addItem(wav.fileName());
             window.btnRecordList_Click();
         },
         "81 07 05 47 02 02 ff"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.wait);
        // The user closes the window at Tick `closeAt`; the program's own exit must end the process there.
        const auto closeDuring = [&row] {
            FakePlatform fakes;
            Platform platform = fakes.take();
            platform.exit = std::make_unique<JournalThenExit>(fakes);
            frmQuorvex window(std::move(platform));
            fakes.pump->tick = [&window] { window.Timer1_Timer(); };
            window.selectPort(1);
            fakes.pump->during = {{row.closeAt, [&window] { window.close(); }}};
            row.run(window, fakes);
            std::fputs("the wait resumed after the window was closed\n", stderr);
            std::_Exit(3);
        };
        EXPECT_EXIT(
            closeDuring(), ::testing::ExitedWithCode(0),
            std::string("open 1\nclose\nsave Commport/COM=1\nsave General/Use ID3=0\nsave General/Disk=/\n"
                        "save General/Dir=\nlast frame ") +
                row.lastFrame);
    }
}

} // namespace
} // namespace quorvex::testing
