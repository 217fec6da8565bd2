// libmpv's nodes, property changes and error messages as values, on events built by hand as libmpv builds
// them.
#include "platform/mpverrors.h"
#include "platform/mpvnodes.h"
#include "platform/mpvsettings.h"

#include <deque>
#include <gtest/gtest.h>
#include <initializer_list>
#include <vector>

namespace quorvex::testing {
namespace {

// Builds nodes as libmpv does; the lists they point at live as long as the builder.
class Nodes {
public:
    static mpv_node text(const char* value) {
        mpv_node made{};
        made.format = MPV_FORMAT_STRING;
        made.u.string = const_cast<char*>(value); // NOLINT: libmpv's nodes are not const
        return made;
    }
    static mpv_node real(double value) {
        mpv_node made{};
        made.format = MPV_FORMAT_DOUBLE;
        made.u.double_ = value; // NOLINT(cppcoreguidelines-pro-type-union-access): a tagged union
        return made;
    }
    static mpv_node number(std::int64_t value) {
        mpv_node made{};
        made.format = MPV_FORMAT_INT64;
        made.u.int64 = value; // NOLINT(cppcoreguidelines-pro-type-union-access): a tagged union
        return made;
    }
    mpv_node map(std::initializer_list<std::pair<const char*, mpv_node>> entries) {
        std::vector<char*>& keys = keyLists.emplace_back();
        std::vector<mpv_node>& values = valueLists.emplace_back();
        for (const auto& [key, value] : entries) {
            keys.push_back(const_cast<char*>(key)); // NOLINT: as above
            values.push_back(value);
        }
        return linked(MPV_FORMAT_NODE_MAP, values, keys.data());
    }
    mpv_node array(std::initializer_list<mpv_node> entries) {
        return linked(MPV_FORMAT_NODE_ARRAY, valueLists.emplace_back(entries), nullptr);
    }

private:
    mpv_node linked(mpv_format format, std::vector<mpv_node>& values, char** keys) {
        mpv_node_list& list = lists.emplace_back(
            mpv_node_list{.num = static_cast<int>(values.size()), .values = values.data(), .keys = keys});
        mpv_node made{};
        made.format = format;
        made.u.list = &list; // NOLINT(cppcoreguidelines-pro-type-union-access): a tagged union
        return made;
    }

