#pragma once

// The property-list date text, "2006-01-02T03:04:05Z", in both directions, for any year from
// 1 to 9999: library files hold release dates far outside the 32-bit range.

#include "core/plist/document.h"

#include <optional>
#include <string>
#include <string_view>

namespace platter::plist {

std::optional<Date> parseDate(std::string_view text);
std::string formatDate(Date date);

} // namespace platter::plist
