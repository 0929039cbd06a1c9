#include "platform/text/icu_country_names.h"

#include <algorithm>
#include <memory>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace platter {

std::optional<std::string> IcuCountryNames::nameOf(const std::string& upperCaseCode) const {
    icu::UnicodeString name;
    icu::Locale("", upperCaseCode.c_str()).getDisplayCountry(icu::Locale::getDefault(), name);
    std::string out;
    name.toUTF8String(out);
    // ICU names a region it does not know by its code.
    if (out.empty() || out == upperCaseCode) return std::nullopt;
    return out;
}

std::vector<CountryNames::Country> IcuCountryNames::countries() const {
    std::vector<Country> list;
    for (const char* const* code = icu::Locale::getISOCountries(); *code; ++code)
        if (auto name = nameOf(*code)) list.push_back({std::move(*name), *code});
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) {
        std::sort(list.begin(), list.end(),
                  [](const Country& a, const Country& b) { return a.name < b.name; });
        return list;
    }
    std::stable_sort(list.begin(), list.end(), [&](const Country& a, const Country& b) {
        UErrorCode s = U_ZERO_ERROR;
        return collator->compareUTF8(a.name, b.name, s) == UCOL_LESS;
    });
    return list;
}

} // namespace platter
