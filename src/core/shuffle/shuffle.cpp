#include "core/shuffle/shuffle.h"

#include "core/services/random_source.h"

#include <algorithm>
#include <unordered_map>

namespace platter {

void shuffleWithSettingVersion(MyPlaylist& playlist, std::int64_t version, RandomSource& random) {
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
    playlist.setOrder(std::move(sorted));
    playlist.playingNum = 0;
}

void restoreOrder(MyPlaylist& playlist, std::vector<SongPtr> order, RandomSource& random) {
    buildUnits(playlist, playlist.unitRange(), random);
    std::unordered_map<const MySong*, const MyUnit*> unitOf;
    unitOf.reserve(order.size());
    for (const auto& unit : playlist.units)
        for (const auto& song : unit->songs())
            unitOf.emplace(song.get(), unit.get());
    // The order as runs of songs from one unit: whole units when the settings are those it
    // was drawn by, pieces of them when the settings changed since.
    std::vector<UnitPtr> units;
    std::size_t runStart = 0;
    for (std::size_t i = 1; i <= order.size(); ++i) {
        const auto* unit = unitOf[order[runStart].get()];
        if (i < order.size() && unit && unitOf[order[i].get()] == unit) continue;
        units.push_back(std::make_shared<MyUnit>(
            unit ? unit->num() : 0,
            std::vector<SongPtr>(order.begin() + static_cast<std::ptrdiff_t>(runStart),
                                 order.begin() + static_cast<std::ptrdiff_t>(i)),
            unit ? unit->kind() : UnitKind::Song, unit ? unit->disc() : 0));
        runStart = i;
    }
    playlist.setOrder(std::move(units));
}

} // namespace platter
