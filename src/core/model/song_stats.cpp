#include "core/model/song_stats.h"

#include "core/model/my_song.h"

#include <algorithm>

namespace platter {
namespace {

std::optional<std::int64_t> dateFor(plist::NodeRef dict, std::string_view key) {
    const auto node = dict.find(key);
    return node.is(plist::Type::Date) ? std::optional(node.date().seconds) : std::nullopt;
}

std::optional<int> ratingFor(plist::NodeRef dict, std::string_view key) {
    const auto value = dict.integerFor(key);
    return value ? std::optional(static_cast<int>(std::clamp<std::int64_t>(*value, 0, 100))) : std::nullopt;
}

std::optional<std::int64_t> later(std::optional<std::int64_t> a, std::optional<std::int64_t> b) {
    if (!a) return b;
    if (!b) return a;
    return std::max(*a, *b);
}

} // namespace

ShownStats fileStatsOf(const MySong& song) {
    ShownStats shown;
    const auto dict = song.dict().node;
    if (!dict.is(plist::Type::Dict)) return shown;
    auto& s = shown.stats;
    s.plays = std::max<std::int64_t>(dict.integerFor("Play Count").value_or(0), 0);
    s.lastPlayed = dateFor(dict, "Play Date UTC");
    s.skips = std::max<std::int64_t>(dict.integerFor("Skip Count").value_or(0), 0);
    s.lastSkipped = dateFor(dict, "Skip Date");
    // A rating the library application worked out from the album's is no rating of the song's.
    if (!dict.booleanFor("Rating Computed").value_or(false)) s.rating = ratingFor(dict, "Rating");
    if (!dict.booleanFor("Album Rating Computed").value_or(false)) s.albumRating = ratingFor(dict, "Album Rating");
    s.loved = dict.booleanFor("Loved").value_or(false) || dict.booleanFor("Favorited").value_or(false);
    shown.dateAdded = dateFor(dict, "Date Added");
    return shown;
}

std::optional<std::int64_t> fileLastPlayedOf(const MySong& song) {
    const auto dict = song.dict().node;
    return dict.is(plist::Type::Dict) ? dateFor(dict, "Play Date UTC") : std::nullopt;
}

ShownStats combined(ShownStats file, const SongStats& here) {
    auto& s = file.stats;
    s.plays += here.plays;
    s.lastPlayed = later(s.lastPlayed, here.lastPlayed);
    s.skips += here.skips;
    s.lastSkipped = later(s.lastSkipped, here.lastSkipped);
    if (here.rating) s.rating = here.rating;
    if (here.albumRating) s.albumRating = here.albumRating;
    s.loved = s.loved || here.loved;
    return file;
}

} // namespace platter
