#include "core/model/track_entries.h"

namespace platter {

namespace {

// The library file's own names; for track number, artist and album these are the keys the
// media-library service knows under its own constants.
constexpr std::array<std::string_view, static_cast<std::size_t>(TrackKey::Count)> names{
    "Name",        "Album",       "Artist",        "Album Artist", "Track Number",
    "Disc Number", "Compilation", "Persistent ID", "Location",     "Total Time",
    "Has Video",   "Music Video", "Podcast",       "Sort Album",   "Sort Album Artist"};

} // namespace

std::optional<std::string_view> TrackEntries::string(TrackKey k) const {
    const auto v = entries_[static_cast<std::size_t>(k)];
    return v.is(plist::Type::String) ? std::optional(v.string()) : std::nullopt;
}

std::optional<std::int64_t> TrackEntries::integer(TrackKey k) const {
    const auto v = entries_[static_cast<std::size_t>(k)];
    return v.is(plist::Type::Integer) ? std::optional(v.integer()) : std::nullopt;
}

std::optional<bool> TrackEntries::boolean(TrackKey k) const {
    const auto v = entries_[static_cast<std::size_t>(k)];
    return v.is(plist::Type::Boolean) ? std::optional(v.boolean()) : std::nullopt;
}

TrackReader::TrackReader(const plist::Document& doc) : entryOfKey_(doc.keyCount(), none) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (const auto id = doc.keyId(names[i]); id != plist::noKey)
            entryOfKey_[id] = static_cast<std::uint8_t>(i);
}

TrackEntries TrackReader::read(plist::NodeRef track) const {
    TrackEntries e;
    if (!track.is(plist::Type::Dict)) return e;
    // Forward, so a later duplicate key wins, as in a lookup.
    for (std::size_t i = 0; i < track.size(); ++i) {
        const auto key = track.keyIdAt(i);
        if (key < entryOfKey_.size() && entryOfKey_[key] != none) e.entries_[entryOfKey_[key]] = track.at(i);
    }
    return e;
}

} // namespace platter
