#pragma once

#include <optional>
#include <string>

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

enum class ScrobbleSite { ListenBrainz, LibreFm, LastFm };
inline constexpr ScrobbleSite scrobbleSites[] = {ScrobbleSite::ListenBrainz, ScrobbleSite::LibreFm,
                                                 ScrobbleSite::LastFm};

// What a site said of an account it was asked about.
struct AccountCheckAnswer {
    enum class Verdict { Valid, Rejected, Unreachable, Incomplete };
    Verdict verdict = Verdict::Unreachable;
    std::string userName; // where the site says it
};

// Where the accounts are kept.
class AccountsStore {
public:
    struct Loaded {
        ScrobbleAccounts accounts;
        // A store that could not be read is set aside, never overwritten: where it went.
        std::string movedAsidePath;
    };
    virtual ~AccountsStore() = default;
    virtual Loaded load() const = 0;
    // Empty once on disk, else why not.
    virtual std::string save(const ScrobbleAccounts& accounts) const = 0;
};

} // namespace platter
