#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platter {

// The few questions the core asks of the file system. Safe to call from any thread.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True for a regular file, or a link to one.
    virtual bool isRegularFile(const std::string& path) const = 0;
    // True for a directory, or a link to one.
    virtual bool isDirectory(const std::string& path) const = 0;
    // The names in a directory, "." and ".." left out; nothing when it cannot be listed.
    virtual std::optional<std::vector<std::string>> list(const std::string& directory) const = 0;
};

} // namespace platter
