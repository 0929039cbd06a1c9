#include "core/app/scrobbling.h"

#include "core/scrobble/accounts.h"
#include "core/scrobble/audioscrobbler.h"
#include "core/services/cancel_token.h"
#include "core/services/http_fetch.h"
#include "core/services/task_runner.h"

#include <algorithm>

namespace platter {

Scrobbling::Scrobbling(Services services, std::function<void()> noticesChanged)
    : services_(std::move(services)), noticesChanged_(std::move(noticesChanged)),
      cancel_(std::make_shared<CancelToken>()) {}

Scrobbling::~Scrobbling() {
    cancel_->cancel();
}

void Scrobbling::load() {
    if (!services_.accounts || !services_.database || !services_.http) return;
    auto loaded = services_.accounts->load();
    if (!loaded.movedAsidePath.empty())
        startNotice_ = Notice{Notice::Kind::ScrobbleAccountsUnread, loaded.movedAsidePath, {}};
    scrobbler_ = std::make_unique<Scrobbler>(
        Scrobbler::Services{*services_.database, services_.tasks, *services_.http, services_.now});
    scrobbler_->onCredentialsRejected = [this](const std::string& queue) {
        if (std::find(rejected_.begin(), rejected_.end(), queue) != rejected_.end()) return;
        rejected_.push_back(queue);
        noticesChanged_();
    };
    scrobbler_->onStatusChanged = [this](const std::string&) {
        if (queuesFollower_) queuesFollower_(queues());
    };
    accounts_ = std::move(loaded.accounts);
    apply(ScrobbleAccounts{});
}

void Scrobbling::apply(const ScrobbleAccounts& before) {
    if (!scrobbler_) return;
    const auto changed = [&](ScrobbleSite site) {
        switch (site) {
        case ScrobbleSite::ListenBrainz: return before.listenBrainz != accounts_.listenBrainz;
        case ScrobbleSite::LibreFm: return before.libreFm != accounts_.libreFm;
        case ScrobbleSite::LastFm: return before.lastFm != accounts_.lastFm;
        }
        return true;
    };
    auto services = scrobbleServices(accounts_, services_.playerVersion);
    const auto noticesBefore = rejected_.size();
    for (const auto site : scrobbleSites) {
        if (!changed(site)) continue;
        const auto name = queueNameOf(site);
        std::erase(rejected_, name);
        const auto made = std::find_if(services.begin(), services.end(),
                                       [&](const auto& service) { return service->queueName() == name; });
        if (made == services.end())
            scrobbler_->removeService(name);
        else
            scrobbler_->setService(std::move(*made));
    }
    if (rejected_.size() != noticesBefore) noticesChanged_();
}

std::vector<Notice> Scrobbling::notices() const {
    std::vector<Notice> standing;
    for (const auto& queue : rejected_)
        standing.push_back(Notice{Notice::Kind::ScrobbleAccountRejected, {}, queue});
    return standing;
}

void Scrobbling::playBegan(const MySong& song) {
    if (scrobbler_) scrobbler_->nowPlaying(song);
}

void Scrobbling::playCounted(const MySong& song, std::int64_t beganAt) {
    if (scrobbler_) scrobbler_->listened(song, beganAt);
}

void Scrobbling::networkReturned() {
    if (scrobbler_) scrobbler_->networkReturned();
}

void Scrobbling::shutdown() {
    cancel_->cancel();
    ++signIn_;
    if (scrobbler_) scrobbler_->shutdown();
}

ListenQueues Scrobbling::queues() const {
    ListenQueues queues{};
    if (!scrobbler_) return queues;
    for (std::size_t i = 0; i < queues.size(); ++i)
        if (const auto status = scrobbler_->status(queueNameOf(scrobbleSites[i])))
            queues[i] = {true, status->waiting, status->lastAccepted, status->credentialsRejected};
    return queues;
}

void Scrobbling::setAccounts(const ScrobbleAccounts& accounts) {
    if (accounts == accounts_) return;
    const auto before = std::exchange(accounts_, accounts);
    if (services_.accounts) services_.accounts->save(accounts_);
    apply(before);
}

template <class Then> void Scrobbling::fetch(HttpFetch::Request request, Then then) {
    if (!services_.http) return;
    services_.tasks.runInBackground(
        [&http = *services_.http, &tasks = services_.tasks, cancel = cancel_, alive = std::weak_ptr(lifetime_),
         request = std::move(request), then = std::move(then)]() mutable {
            auto response = http.send(request, *cancel);
            if (cancel->cancelled()) return;
            tasks.runOnMainThread([alive, then = std::move(then), response = std::move(response)]() mutable {
                if (!alive.expired()) then(response);
            });
        },
        TaskRunner::Lane::Network);
}

void Scrobbling::check(ScrobbleSite site, const ScrobbleAccounts& accounts,
                       std::function<void(AccountCheckAnswer)> answer) {
    auto asked = accountCheck(site, accounts);
    if (!asked || !services_.http) return answer({AccountCheckAnswer::Verdict::Incomplete, {}});
    fetch(std::move(asked->request), [read = asked->answer, answer = std::move(answer)](const HttpFetch::Response& r) {
        answer(read(r));
    });
}

void Scrobbling::signIn(ScrobbleSite site, const Account& application,
                        std::function<void(const std::string& page)> openPage,
                        std::function<void(std::optional<Account>)> done) {
    const auto attempt = ++signIn_;
    auto account = application;
    if (site == ScrobbleSite::LibreFm && account.apiKey.empty()) {
        account.apiKey = Audioscrobbler::libreFmApplication.apiKey;
        account.secret = Audioscrobbler::libreFmApplication.secret;
    }
    account.sessionKey.clear();
    account.userName.clear();
    if (site == ScrobbleSite::ListenBrainz || account.apiKey.empty() || account.secret.empty() || !services_.http)
        return done(std::nullopt);
    auto service = std::make_shared<const Audioscrobbler>(
        site == ScrobbleSite::LibreFm ? Audioscrobbler::libreFm() : Audioscrobbler::lastFm(),
        Audioscrobbler::Account{account.apiKey, account.secret, {}});
    fetch(service->tokenRequest(), [this, attempt, service, account, openPage = std::move(openPage),
                                    done = std::move(done)](const HttpFetch::Response& r) mutable {
        if (attempt != signIn_) return;
        const auto token = Audioscrobbler::token(r);
        if (!token) return done(std::nullopt);
        openPage(service->approvalPage(*token));
        pollSession(attempt, service, account, *token, approvalPolls, std::move(done));
    });
}

void Scrobbling::pollSession(std::uint64_t attempt, std::shared_ptr<const Audioscrobbler> site, Account account,
                             std::string token, int left, std::function<void(std::optional<Account>)> done) {
    services_.tasks.runOnMainThreadAfter(approvalPoll, [this, attempt, site, account, token, left,
                                                        done = std::move(done),
                                                        alive = std::weak_ptr(lifetime_)]() mutable {
        if (alive.expired() || attempt != signIn_) return;
        fetch(site->sessionRequest(token), [this, attempt, site, account, token, left,
                                            done = std::move(done)](const HttpFetch::Response& r) mutable {
            if (attempt != signIn_) return;
            using Kind = Audioscrobbler::SessionAnswer::Kind;
            const auto answer = Audioscrobbler::session(r);
            if (answer.kind == Kind::Approved) {
                account.sessionKey = answer.sessionKey;
                account.userName = answer.userName;
                return done(account);
            }
            if (answer.kind == Kind::Failed || left <= 1) return done(std::nullopt);
            pollSession(attempt, site, account, token, left - 1, std::move(done));
        });
    });
}

} // namespace platter
