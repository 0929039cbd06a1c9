#pragma once

#include "core/services/file_watcher.h"

#include <memory>

using GFileMonitor = struct _GFileMonitor;

namespace platter {

// Watches a file through GIO's file monitors (inotify on Linux), which also see a file
// replaced by another renamed over it. Changes arrive through the default GLib main context.
class GioFileWatcher final : public FileWatcher {
public:
    GioFileWatcher();
    ~GioFileWatcher() override;
    GioFileWatcher(const GioFileWatcher&) = delete;
    GioFileWatcher& operator=(const GioFileWatcher&) = delete;

    void watch(const std::string& path, std::function<void()> changed) override;

private:
    void stop();

    GFileMonitor* monitor_ = nullptr;
    std::function<void()> changed_;
};

} // namespace platter
