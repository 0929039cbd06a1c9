#pragma once

// The entries of a track dictionary that a library build reads, found in one pass over the
// dictionary instead of one search per key: a large library has hundreds of thousands of
// tracks, each with some thirty entries.

#include "core/plist/document.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace platter {

enum class TrackKey : std::uint8_t {
    Name,
    Album,
    Artist,
    AlbumArtist,
    TrackNumber,
    DiscNumber,
    Compilation,
    PersistentID,
    Location,
    TotalTime,
    HasVideo,
    MusicVideo,
    Podcast,
    SortAlbum,
    SortAlbumArtist,
    Count
};

// Typed views of the entries; absent when missing or of another type.
class TrackEntries {
public:
    std::optional<std::string_view> string(TrackKey k) const;
    std::optional<std::int64_t> integer(TrackKey k) const;
    std::optional<bool> boolean(TrackKey k) const;
    bool flag(TrackKey k) const { return boolean(k).value_or(false); }

private:
    friend class TrackReader;
    std::array<plist::NodeRef, static_cast<std::size_t>(TrackKey::Count)> entries_{};
};

// Knows, for one document, which of its keys are track keys.
class TrackReader {
public:
    explicit TrackReader(const plist::Document& doc);
    TrackEntries read(plist::NodeRef track) const;

private:
    static constexpr std::uint8_t none = 0xFF;
    std::vector<std::uint8_t> entryOfKey_; // key id to TrackKey, or none
};

} // namespace platter
