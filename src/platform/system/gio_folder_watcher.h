#pragma once

#include "core/services/folder_watcher.h"

#include <memory>
#include <string>
#include <vector>

using GFileMonitor = struct _GFileMonitor;

namespace platter {

// Watches folders and every folder below them through GIO's directory monitors (one inotify
// watch per folder on Linux; hidden folders are passed over). A folder made or moved in is
// watched from then on. Changes arrive through the default GLib main context.
class GioFolderWatcher final : public FolderWatcher {
public:
    GioFolderWatcher() = default;
    ~GioFolderWatcher() override;
    GioFolderWatcher(const GioFolderWatcher&) = delete;
    GioFolderWatcher& operator=(const GioFolderWatcher&) = delete;

    void watchFolders(const std::vector<std::string>& folders, std::function<void()> changed) override;

private:
    void arm();
    void stop();
    void armAgainSoon();

    std::vector<std::string> folders_;
    std::vector<GFileMonitor*> monitors_;
    std::function<void()> changed_;
    unsigned armAgain_ = 0;
};

} // namespace platter
