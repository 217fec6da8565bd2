#include "platform/programexit.h"
#include "tracks/dirlistbox.h"
#include "unit/windowfixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

namespace quorvex::testing {
namespace {

class ShutDownTest : public WindowTest {
protected:
    ShutDownTest() {
        fakes.pump->tick = [this] { window->Timer1_Timer(); };
    }

    [[nodiscard]] Journal afterPortChoice() const {
        const auto open = std::find_if(fakes.journal.begin(), fakes.journal.end(),
                                       [](const std::string& entry) { return entry.starts_with("open"); });
        return {open + 1, fakes.journal.end()};
    }
};

TEST_F(ShutDownTest, ClosingTheWindowClosesThePortSavesTheSettingsAndEnds) {
    const QTemporaryDir music;
    window->selectPort(2);
    control<QCheckBox>("tickUseID3")->setChecked(false);
    control<DirListBox>("DirList")->setPath(music.path());
    fakes.pump->ticks = 0;

    window->close();

    const Journal expected{"close",
                           "save Commport/COM=2",
                           "save General/Use ID3=0",
                           "save General/Disk=" + QDir::rootPath().toStdString(),
                           "save General/Dir=" + QDir::cleanPath(music.path()).toStdString(),
                           "exit"};
    EXPECT_EQ(afterPortChoice(), expected);
    EXPECT_EQ(fakes.pump->ticks, 2) << "200 ms before the port closes";
    EXPECT_TRUE(fakes.serial->frames.empty()) << "shut-down sends the recorder nothing";

    window->close();
    EXPECT_EQ(std::count(fakes.journal.begin(), fakes.journal.end(), "exit"), 1)
        << "a second close does nothing";

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
    JournalThenExit(const Journal& journal, const FakeSerialPort& serial)
        : journal(journal), serial(serial) {}
    [[noreturn]] void exitNow() override {
        for (const std::string& entry : journal) {
            std::fprintf(stderr, "%s\n", entry.c_str());
        }
        if (!serial.frames.empty()) {
            std::fprintf(stderr, "last frame %s\n", serial.frames.back().toHex(' ').constData());
        }
        ProcessExit().exitNow();
    }

private:
    const Journal& journal;
    const FakeSerialPort& serial;
};

// Runs `wait` in a window whose user closes it at Tick `closeAt`, with the program's own exit. Returns only
// if the wait came back after the window was closed, and then with exit code 3.
void closeDuring(int closeAt, const std::function<void(frmQuorvex&, FakePlatform&)>& wait) {
    FakePlatform fakes;
    Platform platform = fakes.take();
    platform.exit = std::make_unique<JournalThenExit>(fakes.journal, *fakes.serial);
    frmQuorvex window(std::move(platform));
    fakes.pump->tick = [&window] { window.Timer1_Timer(); };
    window.selectPort(1);
    fakes.pump->during = {{closeAt, [&window] { window.close(); }}};
    wait(window, fakes);
    std::fputs("the wait resumed after the window was closed\n", stderr);
    std::_Exit(3);
}

TEST(ShutDownDeathTest, ClosingDuringAWaitEndsTheProgramAndNothingResumes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char* wait;
        int closeAt;
        std::function<void(frmQuorvex&, FakePlatform&)> run;
        const char* journal; // what the process wrote before it ended
    } cases[] = {
        {"disc information", 5, [](frmQuorvex& window, FakePlatform&) { window.lblTrackInfo_Click(); },
         "open 1\nclose\nsave Commport/COM=1\nsave General/Use ID3=0\nsave General/Disk=/\n"
         "save General/Dir=\nlast frame 81 07 05 47 20 44 ff"},
        {"a track of a recording run", 30,
         [](frmQuorvex& window, FakePlatform& fakes) {
             fakes.serial->respond = [](const QByteArray& frame) {
                 return frame.mid(4, 2) == QByteArray::fromHex("0221")
                            ? QByteArray::fromHex("81070548 0221 FF")
                            : QByteArray();
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
         "open 1\nclose\nsave Commport/COM=1\nsave General/Use ID3=0\nsave General/Disk=/\n"
         "save General/Dir=\nlast frame 81 07 05 47 02 02 ff"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.wait);
        EXPECT_EXIT(closeDuring(row.closeAt, row.run), ::testing::ExitedWithCode(0), row.journal);
    }
}

} // namespace
} // namespace quorvex::testing
