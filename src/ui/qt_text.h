#pragma once

// The model's text, UTF-8 views into the library document, as Qt text.

#include <QString>
#include <string_view>

namespace platter {

inline QString qText(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace platter
