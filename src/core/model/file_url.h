#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platter {

// file:// URLs as the library file and the settings store write them.
std::string fileUrlFromPath(std::string_view path);
// The local path of a file URL ("file:///a", "file://localhost/a"), percent-decoded; nothing
// for other schemes, other hosts or broken escapes.
std::optional<std::string> pathFromFileUrl(std::string_view url);

} // namespace platter
