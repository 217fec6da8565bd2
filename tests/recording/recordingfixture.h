#pragma once

#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/virtualdeck.h"
#include "platform/inisettingsstore.h"
#include "support/modalwatcher.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTest>

namespace quorvex::testing {

// The window on the virtual recorder, its sound going to the private null sink; message boxes are
// answered and noted.
class RecordingWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            << "start the sound sink: scripts/test does";
    }

    void connectRecorder(const deck::Disc& disc, const deck::Faults& faults = {}) {
        recorder = std::make_unique<deck::VirtualDeck>(disc, faults);
        IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"),
                                recorder->devicePath());
        window = std::make_unique<frmQuorvex>(makeSystemPlatform(QStringLiteral("pulse")));
        window->selectPort(1);
    }

    [[nodiscard]] QListWidget* trackList() const { return window->findChild<QListWidget*>("ListOfMusic"); }

    // Presses Record; returns the seconds until the run was over.
    double record() const {
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(window->findChild<QAbstractButton*>("btnRecordList"), Qt::LeftButton);
        return static_cast<double>(clock.elapsed()) / 1000;
    }

    ModalWatcher answers;
    std::unique_ptr<deck::VirtualDeck> recorder;
    std::unique_ptr<frmQuorvex> window;
};

} // namespace quorvex::testing
