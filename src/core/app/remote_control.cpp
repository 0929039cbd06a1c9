// Playback as the desktop's media controls see and steer it. Every action here is one the
// window has too; these only add what a control outside the window needs to know.

#include "core/app/app_delegate.h"
#include "core/persistence/user_defaults.h"
#include "core/services/playback_listener.h"

#include <algorithm>

namespace platter {

const MyPlaylist* AppDelegate::controlled() const {
    if (const auto* playing = playlistAt(playinglistNumber_)) return playing;
    return configuring_ ? nullptr : playlistAt(playlistNumber_);
}

bool AppDelegate::hasPlace(const MyPlaylist& playlist) const {
    if (const auto* queue = queueOf(playlist); queue && queue->currentItem()) return true;
    return playingNumDict_.contains(playlist.persistentID()) ||
           playingSecondsDict_.contains(playlist.persistentID());
}

AppDelegate::PlaybackStatus AppDelegate::playbackStatus() const {
    if (playinglistNumber_) return PlaybackStatus::Playing;
    const auto* playlist = controlled();
    return playlist && !stopped_ && currentSong() && hasPlace(*playlist) ? PlaybackStatus::Paused
                                                                         : PlaybackStatus::Stopped;
}

SongPtr AppDelegate::currentSong() const {
    const auto* playlist = controlled();
    if (!playlist || playlist->playingNum < 0 ||
        static_cast<std::size_t>(playlist->playingNum) >= playlist->shuffledSongs.size())
        return nullptr;
    return playlist->shuffledSongs[static_cast<std::size_t>(playlist->playingNum)];
}

double AppDelegate::position() const {
    const auto* playlist = controlled();
    const auto* queue = playlist ? queueOf(*playlist) : nullptr;
    // A decoder may run on past the length its file gave: the song is at its end then.
    if (const auto* item = queue ? queue->currentItem() : nullptr)
        return std::clamp(queue->player().position(), 0.0, item->duration);
    const auto stored =
        playlist ? playingSecondsDict_.find(playlist->persistentID()) : playingSecondsDict_.end();
    return stored == playingSecondsDict_.end() || !currentSong() ? 0.0
                                                                 : std::min(stored->second, currentLength());
}

double AppDelegate::currentLength() const {
    const auto song = currentSong();
    if (!song) return 0;
    const auto* queue = queueOf(*controlled());
    const auto* item = queue ? queue->itemOfCurrentSong() : nullptr;
    return item ? item->duration : song->duration();
}

bool AppDelegate::canPlay() const {
    const auto* playlist = controlled();
    return playlist && !playlist->shuffledSongs.empty();
}

bool AppDelegate::canSeek() const {
    const auto* playlist = controlled();
    return playlist && currentSong() && hasPlace(*playlist);
}

bool AppDelegate::canGoNext() const {
    return currentSong() != nullptr;
}

bool AppDelegate::canGoPrevious() const {
    return currentSong() != nullptr;
}

void AppDelegate::seek(double seconds) {
    auto* playlist = controlled();
    if (!playlist || !currentSong()) return;
    if (seconds >= currentLength()) return forward();
    const auto* queue = queueOf(*playlist);
    if (const auto* item = queue ? queue->currentItem() : nullptr)
        queue->player().seekItem(item->id, std::max(seconds, 0.0));
    // Kept at once while it does not play: it is where the next play starts.
    if (!playinglistNumber_) rememberSeconds(*playlist, std::max(seconds, 0.0));
    tellSeeked();
}

void AppDelegate::stop() {
    // The playlist that plays, not the one the pause leaves current.
    auto* playlist = controlled();
    pauseMusic();
    if (!playlist) return;
    const auto* queue = queueOf(*playlist);
    if (const auto* item = queue ? queue->currentItem() : nullptr) queue->player().seekItem(item->id, 0);
    rememberSeconds(*playlist, 0);
    stopped_ = true;
    tellSeeked();
    tellPlaybackChanged();
}

void AppDelegate::setVolume(double linear) {
    // NaN compares false both ways: it must not reach the players or the settings.
    const auto volume = linear >= 0 ? std::min(linear, 1.0) : 0.0;
    if (volume == volume_) return;
    volume_ = volume;
    for (const auto& [playlist, queue] : queues_)
        queue->player().setVolume(volume_);
    // Stored with the next save of the settings, at the latest at quit: a dragged slider
    // would otherwise write the file at every step.
    services_.defaults.setObject(keys::volume, volume_);
    volumeUnsaved_ = true;
    tellPlaybackChanged();
}

void AppDelegate::setSongNotifications(bool on) {
    if (on == songNotifications_) return;
    songNotifications_ = on;
    services_.defaults.setObject(keys::songNotifications, on);
    saveSettings();
}

void AppDelegate::addPlaybackListener(PlaybackListener* listener) {
    if (listener) playbackListeners_.push_back(listener);
}

void AppDelegate::removePlaybackListener(PlaybackListener* listener) {
    std::erase(playbackListeners_, listener);
}

void AppDelegate::tellPlaybackChanged() {
    for (auto* listener : playbackListeners_)
        listener->playbackChanged();
}

void AppDelegate::tellSeeked() {
    const auto at = position();
    for (auto* listener : playbackListeners_)
        listener->seeked(at);
}

} // namespace platter
