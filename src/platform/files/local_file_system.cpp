#include "platform/files/local_file_system.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace platter {

namespace {
bool statIs(const std::string& path, mode_t type) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
}
} // namespace

bool LocalFileSystem::isRegularFile(const std::string& path) const {
    return statIs(path, S_IFREG);
}

bool LocalFileSystem::isDirectory(const std::string& path) const {
    return statIs(path, S_IFDIR);
}

std::optional<std::vector<std::string>> LocalFileSystem::list(const std::string& directory) const {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), ::closedir);
    if (!dir) return std::nullopt;
    std::vector<std::string> names;
    while (const auto* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    return names;
}

} // namespace platter
