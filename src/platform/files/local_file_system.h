#pragma once

#include "core/services/file_system.h"

namespace platter {

// The machine's own file system, through POSIX calls.
class LocalFileSystem final : public FileSystem {
public:
    bool isRegularFile(const std::string& path) const override;
    bool isDirectory(const std::string& path) const override;
    std::optional<std::vector<std::string>> list(const std::string& directory) const override;
};

} // namespace platter
