#pragma once

#include "core/services/folder_watcher.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using GFileMonitor = struct _GFileMonitor;

namespace platter {

// Watches folders and every folder below them through GIO's directory monitors (one inotify
// watch per folder on Linux; hidden folders are passed over). A folder made or moved in is
// watched from then on. Changes arrive through the default GLib main context. The folders are
// armed a few at a time from that context, so a large tree never holds it up.
class GioFolderWatcher final : public FolderWatcher {
public:
    GioFolderWatcher() = default;
    ~GioFolderWatcher() override;
    GioFolderWatcher(const GioFolderWatcher&) = delete;
    GioFolderWatcher& operator=(const GioFolderWatcher&) = delete;

    void watchFolders(const std::vector<std::string>& folders, std::function<void()> changed) override;

private:
    void arm();
    bool armSome(); // whether there is more to arm
    void watch(const std::string& folder);
    void stop();
    void armAgainSoon();

    std::vector<std::string> folders_;
    std::vector<GFileMonitor*> monitors_;
    std::function<void()> changed_;
    unsigned armAgain_ = 0;
    unsigned armStep_ = 0;
    std::vector<std::string> toWalk_;                              // folders still to arm, last first
    std::unique_ptr<std::filesystem::recursive_directory_iterator> walk_; // within the one arming

};

} // namespace platter
