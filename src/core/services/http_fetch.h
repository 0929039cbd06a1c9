#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platter {

class CancelToken;

// Blocking HTTP, called off the main thread. A cancel ends the transfer at once, without an
// answer; a request asked for after the cancel is not sent.
class HttpFetch {
public:
    struct Request {
        enum class Method { Get, Post };
        Method method = Method::Get;
        std::string url;
        std::vector<std::pair<std::string, std::string>> headers; // name, value
        std::string body;                                         // sent with a POST
        // None: the fetcher's own limit. Shorter ones let a caller give up on a slow service.
        std::optional<std::chrono::milliseconds> timeout;

        static Request get(std::string url, std::vector<std::pair<std::string, std::string>> headers = {}) {
            Request r;
            r.url = std::move(url);
            r.headers = std::move(headers);
            return r;
        }
        static Request post(std::string url, std::vector<std::pair<std::string, std::string>> headers, std::string body) {
            auto r = get(std::move(url), std::move(headers));
            r.method = Method::Post;
            r.body = std::move(body);
            return r;
        }
    };
    struct Response {
        bool ok = false;   // a 2xx answer arrived whole
        long status = 0;   // the HTTP status, 0 without an answer
        std::string body;  // the body as sent (UTF-8 expected)
        std::string error; // why it failed
        // Header names in lower case; of a header sent twice, the last.
        std::map<std::string, std::string> headers;

        const std::string* header(const std::string& lowerCaseName) const {
            const auto it = headers.find(lowerCaseName);
            return it == headers.end() ? nullptr : &it->second;
        }
    };
    virtual ~HttpFetch() = default;
    virtual Response get(const std::string& url, const CancelToken& cancel) = 0;
    // Any request. A fetcher that only knows get() answers other methods with an error.
    virtual Response send(const Request& request, const CancelToken& cancel) {
        if (request.method == Request::Method::Get && request.headers.empty()) return get(request.url, cancel);
        Response response;
        response.error = "unsupported request";
        return response;
    }
};

} // namespace platter
