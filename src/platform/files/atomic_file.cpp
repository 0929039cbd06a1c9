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

std::string writeFileAtomically(const std::string& linkOrPath, std::string_view contents, SymbolicLink link) {
    std::error_code linkError;
    std::string path = linkOrPath;
    for (int hops = 0; link == SymbolicLink::Follow && hops < 40 && std::filesystem::is_symlink(path, linkError);
         ++hops) {
        const auto next = std::filesystem::read_symlink(path, linkError);
        if (linkError) break;
        path = (next.is_absolute() ? next : std::filesystem::path(path).parent_path() / next).string();
    }
    // A link that stays is renamed over, so neither its target nor the target's mode counts.
    struct ::stat existing;
    const bool exists = ::lstat(path.c_str(), &existing) == 0;
    const bool replacedLink = exists && S_ISLNK(existing.st_mode) && link == SymbolicLink::Replace;
    if (exists && !S_ISREG(existing.st_mode) && !replacedLink)
        return path + " is not a regular file; nothing was written to it";
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
    if (exists && !replacedLink) ::chmod(temp.c_str(), existing.st_mode & 07777);
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        auto message = errorText("cannot replace", path);
        ::unlink(temp.c_str());
        return message;
    }
    syncFolder(folder);
    return {};
}

namespace {

// Tries `place` on dated names beside `path` until one is free; the name taken, or empty.
template <class Place> std::string besideWithNewName(const std::string& path, std::string_view reason, Place place) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + "." + std::string(reason) + "-" + stamp;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const auto candidate = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        if (place(candidate)) return candidate;
        if (errno != EEXIST) return {};
    }
    return {};
}

} // namespace

std::string moveAside(const std::string& path, std::string_view reason) {
    return besideWithNewName(path, reason, [&](const std::string& candidate) {
        return ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) == 0;
    });
}

std::string copyAside(const std::string& path, std::string_view reason) {
    return besideWithNewName(path, reason, [&](const std::string& candidate) {
        std::error_code ec;
        // Fails with EEXIST's meaning when the name is taken: the copy never replaces a file.
        if (std::filesystem::exists(candidate, ec)) return errno = EEXIST, false;
        if (std::filesystem::copy_file(path, candidate, std::filesystem::copy_options::none, ec)) return true;
        errno = ec.value();
        return false;
    });
}

namespace {

// mkostemp's six characters after `.tmp-`, and nothing else.
bool isTemporaryOf(const std::string& name, std::string_view stem) {
    constexpr std::string_view marker = ".tmp-";
    if (name.size() < marker.size() + 6) return false;
    const auto at = name.size() - 6 - marker.size();
    if (name.compare(at, marker.size(), marker) != 0) return false;
    return stem.empty() ? at > 0 : at == stem.size() && name.compare(0, at, stem) == 0;
}

void sweep(const std::filesystem::path& folder, std::string_view stem) {
    std::error_code ec;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!isTemporaryOf(entry.path().filename().string(), stem) || !entry.is_regular_file(ec)) continue;
        const auto written = entry.last_write_time(ec);
        if (!ec && now - written > std::chrono::minutes(1)) std::filesystem::remove(entry.path(), ec);
    }
}

} // namespace

void removeStaleTemporaries(const std::string& path) {
    const std::filesystem::path target(path);
    sweep(target.parent_path(), target.filename().string());
}

void removeStaleTemporariesIn(const std::string& folder) { sweep(folder, {}); }

} // namespace platter
