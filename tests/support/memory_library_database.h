#pragma once

#include "core/services/library_database.h"

#include <algorithm>
#include <functional>
#include <map>
#include <utility>

namespace platter {

// A library database in memory, every change on "disk" at once: for tests and tools that must
// not touch the user's. `report` is what its opening says: a good open
// unless a test says otherwise.
class MemoryLibraryDatabase final : public LibraryDatabase {
public:
    const DatabaseOpenReport& openReport() const override { return report; }
    void addPlay(const std::string& id, std::int64_t when, Done done = {}) override {
        ++stats[id].plays;
        stats[id].lastPlayed = when;
        answer(done);
    }
    void addSkip(const std::string& id, std::int64_t when, Done done = {}) override {
        ++stats[id].skips;
        stats[id].lastSkipped = when;
        answer(done);
    }
    void setRating(const std::string& id, std::optional<int> rating, Done done = {}) override {
        stats[id].rating = rating ? std::optional(std::clamp(*rating, 0, 100)) : std::nullopt;
        answer(done);
    }
    void setAlbumRating(const std::string& id, std::optional<int> rating, Done done = {}) override {
        stats[id].albumRating = rating ? std::optional(std::clamp(*rating, 0, 100)) : std::nullopt;
        answer(done);
    }
    void setLoved(const std::string& id, bool loved, Done done = {}) override {
        stats[id].loved = loved;
        answer(done);
    }
    std::unordered_map<std::string, SongStats> readAll() override {
        ++reads;
        return {stats.begin(), stats.end()};
    }
    void upsertAddedSong(const AddedSong& song, Done done = {}) override {
        // A path holds one song.
        std::erase_if(added, [&](const auto& entry) { return entry.second.path == song.path; });
        added[song.persistentID] = song;
        answer(done);
    }
    void removeAddedSong(const std::string& id, Done done = {}) override {
        added.erase(id);
        answer(done);
    }
    std::vector<AddedSong> readAddedSongs() override {
        ++addedReads;
        std::vector<AddedSong> songs;
        for (const auto& [id, song] : added)
            songs.push_back(song);
        return songs;
    }
    ListenId enqueueListen(const std::string& service, const std::string& payload, Done done = {}) override {
        listens[service].push_back({nextListen, payload});
        answer(done);
        return nextListen++;
    }
    void pendingListens(const std::string& service, std::size_t limit,
                        std::function<void(std::vector<Listen>)> then) override {
        auto queued = listens[service];
        queued.resize(std::min(limit, queued.size()));
        onMain([then, queued] { then(queued); });
    }
    void removeListens(const std::vector<ListenId>& ids, Done done = {}) override {
        for (auto& [service, queued] : listens)
            std::erase_if(queued, [&](const Listen& l) { return std::ranges::find(ids, l.id) != ids.end(); });
        answer(done);
    }
    void setLastAccepted(const std::string& service, std::int64_t when, Done done = {}) override {
        lastAccepted[service] = when;
        answer(done);
    }
    void queueState(const std::string& service, std::function<void(ListenQueueState)> then) override {
        ListenQueueState state{listens[service].size(), {}};
        if (const auto it = lastAccepted.find(service); it != lastAccepted.end()) state.lastAccepted = it->second;
        onMain([then, state] { then(state); });
    }
    std::vector<std::string> payloads(const std::string& service) const {
        std::vector<std::string> out;
        if (const auto it = listens.find(service); it != listens.end())
            for (const auto& l : it->second)
                out.push_back(l.payload);
        return out;
    }
    std::string flush() override {
        ++flushes;
        return {};
    }

    DatabaseOpenReport report;
    std::map<std::string, SongStats> stats;
    std::map<std::string, AddedSong> added;
    std::map<std::string, std::vector<Listen>> listens;
    std::map<std::string, std::int64_t> lastAccepted;
    ListenId nextListen = 1;
    int reads = 0;
    int addedReads = 0;
    int flushes = 0;
    // Where answers are handed over, as the real database hands them to the main thread; at
    // once unless set.
    std::function<void(std::function<void()>)> post;

private:
    void onMain(std::function<void()> task) const { post ? post(std::move(task)) : task(); }
    void answer(const Done& done) const {
        if (done) onMain([done] { done({}); });
    }
};

} // namespace platter
