#pragma once

#include <string>
#include <string_view>

namespace platter {

// The Unicode tables behind the string rules. Callers pass text that is not plain ASCII;
// the ASCII cases are handled in `StringRules` without reaching these.
class UnicodeRules {
public:
    virtual ~UnicodeRules() = default;
    // Canonical composition (NFC), so canonically equivalent strings become byte-equal.
    virtual std::string composed(std::string_view utf8) const = 0;
    // Full upper-casing, then removal of every punctuation character (categories Pc, Pd, Ps,
    // Pe, Pi, Pf, Po), then NFC.
    virtual std::string sortKey(std::string_view utf8) const = 0;
    // Full lower-casing in the root locale.
    virtual std::string lowerCase(std::string_view utf8) const = 0;
    // The form a search compares: full case folding, compatibility decomposition (NFKD) with
    // every nonspacing mark removed, then NFC. "Ｃafé", "CAFE" and "cafe\u0301" all become "cafe".
    virtual std::string searchFolded(std::string_view utf8) const = 0;
};

} // namespace platter
