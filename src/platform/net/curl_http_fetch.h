#pragma once

#include "core/services/http_fetch.h"

namespace platter {

// HTTP(S) through libcurl, with time-outs so a dead network never holds a query for long:
// 5 s to connect, 15 s in all unless the request asks for less. A cancel ends a transfer at
// once, whatever it waits for.
class CurlHttpFetch final : public HttpFetch {
public:
    CurlHttpFetch(long connectTimeoutMs = 5000, long totalTimeoutMs = 15000);
    Response get(const std::string& url, const CancelToken& cancel) override;
    Response send(const Request& request, const CancelToken& cancel) override;

private:
    long connectTimeoutMs_;
    long totalTimeoutMs_;
};

} // namespace platter
