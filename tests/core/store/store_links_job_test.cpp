#include "core/services/cancel_token.h"
#include "core/services/http_fetch.h"
#include "core/store/catalogue_query.h"
#include "core/store/store_links_job.h"
#include "core/text/string_rules.h"
#include "platform/text/icu_unicode_rules.h"
#include "support/fake_catalogue.h"

#include <gtest/gtest.h>
#include <set>

namespace platter {
namespace {

using testing::serviceLayout;

const IcuUnicodeRules icu;
const StringRules rules{icu};
const std::string base = "https://cat.test";
const CancelToken wanted; // never cancelled

// Answers by encoded address; anything else fails like a dead network, and so does a request
// cancelled while it is under way (`during` runs then).
struct FakeHttp final : HttpFetch {
    std::map<std::string, Response> answers;
    std::vector<std::string> asked;
    std::function<void()> during;
    Response get(const std::string& url, const CancelToken& cancel) override {
        asked.push_back(url);
        if (during) during();
        if (cancel.cancelled()) return {false, 0, "", "cancelled"};
        const auto it = answers.find(url);
        return it == answers.end() ? Response{false, 0, "", "no route"} : it->second;
    }
    void answer(const std::string& address, const std::string& body) {
        answers[address] = {true, 200, body, ""};
    }
};

std::string searchUrl(const std::string& term) {
    return catalogueAddress(base, "/search",
                            {{"entity", "allArtist"},
                             {"attribute", "allArtistTerm"},
                             {"term", term},
                             {"entity", "album"},
                             {"country", "de"}});
}
std::string albumsUrl(std::int64_t id) {
    return base + "/lookup?id=" + std::to_string(id) + "&entity=album&country=de";
}
std::string tracksUrl(std::int64_t id) {
    return base + "/lookup?id=" + std::to_string(id) + "&entity=song&country=de";
}

std::string artistResult(std::int64_t id) {
    return R"({"artistId":)" + std::to_string(id) + R"(, "artistViewUrl":"https://cat.test/artist/)" +
           std::to_string(id) + R"("})";
}
std::string albumResult(const std::string& name, std::int64_t id) {
    return R"({"collectionName":")" + name + R"(", "collectionId":)" + std::to_string(id) +
           R"(, "collectionViewUrl":"https://cat.test/album/)" + std::to_string(id) +
           R"(", "artworkUrl100":"https://cat.test/art.jpg"})";
}
std::string trackResult(const std::string& name, int number) {
    return R"({"trackName":")" + name + R"(", "trackNumber":)" + std::to_string(number) +
           R"(, "previewUrl":"https://cat.test/p.m4a"})";
}

// An artist the catalogue knows under id 1000+i, with one album not in the library.
void knownArtist(FakeHttp& http, const std::string& term, int i) {
    http.answer(searchUrl(term), serviceLayout({artistResult(1000 + i)}));
    http.answer(albumsUrl(1000 + i), serviceLayout({albumResult("Album " + std::to_string(i), 5000 + i)}));
    http.answer(tracksUrl(5000 + i), serviceLayout({trackResult("Track", 1)}));
}

StoreLinksRequest request(std::vector<std::string> names, std::int64_t ratio = 25, std::uint32_t seed = 1) {
    StoreLinksRequest r;
    r.selection = 1;
    r.base = base;
    r.country = "de";
    r.ratio = ratio;
    r.seed = seed;
    for (auto& n : names)
        r.topArtists.push_back({std::move(n)});
    return r;
}

std::vector<std::string> pagedArtists(const StoreLinksResult& result) {
    std::vector<std::string> names;
    for (const auto& [artistPage, albumPage] : result.pages) {
        const auto start = artistPage.find("<strong>") + 8;
        names.push_back(artistPage.substr(start, artistPage.find("</strong>") - start));
    }
    return names;
}

