#include "core/scrobble/scrobble_service.h"

#include <charconv>

namespace platter {

std::optional<std::chrono::seconds> requestedWait(const HttpFetch::Response& response) {
    for (const auto* name : {"x-ratelimit-reset-in", "retry-after"}) {
        const auto* value = response.header(name);
        if (!value) continue;
        long long seconds = 0;
        const auto end = value->data() + value->size();
        const auto [at, error] = std::from_chars(value->data(), end, seconds);
        if (error == std::errc() && at == end && seconds >= 0) return std::chrono::seconds(seconds);
    }
    return std::nullopt;
}

} // namespace platter
