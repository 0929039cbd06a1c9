#pragma once

#include "core/services/system_info.h"

namespace platter {

// The user's locale as ICU sees it (from LANG and LC_*), the home directory from HOME, and the
// music folder as the desktop names it (XDG_MUSIC_DIR in user-dirs.dirs), and the system clock.
class SystemEnvironment final : public SystemInfo {
public:
    std::optional<std::string> regionCode() const override;
    std::string homeDirectory() const override;
    std::string musicDirectory() const override;
};

} // namespace platter
