#include "app/systemplatform.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace quorvex::testing
