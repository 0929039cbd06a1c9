#include "platform/system/system_environment.h"

#include <cstdlib>
#include <glib.h>
#include <pwd.h>
#include <unicode/locid.h>
#include <unistd.h>

namespace platter {

std::optional<std::string> SystemEnvironment::regionCode() const {
    const char* country = icu::Locale::getDefault().getCountry();
    if (!country || !*country) return std::nullopt;
    return std::string(country);
}

std::string SystemEnvironment::homeDirectory() const {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const auto* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

std::string SystemEnvironment::musicDirectory() const {
    if (const char* music = g_get_user_special_dir(G_USER_DIRECTORY_MUSIC); music && *music) return music;
    return homeDirectory() + "/Music";
}

} // namespace platter
