#pragma once

// The order as a playlist file for other players.

#include "core/model/my_song.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platter {

// An M3U8 playlist of `order`: UTF-8, each song as its length, artist and title and the path of
// its file here. Songs without a file here are left out and counted.
struct M3u8Playlist {
    std::string text;
    std::int64_t leftOut = 0;
};
M3u8Playlist m3u8Of(std::span<const SongPtr> order);

// Whether an export to `path` is an M3U8 playlist: its name ends in .m3u8 or .m3u, in any case.
bool isM3u8Path(std::string_view path);

} // namespace platter