TEST(StoreLinksJob, SearchesWithTheExactQueriesAndPagesTheArtist) {
    FakeHttp http;
    http.answer(
        base + "/search?entity=allArtist&attribute=allArtistTerm&term=the+dark++side&entity=album&country=de",
        serviceLayout({artistResult(7), artistResult(9), artistResult(9)}));
    http.answer(albumsUrl(9), serviceLayout({albumResult("Owned", 1), albumResult("owned", 2),
                                             R"({"collectionName":"No id"})"}));
    http.answer(tracksUrl(2),
                serviceLayout({trackResult("One", 1), R"({"trackName":"No preview", "trackNumber":2})"}));
    auto r = request({"The Dark  Side"});
    r.albumKeys = {"Owned\tThe Dark  Side"};
    const auto result = runStoreLinksJob(r, http, rules, wanted);
    EXPECT_EQ(http.asked, (std::vector<std::string>{searchUrl("the dark  side"), albumsUrl(9), tracksUrl(2)}))
        << "two spaces give two plus signs; the id named most wins";
    ASSERT_EQ(result.found.size(), 1u);
    EXPECT_EQ(result.found[0].id, 9);
    EXPECT_EQ(result.found[0].url, "https://cat.test/artist/9");
    ASSERT_EQ(result.found[0].albums.size(), 1u)
        << "an owned album (exact case) is not listed; one without id neither";
    EXPECT_EQ(result.found[0].albums[0]->collectionName(), "owned");
    ASSERT_EQ(result.albumTracks.size(), 1u);
    EXPECT_EQ(result.albumTracks[0].second.size(), 1u) << "a track without preview is not listed";
    EXPECT_EQ(pagedArtists(result), std::vector<std::string>{"The Dark  Side"});
}

TEST(StoreLinksJob, EachValueIsEncodedOnItsOwn) {
    FakeHttp http;
    auto r = request({"Simon & Garfunkel", "Me+You #1", "Sigur Rós"}, 100);
    r.country = "d&e";
    runStoreLinksJob(r, http, rules, wanted);
    const std::string search = base + "/search?entity=allArtist&attribute=allArtistTerm&term=";
    const std::string rest = "&entity=album&country=d%26e";
    EXPECT_EQ(std::set<std::string>(http.asked.begin(), http.asked.end()),
              (std::set<std::string>{search + "simon+%26+garfunkel" + rest, search + "me%2Byou+%231" + rest,
                                     search + "sigur+r%C3%B3s" + rest}))
        << "an \"&\", \"+\" or \"#\" of a name stays in its term";

    FakeHttp found;
    found.answer(search + "simon+%26+garfunkel&entity=album&country=de", serviceLayout({artistResult(4)}));
    found.answer(base + "/lookup?id=4&entity=album&country=de", serviceLayout({albumResult("Bookends", 8)}));
    found.answer(base + "/lookup?id=8&entity=song&country=de",
                 serviceLayout({trackResult("Mrs. Robinson", 7)}));
    const auto result = runStoreLinksJob(request({"Simon & Garfunkel"}), found, rules, wanted);
    ASSERT_EQ(result.found.size(), 1u) << "found under its whole name";
    EXPECT_EQ(result.found[0].albums.size(), 1u);
    EXPECT_EQ(result.pages.size(), 1u);
}

TEST(StoreLinksJob, DrawsFromTheTopOfTheListAndReturnsInListOrder) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        FakeHttp http;
        std::vector<std::string> names;
        for (int i = 0; i < 40; ++i) {
            names.push_back("a" + std::to_string(i));
            knownArtist(http, "a" + std::to_string(i), i);
        }
        const auto result = runStoreLinksJob(request(names, 25, seed), http, rules, wanted);
        const auto paged = pagedArtists(result);
        ASSERT_EQ(paged.size(), 3u);
        std::vector<int> indexes;
        for (const auto& name : paged)
            indexes.push_back(std::stoi(name.substr(1)));
        EXPECT_TRUE(std::is_sorted(indexes.begin(), indexes.end()));
        EXPECT_LT(indexes.back(), 10) << "ratio 25 of 40 names: only the top ten";
    }
}

