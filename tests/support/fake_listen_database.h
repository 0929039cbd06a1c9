#pragma once

// A library database that keeps only the listen queues, in memory, and answers on the main
// thread through `post` as the real one does. Statistics and added songs are not kept.

#include "core/services/library_database.h"

#include <algorithm>
#include <functional>
#include <map>

namespace platter::testing {

struct FakeListenDatabase final : LibraryDatabase {
    explicit FakeListenDatabase(std::function<void(std::function<void()>)> onMain) : post(std::move(onMain)) {}

    std::function<void(std::function<void()>)> post;
    std::map<std::string, std::vector<Listen>> queues;
    ListenId lastId = 0;

    std::vector<std::string> payloads(const std::string& service) const {
        std::vector<std::string> out;
        if (const auto it = queues.find(service); it != queues.end())
            for (const auto& l : it->second)
                out.push_back(l.payload);
        return out;
    }

    const DatabaseOpenReport& openReport() const override { return report; }
    void addPlay(const std::string&, std::int64_t, Done) override {}
    void addSkip(const std::string&, std::int64_t, Done) override {}
    void setRating(const std::string&, std::optional<int>, Done) override {}
    void setAlbumRating(const std::string&, std::optional<int>, Done) override {}
    void setLoved(const std::string&, bool, Done) override {}
    std::unordered_map<std::string, SongStats> readAll() override { return {}; }
    void upsertAddedSong(const AddedSong&, Done) override {}
    void removeAddedSong(const std::string&, Done) override {}
    std::vector<AddedSong> readAddedSongs() override { return {}; }

    ListenId enqueueListen(const std::string& service, const std::string& payload, Done done) override {
        queues[service].push_back({++lastId, payload});
        if (done) post([done] { done({}); });
        return lastId;
    }
    void pendingListens(const std::string& service, std::size_t limit,
                        std::function<void(std::vector<Listen>)> then) override {
        auto listens = queues[service];
        listens.resize(std::min(limit, listens.size()));
        post([then, listens] { then(listens); });
    }
    void removeListens(const std::vector<ListenId>& ids, Done done) override {
        for (auto& [service, listens] : queues)
            std::erase_if(listens, [&](const Listen& l) { return std::ranges::find(ids, l.id) != ids.end(); });
        if (done) post([done] { done({}); });
    }
    void countPending(const std::string& service, std::function<void(std::size_t)> then) override {
        post([then, n = queues[service].size()] { then(n); });
    }
    std::string flush() override { return {}; }

    DatabaseOpenReport report = DatabaseOpened{};
};

} // namespace platter::testing
