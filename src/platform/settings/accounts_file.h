#pragma once

#include "core/scrobble/accounts.h"

#include <string>

namespace platter {

// The scrobbling accounts at $XDG_CONFIG_HOME/platter/accounts.json (~/.config/platter/ when
// the variable is unset), readable and writable by the user alone, replaced whole at each save.
class AccountsFile final : public AccountsStore {
public:
    explicit AccountsFile(std::string path = defaultPath());
    static std::string defaultPath();

    // A file that could not be read is moved aside, never overwritten.
    Loaded load() const override;
    std::string save(const ScrobbleAccounts& accounts) const override;

private:
    std::string path_;
};

} // namespace platter
