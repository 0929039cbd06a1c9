// Selecting a playlist, configuring its albums, and moving between the configuration and the
// play order.

#include "core/app/app_delegate.h"
#include "core/shuffle/album_selection.h"
#include "core/services/view_refresh.h"
#include "core/persistence/user_defaults.h"

#include <algorithm>

namespace platter {

void AppDelegate::changePlaylistWithRow(std::int64_t row) {
    playlistNumber_.reset();
    if (row >= 0 && static_cast<std::uint64_t>(row) < library_.playlists.size())
        playlistNumber_ = static_cast<std::size_t>(row);
    configuring_ = true;
    refreshForSelection();
    showiTunesLinks();
}

void AppDelegate::refreshForSelection() {
    if (!viewCont_) return;
    const auto* selected = playlistAt(playlistNumber_);
    viewCont_->refreshViewsWithTopViewMode(
        selected ? TopViewMode::Configuring : TopViewMode::NoSelection,
        selected ? static_cast<std::int64_t>(selected->songs().size()) : 0,
        selected ? static_cast<std::int64_t>(selected->albums().size()) : 0,
        selected ? selected->duration() : 0.0, playinglistNumber_.has_value(), true);
}

void AppDelegate::showPlaylist() {
    auto* selected = playlistAt(playlistNumber_);
    if (!selected) return;
    commitAlbumSettings();
    // An order already drawn stays; changed settings take effect at the next reshuffle.
    if (selected->shuffledSongs.empty()) shuffleAndStore(*selected);
    configuring_ = false;
    if (viewCont_) viewCont_->refreshViewsWithTopViewMode(TopViewMode::Playing);
}

void AppDelegate::sortAlbums(bool byTitle) {
    if (auto* selected = playlistAt(playlistNumber_)) selected->sortAlbumsWithFirstAlbum(byTitle, true);
}

void AppDelegate::backToConfig() {
    if (configuring_) return;
    configuring_ = true;
    if (viewCont_) viewCont_->refreshViewsWithTopViewMode(TopViewMode::Configuring);
}

void AppDelegate::commitAlbumSettings() {
    bool changed = false;
    for (const auto& album : library_.albums) {
        auto& setting = album->setting();
        // An album with every disc split into songs is an album split into songs.
        if (setting.shape() == AlbumShape::SplitIntoDiscs &&
            setting.discsSplitIntoSongs() == album->discNum().size())
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
    saveSettings();
}

} // namespace platter
