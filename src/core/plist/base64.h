#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platter::plist {

// Property-list data is base64 with white space allowed anywhere between the characters.
std::optional<std::string> decodeBase64(std::string_view text);
std::string encodeBase64(std::string_view bytes);

} // namespace platter::plist
