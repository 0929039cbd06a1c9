#pragma once

#include "core/services/system_info.h"

namespace platter {

// The user's locale as ICU sees it (from LANG and LC_*) and the home directory from HOME.
class SystemEnvironment final : public SystemInfo {
public:
    std::optional<std::string> regionCode() const override;
    std::string homeDirectory() const override;
};

} // namespace platter
