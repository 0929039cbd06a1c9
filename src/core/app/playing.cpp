// Playing a shuffled order through its playlist's queue player: forty minutes queued ahead,
// songs without a playable file skipped, and the next song remembered after every song.

#include "core/app/app_delegate.h"
#include "core/services/audio_files.h"
#include "core/services/dialogs.h"
#include "core/services/view_refresh.h"
#include "core/persistence/user_defaults.h"
#include "core/text/string_rules.h"

#include <algorithm>

namespace platter {

PlayQueue::FilePreparer AppDelegate::filePreparer() const {
    return [this](const MySong& song) -> std::optional<PlayQueue::QueuedFile> {
        if (song.fileStatus() != SongFile::Status::Found) return std::nullopt;
        std::string path(song.filePath());
        const auto seconds = services_.audioFiles.duration(path);
        if (!seconds) return std::nullopt;
        return PlayQueue::QueuedFile{std::move(path), *seconds};
    };
}

void AppDelegate::playMusic() {
    if (playlistAt(playlistNumber_) && !configuring_) startPlaying(*playlistNumber_);
}

void AppDelegate::startPlaying(std::size_t number) {
    auto* selected = playlistAt(number);
    if (!selected) return;
    if (playinglistNumber_) {
        if (*playinglistNumber_ == number) return;
        pauseMusic();
    }
    if (selected->shuffledSongs.empty()) return;
    // Queueing reads where the files are; the search for them is still under way.
    if (!songFilesKnown_) {
        playWhenFilesKnown_ = true;
        return;
    }
    auto* queue = queueOf(*selected);
    if (!queue) {
        auto player = services_.players.create();
        if (!player) return;
        player->setListener(this);
        player->setVolume(volume_);
        player->setReplayGainLevels(replayGain_.preAmp, replayGain_.untagged);
        const auto& shared = library_.playlists[number];
        queue = (queues_[shared.get()] = std::make_unique<PlayQueue>(shared, std::move(player), replayGain_.mode))
                    .get();
    }
    if (queue->player().items().empty()) {
        const auto at = selected->playingNum;
        queue->addItems(filePreparer(), nextItemId_);
        queue->skipUnplayableCurrent();
        // Where the song stopped last time, while it is still the song to play.
        const auto seconds = playingSecondsDict_.find(selected->persistentID());
        const auto* item = queue->itemOfCurrentSong();
        if (seconds != playingSecondsDict_.end() && at == selected->playingNum && item &&
            seconds->second < item->duration)
            queue->player().cueCurrent(seconds->second);
    }
    // Nothing in the order can be played: stay stopped rather than pretend to play, and say why.
    if (queue->player().items().empty()) {
        explainNothingPlayable(*selected);
        return;
    }
    setAudioNotice({});
    queue->player().play();
    playinglistNumber_ = number;
    showNowPlaying(*selected, nowPlayingArtwork(*selected), true);
}

void AppDelegate::showNowPlaying(const MyPlaylist& playlist, const std::optional<std::string>& artwork,
                                 bool started) {
    currentArtwork_ = artwork;
    if (const auto info = playlist.nowPlayingInfo(); info && viewCont_) {
        if (started)
            viewCont_->willPlayWithArtwork(artwork, info->song, info->album, info->artist);
        else
            viewCont_->updatePlayingSongWithArtwork(artwork, info->song, info->album, info->artist,
                                                    playlist.playingNum);
    }
    tellPlaybackChanged();
}

void AppDelegate::explainNothingPlayable(const MyPlaylist& playlist) {
    const auto& files = playlist.files();
    Dialogs::Alert alert{.style = Dialogs::AlertStyle::Warning,
                         .message = "Nothing in \u201c" + playlist.name() + "\u201d can be played.",
                         .informativeText = {},
                         .buttons = {"OK"}};
    if (files.notFound > 0) {
        alert.informativeText =
            "The files of " + groupedNumber(files.notFound) + " of its " + groupedNumber(files.total()) +
            " songs are not on this computer where the library says. If your music is in another "
            "folder or on a drive, choose that folder and " + std::string(bundleName) + " will look there.";
        alert.buttons = {"Find Music Folder\u2026", "Cancel"};
    } else if (files.found == 0) {
        alert.informativeText = "Its songs are streams or songs kept in the cloud; " + std::string(bundleName) +
                                " plays files on this computer only.";
    } else {
        alert.informativeText = "Its songs' files are here, but none of them could be read as audio.";
    }
    if (dialogs_.runAlert(alert) == 0 && files.notFound > 0 && chooseMusicFolder())
        playWhenFilesKnown_ = true;
}

void AppDelegate::pauseMusic() {
    auto* playing = playlistAt(playinglistNumber_);
    if (!playing) return;
    if (auto* queue = queueOf(*playing)) {
        queue->player().pause();
        rememberSeconds(*playing, queue->player().position());
    }
    const bool selected = playlistAt(playlistNumber_) != nullptr;
    if (viewCont_)
        viewCont_->willPauseWithAudioShoudDelete(!selected || configuring_,
                                                 selected && playlistNumber_ != playinglistNumber_);
    playinglistNumber_.reset();
    tellPlaybackChanged();
}

void AppDelegate::updatePlayWithNotification(QueuePlayer& player, QueuePlayer::ItemId ended, bool failed) {
    auto* playlist = playlistAt(playinglistNumber_);
    auto* queue = playlist ? queueOf(*playlist) : nullptr;
    if (!queue || &queue->player() != &player) return;
    const auto& items = queue->items();
    const auto found = std::find_if(items.begin(), items.end(), [&](const auto& i) { return i.id == ended; });
    if (found == items.end()) return;
    queue->itemEnded(*found, failed, filePreparer(), nextItemId_);
    if (player.items().empty()) {
        // The whole order has played: rewind to where the queue began, paused.
        pauseMusic();
        queue->rewind();
    }
    rememberPosition(*playlist);
    rememberSeconds(*playlist, 0);
    showNowPlaying(*playlist, nowPlayingArtwork(*playlist), false);
}

void AppDelegate::itemEnded(QueuePlayer& player, QueuePlayer::ItemId item, bool failed) {
    updatePlayWithNotification(player, item, failed);
}

void AppDelegate::outputFailed(QueuePlayer& player, const std::string& reason) {
    const auto* playing = playlistAt(playinglistNumber_);
    const auto* queue = playing ? queueOf(*playing) : nullptr;
    if (!queue || &queue->player() != &player) return;
    // No song is to blame: every one stays playable, and Play tries the output again.
    pauseMusic();
    setAudioNotice("The sound output is not available (" + reason +
                   "). Playback is paused; press Play to try again.");
}

PlayQueue* AppDelegate::queueOf(const MyPlaylist& playlist) const {
    const auto found = queues_.find(&playlist);
    return found == queues_.end() ? nullptr : found->second.get();
}

void AppDelegate::dropQueue(const MyPlaylist& playlist) { queues_.erase(&playlist); }

void AppDelegate::setAudioNotice(std::string text) {
    if (audioNotice_ == text) return;
    audioNotice_ = std::move(text);
    if (viewCont_) viewCont_->refreshStatusNotice();
}

void AppDelegate::forward() {
    const auto* playing = playlistAt(playinglistNumber_);
    const auto* queue = playing ? queueOf(*playing) : nullptr;
    // Never before the item's end, so it ends at once and the next song follows.
    if (const auto* item = queue ? queue->currentItem() : nullptr)
        queue->player().seekPlayer(item->duration + queue->finishedTime());
}

void AppDelegate::playFromSong(std::size_t index) {
    const auto* selected = playlistAt(playlistNumber_);
    if (!selected || configuring_ || index >= selected->shuffledSongs.size()) return;
    playFrom(*playlistNumber_, static_cast<std::int64_t>(index));
}

void AppDelegate::playFrom(std::size_t number, std::int64_t index) {
    auto* playlist = playlistAt(number);
    if (playinglistNumber_ == number) pauseMusic();
    // A queue holds what follows the song it began with: it is built again from this one.
    dropQueue(*playlist);
    playlist->playingNum = index;
    rememberPosition(*playlist);
    rememberSeconds(*playlist, 0);
    startPlaying(number);
}

void AppDelegate::nextAlbum() {
    auto* playing = playlistAt(playinglistNumber_);
    const auto place = playing ? playing->unitAt(playing->playingNum) : std::nullopt;
    if (!place) return;
    if (place->end < static_cast<std::int64_t>(playing->shuffledSongs.size()))
        return playFrom(*playinglistNumber_, place->end);
    pauseMusic();
    dropQueue(*playing);
    playing->playingNum = 0;
    rememberPosition(*playing);
    rememberSeconds(*playing, 0);
    showNowPlaying(*playing, nowPlayingArtwork(*playing), false);
}

void AppDelegate::restartAlbum() {
    const auto* playing = playlistAt(playinglistNumber_);
    if (const auto place = playing ? playing->unitAt(playing->playingNum) : std::nullopt)
        playFrom(*playinglistNumber_, place->first);
}

void AppDelegate::backward() {
    const auto* playing = playlistAt(playinglistNumber_);
    const auto* queue = playing ? queueOf(*playing) : nullptr;
    if (const auto* item = queue ? queue->currentItem() : nullptr) {
        queue->player().seekItem(item->id, 0);
        tellSeeked();
    }
}

} // namespace platter
