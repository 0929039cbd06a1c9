#include "core/scrobble/accounts.h"

#include "core/scrobble/audioscrobbler.h"
#include "core/scrobble/listenbrainz.h"

#include <nlohmann/json.hpp>

namespace platter {

namespace {

using Json = nlohmann::json;

std::string text(const Json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

Json audioscrobbler(const ScrobbleAccounts::AudioscrobblerAccount& a) {
    return {{"apiKey", a.apiKey}, {"secret", a.secret}, {"sessionKey", a.sessionKey}, {"userName", a.userName}};
}

std::optional<ScrobbleAccounts::AudioscrobblerAccount> audioscrobbler(const Json& root, const char* key) {
    const auto it = root.find(key);
    if (it == root.end() || !it->is_object()) return std::nullopt;
    return ScrobbleAccounts::AudioscrobblerAccount{text(*it, "apiKey"), text(*it, "secret"), text(*it, "sessionKey"),
                                                   text(*it, "userName")};
}

} // namespace

std::string accountsText(const ScrobbleAccounts& accounts) {
    Json root = Json::object();
    if (accounts.listenBrainz)
        root["listenBrainz"] = {{"token", accounts.listenBrainz->token}, {"server", accounts.listenBrainz->server}};
    if (accounts.libreFm) root["libreFm"] = audioscrobbler(*accounts.libreFm);
    if (accounts.lastFm) root["lastFm"] = audioscrobbler(*accounts.lastFm);
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<ScrobbleAccounts> readAccounts(std::string_view body) {
    const auto root = Json::parse(body, nullptr, false);
    if (!root.is_object()) return std::nullopt;
    ScrobbleAccounts accounts;
    if (const auto it = root.find("listenBrainz"); it != root.end() && it->is_object())
        accounts.listenBrainz = ScrobbleAccounts::ListenBrainzAccount{text(*it, "token"), text(*it, "server")};
    accounts.libreFm = audioscrobbler(root, "libreFm");
    accounts.lastFm = audioscrobbler(root, "lastFm");
    return accounts;
}

std::vector<std::unique_ptr<ScrobbleService>> scrobbleServices(const ScrobbleAccounts& accounts,
                                                               const std::string& playerVersion) {
    std::vector<std::unique_ptr<ScrobbleService>> services;
    if (const auto& lb = accounts.listenBrainz; lb && !lb->token.empty())
        services.push_back(std::make_unique<ListenBrainz>(
            lb->token, lb->server.empty() ? ListenBrainz::defaultServer : lb->server, playerVersion));
    const auto add = [&](const std::optional<ScrobbleAccounts::AudioscrobblerAccount>& a, Audioscrobbler::Site site) {
        if (a && !a->apiKey.empty() && !a->secret.empty() && !a->sessionKey.empty())
            services.push_back(std::make_unique<Audioscrobbler>(std::move(site), Audioscrobbler::Account{a->apiKey, a->secret, a->sessionKey}));
    };
    add(accounts.libreFm, Audioscrobbler::libreFm());
    add(accounts.lastFm, Audioscrobbler::lastFm());
    return services;
}

std::string queueNameOf(ScrobbleSite site) {
    switch (site) {
    case ScrobbleSite::ListenBrainz: return "listenbrainz";
    case ScrobbleSite::LibreFm: return Audioscrobbler::libreFm().queueName;
    case ScrobbleSite::LastFm: return Audioscrobbler::lastFm().queueName;
    }
    return {};
}

std::optional<AccountCheck> accountCheck(ScrobbleSite site, const ScrobbleAccounts& accounts) {
    using Verdict = AccountCheck::Verdict;
    if (site == ScrobbleSite::ListenBrainz) {
        const auto& lb = accounts.listenBrainz;
        if (!lb || lb->token.empty()) return std::nullopt;
        const ListenBrainz service(lb->token, lb->server.empty() ? ListenBrainz::defaultServer : lb->server);
        return AccountCheck{service.validateToken(), [](const HttpFetch::Response& r) {
                                if (const auto user = ListenBrainz::validUser(r))
                                    return AccountCheck::Answer{Verdict::Valid, *user};
                                // The site answers a bad token with a reply that says so.
                                return AccountCheck::Answer{r.ok || r.status == 401 ? Verdict::Rejected
                                                                                    : Verdict::Unreachable,
                                                            {}};
                            }};
    }
    const auto& a = site == ScrobbleSite::LibreFm ? accounts.libreFm : accounts.lastFm;
    if (!a || a->apiKey.empty() || a->secret.empty() || a->sessionKey.empty()) return std::nullopt;
    const Audioscrobbler service(site == ScrobbleSite::LibreFm ? Audioscrobbler::libreFm() : Audioscrobbler::lastFm(),
                                 {a->apiKey, a->secret, a->sessionKey});
    return AccountCheck{service.checkRequest(), [](const HttpFetch::Response& r) {
                            if (const auto user = Audioscrobbler::checkedUser(r))
                                return AccountCheck::Answer{Verdict::Valid, *user};
                            const Audioscrobbler reader(Audioscrobbler::libreFm(), {});
                            const auto kind = reader.outcome(r).kind;
                            return AccountCheck::Answer{kind == SendOutcome::Kind::Retry ? Verdict::Unreachable
                                                                                         : Verdict::Rejected,
                                                        {}};
                        }};
}

} // namespace platter
