#pragma once

#include <functional>
#include <string>

namespace platter {

// Tells when a file changes on disk.
class FileWatcher {
public:
    virtual ~FileWatcher() = default;
    // From now on calls `changed` on the main thread whenever the file at `path` is written,
    // replaced, created or removed; a later call watches another file instead. A burst of
    // writes may be told as several changes.
    virtual void watch(const std::string& path, std::function<void()> changed) = 0;
};

} // namespace platter
