#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platter {

class MySong;

// What a scrobbling site is told of one song, in neutral terms; each site writes its own text.
struct ListenRecord {
    std::int64_t startedAt = 0; // UTC seconds since 1970; unused for "now playing"
    std::string title;
    std::string artist;
    std::string album;       // may be empty
    std::string albumArtist; // may be empty
    std::int64_t trackNumber = 0;     // 0: none
    std::int64_t durationSeconds = 0; // 0: unknown
    bool operator==(const ListenRecord&) const = default;
};

// None for a song without a title or an artist of its own: the sites would file it wrongly.
std::optional<ListenRecord> listenRecord(const MySong& song, std::int64_t startedAt);

} // namespace platter
