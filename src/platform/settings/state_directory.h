#pragma once

#include "core/services/state_storage.h"

#include <mutex>
#include <set>
#include <string>

namespace platter {

// The state as files under $XDG_STATE_HOME/platter (~/.local/state/platter/ when the variable
// is unset), each replaced atomically. Only regular files are read, up to a size no state
// file comes near; a symbolic link is neither read nor written through, but replaced.
class StateDirectory final : public StateStorage {
public:
    explicit StateDirectory(std::string root);
    static std::string defaultPath();

    ReadResult read(const std::string& name) const override;
    std::string write(const std::string& name, std::string_view bytes) override;
    std::string remove(const std::string& name) override;

private:
    void sweepOnce(const std::string& path) const;

    std::string root_;
    mutable std::mutex sweptLock_;
    mutable std::set<std::string> swept_; // folders already cleared of killed writes' leftovers
};

} // namespace platter
