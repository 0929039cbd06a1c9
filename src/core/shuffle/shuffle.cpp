#include "core/shuffle/shuffle.h"

#include "core/services/random_source.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace platter {

namespace {

// Efraimidis and Spirakis' weighted sampling: a unit of weight w keys -ln(u)/w, u its number
// as a uniform draw in (0, 1), so that ascending keys order the units as draws without
// replacement would, each in proportion to its weight. Units never played key before any.
std::vector<std::uint32_t> rediscoverOrder(const std::vector<UnitPtr>& units, std::uint32_t range,
                                           const PlayHistory& history) {
    struct Key {
        double key;
        std::uint32_t num, position;
    };
    std::vector<Key> keys;
    keys.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::optional<std::int64_t> last;
        for (const auto& song : units[i]->songs())
            if (const auto played = history.lastPlayed(*song); played && (!last || *played > *last)) last = played;
        const auto u = (static_cast<double>(units[i]->num()) + 0.5) / static_cast<double>(std::max(range, 1u));
        // A play dated now or later (a clock set back) weighs as one second ago.
        const auto weight = last ? static_cast<double>(std::max<std::int64_t>(history.now - *last, 1)) : 0.0;
        keys.push_back({last ? -std::log(u) / weight : -1.0, units[i]->num(), static_cast<std::uint32_t>(i)});
    }
    // Never-played units share the key -1 and keep the uniform shuffle's order among themselves.
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        return a.key != b.key ? a.key < b.key : a.num != b.num ? a.num < b.num : a.position < b.position;
    });
    std::vector<std::uint32_t> order;
    order.reserve(keys.size());
    for (const auto& k : keys)
        order.push_back(k.position);
    return order;
}

} // namespace

void shuffleWithSettingVersion(MyPlaylist& playlist, std::int64_t version, RandomSource& random,
                               const PlayHistory* rediscover) {
    const auto range = playlist.unitRange();
    const bool rebuild = playlist.shuffleVersion < version || playlist.units.empty();
    if (rebuild) {
        buildUnits(playlist, range, random); // every unit draws its number as it is made
        playlist.shuffleVersion = version;
    }
    if (!rebuild)
        for (auto& unit : playlist.units)
            unit->setNum(random.uniform(range));
    std::vector<std::uint32_t> order;
    if (rediscover) {
        order = rediscoverOrder(playlist.units, range, *rediscover);
    } else {
        // Sorted as (number, position) pairs: compact to sort, and equal numbers keep their
        // order, so a seeded source gives the same order with any standard library.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> keys;
        keys.reserve(playlist.units.size());
        for (std::size_t i = 0; i < playlist.units.size(); ++i)
            keys.emplace_back(playlist.units[i]->num(), static_cast<std::uint32_t>(i));
        std::sort(keys.begin(), keys.end());
        order.reserve(keys.size());
        for (const auto& key : keys)
            order.push_back(key.second);
    }
    std::vector<UnitPtr> sorted;
    sorted.reserve(playlist.units.size());
    for (const auto position : order)
        sorted.push_back(std::move(playlist.units[position]));
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
