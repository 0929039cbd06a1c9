#pragma once

#include "core/services/file_watcher.h"

#include <memory>
#include <string>
#include <vector>

using GFileMonitor = struct _GFileMonitor;

namespace platter {

// Watches a file through GIO's file monitors (inotify on Linux), which also see a file
// replaced by another renamed over it. A symbolic link is followed: the link and each file it
// leads to are watched, so a change of the target is seen as well as the link pointed
// elsewhere. The folder holding each of them is watched from its own parent, so a folder
// deleted, renamed or made anew as a whole is seen, and the watch is armed again on the new
// one. Changes arrive through the default GLib main context.
class GioFileWatcher final : public FileWatcher {
public:
    GioFileWatcher();
    ~GioFileWatcher() override;
    GioFileWatcher(const GioFileWatcher&) = delete;
    GioFileWatcher& operator=(const GioFileWatcher&) = delete;

    void watch(const std::string& path, std::function<void()> changed) override;

private:
    struct Monitor {
        GioFileWatcher* owner;
        GFileMonitor* monitor;
        std::string onlyChild; // of a folder's monitor: the one name in it that counts
    };
    void arm();
    void stop();
    void armAgainSoon();
    void add(GFileMonitor* monitor, std::string onlyChild);

    std::string path_;
    std::vector<std::unique_ptr<Monitor>> monitors_;
    std::function<void()> changed_;
    unsigned armAgain_ = 0; // the idle source that arms the watch again, when one is due
};

} // namespace platter
