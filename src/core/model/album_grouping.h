#pragma once

#include "core/model/my_album.h"
#include "core/model/my_artist.h"
#include "core/model/track_entries.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platter {

class StringRules;

using AlbumDict = std::unordered_map<std::string, AlbumPtr>;
// Keyed by the composed album artist name.
using ArtistDict = std::unordered_map<std::string, ArtistPtr>;

// The collections one library build fills, and what it needs from the build before it.
struct AlbumGrouping {
    const AlbumDict& previousAlbums;
    const AlbumSettings& albumSettings;
    std::string_view masterPersistentID;
    const StringRules& rules;
    const TrackReader& tracks;
    // The reader of the songs added on this computer, which have a document of their own.
    const TrackReader* addedTracks;
    const plist::Document* addedDocument;

    std::vector<AlbumPtr> albums;
    AlbumDict albumDict;
    ArtistDict artists;
};

// The grouping step for one run of songs sharing an album ID: a new album, with its stored
// setting put back, or the previous build's album carried over with the new songs.
void groupAlbum(std::string_view albumName, std::string_view albumArtist, bool compilation,
                std::vector<SongPtr> songs, AlbumGrouping& into);

} // namespace platter
