#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platter {

// The countries the user can choose for the catalogue, named in the user's language.
class CountryNames {
public:
    struct Country {
        std::string name;
        std::string code; // upper-case two-letter region code
    };
    virtual ~CountryNames() = default;
    // Every region the locale can name, in ascending order of the names.
    virtual std::vector<Country> countries() const = 0;
    virtual std::optional<std::string> nameOf(const std::string& upperCaseCode) const = 0;
};

} // namespace platter