    std::deque<std::vector<mpv_node>> valueLists;
    std::deque<std::vector<char*>> keyLists;
    std::deque<mpv_node_list> lists;
};

TEST(MpvNodes, TheReplyNamesItsPlaylistEntryAndTheDeviceListItsOutputs) {
    Nodes nodes;
    EXPECT_EQ(playlistEntryOfReply(
                  nodes.map({{"other", Nodes::number(1)}, {"playlist_entry_id", Nodes::number(7)}})),
              7);
    EXPECT_EQ(playlistEntryOfReply(nodes.map({{"playlist_entry_id", Nodes::text("7")}})), std::nullopt);
    EXPECT_EQ(playlistEntryOfReply(Nodes::number(7)), std::nullopt);
    EXPECT_EQ(playlistEntryOfReply(nodes.map({})), std::nullopt);

    const mpv_node devices = nodes.array({
        nodes.map({{"name", Nodes::text("auto")}, {"description", Nodes::text("Autoselect device")}}),
        nodes.map({{"name", Nodes::text("pulse/usb-iec958")}, {"description", Nodes::text("USB S/PDIF")}}),
        nodes.map({{"description", Nodes::text("no name")}}),
        Nodes::text("not a map"),
        nodes.map({{"name", Nodes::number(3)}}),
        nodes.map({{"name", Nodes::text("alsa/hw:0")}}),
    });
    EXPECT_EQ(soundOutputsOfList(devices),
              (std::vector<SoundOutput>{{"pulse/usb-iec958", "USB S/PDIF"}, {"alsa/hw:0", ""}}));
    EXPECT_TRUE(soundOutputsOfList(nodes.map({{"name", Nodes::text("x")}})).empty());
}

// The level each file plays at, from its gain tags: the gain asked for or the other one, within its peak (a
// full-scale one where the tag is missing); -6 dB without gain; a take's from its first file's album gain.
TEST(Levels, EachFilePlaysAtItsGainWithinItsPeakAndATakeAtItsFirstFilesAlbumGain) {
    const std::nullopt_t none = std::nullopt;
    const ReplayGain both{-3.5, 0.7, -1.2, 0.8};
    const ReplayGain hot{6, 0.8, none, none};
    const ReplayGain noPeak{4, none, none, none};
    const ReplayGain albumOnly{none, none, -2, 0.5};
    struct Case {
        ReplayGain gains;
        // dB at each level, and a take's under either gain level
        double minus6 = 0;
        double full = 0;
        double track = 0;
        double album = 0;
        double take = 0;
    };
    const std::vector<Case> cases{
        {both, -6, 0, -3.5, -1.2, -1.2},
        {hot, -6, 0, 1.9382, 1.9382, 1.9382},
        {noPeak, -6, 0, 0, 0, 0},
        {{-3.5, none, none, none}, -6, 0, -3.5, -3.5, -3.5},
        {albumOnly, -6, 0, -2, -2, -2},
        {{none, 0.5, none, 0.5}, -6, 0, -6, -6, -6},
        {{3, 0, none, none}, -6, 0, 0, 0, 0},
    };
    for (const auto& row : cases) {
        EXPECT_NEAR(levelDb(Level::minus6dB, row.gains), row.minus6, 1e-4);
        EXPECT_NEAR(levelDb(Level::full, row.gains), row.full, 1e-4);
        EXPECT_NEAR(levelDb(Level::trackGain, row.gains), row.track, 1e-4);
        EXPECT_NEAR(levelDb(Level::albumGain, row.gains), row.album, 1e-4);
        EXPECT_NEAR(takeLevelDb(Level::trackGain, row.gains), row.take, 1e-4);
        EXPECT_NEAR(takeLevelDb(Level::albumGain, row.gains), row.take, 1e-4);
        EXPECT_NEAR(takeLevelDb(Level::minus6dB, row.gains), -6, 1e-4);
    }
}

TEST(MpvNodes, PropertiesKeepTheirLastValueAndTheLogNamesAFailureOnOneLine) {
    MpvObserved observed;
    double seconds = 12.5;
    int on = 1;
    int off = 0;
    const char* output = "pulse";
    const auto change = [&observed](const char* name, mpv_format format, void* data) {
        observed.apply({.name = name, .format = format, .data = data});
    };
    change("time-pos", MPV_FORMAT_DOUBLE, &seconds);
    change("time-pos", MPV_FORMAT_NONE, nullptr); // the file has ended: the position reached stays
    change("duration", MPV_FORMAT_DOUBLE, &seconds);
    change("pause", MPV_FORMAT_FLAG, &on);
    change("core-idle", MPV_FORMAT_FLAG, &off);
    change("current-ao", MPV_FORMAT_STRING, static_cast<void*>(&output));
    change("volume", MPV_FORMAT_NONE, nullptr);
    EXPECT_EQ(observed.timePos, 12.5);
    EXPECT_EQ(observed.duration, 12.5);
    EXPECT_TRUE(observed.pause);
    EXPECT_FALSE(observed.coreIdle);
    EXPECT_EQ(observed.output, "pulse");
    EXPECT_EQ(observed.volume, 100.0);
    change("duration", MPV_FORMAT_NONE, nullptr);
    change("core-idle", MPV_FORMAT_NONE, nullptr); // unknown reads as idle
    change("current-ao", MPV_FORMAT_NONE, nullptr);
    EXPECT_EQ(observed.duration, std::nullopt);
    EXPECT_TRUE(observed.coreIdle);
    EXPECT_EQ(observed.output, "");

    MpvErrorLog log;
    EXPECT_EQ(log.failure("/a.mp3", MPV_ERROR_UNKNOWN_FORMAT),
              "Cannot play \"/a.mp3\": it is not a sound file that can be decoded");
    EXPECT_FALSE(log.outputFailure().isEmpty());
    for (const char* text : {"one\n", "two", "one", "three", "cannot open\nserver", "five"}) {
        log.add({.prefix = "ao", .level = "error", .text = text, .log_level = MPV_LOG_LEVEL_ERROR});
    }
    EXPECT_EQ(log.failure("/a.mp3", MPV_ERROR_LOADING_FAILED),
              "Cannot play \"/a.mp3\": the file cannot be opened (two; three; cannot open\nserver; five)");
    EXPECT_EQ(log.outputFailure(), "two; three; cannot open server; five");
}

} // namespace
} // namespace quorvex::testing
