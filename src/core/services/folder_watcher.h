#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platter {

// Tells when anything changes below some folders.
class FolderWatcher {
public:
    virtual ~FolderWatcher() = default;
    // From now on calls `changed` on the main thread whenever a file or folder anywhere below
    // one of `folders` is created, written, renamed or removed; a later call watches those
    // folders instead. A burst of changes may be told as several.
    virtual void watchFolders(const std::vector<std::string>& folders, std::function<void()> changed) = 0;
};

} // namespace platter
