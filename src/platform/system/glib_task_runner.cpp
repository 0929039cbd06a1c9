#include "platform/system/glib_task_runner.h"

#include <glib.h>

namespace platter {

void GlibTaskRunner::Worker::run() {
    for (;;) {
        std::function<void()> next;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return stopping || !work.empty(); });
            if (stopping) return;
            next = std::move(work.front());
            work.pop_front();
        }
        next();
    }
}

GlibTaskRunner::GlibTaskRunner() {
    for (auto& worker : workers_)
        worker.thread = std::thread([&worker] { worker.run(); });
}

GlibTaskRunner::~GlibTaskRunner() {
    for (auto& worker : workers_) {
        std::lock_guard lock(worker.mutex);
        worker.stopping = true;
    }
    for (auto& worker : workers_) {
        worker.wake.notify_one();
        worker.thread.join();
    }
    std::lock_guard lock(mainMutex_);
    if (mainSource_ != 0) g_source_remove(mainSource_);
}

void GlibTaskRunner::runInBackground(std::function<void()> work, Lane lane) {
    auto& worker = workers_[static_cast<std::size_t>(lane)];
    {
        std::lock_guard lock(worker.mutex);
        worker.work.push_back(std::move(work));
    }
    worker.wake.notify_one();
}

namespace {

gboolean runOnce(gpointer data) {
    (*static_cast<std::function<void()>*>(data))();
    return G_SOURCE_REMOVE;
}

void dropTask(gpointer data) {
    delete static_cast<std::function<void()>*>(data);
}

} // namespace

void GlibTaskRunner::runOnMainThread(std::function<void()> task) {
    std::lock_guard lock(mainMutex_);
    mainTasks_.push_back(std::move(task));
    if (mainSource_ == 0)
        mainSource_ = g_idle_add_full(G_PRIORITY_DEFAULT, &GlibTaskRunner::runMainTasks, this, nullptr);
}

int GlibTaskRunner::runMainTasks(void* self) {
    auto& runner = *static_cast<GlibTaskRunner*>(self);
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(runner.mainMutex_);
        tasks.swap(runner.mainTasks_);
        runner.mainSource_ = 0;
    }
    for (auto& task : tasks)
        task();
    return G_SOURCE_REMOVE;
}

void GlibTaskRunner::runOnMainThreadAfter(std::chrono::milliseconds delay, std::function<void()> task) {
    g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(delay.count()), runOnce,
                       new std::function<void()>(std::move(task)), dropTask);
}

} // namespace platter
