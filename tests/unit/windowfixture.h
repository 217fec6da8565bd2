#pragma once

#include "app/frmquorvex.h"
#include "support/fakes.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QTest>

namespace quorvex::testing {

// The real window on fake outside things, in virtual time: each pass of its waits is one Tick of its own
// Timer1_Timer. Frames land in serial->frames, messages in dialogs->shown.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() : window(std::make_unique<frmQuorvex>(fakes.take())) {
        fakes.pump->tick = [this] { window->Timer1_Timer(); };
    }

    template <typename Widget = QWidget> Widget* control(const char* name) const {
        auto* found = window->findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << "no control " << name;
        return found;
    }

    void click(const char* name) const { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }

    FakePlatform fakes;
    std::unique_ptr<frmQuorvex> window;
};

} // namespace quorvex::testing
