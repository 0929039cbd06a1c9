#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace platter {

// Tells background work that its result is no longer wanted, from any thread. Work checks it
// between steps; work that waits (a transfer) registers how to be woken for the time it waits,
// so a cancel ends the wait at once instead of at its time-out.
class CancelToken {
public:
    void cancel() {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        if (wake_) wake_();
    }
    bool cancelled() const { return cancelled_; }

    // While alive, a cancel calls `wake` (on the cancelling thread, under the token's lock: it
    // must only nudge the waiter). Calls it at once when already cancelled.
    class Waiting {
    public:
        Waiting(const Waiting&) = delete;
        Waiting& operator=(const Waiting&) = delete;
        ~Waiting() {
            std::lock_guard lock(token_.mutex_);
            token_.wake_ = nullptr;
        }

    private:
        friend class CancelToken;
        Waiting(const CancelToken& token, std::function<void()> wake) : token_(token) {
            std::lock_guard lock(token_.mutex_);
            token_.wake_ = std::move(wake);
            if (token_.cancelled_) token_.wake_();
        }
        const CancelToken& token_;
    };
    // One waiter at a time: work that waits does so on one thing.
    [[nodiscard]] Waiting whileWaiting(std::function<void()> wake) const { return {*this, std::move(wake)}; }

private:
    mutable std::mutex mutex_;
    mutable std::function<void()> wake_;
    std::atomic<bool> cancelled_{false};
};

// The token of the work wanted now: starting new work, or dropping the holder, cancels the
// work it replaces.
class CurrentWork {
public:
    CurrentWork() = default;
    CurrentWork(const CurrentWork&) = delete;
    CurrentWork& operator=(const CurrentWork&) = delete;
    ~CurrentWork() { cancel(); }

    std::shared_ptr<const CancelToken> renew() {
        cancel();
        token_ = std::make_shared<CancelToken>();
        return token_;
    }
    void cancel() {
        if (token_) token_->cancel();
    }

private:
    std::shared_ptr<CancelToken> token_;
};

} // namespace platter
