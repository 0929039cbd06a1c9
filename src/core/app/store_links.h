#pragma once

// Store links for the selected playlist's top artists: the catalogue work runs on the network
// lane, and what it learned of the artists stays learned; its pages are shown only while the
// playlist that asked is still selected. A newer selection cuts off the older one's queries,
// and so does the end of this object, so that quitting never waits for the network.

#include "core/model/library.h"
#include "core/app/app_events.h"
#include "core/services/cancel_token.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platter {

class HttpFetch;
class RandomSource;
class StringRules;
class TaskRunner;
struct StoreLinksResult;

class StoreLinks {
public:
    struct Services {
        HttpFetch* http; // none: no store links
        const StringRules& rules;
        RandomSource& random;
        TaskRunner& tasks;
        std::string catalogueBase;
    };
    StoreLinks(Services services, Library& library, const AppEvents& events);
    StoreLinks(const StoreLinks&) = delete;
    StoreLinks& operator=(const StoreLinks&) = delete;

    // Works out the links of `playlist` in the catalogue of `country`, for the share `ratio` (in
    // percent) of its artists that has the most songs.
    void show(const MyPlaylist& playlist, const std::string& country, std::int64_t ratio);
    // Pairs of (artist page, album page) for the first link panes, at most three; panes beyond
    // the pairs keep what they show.
    const std::vector<std::pair<std::string, std::string>>& pages() const { return pages_; }

private:
    void apply(const StoreLinksResult& result);

    Services services_;
    Library& library_;
    const AppEvents& events_;
    std::vector<std::pair<std::string, std::string>> pages_;
    std::uint64_t selection_ = 0; // the selection whose links are wanted
    CurrentWork work_;
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace platter
