// Playback as the desktop's media controls see and steer it. Every action here is one the
// window has too; these only add what a control outside the window needs to know.

#include "core/app/app_delegate.h"
#include "core/persistence/user_defaults.h"
#include "core/services/playback_listener.h"

#include <algorithm>

namespace platter {

namespace {

// The playlist the play button acts on: the playing one, else the selected one showing its order.
const MyPlaylist* controlledPlaylist(const AppDelegate& app) {
    if (const auto* playing = app.playlistAt(app.playinglistNumber())) return playing;
    return app.configuring() ? nullptr : app.playlistAt(app.playlistNumber());
}

} // namespace

AppDelegate::PlaybackStatus AppDelegate::playbackStatus() const {
    if (playinglistNumber_) return PlaybackStatus::Playing;
    const auto* playlist = controlledPlaylist(*this);
    const auto* queue = playlist ? queueOf(*playlist) : nullptr;
    return queue && queue->currentItem() ? PlaybackStatus::Paused : PlaybackStatus::Stopped;
}

SongPtr AppDelegate::currentSong() const {
    const auto* playlist = controlledPlaylist(*this);
    if (!playlist || playlist->playingNum < 0 ||
        static_cast<std::size_t>(playlist->playingNum) >= playlist->shuffledSongs.size())
        return nullptr;
    return playlist->shuffledSongs[static_cast<std::size_t>(playlist->playingNum)];
}

double AppDelegate::position() const {
    const auto* playlist = controlledPlaylist(*this);
    const auto* queue = playlist ? queueOf(*playlist) : nullptr;
    const auto* item = queue ? queue->currentItem() : nullptr;
    // A decoder may run on past the length its file gave: the song is at its end then.
    return item ? std::clamp(queue->player().position(), 0.0, item->duration) : 0.0;
}

double AppDelegate::currentLength() const {
    const auto song = currentSong();
    if (!song) return 0;
    const auto* queue = queueOf(*controlledPlaylist(*this));
    const auto* item = queue ? queue->itemOfCurrentSong() : nullptr;
    return item ? item->duration : song->duration();
}

bool AppDelegate::canPlay() const {
    const auto* playlist = controlledPlaylist(*this);
    return playlist && !playlist->shuffledSongs.empty();
}

bool AppDelegate::canSeek() const {
    const auto* playlist = controlledPlaylist(*this);
    const auto* queue = playlist ? queueOf(*playlist) : nullptr;
    return queue && queue->currentItem();
}

void AppDelegate::seek(double seconds) {
    const auto* playlist = controlledPlaylist(*this);
    const auto* queue = playlist ? queueOf(*playlist) : nullptr;
    const auto* item = queue ? queue->currentItem() : nullptr;
    if (!item) return;
    if (seconds >= item->duration) return forward();
    queue->player().seekItem(item->id, std::max(seconds, 0.0));
    tellSeeked();
}

void AppDelegate::stop() {
    const auto* playing = playlistAt(playinglistNumber_);
    pauseMusic();
    seek(0);
    if (playing) rememberSeconds(*playing, 0);
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
