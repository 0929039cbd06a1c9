// The preferences window's logic: which country row shows the current country, and what an
// OK writes.

#include "core/app/app_delegate.h"
#include "core/services/country_names.h"
#include "core/services/dialogs.h"
#include "core/services/system_info.h"
#include "core/persistence/user_defaults.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace platter {

namespace {

std::string upper(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
std::string lower(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::int64_t ratioFromText(std::string_view text) {
    // Like a text field's integer value: leading blanks, a sign and digits; anything else is 0.
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec == std::errc::result_out_of_range)
        value = text.starts_with('-') ? INT64_MIN : INT64_MAX;
    else if (r.ec != std::errc{})
        value = 0;
    return std::clamp<std::int64_t>(value, 1, 100);
}

void AppDelegate::preferences() {
    if (!services_.countries) return;
    const auto countries = services_.countries->countries();
    Dialogs::Preferences shown;
    shown.ratio = topArtistsRatio_;
    shown.musicFolders = files_.folders();
    shown.replayGain = playback_.replayGain();
    shown.shuffle = shuffleModes_.all;
    shown.accounts = scrobbling_.accounts();
    shown.queues = scrobbling_.queues();
    if (scrobbling_.active()) shown.checks = &scrobbling_;
    for (const auto& c : countries)
        shown.countries.push_back(c.name);
    const auto current = upper(countryCode_);
    if (const auto name = services_.countries->nameOf(current)) {
        const auto row = std::find_if(countries.begin(), countries.end(),
                                      [&](const auto& c) { return c.name == *name && c.code == current; });
        if (row != countries.end()) shown.selectedCountry = static_cast<std::size_t>(row - countries.begin());
    }
    const auto choice = dialogs_.runPreferences(shown);
    if (!choice) return; // Cancel: nothing changes
    files_.setFolders(choice->musicFolders);
    scrobbling_.setAccounts(choice->accounts);
    playback_.setReplayGain(choice->replayGain);
    if (choice->shuffle != shuffleModes_.all) {
        shuffleModes_.all = choice->shuffle;
        services_.defaults.setObject(keys::shuffleMode, shuffleModeValue(choice->shuffle));
        state_.saveSettings();
    }

    // No row chosen keeps the country as it is.
    const auto code = choice->selectedCountry && *choice->selectedCountry < countries.size()
                          ? lower(countries[*choice->selectedCountry].code)
                          : countryCode_;
    const auto ratio = ratioFromText(choice->ratioText);
    if (code == countryCode_ && ratio == topArtistsRatio_) return;
    countryCode_ = code;
    // The country of the user's own region is the default: not storing it lets it follow the
    // region.
    const auto region = services_.system.regionCode();
    if (region && lower(*region) == code)
        services_.defaults.removeObjectForKey(keys::countryCode);
    else
        services_.defaults.setObject(keys::countryCode, code);
    if (ratio != topArtistsRatio_) {
        topArtistsRatio_ = ratio;
        services_.defaults.setObject(keys::topArtistsRatio, ratio);
    }
    state_.saveSettings();
}

ShuffleMode AppDelegate::shuffleModeOf(const MyPlaylist& playlist) const {
    return ownShuffleMode(playlist).value_or(shuffleModes_.all);
}

std::optional<ShuffleMode> AppDelegate::ownShuffleMode(const MyPlaylist& playlist) const {
    const auto found = shuffleModes_.playlists.find(playlist.persistentID());
    return found == shuffleModes_.playlists.end() ? std::nullopt : std::optional(found->second);
}

void AppDelegate::setOwnShuffleMode(const MyPlaylist& playlist, std::optional<ShuffleMode> mode) {
    if (mode == ownShuffleMode(playlist)) return;
    if (mode)
        shuffleModes_.playlists[playlist.persistentID()] = *mode;
    else
        shuffleModes_.playlists.erase(playlist.persistentID());
    services_.defaults.setObject(keys::playlistShuffleModes, playlistShuffleModesValue(shuffleModes_));
    state_.saveSettings();
}

} // namespace platter
