#pragma once

#include "core/services/library_database.h"
#include "platform/db/sqlite_handle.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platter {

// What the library database holds, read from its file without changing it: no check, no new
// layout, no backup, so a tool may read it while Platter runs.
struct LibrarySnapshot {
    std::unordered_map<std::string, SongStats> stats;
    std::vector<AddedSong> addedSongs;
};

// Nothing when the file is missing or no database of Platter's this version reads; `error`
// says why.
std::optional<LibrarySnapshot> readLibrarySnapshot(const std::string& path, std::string& error);

// The two reads, shared with the database itself.
std::unordered_map<std::string, SongStats> readSongStats(const sqlite::Connection& db);
std::vector<AddedSong> readAddedSongs(const sqlite::Connection& db);

} // namespace platter
