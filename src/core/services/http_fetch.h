#pragma once

#include <string>

namespace platter {

class CancelToken;

// Blocking HTTP GET, called off the main thread. A cancel ends the transfer at once, without
// an answer; a request asked for after the cancel is not sent.
class HttpFetch {
public:
    struct Response {
        bool ok = false;   // a 2xx answer arrived whole
        long status = 0;   // the HTTP status, 0 without an answer
        std::string body;  // the body as sent (UTF-8 expected)
        std::string error; // why it failed
    };
    virtual ~HttpFetch() = default;
    virtual Response get(const std::string& url, const CancelToken& cancel) = 0;
};

} // namespace platter
