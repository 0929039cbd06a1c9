#pragma once

#include "core/model/library.h"
#include "core/model/song_file.h"
#include "core/services/library_database.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platter {

// Counts of the built model and, per playlist in list order, its identity, its folders, size and
// top artists: what support needs to see of a user's library without the user's music. With the
// counts of a file search, how many songs have their file here, for the library and each
// playlist, and up to 20 songs whose file was not found with the path looked for.
nlohmann::ordered_json libraryReport(const Library& library, const std::optional<FileCounts>& files = {});

// A playlist's songs with the statistics the window shows: the library file's plus `counted`,
// what the library database counted on this computer. Dates in UTC, as ISO 8601.
nlohmann::ordered_json statisticsReport(const MyPlaylist& playlist,
                                        const std::unordered_map<std::string, SongStats>& counted);

// The songs added on this computer, as their records keep them; "gone" where the file went away.
nlohmann::ordered_json addedSongsReport(const std::vector<AddedSong>& songs);

} // namespace platter
