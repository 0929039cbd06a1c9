#pragma once

#include "core/services/unicode_rules.h"

namespace platter {

class IcuUnicodeRules final : public UnicodeRules {
public:
    std::string composed(std::string_view utf8) const override;
    std::string sortKey(std::string_view utf8) const override;
    std::string lowerCase(std::string_view utf8) const override;
    std::string searchFolded(std::string_view utf8) const override;
};

} // namespace platter
