// Listens over real HTTP on loopback, through libcurl and the SQLite queue, to a site that
// speaks ListenBrainz's interface: it checks the token, limits the rate, fails, stalls, and
// keeps one listen per user, time and track, as the real site does.

#include "core/scrobble/listenbrainz.h"
#include "core/scrobble/scrobbler.h"
#include "platform/db/sqlite_library_database.h"
#include "platform/net/curl_http_fetch.h"
#include "platform/system/glib_task_runner.h"
#include "support/audio_fixture.h"
#include "support/fake_catalogue.h"
#include "support/library_fixture.h"
#include "support/listen_site.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::Site;
using testing::ServedRequest;

class Scrobbling : public ::testing::Test {
protected:
    void start(const std::string& token = "good") {
        tasks = std::make_unique<GlibTaskRunner>();
        db = std::make_unique<SqliteLibraryDatabase>(path.string(), *tasks);
        scrobbler = std::make_unique<Scrobbler>(Scrobbler::Services{*db, *tasks, http, [] { return 1000; }});
        scrobbler->setService(std::make_unique<ListenBrainz>(token, server.base(), "1.0"));
    }
    void quit() {
        scrobbler->shutdown();
        scrobbler.reset();
        db.reset();
        tasks.reset();
    }
    void play(int count, int from = 0) {
        for (int i = from; i < from + count; ++i)
            scrobbler->listened(ListenRecord{.startedAt = 1000 + i, .title = "t" + std::to_string(i), .artist = "A"});
    }
    static std::vector<std::string> expected(int count) {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i)
            out.push_back(std::to_string(1000 + i) + " t" + std::to_string(i));
        return out;
    }
    bool retrying() { return scrobbler->status("listenbrainz")->retrying; }
    bool queueEmpties() {
        return testing::pumpUntil([&] { return scrobbler->status("listenbrainz")->waiting == 0; });
    }

    testing::TempDir dir;
    std::filesystem::path path = dir.path() / "library.sqlite";
    Site site;
    testing::FakeCatalogue server{testing::FakeCatalogue::FullHandler([this](const ServedRequest& r) { return site.answer(r); })};
    CurlHttpFetch http{1000, 5000};
    std::unique_ptr<GlibTaskRunner> tasks;
    std::unique_ptr<SqliteLibraryDatabase> db;
    std::unique_ptr<Scrobbler> scrobbler;
};

TEST_F(Scrobbling, EveryListenArrivesOnceAndInOrderAfterTheSiteWasDownFailingAndRateLimited) {
    site.set(Site::Mode::Down);
    start();
    play(3);
    ASSERT_TRUE(testing::pumpUntil([&] { return retrying(); }));
    site.set(Site::Mode::Failing);
    scrobbler->networkReturned();
    ASSERT_TRUE(testing::pumpUntil([&] { return site.submissions() >= 2 && retrying(); }));
    site.set(Site::Mode::RateLimited);
    play(2, 3);
    scrobbler->networkReturned(); // the rate limit's second is waited out, then all goes
    ASSERT_TRUE(testing::pumpUntil([&] { return site.received().size() == 5; }));
    EXPECT_EQ(site.received(), expected(5));
    EXPECT_TRUE(queueEmpties());
    EXPECT_EQ(scrobbler->status("listenbrainz")->lastAccepted, 1000);
    quit();
    start();
    EXPECT_TRUE(testing::pumpUntil([&] { return scrobbler->status("listenbrainz")->lastAccepted == 1000; }))
        << "when the site last took a listen outlives the restart";
}

TEST_F(Scrobbling, ARejectedTokenKeepsTheListensUntilItIsFixed) {
    start("stale");
    int said = 0;
    scrobbler->onCredentialsRejected = [&](const std::string&) { ++said; };
    play(3);
    ASSERT_TRUE(testing::pumpUntil([&] { return scrobbler->status("listenbrainz")->credentialsRejected; }));
    play(1, 3);
    EXPECT_EQ(site.submissions(), 1);
    scrobbler->setService(std::make_unique<ListenBrainz>("good", server.base(), "1.0"));
    ASSERT_TRUE(testing::pumpUntil([&] { return site.received().size() == 4; }));
    EXPECT_EQ(site.received(), expected(4));
    EXPECT_TRUE(queueEmpties());
    EXPECT_EQ(said, 1);
}

TEST_F(Scrobbling, AQuitDuringASendIsQuickAndTheNextStartResendsWhatTheSiteKeepsOnce) {
    site.set(Site::Mode::TakesThenStalls);
    start();
    play(2);
    ASSERT_TRUE(testing::pumpUntil([&] { return site.received().size() == 2; }));
    const auto before = std::chrono::steady_clock::now();
    quit();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));

    site.set(Site::Mode::Up);
    start(); // the site took them but no answer came: they were kept, and go again
    play(1, 2);
    ASSERT_TRUE(testing::pumpUntil([&] { return site.received().size() == 3; }));
    EXPECT_TRUE(queueEmpties());
    EXPECT_GE(site.submissions(), 2);
    EXPECT_EQ(site.received(), expected(3)) << "the site kept one of each";
}

} // namespace
} // namespace platter
