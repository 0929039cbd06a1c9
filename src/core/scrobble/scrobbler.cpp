#include "core/scrobble/scrobbler.h"

#include "core/services/cancel_token.h"
#include "core/services/library_database.h"
#include "core/services/task_runner.h"

#include <algorithm>

namespace platter {

struct Scrobbler::Sent {
    std::shared_ptr<const ScrobbleService> service;
    std::vector<std::int64_t> ids;
    HttpFetch::Response response;
};

Scrobbler::Scrobbler(Services services)
    : services_(std::move(services)), cancel_(std::make_shared<CancelToken>()),
      self_(std::make_shared<Scrobbler*>(this)) {}

Scrobbler::~Scrobbler() {
    cancel_->cancel();
}

template <class Then> void Scrobbler::inBackground(HttpFetch::Request request, Then then) {
    services_.tasks.runInBackground(
        [&http = services_.http, &tasks = services_.tasks, cancel = cancel_, weak = std::weak_ptr(self_),
         request = std::move(request), then = std::move(then)]() mutable {
            auto response = http.send(request, *cancel);
            tasks.runOnMainThread([weak, then = std::move(then), response = std::move(response)]() mutable {
                if (const auto self = weak.lock(); self && !(*self)->shutDown_) then(**self, response);
            });
        },
        TaskRunner::Lane::Network);
}

Scrobbler::Queue* Scrobbler::queue(const std::string& name) {
    const auto it = queues_.find(name);
    return it == queues_.end() ? nullptr : &it->second;
}

std::optional<Scrobbler::Status> Scrobbler::status(const std::string& queueName) const {
    const auto it = queues_.find(queueName);
    return it == queues_.end() ? std::nullopt : std::optional(it->second.status);
}

void Scrobbler::setService(std::unique_ptr<ScrobbleService> service) {
    const auto name = service->queueName();
    auto& q = queues_[name];
    q.service = std::move(service);
    q.status.credentialsRejected = false;
    q.failures = 0;
    q.singly = false;
    q.waiting = q.rateLimited = q.status.retrying = false;
    ++q.timer;
    recount(name);
    send(q);
}

void Scrobbler::removeService(const std::string& queueName) {
    if (queues_.erase(queueName)) changed(queueName);
}

void Scrobbler::nowPlaying(const MySong& song) {
    if (const auto record = listenRecord(song, services_.nowUtc())) nowPlaying(*record);
}

void Scrobbler::nowPlaying(const ListenRecord& record) {
    if (shutDown_) return;
    for (auto& [name, q] : queues_) {
        if (q.status.credentialsRejected) continue;
        // Never retried: by then another song plays. Its success still says the network is back.
        inBackground(q.service->nowPlaying(record), [service = q.service](Scrobbler& self, const HttpFetch::Response& r) {
            if (service->outcome(r).kind == SendOutcome::Kind::Accepted) self.networkReturned();
        });
    }
}

void Scrobbler::listened(const MySong& song, std::int64_t startedAtUtc) {
    if (const auto record = listenRecord(song, startedAtUtc)) listened(*record);
}

void Scrobbler::listened(const ListenRecord& record) {
    if (shutDown_) return;
    for (auto& [name, q] : queues_) {
        const auto payload = q.service->payload(record);
        if (!payload) continue;
        // On disk first: a listen is never sent that a crash could lose from the queue.
        services_.database.enqueueListen(name, *payload, [weak = std::weak_ptr(self_), service = name](const std::string&) {
            const auto self = weak.lock();
            if (!self) return;
            (*self)->recount(service);
            if (auto* waiting = (*self)->queue(service)) (*self)->send(*waiting);
        });
    }
}

void Scrobbler::networkReturned() {
    for (auto& [name, q] : queues_)
        if (q.waiting && !q.rateLimited) {
            ++q.timer;
            q.waiting = q.status.retrying = false;
            q.failures = 0;
            send(q);
        }
}

void Scrobbler::shutdown() {
    shutDown_ = true;
    cancel_->cancel();
}

void Scrobbler::send(Queue& q) {
    if (shutDown_ || q.busy || q.waiting || q.status.credentialsRejected) return;
    q.busy = true;
    const auto name = q.service->queueName();
    services_.database.pendingListens(
        name, q.singly ? 1 : q.service->batchLimit(),
        [weak = std::weak_ptr(self_), name, service = q.service](std::vector<Listen> listens) {
            const auto self = weak.lock();
            if (!self || (*self)->shutDown_) return;
            auto* now = (*self)->queue(name);
            if (!now) return;
            if (listens.empty() || now->service != service) {
                now->busy = false;
                if (!listens.empty()) (*self)->send(*now); // with the account set meanwhile
                return;
            }
            std::vector<std::string> payloads;
            Sent sent{service, {}, {}};
            for (auto& listen : listens) {
                payloads.push_back(std::move(listen.payload));
                sent.ids.push_back(listen.id);
            }
            (*self)->inBackground(service->submit(payloads),
                                  [name, sent = std::move(sent)](Scrobbler& s, const HttpFetch::Response& r) mutable {
                                      sent.response = r;
                                      s.received(name, sent);
                                  });
        });
}

void Scrobbler::received(const std::string& name, const Sent& sent) {
    using Kind = SendOutcome::Kind;
    const auto outcome = sent.service->outcome(sent.response);
    auto* q = queue(name);
    const bool current = q && q->service == sent.service;
    if (outcome.kind == Kind::Accepted) {
        const ChangesTogether together(&services_.database);
        services_.database.removeListens(sent.ids);
        services_.database.setLastAccepted(name, services_.nowUtc());
    } else if (outcome.kind == Kind::Refused && sent.ids.size() == 1) {
        services_.database.removeListens(sent.ids);
    }
    if (!q) return;
    q->busy = false;
    if (!current) { // the account changed while this was sent: the new one carries on
        recount(name);
        send(*q);
        return;
    }
    switch (outcome.kind) {
    case Kind::Accepted:
        q->failures = 0;
        q->status.retrying = false;
        recount(name);
        if (outcome.wait)
            retryLater(*q, outcome.wait);
        else
            send(*q);
        networkReturned();
        break;
    case Kind::Refused:
        // A batch is looked into listen by listen; a single listen is dropped, and batches resume.
        q->singly = sent.ids.size() > 1;
        if (!q->singly) recount(name);
        send(*q);
        break;
    case Kind::CredentialsRejected:
        if (!q->status.credentialsRejected) {
            q->status.credentialsRejected = true;
            changed(name);
            if (onCredentialsRejected) onCredentialsRejected(name);
        }
        break;
    case Kind::Retry:
        ++q->failures;
        retryLater(*q, outcome.wait);
        break;
    }
}

void Scrobbler::retryLater(Queue& q, std::optional<std::chrono::seconds> wait) {
    auto delay = longestRetry;
    if (wait) {
        delay = std::max(*wait, std::chrono::seconds(1));
    } else if (q.failures < 16) {
        delay = std::min(longestRetry, firstRetry * (1 << std::max(0, q.failures - 1)));
    }
    q.waiting = true;
    q.rateLimited = wait.has_value();
    if (!q.status.retrying) {
        q.status.retrying = true;
        changed(q.service->queueName());
    }
    const auto timer = ++q.timer;
    services_.tasks.runOnMainThreadAfter(delay, [weak = std::weak_ptr(self_), name = q.service->queueName(), timer] {
        const auto self = weak.lock();
        if (!self) return;
        auto* due = (*self)->queue(name);
        if (!due || due->timer != timer) return;
        due->waiting = due->rateLimited = due->status.retrying = false;
        (*self)->send(*due);
    });
}

void Scrobbler::recount(const std::string& name) {
    services_.database.queueState(name, [weak = std::weak_ptr(self_), name](ListenQueueState state) {
        const auto self = weak.lock();
        if (!self) return;
        if (auto* q = (*self)->queue(name)) {
            q->status.waiting = state.waiting;
            q->status.lastAccepted = state.lastAccepted;
            (*self)->changed(name);
        }
    });
}

void Scrobbler::changed(const std::string& name) {
    if (onStatusChanged) onStatusChanged(name);
}

} // namespace platter
