#pragma once

// The application's stored preferences: a dictionary read once from the settings file and
// written back whole at every `synchronize`, so the file always holds one consistent state.

#include "core/plist/value.h"
#include "core/services/settings_file.h"

#include <optional>
#include <string>
#include <string_view>

namespace platter {

class UserDefaults {
public:
    explicit UserDefaults(SettingsFile& file);

    const plist::Value* objectForKey(std::string_view key) const;
    std::optional<std::string> stringForKey(std::string_view key) const;
    void setObject(std::string_view key, plist::Value value);
    void removeObjectForKey(std::string_view key);
    // Writes every value; false when the file could not be replaced.
    bool synchronize();
    // Keeps the file as it is aside; see `SettingsFile::keepCopy`.
    std::string keepCopy() { return file_.keepCopy(); }

    // How the file looked when it was read: a corrupt one was set aside and defaults apply.
    const SettingsFile::LoadResult& loadResult() const { return loaded_; }

private:
    SettingsFile& file_;
    SettingsFile::LoadResult loaded_;
};

// The stored keys.
namespace keys {
inline constexpr std::string_view xmlUrl = "xmlUrl";
inline constexpr std::string_view countryCode = "countryCode";
inline constexpr std::string_view topArtistsRatio = "topArtistsRatio";
inline constexpr std::string_view albumSettings = "albumSettings";
inline constexpr std::string_view playlists = "playlists";
inline constexpr std::string_view playingNumbers = "playingNumbers";
// The folders the user chose to look for music in, as paths.
inline constexpr std::string_view musicFolders = "musicFolders";
// The playback volume, a linear gain from 0 to 1.
inline constexpr std::string_view volume = "volume";
// Whether a new song is announced by the desktop while the window is not in front.
inline constexpr std::string_view songNotifications = "songNotifications";
// How loudness is levelled: a dictionary of "mode", "preAmp" and "untagged" (dB).
inline constexpr std::string_view replayGain = "replayGain";
// How shuffles draw their orders: "uniform" or "rediscover".
inline constexpr std::string_view shuffleMode = "shuffleMode";
// The playlists drawn by a mode of their own: persistent ID to a mode's name, as above.
inline constexpr std::string_view playlistShuffleModes = "playlistShuffleModes";
} // namespace keys

} // namespace platter
