#pragma once

#include "core/scrobble/scrobble_service.h"

#include <map>

namespace platter {

// A site of the Audioscrobbler 2.0 interface (Libre.fm, Last.fm) with an application key,
// its secret and a user's session.
class Audioscrobbler final : public ScrobbleService {
public:
    struct Site {
        std::string queueName;
        std::string root;     // the interface's address, ending in "/2.0/"
        std::string authPage; // where the user approves an application
    };
    static Site libreFm() { return {"librefm", "https://libre.fm/2.0/", "https://libre.fm/api/auth/"}; }
    static Site lastFm() {
        return {"lastfm", "https://ws.audioscrobbler.com/2.0/", "https://www.last.fm/api/auth/"};
    }
    struct Account {
        std::string apiKey;
        std::string secret;
        std::string sessionKey; // empty until the user approved
    };
    // Libre.fm takes any application that names itself with a key of 32 characters.
    struct Application {
        const char* apiKey;
        const char* secret;
    };
    static constexpr Application libreFmApplication{"506c6174746572506c6174746572506c",
                                                    "506c617474657253656372657450726f"};

    Audioscrobbler(Site site, Account account);

    std::string queueName() const override { return site_.queueName; }
    std::size_t batchLimit() const override { return 50; }
    std::optional<std::string> payload(const ListenRecord& record) const override;
    HttpFetch::Request submit(const std::vector<std::string>& payloads) const override;
    HttpFetch::Request nowPlaying(const ListenRecord& record) const override;
    SendOutcome outcome(const HttpFetch::Response& response) const override;

    // The desktop approval: a token, the page where the user approves it, then the session,
    // asked for until the user has approved.
    HttpFetch::Request tokenRequest() const;
    static std::optional<std::string> token(const HttpFetch::Response& response);
    std::string approvalPage(const std::string& token) const;
    HttpFetch::Request sessionRequest(const std::string& token) const;
    struct SessionAnswer {
        enum class Kind { Approved, NotYetApproved, Failed };
        Kind kind = Kind::Failed;
        std::string sessionKey;
        std::string userName;
    };
    static SessionAnswer session(const HttpFetch::Response& response);

    // The check of the account: a signed read with the session. The user's name when valid.
    HttpFetch::Request checkRequest() const;
    static std::optional<std::string> checkedUser(const HttpFetch::Response& response);

    // The signature of a call: the parameters' names and values in name order, then the secret.
    static std::string signature(const std::map<std::string, std::string>& parameters, const std::string& secret);

private:
    HttpFetch::Request call(std::map<std::string, std::string> parameters, bool post) const;

    Site site_;
    Account account_;
};

} // namespace platter
