#pragma once

#include "core/scrobble/accounts.h"

#include <string>

namespace platter {

// The scrobbling accounts at $XDG_CONFIG_HOME/platter/accounts.json (~/.config/platter/ when
// the variable is unset), readable and writable by the user alone, replaced whole at each save.
class AccountsFile {
public:
    explicit AccountsFile(std::string path = defaultPath());
    static std::string defaultPath();

    struct Loaded {
        ScrobbleAccounts accounts;
        // A file that could not be read is moved aside, never overwritten: where it went.
        std::string movedAsidePath;
    };
    Loaded load() const;
    // Empty once on disk, else why not.
    std::string save(const ScrobbleAccounts& accounts) const;

private:
    std::string path_;
};

} // namespace platter
