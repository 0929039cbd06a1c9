#pragma once

#include <optional>
#include <string>

namespace platter {

// Facts about the user's system that the application's defaults depend on.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // The region of the user's locale ("DE"), if the locale names one.
    virtual std::optional<std::string> regionCode() const = 0;
    virtual std::string homeDirectory() const = 0;
    // The user's music folder (XDG_MUSIC_DIR, else ~/Music).
    virtual std::string musicDirectory() const = 0;
};

} // namespace platter
