// Store links end to end over real HTTP on loopback: the application controller, the job on
// its worker thread, libcurl, and a fake catalogue answering in the service's own layout.

#include "platform/net/curl_http_fetch.h"
#include "platform/system/glib_task_runner.h"
#include "support/app_harness.h"
#include "support/audio_fixture.h"
#include "support/fake_catalogue.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;
using testing::CatalogueReply;
using testing::serviceLayout;

std::string albums(const std::string& name) {
    return serviceLayout({R"({"collectionName":")" + name +
                          R"(", "collectionId":55, "collectionViewUrl":"https://cat.test/album/55?uo=4", )"
                          R"("artworkUrl100":"https://cat.test/a.jpg"})"});
}

class StoreLinks : public ::testing::Test {
protected:
    void start(testing::FakeCatalogue::Handler handler, long totalTimeoutMs = 15000) {
        catalogue = std::make_unique<testing::FakeCatalogue>(std::move(handler));
        http = std::make_unique<CurlHttpFetch>(2000, totalTimeoutMs);
        h.useLibrary(testing::libraryValue({{1, "a", "Mine", "Lumen"}, {2, "b", "Other", "Nova"}},
                                           {{"P", "Lumen only", {1}}, {"Q", "Nova only", {2}}}));
        h.defaults = std::make_unique<UserDefaults>(h.settings);
        services.emplace(
            h.services({.tasks = tasks.get(), .http = http.get(), .catalogueBase = catalogue->base()}));
    }
    AppDelegate& launch() {
        controller = std::make_unique<AppDelegate>(*services);
        h.view.app = controller.get();
        controller->addObserver(&h.view);
        EXPECT_EQ(controller->applicationDidFinishLaunching(), AppDelegate::LaunchResult::Ready);
        return *controller;
    }
    bool linksShown(std::size_t count) {
        return testing::pumpUntil([&] { return h.view.linkPages.size() >= count; }, 10);
    }

    AppHarness h;
    std::unique_ptr<testing::FakeCatalogue> catalogue;
    std::unique_ptr<CurlHttpFetch> http;
    // After what its jobs use: it is gone, its workers joined, before they are.
    std::unique_ptr<GlibTaskRunner> tasks = std::make_unique<GlibTaskRunner>();
    std::optional<AppServices> services;
    std::unique_ptr<AppDelegate> controller;
};

