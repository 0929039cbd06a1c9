#include "core/scrobble/listenbrainz.h"

#include <nlohmann/json.hpp>

namespace platter {

namespace {

std::string withoutTrailingSlash(std::string address) {
    while (!address.empty() && address.back() == '/')
        address.pop_back();
    return address;
}

} // namespace

ListenBrainz::ListenBrainz(std::string token, std::string server, std::string playerVersion)
    : token_(std::move(token)), server_(withoutTrailingSlash(std::move(server))), version_(std::move(playerVersion)) {}

std::vector<std::pair<std::string, std::string>> ListenBrainz::headers() const {
    return {{"Authorization", "Token " + token_}, {"Content-Type", "application/json"}};
}

std::string ListenBrainz::metadata(const ListenRecord& record) const {
    nlohmann::json info = {{"media_player", playerName}, {"submission_client", playerName}};
    if (!version_.empty()) {
        info["media_player_version"] = version_;
        info["submission_client_version"] = version_;
    }
    if (record.trackNumber > 0) info["tracknumber"] = record.trackNumber;
    if (record.durationSeconds > 0) info["duration_ms"] = record.durationSeconds * 1000;
    if (!record.albumArtist.empty()) info["release_artist_name"] = record.albumArtist;
    nlohmann::json track = {{"artist_name", record.artist}, {"track_name", record.title}, {"additional_info", info}};
    if (!record.album.empty()) track["release_name"] = record.album;
    // Text that is not valid UTF-8 is mended rather than refused: the listen still counts.
    return track.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<std::string> ListenBrainz::payload(const ListenRecord& record) const {
    auto text = R"({"listened_at":)" + std::to_string(record.startedAt) + R"(,"track_metadata":)" +
                metadata(record) + "}";
    if (text.size() > maxListenBytes) return std::nullopt;
    return text;
}

HttpFetch::Request ListenBrainz::submit(const std::vector<std::string>& payloads) const {
    std::string body = payloads.size() == 1 ? R"({"listen_type":"single","payload":[)"
                                            : R"({"listen_type":"import","payload":[)";
    for (std::size_t i = 0; i < payloads.size(); ++i)
        body += (i ? "," : "") + payloads[i];
    body += "]}";
    return HttpFetch::Request::post(server_ + "/1/submit-listens", headers(), std::move(body));
}

HttpFetch::Request ListenBrainz::nowPlaying(const ListenRecord& record) const {
    return HttpFetch::Request::post(server_ + "/1/submit-listens", headers(),
                                    R"({"listen_type":"playing_now","payload":[{"track_metadata":)" +
                                        metadata(record) + "}]}");
}

SendOutcome ListenBrainz::outcome(const HttpFetch::Response& response) const {
    using Kind = SendOutcome::Kind;
    const auto wait = requestedWait(response);
    if (response.ok) {
        // Accepted with the allowance spent: the next request waits for the window to reset.
        const auto* remaining = response.header("x-ratelimit-remaining");
        return {Kind::Accepted, remaining && *remaining == "0" ? wait : std::nullopt};
    }
    if (response.status == 401) return {Kind::CredentialsRejected, std::nullopt};
    if (response.status == 400 || response.status == 413) return {Kind::Refused, std::nullopt};
    return {Kind::Retry, wait};
}

HttpFetch::Request ListenBrainz::validateToken() const {
    return HttpFetch::Request::get(server_ + "/1/validate-token", {{"Authorization", "Token " + token_}});
}

std::optional<std::string> ListenBrainz::validUser(const HttpFetch::Response& response) {
    if (!response.ok) return std::nullopt;
    const auto reply = nlohmann::json::parse(response.body, nullptr, false);
    if (!reply.is_object() || reply.value("valid", false) != true) return std::nullopt;
    const auto user = reply.find("user_name");
    return user != reply.end() && user->is_string() ? user->get<std::string>() : std::string();
}

} // namespace platter
