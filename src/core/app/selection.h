#pragma once

#include "core/model/library.h"

#include <cstddef>
#include <optional>

namespace platter {

// Which playlist the window shows, and how.
struct Selection {
    // The index of the selected playlist in the library's; none selected.
    std::optional<std::size_t> playlist;
    // Its albums' choices show, not its shuffled order.
    bool configuring = true;
};

// The playlist at an index, or null when the index is absent or past the end.
inline MyPlaylist* playlistAt(const Library& library, std::optional<std::size_t> index) {
    return index && *index < library.playlists.size() ? library.playlists[*index].get() : nullptr;
}

} // namespace platter
