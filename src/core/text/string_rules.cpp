#include "core/text/string_rules.h"

#include <array>
#include <cstring>

namespace platter {

namespace {

// ASCII characters of the Unicode punctuation categories. `$ + < = > ^ ` | ~` are symbols
// and stay.
constexpr std::array<bool, 128> asciiPunctuation = [] {
    std::array<bool, 128> t{};
    for (const char c : std::string_view("!\"#%&'()*,-./:;?@[\\]_{}"))
        t[static_cast<unsigned char>(c)] = true;
    return t;
}();

} // namespace

bool StringRules::isAscii(std::string_view s) {
    // Eight bytes at a time: library text is long and almost always ASCII.
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        if (w & 0x8080808080808080ull) return false;
    }
    for (; i < s.size(); ++i)
        if (static_cast<unsigned char>(s[i]) & 0x80) return false;
    return true;
}

std::string StringRules::key(std::string_view s) const {
    return isAscii(s) ? std::string(s) : unicode_.composed(s);
}

std::string StringRules::sortKey(std::string_view s) const {
    if (!isAscii(s)) return unicode_.sortKey(s);
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        if (asciiPunctuation[static_cast<unsigned char>(c)]) continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

std::string StringRules::lowerCase(std::string_view s) const {
    if (!isAscii(s)) return unicode_.lowerCase(s);
    std::string out(s);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string StringRules::searchKey(std::string_view s) const {
    return isAscii(s) ? lowerCase(s) : unicode_.searchFolded(s);
}

bool StringRules::equal(std::string_view a, std::string_view b) const {
    if (a == b) return true;
    if (isAscii(a) && isAscii(b)) return false;
    return key(a) == key(b);
}

} // namespace platter
