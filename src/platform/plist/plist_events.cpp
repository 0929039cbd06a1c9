#include "platform/plist/plist_events.h"

#include "core/plist/base64.h"
#include "core/plist/date_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace platter {

namespace {

using plist::DocumentBuilder;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// Decimal or 0x-hexadecimal, signed; values above INT64_MAX are kept unsigned.
bool addInteger(std::string_view text, DocumentBuilder& b) {
    auto s = trimmed(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    std::uint64_t magnitude = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (s.empty() || r.ec != std::errc{} || r.ptr != s.data() + s.size()) return false;
    if (!negative) return b.unsignedInteger(magnitude);
    if (magnitude > static_cast<std::uint64_t>(INT64_MAX) + 1) return false;
    return b.integer(static_cast<std::int64_t>(0 - magnitude));
}

bool addReal(std::string_view text, DocumentBuilder& b) {
    auto s = trimmed(text);
    if (s == "+infinity" || s == "+inf") return b.real(HUGE_VAL);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double value = 0;
    // from_chars, unlike strtod, ignores the process locale's decimal separator.
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || r.ec != std::errc{} || r.ptr != s.data() + s.size()) return false;
    return b.real(value);
}

} // namespace

PlistElement classifyPlistElement(std::string_view n) {
    // By length first: this runs for every element of a library.
    switch (n.size()) {
    case 3:
        return n == "key" ? PlistElement::Key : PlistElement::Other;
    case 4:
        return n == "dict"   ? PlistElement::Dict
               : n == "date" ? PlistElement::Date
               : n == "true" ? PlistElement::True
               : n == "real" ? PlistElement::Real
               : n == "data" ? PlistElement::Data
                             : PlistElement::Other;
    case 5:
        return n == "false"   ? PlistElement::False
               : n == "array" ? PlistElement::Array
               : n == "plist" ? PlistElement::Plist
                              : PlistElement::Other;
    case 6:
        return n == "string" ? PlistElement::String : PlistElement::Other;
    case 7:
        return n == "integer" ? PlistElement::Integer : PlistElement::Other;
    default:
        return PlistElement::Other;
    }
}

bool PlistEvents::start(PlistElement e) {
    if (inLeaf()) return false;
    ++elements_;
    switch (e) {
    case PlistElement::Dict:
        if (!builder_.beginDict()) return false;
        break;
    case PlistElement::Array:
        if (!builder_.beginArray()) return false;
        break;
    case PlistElement::Plist:
        if (elements_ != 1) return false;
        break;
    case PlistElement::Other:
        return false;
    default:
        leaf_ = e;
        break;
    }
    // The root is the <plist> element, or a bare container as some writers leave it.
    if (elements_ == 1 && (e == PlistElement::Plist || e == PlistElement::Dict || e == PlistElement::Array))
        sawRoot_ = true;
    return true;
}

bool PlistEvents::end(PlistElement e, std::string_view text) {
    --elements_;
    const auto leaf = leaf_;
    leaf_ = PlistElement::Other;
    auto& b = builder_;
    switch (leaf) {
    case PlistElement::Key:
        return b.key(text);
    case PlistElement::String:
        return b.string(text);
    case PlistElement::Integer:
        return addInteger(text, b);
    case PlistElement::Real:
        return addReal(text, b);
    case PlistElement::True:
        return b.boolean(true);
    case PlistElement::False:
        return b.boolean(false);
    case PlistElement::Date: {
        const auto d = plist::parseDate(text);
        return d && b.date(*d);
    }
    case PlistElement::Data: {
        const auto bytes = plist::decodeBase64(text);
        return bytes && b.data(*bytes);
    }
    default:
        return e == PlistElement::Dict || e == PlistElement::Array ? b.end() : true;
    }
}

PropertyListReader::Result PlistEvents::finish(std::string error) {
    if (error.empty() && !sawRoot_) error = "not a property list";
    auto doc = error.empty() ? builder_.finish() : nullptr;
    if (!doc && error.empty()) error = "the property list holds no complete value";
    return {std::move(doc), std::move(error)};
}

} // namespace platter
