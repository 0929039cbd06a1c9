#include "core/store/store_links_job.h"

#include "core/services/cancel_token.h"
#include "core/services/log.h"
#include "core/services/seeded_random.h"
#include "core/store/catalogue_query.h"
#include "core/store/link_pages.h"
#include "core/text/string_rules.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <set>

namespace platter {

namespace {

// The Unicode space separators, as UTF-8; line breaks are not among them.
bool spaceAt(std::string_view s, std::size_t i, std::size_t& length) {
    static constexpr std::string_view spaces[] = {" ",
                                                  "\t",
                                                  "\xC2\xA0",
                                                  "\xE1\x9A\x80",
                                                  "\xE2\x80\x80",
                                                  "\xE2\x80\x81",
                                                  "\xE2\x80\x82",
                                                  "\xE2\x80\x83",
                                                  "\xE2\x80\x84",
                                                  "\xE2\x80\x85",
                                                  "\xE2\x80\x86",
                                                  "\xE2\x80\x87",
                                                  "\xE2\x80\x88",
                                                  "\xE2\x80\x89",
                                                  "\xE2\x80\x8A",
                                                  "\xE2\x80\xAF",
                                                  "\xE2\x81\x9F",
                                                  "\xE3\x80\x80"};
    for (const auto space : spaces)
        if (s.substr(i, space.size()) == space) {
            length = space.size();
            return true;
        }
    return false;
}

class Job {
public:
    Job(StoreLinksRequest request, HttpFetch& http, const StringRules& rules, const CancelToken& cancel)
        : r_(std::move(request)), http_(http), rules_(rules), cancel_(cancel), random_(r_.seed) {
        result_.selection = r_.selection;
    }

    StoreLinksResult run() {
        const auto picked = pickTopArtists();
        for (const auto i : picked) {
            if (cancel_.cancelled()) break;
            pagesFor(r_.topArtists[i]);
        }
        if (cancel_.cancelled()) result_.pages.clear();
        return std::move(result_);
    }

private:
    enum class Outcome { Found, NotFound, Failed };

    std::vector<std::size_t> pickTopArtists() {
        const auto n = r_.topArtists.size();
        const auto ratio = static_cast<std::size_t>(std::clamp<std::int64_t>(r_.ratio, 1, 100));
        auto target = std::min<std::size_t>(3, n);
        auto range = ratio * n >= 300 ? ratio * n / 100 : n;
        std::set<std::size_t> picked, rejected;
        auto remaining = n;
        while (picked.size() < target && !cancel_.cancelled()) {
            std::size_t i;
            do
                i = random_.uniform(static_cast<std::uint32_t>(range));
            while (picked.contains(i));
            auto& artist = r_.topArtists[i];
            if (!artist.name.empty() && artist.inLibrary && !lookUpNotHavingAlbums(artist).empty()) {
                picked.insert(i);
            } else if (rejected.insert(i).second) {
                --remaining;
                target = std::min<std::size_t>(3, remaining);
                if (range < n) ++range;
            }
        }
        return {picked.begin(), picked.end()};
    }

    const std::vector<ArtistSnapshot::Album>& lookUpNotHavingAlbums(ArtistSnapshot& artist) {
        static const std::vector<ArtistSnapshot::Album> none;
        if (artist.state == ArtistSnapshot::State::Found) return artist.albums;
        if (artist.state == ArtistSnapshot::State::NotFound || failed_.contains(artist.name)) return none;
        switch (searchArtist(artist)) {
        case Outcome::Found:
            artist.state = ArtistSnapshot::State::Found;
            return artist.albums;
        case Outcome::NotFound:
            artist.state = ArtistSnapshot::State::NotFound;
            result_.notFound.push_back(artist.name);
            return none;
        case Outcome::Failed:
            // No answer is no verdict: rejected now, asked again at the next selection.
            if (cancel_.cancelled()) return none;
            log::write(log::Category::Store, "no usable catalogue answer for " + artist.name);
            failed_.insert(artist.name);
            return none;
        }
        return none;
    }

