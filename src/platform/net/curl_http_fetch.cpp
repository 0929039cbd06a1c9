#include "platform/net/curl_http_fetch.h"

#include "core/services/cancel_token.h"

#include <algorithm>
#include <curl/curl.h>
#include <map>
#include <memory>
#include <mutex>

namespace platter {

namespace {

std::size_t append(char* data, std::size_t size, std::size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

// Keeps each header of the final answer; a redirect's or an interim answer's are dropped when
// the next status line starts.
std::size_t keepHeader(char* data, std::size_t size, std::size_t count, void* target) {
    auto& headers = *static_cast<std::map<std::string, std::string>*>(target);
    std::string line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (line.starts_with("HTTP/")) {
        headers.clear();
        return size * count;
    }
    const auto colon = line.find(':');
    if (colon == std::string::npos) return size * count;
    auto name = line.substr(0, colon);
    for (auto& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const auto start = line.find_first_not_of(" \t", colon + 1);
    headers[name] = start == std::string::npos ? std::string() : line.substr(start);
    return size * count;
}

struct CurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

struct ListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct MultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

constexpr const char* cancelledText = "cancelled";

} // namespace

CurlHttpFetch::CurlHttpFetch(long connectTimeoutMs, long totalTimeoutMs)
    : connectTimeoutMs_(connectTimeoutMs), totalTimeoutMs_(totalTimeoutMs) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpFetch::Response CurlHttpFetch::get(const std::string& url, const CancelToken& cancel) {
    return send(Request::get(url), cancel);
}

HttpFetch::Response CurlHttpFetch::send(const Request& request, const CancelToken& cancel) {
    Response response;
    if (cancel.cancelled()) {
        response.error = cancelledText;
        return response;
    }
    std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    std::unique_ptr<CURLM, MultiCleanup> multi(curl_multi_init());
    if (!curl || !multi) {
        response.error = "cannot start a transfer";
        return response;
    }
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs_);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS,
                     request.timeout ? std::min<long>(totalTimeoutMs_, static_cast<long>(request.timeout->count()))
                                     : totalTimeoutMs_);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    // A cancelled name look-up is left to end on its own thread rather than waited for.
    curl_easy_setopt(curl.get(), CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, "Platter/" PLATTER_VERSION);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &append);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &response.body);
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl.get(), CURLOPT_HEADERFUNCTION, &keepHeader);
    curl_easy_setopt(curl.get(), CURLOPT_HEADERDATA, &response.headers);
    std::unique_ptr<curl_slist, ListCleanup> headers;
    for (const auto& [name, value] : request.headers) {
        auto* longer = curl_slist_append(headers.get(), (name + ": " + value).c_str());
        if (!longer) {
            response.error = "cannot start a transfer";
            return response;
        }
        (void)headers.release();
        headers.reset(longer);
    }
    if (headers) curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    if (request.method == Request::Method::Post) {
        curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
        curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    }

    // The multi interface, for its wake-up: a cancel interrupts the wait for the network, which
    // an easy transfer would only notice at its next progress call, up to a second later.
    auto code = CURLE_OK;
    bool finished = false;
    curl_multi_add_handle(multi.get(), curl.get());
    {
        const auto waiting = cancel.whileWaiting([m = multi.get()] { curl_multi_wakeup(m); });
        while (!cancel.cancelled()) {
            int running = 0;
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK) break;
            int left = 0;
            while (const auto* message = curl_multi_info_read(multi.get(), &left))
                if (message->msg == CURLMSG_DONE) {
                    code = message->data.result;
                    finished = true;
                }
            if (finished || running == 0) break;
            if (curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr) != CURLM_OK) break;
        }
    }
    curl_multi_remove_handle(multi.get(), curl.get());
    if (!finished) {
        response.body.clear();
        response.headers.clear();
        response.error = cancel.cancelled() ? cancelledText : "the transfer broke off";
        return response;
    }
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
