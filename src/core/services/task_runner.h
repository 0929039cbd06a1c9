#pragma once

#include <chrono>
#include <functional>

namespace platter {

// Runs work off the main thread and hands results back to it.
class TaskRunner {
public:
    // Each lane keeps its own order and goes at its own pace: disk work (state writes, artwork
    // reads, file searches, library reads) never waits behind a request to the network.
    enum class Lane { Disk, Network };

    virtual ~TaskRunner() = default;
    virtual void runInBackground(std::function<void()> work, Lane lane = Lane::Disk) = 0;
    // Runs `task` on the main thread, after the current event.
    virtual void runOnMainThread(std::function<void()> task) = 0;
    // Runs `task` on the main thread once `delay` has passed.
    virtual void runOnMainThreadAfter(std::chrono::milliseconds delay, std::function<void()> task) = 0;
};

} // namespace platter