    Outcome searchArtist(ArtistSnapshot& artist) {
        const auto term = searchTerm(artist.name, rules_);
        const auto search = fetch(catalogueAddress(r_.base, "/search",
                                                   {{"entity", "allArtist"},
                                                    {"attribute", "allArtistTerm"},
                                                    {"term", term},
                                                    {"entity", "album"},
                                                    {"country", r_.country}}));
        if (!search) return Outcome::Failed;
        struct Candidate {
            std::int64_t id;
            std::string url;
            int counter;
        };
        std::vector<Candidate> candidates;
        for (const auto& record : *search) {
            const auto id = record.intDict.find("artistId");
            const auto url = record.stringDict.find("artistViewUrl");
            if (id == record.intDict.end() || url == record.stringDict.end()) continue;
            const auto same = std::find_if(candidates.begin(), candidates.end(),
                                           [&](const Candidate& c) { return c.id == id->second; });
            if (same != candidates.end())
                *same = {id->second, url->second, same->counter + 1};
            else
                candidates.push_back({id->second, url->second, 1});
        }
        if (candidates.empty()) return Outcome::NotFound;
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) { return a.counter > b.counter; });
        const auto& chosen = candidates.front();

        const auto lookup = fetch(lookupAddress(chosen.id, "album"));
        if (!lookup) return Outcome::Failed;
        StoreLinksResult::Found found{artist.name, chosen.id, chosen.url, {}};
        for (const auto& record : *lookup) {
            const auto name = record.stringDict.find("collectionName");
            if (name == record.stringDict.end()) continue;
            // Owned: the library has an album of this exact title by this artist.
            if (r_.albumKeys.contains(rules_.key(name->second + "\t" + artist.name))) continue;
            const auto id = record.intDict.find("collectionId");
            const auto view = record.stringDict.find("collectionViewUrl");
            const auto artwork = record.stringDict.find("artworkUrl100");
            if (id == record.intDict.end() || view == record.stringDict.end() ||
                artwork == record.stringDict.end())
                continue;
            found.albums.push_back(
                std::make_shared<MyiTunesAlbum>(name->second, id->second, view->second, artwork->second));
        }
        artist.url = chosen.url;
        artist.albums.clear();
        for (const auto& album : found.albums)
            artist.albums.push_back({album, {}});
        result_.found.push_back(std::move(found));
        return Outcome::Found;
    }

    void pagesFor(ArtistSnapshot& artist) {
        auto& album = artist.albums[random_.uniform(static_cast<std::uint32_t>(artist.albums.size()))];
        if (album.songs.empty()) {
            const auto& record = *album.record;
            const auto tracks = fetch(lookupAddress(record.collectionId(), "song"));
            if (cancel_.cancelled()) return;
            if (tracks) {
                for (const auto& t : *tracks) {
                    const auto name = t.stringDict.find("trackName");
                    const auto number = t.intDict.find("trackNumber");
                    const auto preview = t.stringDict.find("previewUrl");
                    if (name == t.stringDict.end() || number == t.intDict.end() ||
                        preview == t.stringDict.end())
                        continue;
                    const auto disc = t.intDict.find("discNumber");
                    album.songs.push_back(std::make_shared<const MyiTunesSong>(
                        name->second, preview->second, disc == t.intDict.end() ? 1 : disc->second,
                        number->second));
                }
            }
            if (album.songs.empty())
                std::cout << record.collectionName() << std::endl;
            else
                result_.albumTracks.emplace_back(album.record, album.songs);
        }
        result_.pages.emplace_back(artistHtml(artist.name, artist.url),
                                   albumHtml(*album.record, album.songs));
    }

    std::optional<std::vector<ResultRecord>> fetch(const std::string& address) const {
        return fetchResults(http_, address, cancel_);
    }

    std::string lookupAddress(std::int64_t id, std::string_view entity) const {
        const auto number = std::to_string(id);
        return catalogueAddress(r_.base, "/lookup",
                                {{"id", number}, {"entity", entity}, {"country", r_.country}});
    }

    StoreLinksRequest r_;
    HttpFetch& http_;
    const StringRules& rules_;
    const CancelToken& cancel_;
    SeededRandom random_;
    std::set<std::string> failed_;
    StoreLinksResult result_;
};

} // namespace

std::string searchTerm(std::string_view name, const StringRules& rules) {
    std::string joined;
    for (std::size_t i = 0; i < name.size();) {
        std::size_t length = 0;
        if (spaceAt(name, i, length)) {
            joined += ' ';
            i += length;
        } else {
            joined += name[i++];
        }
    }
    return rules.lowerCase(joined);
}

StoreLinksResult runStoreLinksJob(StoreLinksRequest request, HttpFetch& http, const StringRules& rules,
                                  const CancelToken& cancel) {
    return Job(std::move(request), http, rules, cancel).run();
}

} // namespace platter
