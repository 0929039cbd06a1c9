#include "core/shuffle/shuffle.h"

#include "core/services/random_source.h"

#include <algorithm>

namespace platter {

std::vector<std::string_view> shuffleWithSettingVersion(MyPlaylist& playlist, std::int64_t version,
                                                        RandomSource& random) {
    const auto range = playlist.unitRange();
    const bool rebuild = playlist.shuffleVersion < version || playlist.units.empty();
    if (rebuild) {
        buildUnits(playlist, range, random); // every unit draws its number as it is made
        playlist.shuffleVersion = version;
    }
    // Sorted as (number, position) pairs: compact to sort, and equal numbers keep their order,
    // so a seeded source gives the same order with any standard library.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keys;
    keys.reserve(playlist.units.size());
    for (std::size_t i = 0; i < playlist.units.size(); ++i) {
        if (!rebuild) playlist.units[i]->setNum(random.uniform(range));
        keys.emplace_back(playlist.units[i]->num(), static_cast<std::uint32_t>(i));
    }
    std::sort(keys.begin(), keys.end());
    std::vector<UnitPtr> sorted;
    sorted.reserve(playlist.units.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(playlist.units[key.second]));
    playlist.units = std::move(sorted);

    playlist.shuffledSongs.clear();
    playlist.shuffledSongs.reserve(playlist.songs().size());
    for (const auto& unit : playlist.units)
        for (const auto& song : unit->songs())
            playlist.shuffledSongs.push_back(song);
    playlist.playingNum = 0;
    std::vector<std::string_view> ids;
    ids.reserve(playlist.shuffledSongs.size());
    for (const auto& song : playlist.shuffledSongs)
        ids.push_back(song->persistentID());
    return ids;
}

} // namespace platter
