#include "platform/system/glib_task_runner.h"

#include <glib.h>

namespace platter {

GlibTaskRunner::GlibTaskRunner()
    : worker_([this] {
          for (;;) {
              std::function<void()> next;
              {
                  std::unique_lock lock(mutex_);
                  wake_.wait(lock, [this] { return stopping_ || !work_.empty(); });
                  if (stopping_) return;
                  next = std::move(work_.front());
                  work_.pop_front();
              }
              next();
          }
      }) {}

GlibTaskRunner::~GlibTaskRunner() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
    std::lock_guard lock(mainMutex_);
    if (mainSource_ != 0) g_source_remove(mainSource_);
}

void GlibTaskRunner::runInBackground(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        work_.push_back(std::move(work));
    }
    wake_.notify_one();
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
