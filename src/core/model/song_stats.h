#pragma once

// A song's statistics as the window shows them: what the library file says, plus what was
// counted on this computer. The file is never written, so a library still synced from another
// computer adds up, and reading it again never counts a play twice.

#include "core/services/library_database.h"

#include <cstdint>
#include <optional>

namespace platter {

class MySong;

struct ShownStats {
    SongStats stats;
    std::optional<std::int64_t> dateAdded; // UTC seconds since 1970
    friend bool operator==(const ShownStats&, const ShownStats&) = default;
};

// The values of the song's track dictionary: "Play Count", "Play Date UTC", "Skip Count",
// "Skip Date", "Rating", "Album Rating", "Loved" or "Favorited", and "Date Added".
ShownStats fileStatsOf(const MySong& song);
// Its "Play Date UTC" alone, for those who need no more.
std::optional<std::int64_t> fileLastPlayedOf(const MySong& song);

// The file's counts plus those counted here; the later of two dates; a rating or loved set here
// over the file's.
ShownStats combined(ShownStats file, const SongStats& here);

} // namespace platter
