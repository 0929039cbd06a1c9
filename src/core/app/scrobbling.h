#pragma once

// Telling the scrobbling sites what plays: the accounts as stored, the sites they make, "now
// playing" as a play begins and a listen where Statistics counts one, the checks and the
// sign-in the preferences window asks for, and a notice while a site rejects its account.

#include "core/app/notices.h"
#include "core/scrobble/scrobbler.h"
#include "core/services/accounts_store.h"
#include "core/services/dialogs.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platter {

class CancelToken;
class HttpFetch;
class LibraryDatabase;
class TaskRunner;

class Scrobbling final : public ScrobbleAccountChecks {
public:
    struct Services {
        const AccountsStore* accounts = nullptr; // none: nothing is sent
        LibraryDatabase* database = nullptr;     // none: nothing is sent, as nothing would be kept
        HttpFetch* http = nullptr;               // none: nothing is sent
        TaskRunner& tasks;
        std::function<std::int64_t()> now; // UTC seconds since 1970
        std::string playerVersion;
    };
    Scrobbling(Services services, std::function<void()> noticesChanged);
    ~Scrobbling() override;

    // Reads the accounts and starts sending what waits from earlier runs.
    void load();
    bool active() const { return scrobbler_ != nullptr; }
    // A stored account file that could not be read, said once at the start.
    const std::optional<Notice>& startNotice() const { return startNotice_; }
    // A notice per site that rejected its account, standing until the account is set again.
    std::vector<Notice> notices() const;

    void playBegan(const MySong& song);
    void playCounted(const MySong& song, std::int64_t beganAt);
    void networkReturned();
    // The quit: transfers end at once and nothing more is sent.
    void shutdown();

    const ScrobbleAccounts& accounts() const { return accounts_; }
    ListenQueues queues() const;
    // New accounts: stored, and the sites take them at once. Those unchanged keep their state.
    void setAccounts(const ScrobbleAccounts& accounts);

    void check(ScrobbleSite site, const ScrobbleAccounts& accounts,
               std::function<void(AccountCheckAnswer)> answer) override;
    void signIn(ScrobbleSite site, const Account& application, std::function<void(const std::string& page)> openPage,
                std::function<void(std::optional<Account>)> done) override;
    void cancelSignIn() override { ++signIn_; }
    void followQueues(std::function<void(const ListenQueues&)> changed) override { queuesFollower_ = std::move(changed); }

    // How often the sign-in asks whether the user approved, and for how long at most.
    static constexpr std::chrono::seconds approvalPoll{3};
    static constexpr int approvalPolls = 200;

private:
    void apply(const ScrobbleAccounts& before);
    template <class Then> void fetch(HttpFetch::Request request, Then then);
    void pollSession(std::uint64_t attempt, std::shared_ptr<const class Audioscrobbler> site, Account account,
                     std::string token, int left, std::function<void(std::optional<Account>)> done);

    Services services_;
    std::function<void()> noticesChanged_;
    ScrobbleAccounts accounts_;
    std::unique_ptr<Scrobbler> scrobbler_;
    std::vector<std::string> rejected_; // queue names
    std::function<void(const ListenQueues&)> queuesFollower_;
    std::optional<Notice> startNotice_;
    std::shared_ptr<CancelToken> cancel_;
    std::uint64_t signIn_ = 0; // the sign-in that counts; earlier ones are passed over
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace platter
