#pragma once

// One Platter a session, even where the session bus does not answer: the first start holds a
// lock on a file while it runs (the system drops it when the process ends, however it ends).

#include <string>

namespace platter {

class InstanceLock {
public:
    // `$XDG_RUNTIME_DIR/platter.lock`, or the state folder's `platter.lock` without that variable.
    static std::string defaultPath();

    explicit InstanceLock(const std::string& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False only when another process holds the lock. A file that cannot be made (a read-only
    // folder) keeps no one from starting.
    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = true;
};

} // namespace platter
