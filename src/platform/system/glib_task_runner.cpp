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

void GlibTaskRunner::runOnMainThread(std::function<void()> task) {
    auto* heap = new std::function<void()>(std::move(task));
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        heap, [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

} // namespace platter
