#pragma once

#include "core/scrobble/listen_record.h"
#include "core/services/http_fetch.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace platter {

// What a site's answer means for the listens it was sent.
struct SendOutcome {
    enum class Kind {
        Accepted,            // taken (or knowingly ignored): the listens leave the queue
        Refused,             // refused for what they are: sending them again cannot help
        CredentialsRejected, // the token or session is not (any more) good: kept until fixed
        Retry,               // the site or the network failed: sent again later
    };
    Kind kind = Kind::Retry;
    // How long the site asks to be left alone, where it says so (a rate limit).
    std::optional<std::chrono::seconds> wait;
    bool operator==(const SendOutcome&) const = default;
};

// One scrobbling site with its account: the requests it wants and how it answers.
class ScrobbleService {
public:
    virtual ~ScrobbleService() = default;
    // The site's queue in the database; stays the same across versions.
    virtual std::string queueName() const = 0;
    virtual std::size_t batchLimit() const = 0;
    // The listen in the site's own text, as queued; none when the site cannot take it.
    virtual std::optional<std::string> payload(const ListenRecord& record) const = 0;
    virtual HttpFetch::Request submit(const std::vector<std::string>& payloads) const = 0;
    virtual HttpFetch::Request nowPlaying(const ListenRecord& record) const = 0;
    virtual SendOutcome outcome(const HttpFetch::Response& response) const = 0;
};

// The wait a rate-limited or unavailable site asks for, from the headers both kinds of site
// send (a number of seconds; a date in Retry-After is not used).
std::optional<std::chrono::seconds> requestedWait(const HttpFetch::Response& response);

// The player as it names itself to the sites.
inline constexpr const char* playerName = "Platter";

} // namespace platter
