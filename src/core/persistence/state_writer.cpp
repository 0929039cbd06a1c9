#include "core/persistence/state_writer.h"

#include "core/services/log.h"

namespace platter {

struct StateWriter::Shared {
    Shared(StateStorage& s, std::function<void(const std::string&)> f)
        : storage(s), onProblem(std::move(f)) {}

    StateStorage& storage;
    std::function<void(const std::string&)> onProblem;
    mutable std::mutex mutex;
    std::condition_variable idle;
    std::map<std::string, Job> pending;
    std::map<std::string, Job> failed;
    bool scheduled = false; // a background run is on its way
    bool active = false;    // a thread is writing
    bool closed = false;
    std::string problem;

    // Writes batches until nothing is pending; true when the problem changed. Called with the
    // lock held, which it gives up while writing.
    bool drain(std::unique_lock<std::mutex>& lock) {
        const auto before = problem;
        while (!pending.empty()) {
            auto batch = std::move(pending);
            pending.clear();
            active = true;
            lock.unlock();
            std::map<std::string, std::pair<Job, std::string>> outcomes;
            for (auto& [name, job] : batch) {
                auto error = job.snapshot ? storage.write(name, job.snapshot()) : storage.remove(name);
                if (!error.empty()) log::write(log::Category::State, name + " not stored: " + error);
                outcomes.emplace(name, std::pair{std::move(job), std::move(error)});
            }
            lock.lock();
            active = false;
            for (auto& [name, outcome] : outcomes) {
                auto& [job, error] = outcome;
                if (error.empty()) continue;
                problem = error;
                // A newer write of the same file supersedes the one that failed.
                if (!pending.contains(name)) failed.insert_or_assign(name, std::move(job));
            }
            if (failed.empty()) problem.clear();
        }
        idle.notify_all();
        return problem != before;
    }
};

StateWriter::StateWriter(StateStorage& storage, TaskRunner& tasks,
                         std::function<void(const std::string&)> onProblem)
    : shared_(std::make_shared<Shared>(storage, std::move(onProblem))), tasks_(tasks) {}

StateWriter::~StateWriter() {
    flush();
    std::lock_guard lock(shared_->mutex);
    shared_->closed = true;
}

void StateWriter::write(const std::string& name, Snapshot snapshot) {
    enqueue(name, Job{std::move(snapshot)});
}

void StateWriter::remove(const std::string& name) {
    enqueue(name, Job{});
}

void StateWriter::enqueue(const std::string& name, Job job) {
    std::lock_guard lock(shared_->mutex);
    auto& s = *shared_;
    // Writes that failed are tried again with this change.
    s.failed.erase(name);
    s.pending.merge(s.failed);
    s.failed.clear();
    s.pending.insert_or_assign(name, std::move(job));
    if (s.scheduled) return;
    s.scheduled = true;
    tasks_.runInBackground([shared = shared_, &tasks = tasks_] {
        std::unique_lock held(shared->mutex);
        shared->scheduled = false;
        // One writer at a time, or two writes of one file could land in the wrong order; the
        // one at work takes up what came meanwhile.
        if (shared->closed || shared->active || !shared->drain(held)) return;
        tasks.runOnMainThread([weak = std::weak_ptr<Shared>(shared)] {
            const auto alive = weak.lock();
            if (!alive) return;
            std::unique_lock guard(alive->mutex);
            if (alive->closed) return;
            const auto problem = alive->problem;
            guard.unlock();
            if (alive->onProblem) alive->onProblem(problem);
        });
    });
}

std::string StateWriter::flush() {
    std::unique_lock lock(shared_->mutex);
    auto& s = *shared_;
    s.idle.wait(lock, [&] { return !s.active; });
    s.pending.merge(s.failed);
    s.failed.clear();
    s.drain(lock);
    return s.problem;
}

std::string StateWriter::problem() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->problem;
}

} // namespace platter
