#pragma once

#include "core/scrobble/scrobble_service.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace platter {

class CancelToken;
class LibraryDatabase;
class MySong;
class TaskRunner;

// Tells the scrobbling sites what plays. A listen is queued in the database before it is first
// sent and leaves the queue only once its site took it or refused it for what it is; the queue
// goes out in batches, oldest first, one request per site at a time, on the network lane, and
// when the site last took one is kept with the queue. A failed send waits (doubling, from 15 s
// to 30 min, or as long as a rate limit asks) and is tried again at once when a request to any
// site succeeds. A rejected account stops its site's sending until its account is set again.
// Everything here runs on the main thread.
class Scrobbler {
public:
    struct Services {
        LibraryDatabase& database;
        TaskRunner& tasks;
        HttpFetch& http;                     // outlives the tasks' workers
        std::function<std::int64_t()> nowUtc; // seconds since 1970
    };
    struct Status {
        std::size_t waiting = 0;                 // listens in the queue
        std::optional<std::int64_t> lastAccepted; // UTC seconds, kept across runs
        bool credentialsRejected = false;
        bool retrying = false; // a send failed; the next waits
        bool operator==(const Status&) const = default;
    };
    static constexpr std::chrono::seconds firstRetry{15};
    static constexpr std::chrono::seconds longestRetry{30 * 60};

    explicit Scrobbler(Services services);
    ~Scrobbler();
    Scrobbler(const Scrobbler&) = delete;
    Scrobbler& operator=(const Scrobbler&) = delete;

    // Adds a site, or replaces the one of the same queue (new credentials): its queue, kept
    // from earlier runs, is sent at once.
    void setService(std::unique_ptr<ScrobbleService> service);
    // Stops sending to a site; its queue stays for when it is set again.
    void removeService(const std::string& queueName);

    void nowPlaying(const MySong& song);
    void nowPlaying(const ListenRecord& record);
    // The song counts as played; it started at `startedAtUtc` (seconds since 1970).
    void listened(const MySong& song, std::int64_t startedAtUtc);
    void listened(const ListenRecord& record);
    // The network is back: sites waiting after a failure are tried at once.
    void networkReturned();
    // For the quit: transfers end at once and nothing more is sent.
    void shutdown();

    std::optional<Status> status(const std::string& queueName) const;
    // A site's status changed (its queue, an acceptance, a rejection).
    std::function<void(const std::string& queueName)> onStatusChanged;
    // A site rejected its account: said once, until the account is set again.
    std::function<void(const std::string& queueName)> onCredentialsRejected;

private:
    struct Queue {
        std::shared_ptr<const ScrobbleService> service;
        Status status;
        bool busy = false;        // a read of the queue or a send is under way
        bool waiting = false;     // for a retry
        bool rateLimited = false; // waiting as long as the site asked: a returning network cannot shorten it
        bool singly = false;      // a batch was refused: its listens go one by one to find the bad one
        int failures = 0;
        std::uint64_t timer = 0; // the retry that counts; earlier ones are passed over
    };
    struct Sent;
    Queue* queue(const std::string& name);
    void send(Queue& queue);
    void received(const std::string& name, const Sent& sent);
    void retryLater(Queue& queue, std::optional<std::chrono::seconds> wait);
    void recount(const std::string& name);
    void changed(const std::string& name);
    template <class Then> void inBackground(HttpFetch::Request request, Then then);

    Services services_;
    std::map<std::string, Queue> queues_;
    std::shared_ptr<CancelToken> cancel_;
    std::shared_ptr<Scrobbler*> self_;
    bool shutDown_ = false;
};

} // namespace platter
