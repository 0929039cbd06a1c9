#pragma once

#include "core/services/country_names.h"

namespace platter {

// Region names from ICU in the user's language, ordered by the root collation. (Comparing
// ASCII names byte by byte and the rest by collation, as a mixed rule, is no consistent order
// to sort by.)
class IcuCountryNames final : public CountryNames {
public:
    std::vector<Country> countries() const override;
    std::optional<std::string> nameOf(const std::string& upperCaseCode) const override;
};

} // namespace platter
