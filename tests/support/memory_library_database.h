#pragma once

// A library database in memory, for the controller's tests: changes are taken at once and
// their `done` hears nothing.

#include "core/services/library_database.h"

#include <algorithm>
#include <map>

namespace platter::testing {

struct MemoryLibraryDatabase final : LibraryDatabase {
    std::map<std::string, AddedSong> added; // by persistent ID
    std::unordered_map<std::string, SongStats> stats;
    int addedReads = 0;
    DatabaseOpenReport report = DatabaseOpened{};

    const DatabaseOpenReport& openReport() const override { return report; }
    void addPlay(const std::string& id, std::int64_t when, Done) override {
        ++stats[id].plays;
        stats[id].lastPlayed = when;
    }
    void addSkip(const std::string& id, std::int64_t when, Done) override {
        ++stats[id].skips;
        stats[id].lastSkipped = when;
    }
    void setRating(const std::string& id, std::optional<int> r, Done) override { stats[id].rating = r; }
    void setAlbumRating(const std::string& id, std::optional<int> r, Done) override { stats[id].albumRating = r; }
    void setLoved(const std::string& id, bool loved, Done) override { stats[id].loved = loved; }
    std::unordered_map<std::string, SongStats> readAll() override { return stats; }
    void upsertAddedSong(const AddedSong& song, Done) override {
        std::erase_if(added, [&](const auto& entry) { return entry.second.path == song.path; });
        added[song.persistentID] = song;
    }
    void removeAddedSong(const std::string& id, Done) override { added.erase(id); }
    std::vector<AddedSong> readAddedSongs() override {
        ++addedReads;
        std::vector<AddedSong> songs;
        for (const auto& [id, song] : added)
            songs.push_back(song);
        return songs;
    }
    ListenId enqueueListen(const std::string&, const std::string&, Done) override { return 0; }
    void pendingListens(const std::string&, std::size_t, std::function<void(std::vector<Listen>)> then) override {
        then({});
    }
    void removeListens(const std::vector<ListenId>&, Done) override {}
    void countPending(const std::string&, std::function<void(std::size_t)> then) override { then(0); }
    std::string flush() override { return {}; }
};

} // namespace platter::testing
