#pragma once

#include "core/scrobble/scrobble_service.h"
#include "core/services/accounts_store.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

std::string accountsText(const ScrobbleAccounts& accounts);
// None when the text is not an accounts file; entries it does not know are passed over.
std::optional<ScrobbleAccounts> readAccounts(std::string_view text);
// The sites that can be sent to: each account with what it needs (a token, a session).
std::vector<std::unique_ptr<ScrobbleService>> scrobbleServices(const ScrobbleAccounts& accounts,
                                                               const std::string& playerVersion);
// The queue in the database of a site's listens.
std::string queueNameOf(ScrobbleSite site);

// Whether an account works, asked of its site: the request, and how its answer reads.
struct AccountCheck {
    using Verdict = AccountCheckAnswer::Verdict;
    using Answer = AccountCheckAnswer;
    HttpFetch::Request request;
    Answer (*answer)(const HttpFetch::Response& response) = nullptr;
};
// None when the account lacks what the site needs to be asked (a token, a session).
std::optional<AccountCheck> accountCheck(ScrobbleSite site, const ScrobbleAccounts& accounts);

} // namespace platter
