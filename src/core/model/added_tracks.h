#pragma once

// Songs added on this computer as the library file would list them: a small document of track
// dictionaries (the keys spelled as the file spells them, "Location" a file URL) and one
// playlist of them all, so that the model, grouping, export and search take them as they take
// the file's.

#include "core/plist/document.h"
#include "core/services/library_database.h"
#include "core/services/music_files.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

// The playlist of the added songs, known by this ID at every start.
inline constexpr std::string_view addedPersistentID = "AddedOnThisComputer";
inline constexpr std::string_view addedPlaylistName = "Added on This Computer";
// Added songs' track IDs count from here: above any library file's.
inline constexpr std::int64_t firstAddedTrackID = std::int64_t{1} << 40;

// The tags as kept in the database, and read back; nothing from text that is no such object.
std::string tagsToJson(const AudioTags& tags);
std::optional<AudioTags> tagsFromJson(std::string_view json);

// A record whose file went away: kept for its ID, so the song comes back as itself.
inline bool isGone(const AddedSong& song) { return song.size < 0; }

// The document of the songs whose files are here; null when there are none.
std::shared_ptr<const plist::Document> addedTracksDocument(const std::vector<AddedSong>& songs);

} // namespace platter
