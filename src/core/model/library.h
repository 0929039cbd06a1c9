#pragma once

// The model of one library file: its songs, albums, artists and playlists, with their lookups.
// Built from the parsed file and the album settings; the controller adds the stored orders.

#include "core/containers/flat_hash_map.h"
#include "core/model/album_grouping.h"
#include "core/model/my_playlist.h"
#include "core/plist/document.h"
#include "core/plist/library_problem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

class StringRules;

struct Library {
    static constexpr std::string_view masterPersistentID = "AllSongsMaster";

    std::shared_ptr<const plist::Document> document;
    // The library's "Music Folder", where its files lay when it was written.
    std::string musicFolderUrl;
    std::vector<SongPtr> songs;
    FlatHashMap<std::int64_t, SongPtr> songsByTrackID;
    // Keys view the songs' persistent IDs in the library document.
    FlatHashMap<std::string_view, SongPtr> songsByPersistentID;
    std::vector<AlbumPtr> albums;
    AlbumDict albumDict;
    ArtistDict artists;
    // The all-songs playlist first, then the file's playlists in its order.
    std::vector<PlaylistPtr> playlists;
};

// Why a parsed property list is no library a model can be built from.
LibraryProblem libraryProblemOf(const plist::Document& document);
// The same in words, for logs and the command-line tools; empty when it is one.
std::string libraryProblem(const plist::Document& document);

// The model of `document`, its albums given their stored settings; an album of
// `previousAlbums` (the model before, when the file is read again) is carried over with its
// edits. `added` holds the songs added on this computer (see added_tracks.h): they join the
// albums and All Songs, and have a playlist of their own after it. Nothing when the document
// is no library.
std::optional<Library> buildLibrary(std::shared_ptr<const plist::Document> document, const AlbumSettings& settings,
                                    const StringRules& rules, const AlbumDict& previousAlbums = {},
                                    std::shared_ptr<const plist::Document> added = nullptr);

} // namespace platter
