#pragma once

#include <string>
#include <string_view>

namespace platter {

// The MD5 digest of `data` in lower-case hex, as request signatures want it. Not for secrets.
std::string md5Hex(std::string_view data);

} // namespace platter
