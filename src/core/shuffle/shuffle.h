#pragma once

// Cutting a playlist into units by its albums' settings, and drawing a random order of them.

#include "core/model/my_playlist.h"

#include <cstdint>
#include <vector>

namespace platter {

class RandomSource;

// Cuts the playlist into units by its albums' settings, each with a fresh number below
// `range`. Albums are walked in their current order.
void buildUnits(MyPlaylist& playlist, std::uint32_t range, RandomSource& random);

// A new random order of the units, rebuilt first when the album settings changed since they
// were built; it starts at its first song.
void shuffleWithSettingVersion(MyPlaylist& playlist, std::int64_t version, RandomSource& random);

// Takes `order`, a stored order of the playlist's songs, as its order, cut into the units the
// album settings make.
void restoreOrder(MyPlaylist& playlist, std::vector<SongPtr> order, RandomSource& random);

} // namespace platter
