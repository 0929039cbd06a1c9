#pragma once

// Store links for the selected playlist's top artists: the catalogue work runs on the network
// lane, and what it learned of the artists stays learned; its pages are shown only while the
// playlist that asked is still selected. A newer selection cuts off the older one's queries,
// and so does the end of this object, so that quitting never waits for the network.

#include "core/model/library.h"
#include "core/services/cancel_token.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platter {

class HttpFetch;
class RandomSource;
class StringRules;
class TaskRunner;
class ViewRefresh;
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
    StoreLinks(Services services, Library& library);
    StoreLinks(const StoreLinks&) = delete;
    StoreLinks& operator=(const StoreLinks&) = delete;

    void setView(ViewRefresh* view) { view_ = view; }
    // Works out the links of `playlist` in the catalogue of `country`, for the share `ratio` (in
    // percent) of its artists that has the most songs.
    void show(const MyPlaylist& playlist, const std::string& country, std::int64_t ratio);

private:
    void apply(const StoreLinksResult& result);

    Services services_;
    Library& library_;
    ViewRefresh* view_ = nullptr;
    std::uint64_t selection_ = 0; // the selection whose links are wanted
    CurrentWork work_;
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace platter
