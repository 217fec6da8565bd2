// libmpv's nodes as values, on nodes built by hand as libmpv builds them.
#include "platform/mpvnodes.h"

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

} // namespace
} // namespace quorvex::testing