TEST(StoreLinksJob, RejectionsWidenTheRangeAndEndTheLoop) {
    FakeHttp http;
    // 75% of 4 names is 3: only the first three are drawn, until rejections widen it.
    for (const auto& name : {"a", "b", "c"})
        http.answer(searchUrl(name), serviceLayout({}));
    knownArtist(http, "d", 3);
    const auto result = runStoreLinksJob(request({"a", "b", "c", "d"}, 75), http, rules, wanted);
    EXPECT_EQ(pagedArtists(result), std::vector<std::string>{"d"});
    EXPECT_EQ(std::set<std::string>(result.notFound.begin(), result.notFound.end()),
              (std::set<std::string>{"a", "b", "c"}));

    FakeHttp none;
    for (const auto& name : {"a", "b"})
        none.answer(searchUrl(name), serviceLayout({}));
    const auto empty = runStoreLinksJob(request({"a", "", "b"}), none, rules, wanted);
    EXPECT_TRUE(empty.pages.empty()) << "every artist rejected: the loop ends";
    EXPECT_EQ(none.asked.size(), 2u) << "an empty name is never searched";
    FakeHttp quiet;
    EXPECT_TRUE(runStoreLinksJob(request({}), quiet, rules, wanted).pages.empty());
    EXPECT_TRUE(quiet.asked.empty()) << "no top artists, no queries";
}

TEST(StoreLinksJob, TermsAndRatiosOutOfRange) {
    EXPECT_EQ(searchTerm("BJÖRK Guð\xC2\xA0mundsdóttir\tx", rules), "björk guð mundsdóttir x");
    for (const std::int64_t ratio : {-5, 0, 101, 100000}) {
        FakeHttp http;
        knownArtist(http, "a", 0);
        knownArtist(http, "b", 1);
        EXPECT_EQ(runStoreLinksJob(request({"a", "b"}, ratio), http, rules, wanted).pages.size(), 2u)
            << ratio;
    }
}

TEST(StoreLinksJob, AFailureIsNotAVerdict) {
    FakeHttp http; // nothing answers
    const auto result = runStoreLinksJob(request({"a", "b"}), http, rules, wanted);
    EXPECT_TRUE(result.pages.empty());
    EXPECT_TRUE(result.notFound.empty()) << "not remembered as unknown to the catalogue";
    EXPECT_TRUE(result.found.empty());
    EXPECT_EQ(http.asked.size(), 2u) << "each failed artist asked once per selection";
}

TEST(StoreLinksJob, ACancelEndsTheJobWithNothingMoreAsked) {
    FakeHttp http;
    for (int i = 0; i < 3; ++i)
        knownArtist(http, std::string(1, static_cast<char>('a' + i)), i);
    CancelToken cancel;
    http.during = [&] {
        if (http.asked.size() == 2) cancel.cancel();
    };
    const auto result = runStoreLinksJob(request({"a", "b", "c"}), http, rules, cancel);
    EXPECT_EQ(http.asked.size(), 2u);
    EXPECT_TRUE(result.pages.empty());
    EXPECT_TRUE(result.notFound.empty()) << "a cancelled query is no verdict";
    EXPECT_TRUE(result.found.empty()) << "the one artist asked about was cut off at its albums";
}

TEST(StoreLinksJob, KnownArtistsAndAlbumsCostNoQueries) {
    FakeHttp http;
    auto r = request({"a"});
    auto album =
        std::make_shared<MyiTunesAlbum>("Known", 77, "https://cat.test/album/77", "https://cat.test/a.jpg");
    r.topArtists[0].state = ArtistSnapshot::State::Found;
    r.topArtists[0].url = "https://cat.test/artist/1";
    r.topArtists[0].albums = {
        {album, {std::make_shared<const MyiTunesSong>("T", "https://cat.test/p", 1, 1)}}};
    const auto result = runStoreLinksJob(r, http, rules, wanted);
    EXPECT_TRUE(http.asked.empty());
    EXPECT_EQ(result.pages.size(), 1u);

    // An album whose track lookup finds nothing is named on standard output and asked again later.
    r.topArtists[0].albums[0].songs.clear();
    ::testing::internal::CaptureStdout();
    const auto again = runStoreLinksJob(r, http, rules, wanted);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Known\n");
    EXPECT_TRUE(again.albumTracks.empty());
    EXPECT_EQ(again.pages.size(), 1u) << "the page is built all the same";
}

} // namespace
} // namespace platter
