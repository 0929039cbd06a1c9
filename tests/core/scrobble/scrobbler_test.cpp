// The queue of listens against a scripted site: what is sent, when, and what stays queued.

#include "core/scrobble/listenbrainz.h"
#include "core/scrobble/scrobbler.h"
#include "core/services/cancel_token.h"
#include "support/memory_library_database.h"
#include "support/fakes.h"

#include <gtest/gtest.h>
#include <algorithm>

namespace platter {
namespace {

using namespace std::chrono_literals;
using Response = HttpFetch::Response;

Response reply(long status, std::map<std::string, std::string> headers = {}) {
    return {status >= 200 && status < 300, status, status == 200 ? R"({"status":"ok"})" : "", "", std::move(headers)};
}

// The track names a submission carries, in order.
std::vector<std::string> titles(const std::string& body) {
    std::vector<std::string> out;
    const std::string key = R"("track_name":")";
    for (auto at = body.find(key); at != std::string::npos; at = body.find(key, at)) {
        at += key.size();
        out.push_back(body.substr(at, body.find('"', at) - at));
    }
    return out;
}

struct ScriptedHttp final : HttpFetch {
    std::function<Response(const Request&)> answer = [](const Request&) { return reply(200); };
    std::vector<Request> requests;
    std::function<void()> beforeAnswer;
    Response get(const std::string& url, const CancelToken& cancel) override { return send(Request::get(url), cancel); }
    Response send(const Request& request, const CancelToken& cancel) override {
        if (cancel.cancelled()) return {false, 0, "", "cancelled", {}};
        requests.push_back(request);
        if (beforeAnswer) beforeAnswer();
        return answer(request);
    }
    std::vector<std::vector<std::string>> submitted() const {
        std::vector<std::vector<std::string>> out;
        for (const auto& r : requests)
            if (r.body.find("playing_now") == std::string::npos) out.push_back(titles(r.body));
        return out;
    }
};

class ScrobblerTest : public ::testing::Test {
protected:
    void SetUp() override { scrobbler.setService(site("good")); }
    static std::unique_ptr<ScrobbleService> site(const std::string& token) {
        return std::make_unique<ListenBrainz>(token, "http://lb.test", "1.0");
    }
    void play(const std::string& title, std::int64_t at = 1000) {
        scrobbler.listened(ListenRecord{.startedAt = at, .title = title, .artist = "Nova"});
    }
    void pump() {
        while (!tasks.main.empty() || !tasks.network.empty()) {
            testing::ManualTasks::drain(tasks.main);
            testing::ManualTasks::drain(tasks.network);
        }
    }
    void runLater() { // the retries that are due
        auto due = std::move(tasks.later);
        tasks.later.clear();
        testing::ManualTasks::drain(due);
        pump();
    }
    std::size_t queued() { return db.payloads("listenbrainz").size(); }

    testing::ManualTasks tasks;
    MemoryLibraryDatabase db = [this] {
        MemoryLibraryDatabase d;
        d.post = [this](std::function<void()> f) { tasks.runOnMainThread(std::move(f)); };
        return d;
    }();
    ScriptedHttp http;
    std::int64_t now = 5000;
    Scrobbler scrobbler{{db, tasks, http, [this] { return now; }}};
};

TEST_F(ScrobblerTest, ListensAreQueuedFirstThenSentOldestFirstInBatches) {
    http.beforeAnswer = [&] { EXPECT_GT(queued(), 0u) << "on disk before it is sent"; };
    for (int i = 0; i < 130; ++i)
        play("t" + std::to_string(i), 1000 + i);
    EXPECT_TRUE(tasks.network.empty()) << "nothing goes out before the queue holds it";
    pump();
    const auto sent = http.submitted();
    std::vector<std::string> all;
    for (const auto& batch : sent) {
        EXPECT_LE(batch.size(), 100u);
        all.insert(all.end(), batch.begin(), batch.end());
    }
    ASSERT_EQ(all.size(), 130u) << "each listen once";
    for (int i = 0; i < 130; ++i)
        EXPECT_EQ(all[static_cast<std::size_t>(i)], "t" + std::to_string(i));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].size(), 100u);
    EXPECT_NE(http.requests[0].body.find(R"("listen_type":"import")"), std::string::npos);
    EXPECT_EQ(http.requests[0].headers[0], (std::pair<std::string, std::string>{"Authorization", "Token good"}));
    EXPECT_EQ(queued(), 0u);
    EXPECT_EQ(scrobbler.status("listenbrainz"), (Scrobbler::Status{0, 5000, false, false}));
}

