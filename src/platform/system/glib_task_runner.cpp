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
    g_idle_add_full(G_PRIORITY_DEFAULT, runOnce, new std::function<void()>(std::move(task)), dropTask);
}

void GlibTaskRunner::runOnMainThreadAfter(std::chrono::milliseconds delay, std::function<void()> task) {
    g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(delay.count()), runOnce,
                       new std::function<void()>(std::move(task)), dropTask);
}

} // namespace platter
