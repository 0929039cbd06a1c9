// Selecting a playlist, configuring its albums, and moving between the configuration and the
// play order.

#include "core/app/app_delegate.h"
#include "core/plist/xml_writer.h"
#include "core/shuffle/album_selection.h"
#include "core/services/property_list_reader.h"
#include "core/services/view_refresh.h"
#include "core/persistence/user_defaults.h"

#include <algorithm>

namespace platter {

namespace {
// The persistent IDs of the playlist that plays and of the selected one, either left out when
// there is none. A state file, not a setting: it changes with every choice.
const std::string selectionFile = "selection.plist";
} // namespace

void AppDelegate::changePlaylistWithRow(std::int64_t row) {
    playlistNumber_.reset();
    if (row >= 0 && static_cast<std::uint64_t>(row) < library_.playlists.size())
        playlistNumber_ = static_cast<std::size_t>(row);
    configuring_ = true;
    stopped_ = false;
    storeSelection();
    refreshForSelection();
    showiTunesLinks();
}

void AppDelegate::storeSelection() {
    plist::Dict stored;
    if (const auto* playing = playlistAt(playinglistNumber_))
        stored.emplace_back("playing", playing->persistentID());
    if (const auto* selected = playlistAt(playlistNumber_))
        stored.emplace_back("selected", selected->persistentID());
    stateWriter_->write(selectionFile,
                        [value = plist::Value(std::move(stored))] { return plist::writeXml(value); });
}

void AppDelegate::restoreSelection() {
    const auto file = services_.state.read(selectionFile);
    if (file.status != StateStorage::ReadResult::Status::Found) return;
    const auto parsed = services_.plistReader.parse(file.bytes);
    if (!parsed.document) return;
    const auto root = plist::Value::copyOf(parsed.document->root());
    const auto* dict = root.get<plist::Dict>();
    if (!dict) return;
    // The playlist that played at the quit, else the one that was selected; either may be gone.
    for (const auto* key : {"playing", "selected"}) {
        const auto* value = plist::find(*dict, key);
        const auto* id = value ? value->get<std::string>() : nullptr;
        const auto found = id ? std::find_if(library_.playlists.begin(), library_.playlists.end(),
                                             [&](const PlaylistPtr& p) { return p->persistentID() == *id; })
                              : library_.playlists.end();
        if (found == library_.playlists.end()) continue;
        const auto row = found - library_.playlists.begin();
        changePlaylistWithRow(row);
        if (viewCont_) viewCont_->refreshPlaylistView();
        auto& playlist = **found;
        // Its order shows, paused at the song and second where it stopped, as Play resumes it.
        if (playlist.shuffledSongs.empty()) return;
        configuring_ = false;
        if (viewCont_)
            viewCont_->refreshViewsWithTopViewMode(
                TopViewMode::Playing, static_cast<std::int64_t>(playlist.songs().size()),
                static_cast<std::int64_t>(playlist.albums().size()), playlist.duration(), false, false);
        showNowPlaying(playlist, nowPlayingArtwork(playlist), false);
        return;
    }
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
