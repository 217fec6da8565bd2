#include "deck/stopsignals.h"
#include "slaveend.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QSignalSpy>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;

TEST(StopSignals, ARaisedSignalBecomesAQtSignal) {
    const StopSignals watcher({SIGUSR1, SIGUSR2});
    ASSERT_TRUE(watcher.isValid());
    QSignalSpy received(&watcher, &StopSignals::signalReceived);
    ASSERT_EQ(::raise(SIGUSR2), 0); // without the watcher this would end the test program
    for (int round = 0; round < 200 && received.isEmpty(); ++round) {
        testing::pumpEvents(1ms);
    }
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0][0].toInt(), SIGUSR2);
}

TEST(StopSignals, ASignalNotYetReadDiesWithTheWatcher) {
    {
        const StopSignals watcher({SIGUSR1});
        ASSERT_TRUE(watcher.isValid());
        ASSERT_EQ(::raise(SIGUSR1), 0);
    }
    // Had it stayed pending, unblocking SIGUSR1 would have ended the test program here.
    sigset_t pending{};
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGUSR1), 0);
}

} // namespace
} // namespace quorvex::deck
