#include "core/scrobble/audioscrobbler.h"

#include "core/text/md5.h"
#include "core/text/percent_encoding.h"

#include <nlohmann/json.hpp>

namespace platter {

namespace {

std::string formEncode(std::string_view text) {
    return percentEncode(text, [](unsigned char c) { return isAlphanumeric(c) || c == '-' || c == '_' || c == '.' || c == '~'; });
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string formDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i] == '+' ? ' ' : text[i];
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> formFields(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> fields;
    while (!text.empty()) {
        const auto amp = text.find('&');
        const auto field = text.substr(0, amp);
        const auto eq = field.find('=');
        if (eq != std::string_view::npos) fields.emplace_back(formDecode(field.substr(0, eq)), formDecode(field.substr(eq + 1)));
        if (amp == std::string_view::npos) break;
        text.remove_prefix(amp + 1);
    }
    return fields;
}

std::map<std::string, std::string> trackFields(const ListenRecord& record) {
    std::map<std::string, std::string> fields = {{"artist", record.artist}, {"track", record.title}};
    if (!record.album.empty()) fields["album"] = record.album;
    if (!record.albumArtist.empty()) fields["albumArtist"] = record.albumArtist;
    if (record.trackNumber > 0) fields["trackNumber"] = std::to_string(record.trackNumber);
    if (record.durationSeconds > 0) fields["duration"] = std::to_string(record.durationSeconds);
    return fields;
}

std::optional<int> errorCode(const nlohmann::json& reply) {
    if (!reply.is_object()) return std::nullopt;
    const auto error = reply.find("error");
    if (error == reply.end() || !error->is_number_integer()) return std::nullopt;
    return error->get<int>();
}

} // namespace

Audioscrobbler::Audioscrobbler(Site site, Account account) : site_(std::move(site)), account_(std::move(account)) {}

std::string Audioscrobbler::signature(const std::map<std::string, std::string>& parameters, const std::string& secret) {
    std::string text;
    for (const auto& [name, value] : parameters)
        if (name != "format" && name != "callback") text += name + value;
    return md5Hex(text + secret);
}

HttpFetch::Request Audioscrobbler::call(std::map<std::string, std::string> parameters, bool post) const {
    parameters["api_key"] = account_.apiKey;
    parameters["api_sig"] = signature(parameters, account_.secret);
    parameters["format"] = "json";
    std::string form;
    for (const auto& [name, value] : parameters)
        form += (form.empty() ? "" : "&") + formEncode(name) + "=" + formEncode(value);
    if (!post) return HttpFetch::Request::get(site_.root + "?" + form);
    return HttpFetch::Request::post(site_.root, {{"Content-Type", "application/x-www-form-urlencoded"}}, std::move(form));
}

std::optional<std::string> Audioscrobbler::payload(const ListenRecord& record) const {
    auto fields = trackFields(record);
    fields["timestamp"] = std::to_string(record.startedAt);
    std::string text;
    for (const auto& [name, value] : fields)
        text += (text.empty() ? "" : "&") + name + "=" + formEncode(value);
    return text;
}

HttpFetch::Request Audioscrobbler::submit(const std::vector<std::string>& payloads) const {
    std::map<std::string, std::string> parameters = {{"method", "track.scrobble"}, {"sk", account_.sessionKey}};
    for (std::size_t i = 0; i < payloads.size(); ++i)
        for (auto& [name, value] : formFields(payloads[i]))
            parameters[name + "[" + std::to_string(i) + "]"] = std::move(value);
    return call(std::move(parameters), true);
}

HttpFetch::Request Audioscrobbler::nowPlaying(const ListenRecord& record) const {
    auto parameters = trackFields(record);
    parameters["method"] = "track.updateNowPlaying";
    parameters["sk"] = account_.sessionKey;
    return call(std::move(parameters), true);
}

SendOutcome Audioscrobbler::outcome(const HttpFetch::Response& response) const {
    using Kind = SendOutcome::Kind;
    const auto wait = requestedWait(response);
    const auto reply = nlohmann::json::parse(response.body, nullptr, false);
    if (const auto code = errorCode(reply)) switch (*code) {
        case 4:  // authentication failed
        case 9:  // invalid session key
        case 10: // invalid application key
        case 13: // invalid signature: the secret does not match the key
        case 14: // token not approved
        case 26: // suspended application key
            return {Kind::CredentialsRejected, std::nullopt};
        case 8:  // operation failed, for the site's own reasons
        case 11: // service offline
        case 16: // temporarily unavailable
        case 29: // rate limit exceeded
            return {Kind::Retry, wait};
        default: return {Kind::Refused, std::nullopt};
        }
    // Listens the site chose to ignore (a timestamp too old, a filtered artist) are answered
    // inside an accepted reply: they are done with.
    if (response.ok) return {Kind::Accepted, std::nullopt};
    return {Kind::Retry, wait};
}

HttpFetch::Request Audioscrobbler::tokenRequest() const {
    return call({{"method", "auth.getToken"}}, false);
}

std::optional<std::string> Audioscrobbler::token(const HttpFetch::Response& response) {
    const auto reply = nlohmann::json::parse(response.body, nullptr, false);
    if (!response.ok || !reply.is_object() || !reply.contains("token") || !reply["token"].is_string())
        return std::nullopt;
    return reply["token"].get<std::string>();
}

std::string Audioscrobbler::approvalPage(const std::string& token) const {
    return site_.authPage + "?api_key=" + formEncode(account_.apiKey) + "&token=" + formEncode(token);
}

HttpFetch::Request Audioscrobbler::sessionRequest(const std::string& token) const {
    return call({{"method", "auth.getSession"}, {"token", token}}, false);
}

Audioscrobbler::SessionAnswer Audioscrobbler::session(const HttpFetch::Response& response) {
    using Kind = SessionAnswer::Kind;
    const auto reply = nlohmann::json::parse(response.body, nullptr, false);
    if (const auto code = errorCode(reply)) return {*code == 14 ? Kind::NotYetApproved : Kind::Failed, {}, {}};
    // A network or site failure while the user decides: asked again.
    if (response.status == 0 || response.status >= 500) return {Kind::NotYetApproved, {}, {}};
    if (!response.ok || !reply.is_object()) return {Kind::Failed, {}, {}};
    const auto session = reply.find("session");
    if (session == reply.end() || !session->is_object() || !session->contains("key") || !(*session)["key"].is_string())
        return {Kind::Failed, {}, {}};
    const auto name = session->find("name");
    return {Kind::Approved, (*session)["key"].get<std::string>(),
            name != session->end() && name->is_string() ? name->get<std::string>() : std::string()};
}

HttpFetch::Request Audioscrobbler::checkRequest() const {
    return call({{"method", "user.getInfo"}, {"sk", account_.sessionKey}}, false);
}

std::optional<std::string> Audioscrobbler::checkedUser(const HttpFetch::Response& response) {
    const auto reply = nlohmann::json::parse(response.body, nullptr, false);
    if (!response.ok || !reply.is_object() || errorCode(reply)) return std::nullopt;
    const auto user = reply.find("user");
    if (user == reply.end() || !user->is_object()) return std::string();
    const auto name = user->find("name");
    return name != user->end() && name->is_string() ? name->get<std::string>() : std::string();
}

} // namespace platter
