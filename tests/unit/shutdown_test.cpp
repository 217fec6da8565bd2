#include "tracks/dirlistbox.h"
#include "unit/windowfixture.h"

#include <algorithm>
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
}

TEST_F(ShutDownTest, APortThatFailedToOpenIsRememberedAllTheSame) {
    fakes.serial->unopenable = {3};
    window->selectPort(3);
    window->close();
    EXPECT_NE(std::find(fakes.journal.begin(), fakes.journal.end(), "save Commport/COM=3"),
              fakes.journal.end());
    EXPECT_EQ(fakes.journal.back(), "exit");
}

TEST_F(ShutDownTest, ClosingDuringARunStopsTheRecorderFirst) {
    window->selectPort(1);
    fakes.serial->respond = [](const QByteArray& frame) {
        return frame.mid(4, 2) == QByteArray::fromHex("0221") ? QByteArray::fromHex("81070548 0221 FF")
                                                              : QByteArray();
    };
    fakes.serial->frames.clear();
    const QTemporaryDir folder;
    QFile wav(folder.filePath("a.wav"));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write(QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16) + QByteArray(64, '\0'));
    wav.close();
    fakes.player->fileLength = 10; // still playing when the window is closed at Tick 30
    fakes.pump->during = {{30, [this] { window->close(); }}};
    control<QListWidget>("ListOfMusic")->addItem(wav.fileName());

    click("btnRecordList");

    const auto exited = std::find(fakes.journal.begin(), fakes.journal.end(), "exit");
    ASSERT_NE(exited, fakes.journal.end());
    ASSERT_GE(fakes.serial->frames.size(), 4U);
    EXPECT_EQ(fakes.serial->frames.back(), QByteArray::fromHex("81070547 0202 FF"))
        << "the stop command is the last frame, sent before the port closed";
}

TEST_F(ShutDownTest, WhatShutDownSavedComesBackAtTheNextStart) {
    const struct {
        const char* useId3; // nullptr: never saved
        Qt::CheckState shown;
    } cases[] = {{nullptr, Qt::Checked},
                 {"0", Qt::Unchecked},
                 {"1", Qt::Checked},
                 {"2", Qt::PartiallyChecked},
                 {"banana", Qt::Checked}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.useId3 == nullptr ? "first start" : row.useId3);
        FakePlatform next;
        if (row.useId3 != nullptr) {
            next.settings->values[QStringLiteral("General/Use ID3")] = QString::fromLatin1(row.useId3);
        }
        // A drive and a directory that are gone: passed over, and the browser starts as always.
        next.settings->values[QStringLiteral("General/Disk")] = QStringLiteral("Q");
        next.settings->values[QStringLiteral("General/Dir")] = QStringLiteral("/no/such/folder");
        frmQuorvex started(next.take());
        next.pump->tick = [&started] { started.Timer1_Timer(); };

        started.Form_Load();

        EXPECT_EQ(started.findChild<QCheckBox*>("tickUseID3")->checkState(), row.shown);
        EXPECT_EQ(started.findChild<DirListBox*>("DirList")->path(), QDir::currentPath());
    }
}

} // namespace
} // namespace quorvex::testing
