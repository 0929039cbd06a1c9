#pragma once

#include "core/services/task_runner.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace platter {

// One worker thread per lane for background work, each in the order given; main-thread tasks
// go through the default GLib main context, which Qt's event loop runs on Linux. Destroying
// the runner waits for the work under way in each lane and drops the rest: whatever the work
// uses must outlive the runner, and network work under way must have been cancelled by whoever
// wanted it, or the runner waits for its time-out.
class GlibTaskRunner final : public TaskRunner {
public:
    GlibTaskRunner();
    ~GlibTaskRunner() override;
    GlibTaskRunner(const GlibTaskRunner&) = delete;
    GlibTaskRunner& operator=(const GlibTaskRunner&) = delete;

    void runInBackground(std::function<void()> work, Lane lane = Lane::Disk) override;
    void runOnMainThread(std::function<void()> task) override;
    void runOnMainThreadAfter(std::chrono::milliseconds delay, std::function<void()> task) override;

private:
    static int runMainTasks(void* self);

    // Main-thread tasks wait in a queue of our own, under our own lock, and one idle source
    // runs them: the hand-over from the workers is then plain to ThreadSanitizer, which cannot
    // see through GLib's locks.
    std::mutex mainMutex_;
    std::deque<std::function<void()>> mainTasks_;
    unsigned mainSource_ = 0;

    struct Worker {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::function<void()>> work;
        bool stopping = false;
        std::thread thread;
        void run();
    };
    std::array<Worker, 2> workers_; // indexed by Lane
};

} // namespace platter
