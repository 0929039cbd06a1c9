#pragma once

// The program's string rules. Equality and ordering are byte order over the canonical
// composition (NFC) of the text, so plain ASCII compares byte by byte and canonically
// equivalent strings compare equal. Sort keys are upper-cased with punctuation removed.
// Plain ASCII, nearly all of a real library, never leaves this file.

#include "core/services/unicode_rules.h"

#include <string>
#include <string_view>

namespace platter {

class StringRules {
public:
    explicit StringRules(const UnicodeRules& unicode) : unicode_(unicode) {}

    static bool isAscii(std::string_view s);
    // The form under which strings are compared and used as dictionary keys.
    std::string key(std::string_view s) const;
    std::string sortKey(std::string_view s) const;
    // Full Unicode lower-casing, with no locale taking part.
    std::string lowerCase(std::string_view s) const;
    bool equal(std::string_view a, std::string_view b) const;
    // The form a search compares: case, accents and normalisation set aside (see
    // UnicodeRules::searchFolded).
    std::string searchKey(std::string_view s) const;

private:
    const UnicodeRules& unicode_;
};

} // namespace platter
