#include "platform/settings/state_directory.h"

#include "platform/files/atomic_file.h"
#include "platform/system/system_environment.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platter {

namespace {

constexpr std::int64_t maxStateFile = std::int64_t{512} << 20;

} // namespace

StateDirectory::StateDirectory(std::string root) : root_(std::move(root)) {}

std::string StateDirectory::defaultPath() {
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg == '/')
        return std::string(xdg) + "/platter";
    return SystemEnvironment().homeDirectory() + "/.local/state/platter";
}

StateStorage::ReadResult StateDirectory::read(const std::string& name) const {
    const auto path = root_ + "/" + name;
    sweepOnce(path);
    const auto failed = [&](const std::string& why) {
        return ReadResult{ReadResult::Status::Failed, {}, path + ": " + why};
    };
    // Opened without blocking and looked at before a byte is read: a FIFO would wait for ever.
    // A symbolic link is not followed: a state file is Platter's own, never another file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0 && errno == ELOOP) return failed("not a regular state file");
    if (fd < 0) return errno == ENOENT ? ReadResult{} : failed(std::strerror(errno));
    struct ::stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxStateFile) {
        ::close(fd);
        return failed("not a regular state file");
    }
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t have = 0;
    while (have < bytes.size()) {
        const auto n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        have += static_cast<std::size_t>(n);
    }
    const int error = errno;
    ::close(fd);
    if (have < bytes.size())
        return failed(have == 0 && error ? std::strerror(error) : "cut short while read");
    return {ReadResult::Status::Found, std::move(bytes), {}};
}

// Once per folder and run: at start every playlist's order is read, and listing orders/ for
// each of them would cost the square of their number.
void StateDirectory::sweepOnce(const std::string& path) const {
    const auto folder = path.substr(0, path.rfind('/'));
    {
        const std::lock_guard lock(sweptLock_);
        if (!swept_.insert(folder).second) return;
    }
    removeStaleTemporariesIn(folder);
}

std::string StateDirectory::write(const std::string& name, std::string_view bytes) {
    return writeFileAtomically(root_ + "/" + name, bytes, SymbolicLink::Replace);
}

std::string StateDirectory::remove(const std::string& name) {
    const auto path = root_ + "/" + name;
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {};
    return path + ": " + std::strerror(errno);
}

} // namespace platter
