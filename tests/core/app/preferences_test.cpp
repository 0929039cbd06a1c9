#include "core/services/country_names.h"
#include "support/app_harness.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;
using Choice = Dialogs::PreferencesChoice;

struct FakeCountries final : CountryNames {
    std::vector<Country> countries() const override {
        return {{"France", "FR"}, {"Germany", "DE"}, {"Japan", "JP"}, {"Österreich", "AT"}};
    }
    std::optional<std::string> nameOf(const std::string& code) const override {
        for (const auto& c : countries())
            if (c.code == code) return c.name;
        return std::nullopt;
    }
};

class Preferences : public ::testing::Test {
protected:
    AppDelegate& launch() {
        h.useLibrary(testing::libraryValue({{1, "a", "A"}}, {}));
        auto& app = h.launch();
        // The harness wires no country names; a preferences window needs them.
        services.emplace(h.services({.countries = &countries}));
        controller = std::make_unique<AppDelegate>(*services);
        controller->applicationDidFinishLaunching();
        (void)app;
        return *controller;
    }
    const plist::Value* stored(std::string_view key) { return plist::find(h.settings.values, key); }

    AppHarness h;
    FakeCountries countries;
    std::optional<AppServices> services;
    std::unique_ptr<AppDelegate> controller;
};

TEST_F(Preferences, ShowsTheCurrentValuesAndCancelChangesNothing) {
    h.system.region = "DE";
    auto& app = launch();
    h.dialogs.preferenceAnswers = {std::nullopt};
    const auto saves = h.settings.saves;
    app.preferences();
    ASSERT_EQ(h.dialogs.preferencesShown.size(), 1u);
    const auto& shown = h.dialogs.preferencesShown[0];
    EXPECT_EQ(shown.countries, (std::vector<std::string>{"France", "Germany", "Japan", "Österreich"}));
    EXPECT_EQ(shown.selectedCountry, 1u) << "the region's country";
    EXPECT_EQ(shown.ratio, 25);
    EXPECT_EQ(h.settings.saves, saves);
}

TEST_F(Preferences, OKStoresWhatChangedInItsShape) {
    auto& app = launch(); // no region: the country defaults to jp
    h.dialogs.preferenceAnswers = {Choice{0, "150"}};
    app.preferences();
    EXPECT_EQ(app.countryCode(), "fr") << "stored in lower case";
    EXPECT_EQ(*stored("countryCode")->get<std::string>(), "fr");
    EXPECT_EQ(app.topArtistsRatio(), 100) << "clamped";
    EXPECT_EQ(*stored("topArtistsRatio")->get<std::int64_t>(), 100);

    const auto saves = h.settings.saves;
    h.dialogs.preferenceAnswers = {Choice{0, " 100"}};
    app.preferences();
    EXPECT_EQ(h.settings.saves, saves) << "nothing changed, nothing written";
    EXPECT_EQ(h.dialogs.preferencesShown.back().selectedCountry, 0u);

    h.dialogs.preferenceAnswers = {Choice{std::nullopt, "abc"}};
    app.preferences();
    EXPECT_EQ(app.countryCode(), "fr") << "no row chosen keeps the country";
    EXPECT_EQ(app.topArtistsRatio(), 1) << "text that is no number reads as 0, then 1";
}

TEST_F(Preferences, MusicFoldersAreShownAndAChangedListIsStoredAndSearched) {
    plist::set(h.settings.values, "musicFolders", plist::Array{"/mnt/music"});
    auto& app = launch();
    h.dialogs.preferenceAnswers = {Choice{std::nullopt, "25", {"/mnt/music", "/media/usb"}}};
    app.preferences();
    EXPECT_EQ(h.dialogs.preferencesShown.back().musicFolders, std::vector<std::string>{"/mnt/music"});
    EXPECT_EQ(app.musicFolders(), (std::vector<std::string>{"/mnt/music", "/media/usb"}));
    EXPECT_EQ(plist::find(h.settings.values, "musicFolders")->get<plist::Array>()->size(), 2u);
    EXPECT_FALSE(h.tasks.background.empty()) << "the files are looked for again";
    h.dialogs.preferenceAnswers = {Choice{std::nullopt, "25", {}}};
    app.preferences();
    EXPECT_FALSE(plist::find(h.settings.values, "musicFolders")) << "none chosen: the key goes";
}

TEST_F(Preferences, TheShuffleModeIsShownAndStoredByName) {
    auto& app = launch();
    Choice rediscover{std::nullopt, "25"};
    rediscover.shuffle = ShuffleMode::Rediscover;
    h.dialogs.preferenceAnswers = {rediscover, Choice{std::nullopt, "25"}};
    app.preferences();
    EXPECT_EQ(h.dialogs.preferencesShown.back().shuffle, ShuffleMode::Uniform);
    EXPECT_EQ(*stored("shuffleMode")->get<std::string>(), "rediscover");
    app.preferences();
    EXPECT_EQ(h.dialogs.preferencesShown.back().shuffle, ShuffleMode::Rediscover);
    EXPECT_EQ(*stored("shuffleMode")->get<std::string>(), "uniform");
}

TEST_F(Preferences, TheRegionsOwnCountryIsNotStored) {
    h.system.region = "AT";
    plist::set(h.settings.values, "countryCode", "fr");
    auto& app = launch();
    EXPECT_EQ(app.countryCode(), "fr");
    h.dialogs.preferenceAnswers = {Choice{3, "25"}};
    app.preferences();
    EXPECT_EQ(app.countryCode(), "at");
    EXPECT_FALSE(stored("countryCode")) << "removed, so the region decides again";
}

TEST(RatioText, ReadsLikeATextFieldAndClamps) {
    EXPECT_EQ(ratioFromText("0"), 1);
    EXPECT_EQ(ratioFromText("-5"), 1);
    EXPECT_EQ(ratioFromText(""), 1);
    EXPECT_EQ(ratioFromText("150"), 100);
    EXPECT_EQ(ratioFromText("42abc"), 42);
    EXPECT_EQ(ratioFromText("99999999999999999999999"), 100);
}

} // namespace
} // namespace platter
