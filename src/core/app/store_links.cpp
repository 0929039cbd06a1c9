#include "core/app/store_links.h"

#include "core/services/random_source.h"
#include "core/services/task_runner.h"
#include "core/store/store_links_job.h"
#include "core/text/string_rules.h"

namespace platter {

StoreLinks::StoreLinks(Services services, Library& library, const AppEvents& events)
    : services_(std::move(services)), library_(library), events_(events) {}


void StoreLinks::show(const MyPlaylist& playlist, const std::string& country, std::int64_t ratio) {
    if (!services_.http) return;
    StoreLinksRequest request;
    request.selection = ++selection_;
    request.base = services_.catalogueBase;
    request.country = country;
    request.ratio = ratio;
    request.seed = services_.random.uniform(UINT32_MAX);
    request.albumKeys.reserve(library_.albumDict.size());
    for (const auto& [key, album] : library_.albumDict)
        request.albumKeys.insert(key);
    for (const auto& name : playlist.topArtists()) {
        ArtistSnapshot snapshot;
        snapshot.name = name;
        const auto found = library_.artists.find(services_.rules.key(name));
        if (found == library_.artists.end()) {
            snapshot.inLibrary = false;
        } else if (const auto& artist = *found->second; artist.itunesArtistId) {
            snapshot.state = ArtistSnapshot::State::Found;
            snapshot.url = artist.itunesArtistUrlStr.value_or("");
            for (const auto& album : artist.notHavingAlbums)
                snapshot.albums.push_back({album, album->songs});
        } else if (artist.noiTunesId) {
            snapshot.state = ArtistSnapshot::State::NotFound;
        }
        request.topArtists.push_back(std::move(snapshot));
    }
    const std::weak_ptr<int> alive = lifetime_;
    // The last selection's queries are no longer wanted: they end now, and this one's wait for
    // nothing but the network.
    services_.tasks.runInBackground(
        [request = std::move(request), alive, this, cancel = work_.renew(), &http = *services_.http,
         &rules = services_.rules, &tasks = services_.tasks]() mutable {
            if (cancel->cancelled()) return;
            auto result = std::make_shared<StoreLinksResult>(
                runStoreLinksJob(std::move(request), http, rules, *cancel));
            tasks.runOnMainThread([result, alive, this] {
                if (!alive.expired()) apply(*result);
            });
        },
        TaskRunner::Lane::Network);
}

void StoreLinks::apply(const StoreLinksResult& result) {
    // What was learned stays learned, whichever selection asked.
    const auto artist = [this](const std::string& name) -> MyArtist* {
        const auto found = library_.artists.find(services_.rules.key(name));
        return found == library_.artists.end() ? nullptr : found->second.get();
    };
    for (const auto& found : result.found)
        if (auto* a = artist(found.name); a && !a->itunesArtistId && !a->noiTunesId) {
            a->itunesArtistId = found.id;
            a->itunesArtistUrlStr = found.url;
            a->notHavingAlbums = found.albums;
        }
    for (const auto& name : result.notFound)
        if (auto* a = artist(name); a && !a->itunesArtistId) a->noiTunesId = true;
    for (const auto& [album, songs] : result.albumTracks)
        if (album->songs.empty()) album->songs = songs;
    // The pages belong to the selection that asked for them.
    if (result.selection == selection_ && !result.pages.empty()) {
        pages_ = result.pages;
        events_.tell(AppEvent::LinkPages);
    }
}

} // namespace platter
