#include "core/model/file_url.h"

#include "core/text/percent_encoding.h"

namespace platter {

namespace {
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

std::string fileUrlFromPath(std::string_view path) {
    return "file://" + percentEncode(path, [](unsigned char c) {
               return isAlphanumeric(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
           });
}

std::optional<std::string> pathFromFileUrl(std::string_view url) {
    constexpr std::string_view scheme = "file://";
    if (url.size() < scheme.size()) return std::nullopt;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        const char c = url[i] >= 'A' && url[i] <= 'Z' ? static_cast<char>(url[i] + 32) : url[i];
        if (c != scheme[i]) return std::nullopt;
    }
    url.remove_prefix(scheme.size());
    if (url.starts_with("localhost/")) url.remove_prefix(9);
    if (!url.starts_with('/')) return std::nullopt;
    std::string path;
    path.reserve(url.size());
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] != '%') {
            path += url[i];
            continue;
        }
        if (i + 2 >= url.size()) return std::nullopt;
        const int hi = hexValue(url[i + 1]), lo = hexValue(url[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        path += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return path;
}

} // namespace platter
