#pragma once

#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/controla1/virtualdeck.h"
#include "platform/inisettingsstore.h"
#include "support/fileaccess.h"
#include "support/modalwatcher.h"
#include "support/printers.h"
#include "support/soundoutput.h"
#include "tracks/tracklistmodel.h"
#include "widgets/tracklist.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace quorvex::testing {

// Bytes no decoder can take for sound and no frame ends in: no 0xFF, so no MPEG frame sync, no end byte.
inline QByteArray noise(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    std::generate(bytes.begin(), bytes.end(), [&random] { return static_cast<char>(random.bounded(255)); });
    return bytes;
}

// The real window offscreen on a real serial device (a bare pseudo-terminal or the virtual recorder's),
// with its real player; message boxes are answered and their texts noted.
class RealWindowTest : public ::testing::Test {
protected:
    // The window on Com1 to the virtual recorder (Com2 leads to no device), its sound going to the private
    // null sink that scripts/test starts for the recording tests.
    void connectRecorder(const deck::Disc& disc, const deck::Faults& faults = {}) {
        // Before the player starts its threads, so that they too meet the file permissions.
        ASSERT_TRUE(obeyFilePermissions());
        recorder = std::make_unique<deck::VirtualDeck>(disc, faults);
        IniSettingsStore settings;
        settings.save(QStringLiteral("Commport"), QStringLiteral("Device1"), recorder->devicePath());
        settings.save(QStringLiteral("Commport"), QStringLiteral("Device2"),
                      QStringLiteral("/dev/quorvex-absent"));
        window = std::make_unique<frmQuorvex>(makeSystemPlatform(test::sinkSoundOutput()));
        window->selectPort(1);
    }

    template <typename Widget = QAbstractButton> Widget* control(const char* name) const {
        return window->findChild<Widget*>(QString::fromLatin1(name));
    }
    void click(const char* button) const { QTest::mouseClick(control(button), Qt::LeftButton); }
    [[nodiscard]] QString label(const char* name) const { return control<QLabel>(name)->text(); }
    [[nodiscard]] TrackList* trackView() const { return control<TrackList>("ListOfMusic"); }
    [[nodiscard]] TrackListModel* trackList() const { return trackView()->entries(); }

    // Presses Record; returns the seconds until the run was over.
    double record() const {
        QElapsedTimer clock;
        clock.start();
        click("btnRecordList");
        return static_cast<double>(clock.elapsed()) / 1000;
    }

    // What a recorder understood, frame by frame: the meaning at the end of each log line.
    static QStringList meanings(const deck::VirtualDeck& deck) {
        static const QRegularExpression meaning(
            QStringLiteral(R"(^\S+\s+(?:[0-9A-F]{2} )*[0-9A-F]{2}\s+(.*)$)"));
        return deck.log().replaceInStrings(meaning, QStringLiteral("\\1"));
    }

    ModalWatcher answers;
    std::unique_ptr<deck::VirtualDeck> recorder;
    std::unique_ptr<frmQuorvex> window;
};

} // namespace quorvex::testing
