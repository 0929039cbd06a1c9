#pragma once

// A stand-in for an online service on the loopback interface (the catalogue, a scrobbling
// site): answers each request with what the test's handler says, or with an error, or not at
// all for a while, or by dropping the connection.

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platter::testing {

struct CatalogueReply {
    int status = 200;
    std::string body;
    double stallSeconds = 0; // wait this long before answering
    std::map<std::string, std::string> headers{};
    bool hangUp = false; // close the connection without an answer
};

struct ServedRequest {
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
};

// A body as the service writes it: three line feeds, the count, one object a line.
std::string serviceLayout(const std::vector<std::string>& objects);

class FakeCatalogue {
public:
    using Handler = std::function<CatalogueReply(const std::string& target)>;
    using FullHandler = std::function<CatalogueReply(const ServedRequest& request)>;
    explicit FakeCatalogue(Handler handler);
    explicit FakeCatalogue(FullHandler handler);
    ~FakeCatalogue();
    FakeCatalogue(const FakeCatalogue&) = delete;
    FakeCatalogue& operator=(const FakeCatalogue&) = delete;

    // "http://127.0.0.1:PORT"
    std::string base() const;
    // Every request target received ("/search?…"), in order.
    std::vector<std::string> targets() const;

private:
    void serve();
    void answer(int client);

    FullHandler handler_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> targets_;
    std::thread thread_;
};

} // namespace platter::testing
