// Selecting a playlist, configuring its albums, and moving between the configuration and the
// play order.

#include "core/app/app_delegate.h"

#include "core/persistence/user_defaults.h"
#include "core/services/system_info.h"
#include "core/shuffle/shuffle.h"

#include <algorithm>

namespace platter {

void AppDelegate::changePlaylistWithRow(std::int64_t row) {
    selection_.playlist.reset();
    if (row >= 0 && static_cast<std::uint64_t>(row) < library_.playlists.size())
        selection_.playlist = static_cast<std::size_t>(row);
    selection_.configuring = true;
    playback_.selectionChanged();
    storeSelection();
    events_.tell(AppEvent::Selection);
    if (const auto* selected = playlistAt(selection_.playlist)) links_.show(*selected, countryCode_, topArtistsRatio_);
}

void AppDelegate::storeSelection() {
    state_.storeSelection(playlistAt(playback_.playing()), playlistAt(selection_.playlist));
}

void AppDelegate::restoreSelection() {
    const auto stored = state_.storedSelection();
    // The playlist that played at the quit, else the one that was selected; either may be gone.
    for (const auto& id : {stored.playing, stored.selected}) {
        const auto found = id.empty() ? library_.playlists.end()
                                      : std::find_if(library_.playlists.begin(), library_.playlists.end(),
                                                     [&](const PlaylistPtr& p) { return p->persistentID() == id; });
        if (found == library_.playlists.end()) continue;
        changePlaylistWithRow(found - library_.playlists.begin());
        events_.tell(AppEvent::Playlists);
        auto& playlist = **found;
        // Its order shows, paused at the song and second where it stopped, as Play resumes it.
        if (playlist.shuffledSongs.empty()) return;
        selection_.configuring = false;
        events_.tell(AppEvent::Selection);
        playback_.showPaused(playlist);
        return;
    }
}

void AppDelegate::showPlaylist() {
    auto* selected = playlistAt(selection_.playlist);
    if (!selected) return;
    commitAlbumSettings();
    // An order already drawn stays; changed settings take effect at the next reshuffle.
    if (selected->shuffledSongs.empty()) shuffleAndStore(*selected);
    selection_.configuring = false;
    events_.tell(AppEvent::Selection);
}

void AppDelegate::sortAlbums(bool byTitle) {
    if (auto* selected = playlistAt(selection_.playlist)) selected->sortAlbumsWithFirstAlbum(byTitle, true);
}

void AppDelegate::backToConfig() {
    if (selection_.configuring) return;
    selection_.configuring = true;
    events_.tell(AppEvent::Selection);
}

void AppDelegate::commitAlbumSettings() {
    bool changed = false;
    for (const auto& album : library_.albums) {
        auto& setting = album->setting();
        // An album with every disc split into songs is an album split into songs.
        if (setting.shape() == AlbumShape::SplitIntoDiscs && setting.discsSplitIntoSongs() == album->discNum().size())
            setting = AlbumSetting::songs();
        if (setting == album->oldSetting()) continue;
        album->oldSetting() = setting;
        if (setting.isWhole())
            albumSettings_.erase(album->albumID());
        else
            albumSettings_[album->albumID()] = setting;
        changed = true;
    }
    if (!changed) return;
    ++settingVersion_;
    services_.defaults.setObject(keys::albumSettings, encodeAlbumSettings(albumSettings_));
    state_.saveSettings();
}

void AppDelegate::reshuffle() {
    auto* selected = playlistAt(selection_.playlist);
    if (!selected) return;
    playback_.pause();
    shuffleAndStore(*selected);
    events_.tell(AppEvent::Order);
}

void AppDelegate::shuffleAndStore(MyPlaylist& playlist) {
    if (shuffleModeOf(playlist) == ShuffleMode::Rediscover) {
        const PlayHistory history{[this](const MySong& song) { return statistics_.lastPlayedOf(song); },
                                  services_.clock()};
        shuffleWithSettingVersion(playlist, settingVersion_, services_.random, &history);
    } else {
        shuffleWithSettingVersion(playlist, settingVersion_, services_.random);
    }
    playback_.orderRedrawn(playlist);
}

void AppDelegate::playNext(std::size_t index) {
    auto* selected = playlistAt(selection_.playlist);
    if (!selected || selection_.configuring || !selected->moveUnitAfterPlaying(static_cast<std::int64_t>(index)))
        return;
    playback_.orderChanged(*selected);
    events_.tell(AppEvent::Order);
}

} // namespace platter
