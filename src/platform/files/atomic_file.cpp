#include "platform/files/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platter {

namespace {

std::string errorText(std::string_view what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

void syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::string writeFileAtomically(const std::string& path, std::string_view contents) {
    const std::filesystem::path target(path);
    const auto folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);

    std::string temp = path + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errorText("cannot create a temporary file for", path);
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const auto n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            auto message = errorText("cannot write", temp);
            ::close(fd);
            ::unlink(temp.c_str());
            return message;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        auto message = errorText("cannot flush", temp);
        ::unlink(temp.c_str());
        return message;
    }
    // mkostemp creates the file readable by the owner only; keep an existing file's mode.
    struct ::stat old;
    if (::stat(path.c_str(), &old) == 0) ::chmod(temp.c_str(), old.st_mode & 07777);
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        auto message = errorText("cannot replace", path);
        ::unlink(temp.c_str());
        return message;
    }
    syncFolder(folder);
    return {};
}

std::string moveAside(const std::string& path, std::string_view reason) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + "." + std::string(reason) + "-" + stamp;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const auto candidate = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) == 0)
            return candidate;
        if (errno != EEXIST) return {};
    }
    return {};
}

} // namespace platter
