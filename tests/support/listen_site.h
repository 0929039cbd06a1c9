#pragma once

// A scrobbling site on loopback that speaks ListenBrainz's interface: it checks the token,
// limits the rate, fails, stalls, and keeps one listen per user, time and track, as the real
// site does.

#include "support/fake_catalogue.h"

#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

namespace platter::testing {

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
    std::vector<std::string> playingNow() const {
        std::lock_guard lock(mutex_);
        return playingNow_;
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
        if (body["listen_type"] == "playing_now")
            playingNow_.push_back(body["payload"][0]["track_metadata"]["track_name"].get<std::string>());
        else
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
    std::vector<std::string> playingNow_;
    int submissions_ = 0;
};

} // namespace platter::testing
