#include "app/instance_lock.h"

#include "platform/settings/state_directory.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace platter {

std::string InstanceLock::defaultPath() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
        return std::string(runtime) + "/platter.lock";
    return StateDirectory::defaultPath() + "/platter.lock";
}

InstanceLock::InstanceLock(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    // Close-on-exec: a browser started for a store link must not keep the lock after Platter.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    int status;
    do
        status = ::flock(fd_, LOCK_EX | LOCK_NB);
    while (status != 0 && errno == EINTR);
    held_ = status == 0 || errno != EWOULDBLOCK;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

} // namespace platter
