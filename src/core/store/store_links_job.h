#pragma once

// The store links of one playlist selection, worked out off the main thread. The job gets a
// snapshot of what it needs (the playlist's top artists with what is known of them, the
// library's album keys, country and ratio) and hands back what it learned and the pages; the
// main thread applies both, so the artist cache has a single writer.

#include "core/store/my_itunes_album.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace platter {

class CancelToken;
class HttpFetch;
class StringRules;

struct ArtistSnapshot {
    enum class State { Unknown, Found, NotFound };
    std::string name;
    bool inLibrary = true; // a name without an artist record is passed over, like an empty one
    State state = State::Unknown;
    std::string url;
    struct Album {
        ITunesAlbumPtr record; // only its fixed fields are read off the main thread
        ITunesSongs songs;
    };
    std::vector<Album> albums;
};

struct StoreLinksRequest {
    std::uint64_t selection = 0;
    std::vector<ArtistSnapshot> topArtists; // most frequent first
    std::unordered_set<std::string> albumKeys;
    std::string base;
    std::string country;
    std::int64_t ratio = 25;
    std::uint32_t seed = 0;
};

struct StoreLinksResult {
    struct Found {
        std::string name;
        std::int64_t id;
        std::string url;
        std::vector<ITunesAlbumPtr> albums;
    };
    std::uint64_t selection = 0;
    std::vector<Found> found;          // artists found for the first time
    std::vector<std::string> notFound; // artists the catalogue answered it does not know
    std::vector<std::pair<ITunesAlbumPtr, ITunesSongs>> albumTracks; // first tracks found
    std::vector<std::pair<std::string, std::string>> pages;          // (artist page, album page)
};

// The catalogue's search term for an artist name, lower-cased, each white space character (a
// no-break space too) a plain space; the address encodes it like any other value.
std::string searchTerm(std::string_view name, const StringRules& rules);

// A cancel ends the job early, with what it learned so far and no pages: nothing it did not
// hear from the catalogue counts as known.
StoreLinksResult runStoreLinksJob(StoreLinksRequest request, HttpFetch& http, const StringRules& rules,
                                  const CancelToken& cancel);

} // namespace platter
