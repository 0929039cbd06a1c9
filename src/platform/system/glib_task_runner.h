#pragma once

#include "core/services/task_runner.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace platter {

// One worker thread for background work, in the order given; main-thread tasks go through the
// default GLib main context, which Qt's event loop runs on Linux. Destroying the runner waits
// for the work under way and drops the rest: whatever the work uses must outlive the runner.
class GlibTaskRunner final : public TaskRunner {
public:
    GlibTaskRunner();
    ~GlibTaskRunner() override;
    GlibTaskRunner(const GlibTaskRunner&) = delete;
    GlibTaskRunner& operator=(const GlibTaskRunner&) = delete;

    void runInBackground(std::function<void()> work) override;
    void runOnMainThread(std::function<void()> task) override;
    void runOnMainThreadAfter(std::chrono::milliseconds delay, std::function<void()> task) override;

private:
    static int runMainTasks(void* self);

    // Main-thread tasks wait in a queue of our own, under our own lock, and one idle source
    // runs them: the hand-over from the worker is then plain to ThreadSanitizer, which cannot
    // see through GLib's locks.
    std::mutex mainMutex_;
    std::deque<std::function<void()>> mainTasks_;
    unsigned mainSource_ = 0;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> work_;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace platter
