// Playing a shuffled order through its playlist's queue player: forty minutes queued ahead,
// songs without a playable file skipped, and the next song remembered after every song.

#include "core/app/app_delegate.h"
#include "core/services/audio_files.h"
#include "core/services/dialogs.h"
#include "core/services/file_system.h"
#include "core/services/log.h"
#include "core/services/view_refresh.h"
#include "core/persistence/user_defaults.h"
#include "core/text/string_rules.h"

#include <algorithm>
#include <filesystem>

namespace platter {

namespace {

// The outermost folder of `path` that is no longer there (a drive that went, a folder moved
// away); empty while the file's own folder is there.
std::string missingFolderOf(const FileSystem& files, const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty() || files.isDirectory(folder.string())) return {};
    while (folder.has_parent_path() && folder.parent_path() != folder &&
           !files.isDirectory(folder.parent_path().string()))
        folder = folder.parent_path();
    return folder.string();
}

// That folder of the file found for `playlist`'s current song.
std::string missingFolderOfCurrent(const FileSystem& files, const MyPlaylist& playlist) {
    const auto at = playlist.playingNum;
    if (at < 0 || at >= static_cast<std::int64_t>(playlist.shuffledSongs.size())) return {};
    const auto& song = *playlist.shuffledSongs[static_cast<std::size_t>(at)];
    return song.fileStatus() == SongFile::Status::Found ? missingFolderOf(files, std::string(song.filePath()))
                                                        : std::string();
}

} // namespace

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
    releaseQueuesExcept(*selected);
    auto* queue = queueOf(*selected);
    // Queueing with the music's folder gone would find no file and hold every song against it.
    if (!queue || queue->player().items().empty())
        if (const auto missing = missingFolderOfCurrent(services_.fileSystem, *selected); !missing.empty())
            return musicUnreachable(missing);
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
    stopped_ = false;
    storeSelection();
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
        if (queue->currentItem()) rememberSeconds(*playing, queue->player().position());
    }
    const bool selected = playlistAt(playlistNumber_) != nullptr;
    if (viewCont_)
        viewCont_->willPauseWithAudioShoudDelete(!selected || configuring_,
                                                 selected && playlistNumber_ != playinglistNumber_);
    playinglistNumber_.reset();
    storeSelection();
    tellPlaybackChanged();
}

void AppDelegate::updatePlayWithNotification(QueuePlayer& player, QueuePlayer::ItemId ended, bool failed) {
    auto* playlist = playlistAt(playinglistNumber_);
    auto* queue = playlist ? queueOf(*playlist) : nullptr;
    if (!queue || &queue->player() != &player) return;
    const auto& items = queue->items();
    const auto found = std::find_if(items.begin(), items.end(), [&](const auto& i) { return i.id == ended; });
    if (found == items.end()) return;
    if (failed) {
        // The coming songs' folder went with this one's (a drive, a moved folder): no song is
        // to blame. It waits at this song for the music to come back.
        const auto next = std::next(found);
        const auto missing = missingFolderOf(services_.fileSystem, found->path);
        if (!missing.empty() &&
            (next == items.end() || !missingFolderOf(services_.fileSystem, next->path).empty())) {
            queue->clear();
            pauseMusic();
            rememberPosition(*playlist);
            musicUnreachable(missing);
            return;
        }
    }
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

void AppDelegate::musicUnreachable(const std::string& folder) {
    log::write(log::Category::Player, folder + " is gone: paused");
    setAudioNotice("The music folder " + folder +
                   " cannot be reached. Playback is paused; press Play when it is back.");
    tellPlaybackChanged();
}

void AppDelegate::releaseQueuesExcept(const MyPlaylist& keep) {
    // A paused pipeline holds its decoders and the sound device: only the playlist about to
    // play keeps one. The others resume from where they stand, as after a restart.
    for (auto at = queues_.begin(); at != queues_.end();) {
        if (at->first == &keep) {
            ++at;
            continue;
        }
        const auto& queue = *at->second;
        const auto& playlist = queue.playlist();
        if (queue.currentItem()) rememberSeconds(playlist, queue.player().position());
        if (const auto stored = playingNumDict_.find(playlist.persistentID());
            stored == playingNumDict_.end() || stored->second != playlist.playingNum)
            rememberPosition(playlist);
        at = queues_.erase(at);
    }
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
    auto* playlist = controlled();
    if (!playlist || playlist->shuffledSongs.empty()) return;
    if (!playinglistNumber_) {
        // Past the last song the order has played: it waits at its start.
        const auto next = playlist->playingNum + 1;
        return moveWhilePaused(*playlist,
                               next < static_cast<std::int64_t>(playlist->shuffledSongs.size()) ? next : 0);
    }
    const auto* queue = queueOf(*playlist);
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
    auto* playlist = controlled();
    const auto place = playlist ? playlist->unitAt(playlist->playingNum) : std::nullopt;
    if (!place) return;
    const bool last = place->end >= static_cast<std::int64_t>(playlist->shuffledSongs.size());
    if (!playinglistNumber_) return moveWhilePaused(*playlist, last ? 0 : place->end);
    if (!last) return playFrom(*playinglistNumber_, place->end);
    pauseMusic();
    dropQueue(*playlist);
    playlist->playingNum = 0;
    rememberPosition(*playlist);
    rememberSeconds(*playlist, 0);
    showNowPlaying(*playlist, nowPlayingArtwork(*playlist), false);
}

void AppDelegate::restartAlbum() {
    auto* playlist = controlled();
    const auto place = playlist ? playlist->unitAt(playlist->playingNum) : std::nullopt;
    if (!place) return;
    if (!playinglistNumber_) return moveWhilePaused(*playlist, place->first);
    playFrom(*playinglistNumber_, place->first);
}

void AppDelegate::backward() {
    auto* playlist = controlled();
    if (!playlist || !currentSong()) return;
    const auto* queue = queueOf(*playlist);
    if (const auto* item = queue ? queue->currentItem() : nullptr) queue->player().seekItem(item->id, 0);
    if (!playinglistNumber_) rememberSeconds(*playlist, 0);
    tellSeeked();
}

std::int64_t AppDelegate::playableFrom(const MyPlaylist& playlist, std::int64_t index) const {
    // Before the search for the files has told, every song may have one.
    if (!songFilesKnown_) return index;
    const auto count = static_cast<std::int64_t>(playlist.shuffledSongs.size());
    for (std::int64_t step = 0; step < count; ++step) {
        const auto candidate = (index + step) % count;
        if (playlist.shuffledSongs[static_cast<std::size_t>(candidate)]->fileStatus() ==
            SongFile::Status::Found)
            return candidate;
    }
    return index;
}

void AppDelegate::moveWhilePaused(MyPlaylist& playlist, std::int64_t index) {
    // A queue holds what follows the song it began with: the next play builds one from here.
    dropQueue(playlist);
    playlist.playingNum = playableFrom(playlist, index);
    rememberPosition(playlist);
    rememberSeconds(playlist, 0);
    showNowPlaying(playlist, nowPlayingArtwork(playlist), false);
}

} // namespace platter
