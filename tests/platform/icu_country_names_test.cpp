#include "platform/text/icu_country_names.h"

#include <gtest/gtest.h>
#include <unicode/coll.h>
#include <unicode/locid.h>

namespace platter {
namespace {

TEST(IcuCountryNames, NamesRegionsInTheUsersLanguageInCollationOrder) {
    UErrorCode status = U_ZERO_ERROR;
    const auto previous = icu::Locale::getDefault();
    icu::Locale::setDefault(icu::Locale("de", "DE"), status);
    const IcuCountryNames names;
    const auto list = names.countries();
    EXPECT_GT(list.size(), 200u);
    EXPECT_EQ(names.nameOf("FR"), "Frankreich");
    EXPECT_FALSE(names.nameOf("QQ")) << "a region the locale cannot name";
    const auto at = std::find_if(list.begin(), list.end(), [](const auto& c) { return c.code == "AT"; });
    ASSERT_NE(at, list.end());
    EXPECT_EQ(at->name, "Österreich");
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_NE(collator->compareUTF8(list[i].name, list[i - 1].name, status), UCOL_LESS) << list[i].name;
    icu::Locale::setDefault(previous, status);
}

} // namespace
} // namespace platter