TEST_F(ScrobblerTest, ARateLimitIsWaitedOutAsAskedEvenWhenTheNetworkReturns) {
    http.answer = [](const auto&) { return reply(429, {{"x-ratelimit-reset-in", "7"}}); };
    play("a");
    pump();
    ASSERT_EQ(tasks.delays, std::vector<std::chrono::milliseconds>{7s});
    EXPECT_NE(http.requests[0].body.find(R"("listen_type":"single")"), std::string::npos);
    scrobbler.networkReturned();
    pump();
    EXPECT_EQ(http.requests.size(), 1u);
    http.answer = [](const auto&) { return reply(200); };
    runLater();
    EXPECT_EQ(http.submitted().size(), 2u);
    EXPECT_EQ(queued(), 0u);
}

TEST_F(ScrobblerTest, FailuresBackOffDoublingAndASuccessAnywhereRetriesAtOnce) {
    http.answer = [](const auto&) { return reply(503); };
    play("a");
    pump();
    runLater();
    runLater();
    EXPECT_EQ(tasks.delays, (std::vector<std::chrono::milliseconds>{15s, 30s, 60s}));
    EXPECT_TRUE(scrobbler.status("listenbrainz")->retrying);
    EXPECT_EQ(queued(), 1u);
    http.answer = [](const auto&) { return reply(200); };
    scrobbler.nowPlaying(ListenRecord{.title = "b", .artist = "Nova"}); // the network is back
    pump();
    EXPECT_EQ(queued(), 0u) << "sent without waiting out the minute";
    runLater(); // the stale retry finds nothing to do
    EXPECT_EQ(http.submitted().size(), 4u);
}

TEST_F(ScrobblerTest, ARejectedTokenIsSaidOnceAndItsListensWaitUntilItIsSetAgain) {
    int said = 0;
    scrobbler.onCredentialsRejected = [&](const std::string& site) {
        EXPECT_EQ(site, "listenbrainz");
        ++said;
    };
    http.answer = [](const HttpFetch::Request& r) {
        return reply(r.headers[0].second == "Token good" ? 401 : 200);
    };
    play("a");
    pump();
    play("b");
    scrobbler.nowPlaying(ListenRecord{.title = "c", .artist = "Nova"});
    pump();
    EXPECT_EQ(said, 1);
    EXPECT_EQ(http.requests.size(), 1u) << "nothing more is sent with a rejected token";
    EXPECT_TRUE(tasks.later.empty()) << "and nothing is retried";
    EXPECT_EQ(queued(), 2u);
    EXPECT_TRUE(scrobbler.status("listenbrainz")->credentialsRejected);

    scrobbler.setService(site("fixed"));
    pump();
    EXPECT_EQ(http.submitted().back(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(queued(), 0u);
    EXPECT_FALSE(scrobbler.status("listenbrainz")->credentialsRejected);
}

TEST_F(ScrobblerTest, AListenRefusedForWhatItIsIsDroppedAndTheOthersGoThrough) {
    http.answer = [](const HttpFetch::Request& r) { return reply(std::ranges::count(titles(r.body), "bad") ? 400 : 200); };
    scrobbler.removeService("listenbrainz"); // fill the queue first, then send it as one
    db.enqueueListen("listenbrainz", *ListenBrainz("x").payload({.title = "a", .artist = "N"}), {});
    db.enqueueListen("listenbrainz", *ListenBrainz("x").payload({.title = "bad", .artist = "N"}), {});
    db.enqueueListen("listenbrainz", *ListenBrainz("x").payload({.title = "c", .artist = "N"}), {});
    db.enqueueListen("listenbrainz", *ListenBrainz("x").payload({.title = "d", .artist = "N"}), {});
    scrobbler.setService(site("good")); // as at a start: the kept queue resumes
    pump();
    EXPECT_EQ(http.submitted(), (std::vector<std::vector<std::string>>{
                                    {"a", "bad", "c", "d"}, {"a"}, {"bad"}, {"c", "d"}}));
    EXPECT_EQ(queued(), 0u);
}

TEST_F(ScrobblerTest, SongsTheSiteCannotTakeAreNotQueued) {
    play(std::string(ListenBrainz::maxListenBytes, 'x'));
    pump();
    EXPECT_EQ(queued(), 0u);
    EXPECT_TRUE(http.requests.empty());
}

TEST_F(ScrobblerTest, AfterTheQuitNothingIsSentAndAnswersArePassedOver) {
    play("a");
    testing::ManualTasks::drain(tasks.main);
    scrobbler.shutdown();
    pump();
    scrobbler.nowPlaying(ListenRecord{.title = "c", .artist = "Nova"});
    play("b");
    pump();
    EXPECT_TRUE(http.requests.empty());
    EXPECT_EQ(queued(), 1u) << "kept for the next start";
}

} // namespace
} // namespace platter
