#include "platform/mpvnodes.h"

#include <cmath>
#include <QString>
#include <span>
#include <string_view>

namespace quorvex {

namespace {

// A map node's keys and values side by side.
struct MapEntries {
    std::span<char*> keys;
    std::span<mpv_node> values;
};

MapEntries entriesOf(const mpv_node& map) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access): the caller checked that it is a map
    const mpv_node_list& list = *map.u.list;
    const auto count = static_cast<std::size_t>(list.num);
    return {std::span(list.keys, count), std::span(list.values, count)};
}

} // namespace

const mpv_node* nodeOfReply(const mpv_event& reply) {
    const auto* property = static_cast<const mpv_event_property*>(reply.data);
    return reply.error >= 0 && property->format == MPV_FORMAT_NODE
               ? static_cast<const mpv_node*>(property->data)
               : nullptr;
}

std::optional<std::int64_t> playlistEntryOfReply(const mpv_node& result) {
    if (result.format != MPV_FORMAT_NODE_MAP) {
        return std::nullopt;
    }
    const auto [keys, values] = entriesOf(result);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (std::string_view(keys[i]) == "playlist_entry_id" && values[i].format == MPV_FORMAT_INT64) {
            // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access): the format was checked
            return values[i].u.int64;
        }
    }
    return std::nullopt;
}

std::vector<SoundOutput> soundOutputsOfList(const mpv_node& list) {
    std::vector<SoundOutput> outputs;
    if (list.format != MPV_FORMAT_NODE_ARRAY) {
        return outputs;
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access): the format was checked
    const std::span devices(list.u.list->values, static_cast<std::size_t>(list.u.list->num));
    for (const mpv_node& device : devices) {
        if (device.format != MPV_FORMAT_NODE_MAP) {
            continue;
        }
        SoundOutput output;
        const auto [keys, values] = entriesOf(device);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (values[i].format != MPV_FORMAT_STRING) {
                continue;
            }
            // NOLINTNEXTLINE(cppcoreguidelines-pro-type-union-access): the format was checked
            const QString text = QString::fromUtf8(values[i].u.string);
            if (std::string_view(keys[i]) == "name") {
                output.name = text;
            } else if (std::string_view(keys[i]) == "description") {
                output.description = text;
            }
        }
        if (!output.name.isEmpty() && output.name != QLatin1String("auto")) {
            outputs.push_back(std::move(output));
        }
    }
    return outputs;
}

void MpvObserved::apply(const mpv_event_property& property) {
    const std::string_view name(property.name);
    const bool known = property.format != MPV_FORMAT_NONE && property.data != nullptr;
    const auto flag = [&] { return known && *static_cast<const int*>(property.data) != 0; };
    const auto number = [&]() -> std::optional<double> {
        return known && property.format == MPV_FORMAT_DOUBLE
                   ? std::optional(*static_cast<const double*>(property.data))
                   : std::nullopt;
    };
    if (name == "time-pos") {
        timePos = number().value_or(timePos);
    } else if (name == "duration") {
        duration = number();
    } else if (name == "pause") {
        pause = flag();
    } else if (name == "core-idle") {
        coreIdle = !known || flag();
    } else if (name == "current-ao") {
        output = known && property.format == MPV_FORMAT_STRING
                     ? *static_cast<const char* const*>(property.data)
                     : "";
    } else if (name == "volume") {
        volume = number().value_or(volume);
    } else if (name == "mute") {
        mute = flag();
    }
}

} // namespace quorvex
