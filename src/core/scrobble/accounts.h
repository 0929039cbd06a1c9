#pragma once

#include "core/scrobble/scrobble_service.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

// The user's accounts at the scrobbling sites: kept apart from the settings, in a file only the
// user can read.
struct ScrobbleAccounts {
    struct ListenBrainzAccount {
        std::string token;
        std::string server; // empty: the public site
        bool operator==(const ListenBrainzAccount&) const = default;
    };
    struct AudioscrobblerAccount {
        std::string apiKey;
        std::string secret;
        std::string sessionKey; // empty until approved
        std::string userName;
        bool operator==(const AudioscrobblerAccount&) const = default;
    };
    std::optional<ListenBrainzAccount> listenBrainz;
    std::optional<AudioscrobblerAccount> libreFm;
    std::optional<AudioscrobblerAccount> lastFm;
    bool operator==(const ScrobbleAccounts&) const = default;
};

std::string accountsText(const ScrobbleAccounts& accounts);
// None when the text is not an accounts file; entries it does not know are passed over.
std::optional<ScrobbleAccounts> readAccounts(std::string_view text);
// The sites that can be sent to: each account with what it needs (a token, a session).
std::vector<std::unique_ptr<ScrobbleService>> scrobbleServices(const ScrobbleAccounts& accounts,
                                                               const std::string& playerVersion);

} // namespace platter