TEST_F(StoreLinks, SelectingAPlaylistFillsTheLinkPanes) {
    start([](const std::string& target) {
        if (target.starts_with("/search"))
            return CatalogueReply{
                200, serviceLayout({R"({"artistId":7, "artistViewUrl":"https://cat.test/artist/7"})"})};
        if (target.find("entity=album") != std::string::npos) return CatalogueReply{200, albums("Not Mine")};
        return CatalogueReply{
            200, serviceLayout({R"({"trackName":"T", "trackNumber":3, "previewUrl":"https://cat.test/p"})"})};
    });
    auto& app = launch();
    app.changePlaylistWithRow(1);
    ASSERT_TRUE(linksShown(1));
    ASSERT_EQ(h.view.linkPages[0].size(), 1u);
    EXPECT_NE(h.view.linkPages[0][0].second.find("Not Mine"), std::string::npos);
    EXPECT_EQ(catalogue->targets(),
              (std::vector<std::string>{
                  "/search?entity=allArtist&attribute=allArtistTerm&term=lumen&entity=album&country=jp",
                  "/lookup?id=7&entity=album&country=jp", "/lookup?id=55&entity=song&country=jp"}));
    const auto& lumen = *app.library().artists.at("Lumen");
    EXPECT_EQ(lumen.itunesArtistId, 7);
    EXPECT_EQ(lumen.notHavingAlbums.at(0)->songs.size(), 1u) << "applied on the main thread";

    app.changePlaylistWithRow(1); // again: everything is known
    ASSERT_TRUE(linksShown(2));
    EXPECT_EQ(catalogue->targets().size(), 3u);
}

TEST_F(StoreLinks, ThrottlingIsAFailureTriedAgainNextTime) {
    std::atomic<bool> throttle{true};
    start([&](const std::string& target) {
        if (throttle) return CatalogueReply{403, ""};
        if (target.starts_with("/search")) return CatalogueReply{200, serviceLayout({})};
        return CatalogueReply{200, serviceLayout({})};
    });
    auto& app = launch();
    app.changePlaylistWithRow(1);
    ASSERT_TRUE(testing::pumpUntil([&] { return catalogue->targets().size() == 1; }));
    testing::pumpUntil([] { return false; }, 0.3);
    EXPECT_FALSE(app.library().artists.at("Lumen")->noiTunesId) << "a 403 says nothing about the artist";
    throttle = false;
    app.changePlaylistWithRow(1);
    ASSERT_TRUE(testing::pumpUntil([&] { return app.library().artists.at("Lumen")->noiTunesId; }));
    EXPECT_EQ(catalogue->targets().size(), 2u);
    EXPECT_TRUE(h.view.linkPages.empty()) << "no pages: the panes keep what they show";
}

// Lumen's catalogue takes the query and never answers; the client would wait 15 s for it.
TEST_F(StoreLinks, ANewSelectionCutsOffTheLastOnesQueries) {
    start([](const std::string& target) {
        if (target.find("term=lumen") != std::string::npos) return CatalogueReply{200, "", 60};
        if (target.starts_with("/search"))
            return CatalogueReply{
                200, serviceLayout({R"({"artistId":8, "artistViewUrl":"https://cat.test/artist/8"})"})};
        if (target.find("entity=album") != std::string::npos) return CatalogueReply{200, albums("Fast")};
        return CatalogueReply{200, serviceLayout({})};
    });
    auto& app = launch();
    app.changePlaylistWithRow(1); // Lumen
    ASSERT_TRUE(testing::pumpUntil([&] { return catalogue->targets().size() == 1; }));
    app.changePlaylistWithRow(2); // Nova, chosen meanwhile
    ASSERT_TRUE(linksShown(1)) << "not held up by the query no longer wanted";
    testing::pumpUntil([] { return false; }, 0.3);
    ASSERT_EQ(h.view.linkPages.size(), 1u) << "only the current selection's pages";
    EXPECT_NE(h.view.linkPages[0][0].first.find("Nova"), std::string::npos);
    const auto& lumen = *app.library().artists.at("Lumen");
    EXPECT_FALSE(lumen.itunesArtistId || lumen.noiTunesId) << "a query cut off is no verdict";
}

TEST_F(StoreLinks, QuittingCutsOffAHangingQueryAndKeepsTheState) {
    start([](const std::string&) { return CatalogueReply{200, "", 60}; });
    auto& app = launch();
    app.changePlaylistWithRow(1);
    ASSERT_TRUE(testing::pumpUntil([&] { return catalogue->targets().size() == 1; }));
    app.changePlaylistWithRow(2);
    ASSERT_TRUE(testing::pumpUntil([&] { return catalogue->targets().size() == 2; }));

    const auto started = std::chrono::steady_clock::now();
    controller.reset();
    tasks.reset();
    const auto quit = std::chrono::steady_clock::now() - started;
    RecordProperty("quitMilliseconds",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(quit).count()));
    EXPECT_LT(quit, std::chrono::seconds(3)) << "not the 15 s time-out";
    const auto selection = h.state.read("selection.plist");
    ASSERT_EQ(selection.status, StateStorage::ReadResult::Status::Found);
    EXPECT_NE(selection.bytes.find("<string>Q</string>"), std::string::npos) << selection.bytes;
}

TEST_F(StoreLinks, AStalledServiceTimesOut) {
    start([](const std::string&) { return CatalogueReply{200, "", 5.0}; }, 500);
    auto& app = launch();
    const auto started = std::chrono::steady_clock::now();
    app.changePlaylistWithRow(1);
    ASSERT_TRUE(testing::pumpUntil([&] { return catalogue->targets().size() == 1; }));
    testing::pumpUntil([] { return false; }, 1.0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_FALSE(app.library().artists.at("Lumen")->noiTunesId) << "a time-out is no verdict";
    EXPECT_TRUE(h.view.linkPages.empty());
}

} // namespace
} // namespace platter
