#pragma once

// Cutting a playlist into units by its albums' settings, and drawing a random order of them.

#include "core/model/my_playlist.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace platter {

class RandomSource;

// Cuts the playlist into units by its albums' settings, each with a fresh number below
// `range`. Albums are walked in their current order.
void buildUnits(MyPlaylist& playlist, std::uint32_t range, RandomSource& random);

// What Rediscover weighs units by: when a song last played and the time now, both in UTC
// seconds since 1970.
struct PlayHistory {
    std::function<std::optional<std::int64_t>(const MySong&)> lastPlayed;
    std::int64_t now = 0;
};

// A new random order of the units, rebuilt first when the album settings changed since they
// were built; it starts at its first song. With a history, Rediscover: the units never played
// come first, in uniform order, then the others drawn with weights of the seconds since their
// latest song played, without replacement.
void shuffleWithSettingVersion(MyPlaylist& playlist, std::int64_t version, RandomSource& random,
                               const PlayHistory* rediscover = nullptr);

// Takes `order`, a stored order of the playlist's songs, as its order, cut into the units the
// album settings make.
void restoreOrder(MyPlaylist& playlist, std::vector<SongPtr> order, RandomSource& random);

} // namespace platter
