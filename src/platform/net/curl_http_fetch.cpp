#include "platform/net/curl_http_fetch.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace platter {

namespace {

std::size_t append(char* data, std::size_t size, std::size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

struct CurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

} // namespace

CurlHttpFetch::CurlHttpFetch(long connectTimeoutMs, long totalTimeoutMs)
    : connectTimeoutMs_(connectTimeoutMs), totalTimeoutMs_(totalTimeoutMs) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpFetch::Response CurlHttpFetch::get(const std::string& url) {
    Response response;
    std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    if (!curl) {
        response.error = "cannot start a transfer";
        return response;
    }
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs_);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, totalTimeoutMs_);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, "Platter/" PLATTER_VERSION);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &append);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &response.body);
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, errorText);
    const auto code = curl_easy_perform(curl.get());
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &response.status);
    if (code != CURLE_OK) {
        response.error = errorText[0] ? errorText : curl_easy_strerror(code);
        return response;
    }
    response.ok = response.status >= 200 && response.status < 300;
    if (!response.ok) response.error = "HTTP " + std::to_string(response.status);
    return response;
}

} // namespace platter
