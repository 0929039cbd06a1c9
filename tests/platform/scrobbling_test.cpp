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

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>

namespace platter {
namespace {

using testing::CatalogueReply;
using testing::ServedRequest;

class Site {
public:
    enum class Mode { Up, Down, Failing, RateLimited, TakesThenStalls };
    void set(Mode mode) {
        std::lock_guard lock(mutex_);
        mode_ = mode;
    }
    std::vector<std::string> received() const {
        std::lock_guard lock(mutex_);
        return received_;
    }
    int submissions() const {
        std::lock_guard lock(mutex_);
        return submissions_;
    }
    CatalogueReply answer(const ServedRequest& r) {
        std::lock_guard lock(mutex_);
        const auto token = r.headers.contains("authorization") ? r.headers.at("authorization") : "";
        if (r.target == "/1/validate-token")
            return {200, token == "Token good" ? R"({"code":200,"valid":true,"user_name":"ann"})"
                                               : R"({"code":200,"valid":false})"};
        if (r.method != "POST" || r.target != "/1/submit-listens") return {404, "{}"};
        ++submissions_;
        switch (mode_) {
        case Mode::Down: return {0, "", 0, {}, true};
        case Mode::Failing: return {503, "{}"};
        case Mode::RateLimited:
            mode_ = Mode::Up; // for the next window
            return {429, R"({"code":429})", 0, {{"X-RateLimit-Reset-In", "1"}, {"X-RateLimit-Remaining", "0"}}};
        default: break;
        }
        if (token != "Token good") return {401, R"({"code":401,"error":"Invalid authorization token."})"};
        const auto body = nlohmann::json::parse(r.body, nullptr, false);
        if (!body.is_object() || !body["payload"].is_array()) return {400, R"({"code":400})"};
        if (body["listen_type"] != "playing_now")
            for (const auto& listen : body["payload"]) {
                const auto key = std::to_string(listen["listened_at"].get<std::int64_t>()) + " " +
                                 listen["track_metadata"]["track_name"].get<std::string>();
                if (seen_.insert(token + key).second) received_.push_back(key);
            }
        if (mode_ == Mode::TakesThenStalls) return {200, R"({"status":"ok"})", 30};
        return {200, R"({"status":"ok"})"};
    }

private:
    mutable std::mutex mutex_;
    Mode mode_ = Mode::Up;
    std::set<std::string> seen_;
    std::vector<std::string> received_;
    int submissions_ = 0;
};

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
