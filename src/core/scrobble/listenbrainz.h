#pragma once

#include "core/scrobble/scrobble_service.h"

namespace platter {

// ListenBrainz, or any server that speaks its interface, with a user's token.
class ListenBrainz final : public ScrobbleService {
public:
    static constexpr const char* defaultServer = "https://api.listenbrainz.org";
    // The site refuses a listen over 10,240 bytes and a request over 1,000 listens; a smaller
    // batch keeps a slow link from timing out on one.
    static constexpr std::size_t maxListenBytes = 10240;

    ListenBrainz(std::string token, std::string server = defaultServer, std::string playerVersion = {});

    std::string queueName() const override { return "listenbrainz"; }
    std::size_t batchLimit() const override { return 100; }
    std::optional<std::string> payload(const ListenRecord& record) const override;
    HttpFetch::Request submit(const std::vector<std::string>& payloads) const override;
    HttpFetch::Request nowPlaying(const ListenRecord& record) const override;
    SendOutcome outcome(const HttpFetch::Response& response) const override;

    // The check of the token: the request, and the user's name when the answer says it is valid.
    HttpFetch::Request validateToken() const;
    static std::optional<std::string> validUser(const HttpFetch::Response& response);

private:
    std::vector<std::pair<std::string, std::string>> headers() const;
    std::string metadata(const ListenRecord& record) const;

    std::string token_;
    std::string server_;
    std::string version_;
};

} // namespace platter
