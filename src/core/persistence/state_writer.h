#pragma once

#include "core/services/state_storage.h"
#include "core/services/task_runner.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace platter {

// Writes state files on a background thread, so that storing never holds up the window.
//
// A write is handed over as a snapshot that turns itself into the file's bytes on the writer's
// thread. Writes to one file that arrive before the writer reaches it are coalesced: only the
// newest is written. A write that fails is kept and tried again with the next change, and
// `onProblem` hears on the main thread what went wrong (and an empty text once all is written
// again); nothing is dropped silently. `flush` writes everything still pending on the calling
// thread, as the application quits.
class StateWriter {
public:
    using Snapshot = std::function<std::string()>;

    StateWriter(StateStorage& storage, TaskRunner& tasks, std::function<void(const std::string&)> onProblem);
    ~StateWriter();
    StateWriter(const StateWriter&) = delete;
    StateWriter& operator=(const StateWriter&) = delete;

    void write(const std::string& name, Snapshot snapshot);
    void remove(const std::string& name);
    // Waits for the background writer, then writes what is pending here. The last problem,
    // or empty when everything is on disk.
    std::string flush();

    // The last write's problem, or empty.
    std::string problem() const;

private:
    struct Job {
        Snapshot snapshot; // empty: remove the file
    };
    struct Shared;
    void enqueue(const std::string& name, Job job);

    std::shared_ptr<Shared> shared_;
    TaskRunner& tasks_;
};

} // namespace platter
