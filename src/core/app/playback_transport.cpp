// The transport and what controls outside the window need to know of it. While nothing plays
// the controls move the current song and stay paused there.

#include "core/app/playback_controller.h"

#include "core/app/song_file_search.h"
#include "core/app/state_keeper.h"
#include "core/app/statistics.h"
#include "core/persistence/user_defaults.h"

#include <algorithm>

namespace platter {

const MyPlaylist* PlaybackController::controlled() const {
    if (const auto* playing = playlistAt(library_, playing_)) return playing;
    return selection_.configuring ? nullptr : playlistAt(library_, selection_.playlist);
}

bool PlaybackController::hasPlace(const MyPlaylist& playlist) const {
    if (const auto* queue = queueOf(playlist); queue && queue->currentItem()) return true;
    return state_.hasStoredPlace(playlist);
}

PlaybackController::Status PlaybackController::status() const {
    if (playing_) return Status::Playing;
    const auto* playlist = controlled();
    return playlist && !stopped_ && currentSong() && hasPlace(*playlist) ? Status::Paused : Status::Stopped;
}

SongPtr PlaybackController::currentSong() const {
    const auto* playlist = controlled();
    if (!playlist || playlist->playingNum < 0 ||
        static_cast<std::size_t>(playlist->playingNum) >= playlist->shuffledSongs.size())
        return nullptr;
    return playlist->shuffledSongs[static_cast<std::size_t>(playlist->playingNum)];
}

double PlaybackController::position() const {
    const auto* playlist = controlled();
    const auto* queue = playlist ? queueOf(*playlist) : nullptr;
    // A decoder may run on past the length its file gave: the song is at its end then.
    if (const auto* item = queue ? queue->currentItem() : nullptr)
        return std::clamp(queue->player().position(), 0.0, item->duration);
    const auto stored = playlist ? state_.storedSeconds(*playlist) : std::nullopt;
    return !stored || !currentSong() ? 0.0 : std::min(*stored, currentLength());
}

double PlaybackController::currentLength() const {
    const auto song = currentSong();
    if (!song) return 0;
    const auto* queue = queueOf(*controlled());
    const auto* item = queue ? queue->itemOfCurrentSong() : nullptr;
    return item ? item->duration : song->duration();
}

bool PlaybackController::canPlay() const {
    const auto* playlist = controlled();
    return playlist && !playlist->shuffledSongs.empty();
}

bool PlaybackController::canSeek() const {
    const auto* playlist = controlled();
    return playlist && currentSong() && hasPlace(*playlist);
}

void PlaybackController::forward() {
    auto* playlist = controlled();
    if (!playlist || playlist->shuffledSongs.empty()) return;
    movingOn();
    if (!playing_) {
        // Past the last song the order has played: it waits at its start.
        const auto next = playlist->playingNum + 1;
        return moveWhilePaused(*playlist, next < static_cast<std::int64_t>(playlist->shuffledSongs.size()) ? next : 0);
    }
    const auto* queue = queueOf(*playlist);
    // A seek to the item's end ends it, and the next song follows.
    if (const auto* item = queue ? queue->currentItem() : nullptr) queue->player().seekPlayer(item->duration);
}

void PlaybackController::backward() {
    auto* playlist = controlled();
    if (!playlist || !currentSong()) return;
    const auto* queue = queueOf(*playlist);
    if (const auto* item = queue ? queue->currentItem() : nullptr) {
        statistics_.restarted(item->id, queue->player().position());
        queue->player().seekItem(item->id, 0);
    }
    if (!playing_) state_.rememberSeconds(*playlist, 0);
    events_.tell(AppEvent::Seeked);
}

void PlaybackController::playFromSong(std::size_t index) {
    const auto* selected = playlistAt(library_, selection_.playlist);
    if (!selected || selection_.configuring || index >= selected->shuffledSongs.size()) return;
    // The song that is current again starts a new play of it; any other is moved on to.
    if (static_cast<std::int64_t>(index) != selected->playingNum) movingOn();
    playFrom(*selection_.playlist, static_cast<std::int64_t>(index));
}

void PlaybackController::moveTo(MyPlaylist& playlist, std::int64_t index) {
    // A queue holds what follows the song it began with: it is built again from this one.
    dropQueue(playlist);
    playlist.playingNum = index;
    state_.rememberPosition(playlist);
    state_.rememberSeconds(playlist, 0);
}

void PlaybackController::playFrom(std::size_t number, std::int64_t index) {
    if (playing_ == number) pause();
    moveTo(*library_.playlists[number], index);
    startPlaying(number);
}

void PlaybackController::nextAlbum() {
    auto* playlist = controlled();
    const auto place = playlist ? playlist->unitAt(playlist->playingNum) : std::nullopt;
    if (!place) return;
    movingOn();
    const bool last = place->end >= static_cast<std::int64_t>(playlist->shuffledSongs.size());
    if (!playing_) return moveWhilePaused(*playlist, last ? 0 : place->end);
    if (!last) return playFrom(*playing_, place->end);
    pause();
    moveTo(*playlist, 0);
    showPaused(*playlist);
}

void PlaybackController::restartAlbum() {
    auto* playlist = controlled();
    const auto place = playlist ? playlist->unitAt(playlist->playingNum) : std::nullopt;
    if (!place) return;
    if (playlist->playingNum != place->first) movingOn();
    if (!playing_) return moveWhilePaused(*playlist, place->first);
    playFrom(*playing_, place->first);
}

std::int64_t PlaybackController::playableFrom(const MyPlaylist& playlist, std::int64_t index) const {
    // Before the search for the files has told, every song may have one.
    if (!files_.known()) return index;
    const auto count = static_cast<std::int64_t>(playlist.shuffledSongs.size());
    for (std::int64_t step = 0; step < count; ++step) {
        const auto candidate = (index + step) % count;
        if (playlist.shuffledSongs[static_cast<std::size_t>(candidate)]->fileStatus() == SongFile::Status::Found)
            return candidate;
    }
    return index;
}

void PlaybackController::moveWhilePaused(MyPlaylist& playlist, std::int64_t index) {
    moveTo(playlist, playableFrom(playlist, index));
    showPaused(playlist);
}

void PlaybackController::seek(double seconds) {
    auto* playlist = controlled();
    if (!playlist || !currentSong()) return;
    if (seconds >= currentLength()) return forward();
    const auto* queue = queueOf(*playlist);
    if (const auto* item = queue ? queue->currentItem() : nullptr) {
        statistics_.seeked(queue->player().position(), std::max(seconds, 0.0));
        queue->player().seekItem(item->id, std::max(seconds, 0.0));
    }
    // Kept at once while it does not play: it is where the next play starts.
    if (!playing_) state_.rememberSeconds(*playlist, std::max(seconds, 0.0));
    events_.tell(AppEvent::Seeked);
}

void PlaybackController::stop() {
    // The playlist that plays, not the one the pause leaves current.
    auto* playlist = controlled();
    pause();
    statistics_.left();
    if (!playlist) return;
    const auto* queue = queueOf(*playlist);
    if (const auto* item = queue ? queue->currentItem() : nullptr) queue->player().seekItem(item->id, 0);
    state_.rememberSeconds(*playlist, 0);
    stopped_ = true;
    events_.tell(AppEvent::Seeked);
    events_.tell(AppEvent::Playback);
}

void PlaybackController::orderChanged(MyPlaylist& playlist) {
    state_.storeOrder(playlist);
    state_.rememberPosition(playlist);
    // The song playing plays on; a queue that holds none is built again at the next play.
    if (auto* queue = queueOf(playlist)) {
        if (queue->requeueAfterCurrent(filePreparer(*queue), nextItemId_))
            readAhead(*queue);
        else
            dropQueue(playlist);
    }
}

void PlaybackController::orderRedrawn(MyPlaylist& playlist) {
    dropQueue(playlist);
    state_.storeOrder(playlist);
    state_.forgetPlace(playlist);
}

void PlaybackController::setVolume(double linear) {
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
    events_.tell(AppEvent::Playback);
}

void PlaybackController::setReplayGain(const ReplayGain& replayGain) {
    auto chosen = replayGain;
    chosen.preAmp = ReplayGain::level(chosen.preAmp);
    chosen.untagged = ReplayGain::level(chosen.untagged);
    if (chosen == replayGain_) return;
    replayGain_ = chosen;
    for (const auto& [playlist, queue] : queues_) {
        queue->setReplayGainMode(chosen.mode);
        queue->player().setReplayGainLevels(chosen.preAmp, chosen.untagged);
    }
    services_.defaults.setObject(keys::replayGain, replayGainValue(chosen));
    state_.saveSettings();
}

} // namespace platter
