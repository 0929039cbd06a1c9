// Playing a shuffled order through its playlist's queue: forty minutes queued ahead, songs
// without a playable file skipped, and the next song remembered after every song.

#include "core/app/playback_controller.h"

#include "core/app/song_file_search.h"
#include "core/app/state_keeper.h"
#include "core/app/statistics.h"
#include "core/persistence/user_defaults.h"
#include "core/services/audio_files.h"
#include "core/services/file_system.h"
#include "core/services/log.h"

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

PlaybackController::PlaybackController(Services services, Library& library, const Selection& selection,
                                       StateKeeper& state, const SongFileSearch& files, const AppEvents& events,
                                       Statistics& statistics, Hooks hooks)
    : services_(services), library_(library), selection_(selection), state_(state), files_(files), events_(events),
      statistics_(statistics), hooks_(std::move(hooks)) {}

PlaybackController::~PlaybackController() = default;

void PlaybackController::readSettings() {
    const auto& defaults = services_.defaults;
    if (const auto* stored = defaults.objectForKey(keys::volume))
        if (const auto* volume = stored->get<double>(); volume && *volume >= 0 && *volume <= 1) volume_ = *volume;
    replayGain_ = readReplayGain(defaults);
}

PlayQueue::FilePreparer PlaybackController::filePreparer(const PlayQueue& queue) {
    return [this, &queue](const MySong& song) -> PlayQueue::QueuedFile {
        using File = PlayQueue::QueuedFile;
        // A new model's files are being looked for while the old queue plays on.
        if (song.fileStatus() == SongFile::Status::Unknown && !queue.player().items().empty())
            return {File::Status::Later, {}, 0};
        if (song.fileStatus() != SongFile::Status::Found) return {};
        std::string path(song.filePath());
        std::optional<double> seconds;
        if (auto known = lengths_.extract(path))
            seconds = known.mapped();
        else if (queue.player().items().empty()) // something has to play now
            seconds = services_.audioFiles.duration(path);
        else
            return {File::Status::Later, {}, 0};
        if (!seconds) return {};
        return {File::Status::Ready, std::move(path), *seconds};
    };
}

void PlaybackController::readAhead(const PlayQueue& queue) {
    // Ten minutes past the queue's window, by the library's lengths, and never the whole of a
    // long order at once.
    constexpr double aheadSeconds = 3000;
    constexpr std::size_t mostSongs = 64;
    if (queue.roundQueued()) return;
    const auto& order = queue.playlist().shuffledSongs;
    std::vector<std::string> paths;
    auto index = static_cast<std::size_t>(queue.nextNumToAdd());
    auto ahead = queue.queuedAhead();
    for (std::size_t n = 0; n < std::min(order.size(), mostSongs) && ahead < aheadSeconds;
         ++n, index = (index + 1) % order.size()) {
        const auto& song = *order[index];
        if (song.fileStatus() != SongFile::Status::Found) continue;
        ahead += song.duration();
        std::string path(song.filePath());
        if (!lengths_.contains(path) && reading_.insert(path).second) paths.push_back(std::move(path));
    }
    if (paths.empty()) return;
    services_.tasks.runInBackground([paths = std::move(paths), &files = services_.audioFiles, &tasks = services_.tasks,
                                     alive = std::weak_ptr<int>(lifetime_), this]() mutable {
        std::vector<std::optional<double>> lengths;
        lengths.reserve(paths.size());
        for (const auto& path : paths)
            lengths.push_back(files.duration(path));
        tasks.runOnMainThread([paths = std::move(paths), lengths = std::move(lengths), alive, this] {
            if (alive.expired()) return;
            for (std::size_t i = 0; i < paths.size(); ++i) {
                reading_.erase(paths[i]);
                lengths_[paths[i]] = lengths[i];
            }
            topUp();
        });
    });
}

void PlaybackController::topUp() {
    for (const auto& [playlist, queue] : queues_) {
        if (queue->player().items().empty()) continue; // built again at its next play
        queue->addItems(filePreparer(*queue), nextItemId_);
        readAhead(*queue);
    }
}

void PlaybackController::play() {
    if (playlistAt(library_, selection_.playlist) && !selection_.configuring) startPlaying(*selection_.playlist);
}

PlayQueue* PlaybackController::makeQueue(std::size_t number) {
    auto player = services_.players.create();
    if (!player) return nullptr;
    player->setListener(this);
    player->setVolume(volume_);
    player->setReplayGainLevels(replayGain_.preAmp, replayGain_.untagged);
    const auto& shared = library_.playlists[number];
    return (queues_[shared.get()] = std::make_unique<PlayQueue>(shared, std::move(player), replayGain_.mode)).get();
}

void PlaybackController::startPlaying(std::size_t number) {
    auto* selected = playlistAt(library_, number);
    if (!selected) return;
    if (playing_) {
        if (*playing_ == number) return;
        pause();
    }
    if (selected->shuffledSongs.empty()) return;
    // Queueing reads where the files are; the search for them is still under way.
    if (!files_.known()) {
        playWhenFilesKnown_ = true;
        return;
    }
    releaseQueuesExcept(*selected);
    auto* queue = queueOf(*selected);
    // Queueing with the music's folder gone would find no file and hold every song against it.
    if (!queue || queue->player().items().empty())
        if (const auto missing = missingFolderOfCurrent(services_.fileSystem, *selected); !missing.empty())
            return musicUnreachable(missing);
    if (!queue && !(queue = makeQueue(number))) return;
    if (queue->player().items().empty()) {
        const auto at = selected->playingNum;
        queue->addItems(filePreparer(*queue), nextItemId_);
        readAhead(*queue);
        queue->skipUnplayableCurrent();
        // Where the song stopped last time, while it is still the song to play.
        const auto seconds = state_.storedSeconds(*selected);
        const auto* item = queue->itemOfCurrentSong();
        if (seconds && at == selected->playingNum && item && *seconds < item->duration)
            queue->player().cueCurrent(*seconds);
    }
    // Nothing in the order can be played: stay stopped rather than pretend to play, and say why.
    if (queue->player().items().empty()) {
        if (hooks_.nothingPlayable && hooks_.nothingPlayable(*selected)) playWhenFilesKnown_ = true;
        return;
    }
    setNotice(std::nullopt);
    queue->player().play();
    listening(*queue, queue->player().position());
    playing_ = number;
    stopped_ = false;
    storeSelection();
    showNowPlaying(artworkOf(*selected));
}

void PlaybackController::listening(const PlayQueue& queue, double at) {
    const auto* item = queue.currentItem();
    const auto& playlist = queue.playlist();
    if (!item || playlist.playingNum < 0 || playlist.playingNum >= static_cast<std::int64_t>(playlist.shuffledSongs.size()))
        return;
    statistics_.sounding(item->id, playlist.shuffledSongs[static_cast<std::size_t>(playlist.playingNum)], item->duration,
                         at);
}

void PlaybackController::movingOn() {
    const auto* playlist = controlled();
    const auto* queue = playlist ? queueOf(*playlist) : nullptr;
    if (const auto* item = queue ? queue->currentItem() : nullptr)
        statistics_.skipped(item->id, queue->player().position());
}

void PlaybackController::storeSelection() {
    state_.storeSelection(playlistAt(library_, playing_), playlistAt(library_, selection_.playlist));
}

void PlaybackController::showNowPlaying(const std::optional<std::string>& artwork) {
    artwork_ = artwork;
    events_.tell(AppEvent::Playback);
}

void PlaybackController::showPaused(const MyPlaylist& playlist) { showNowPlaying(artworkOf(playlist)); }

void PlaybackController::pause() {
    auto* playing = playlistAt(library_, playing_);
    if (!playing) return;
    if (auto* queue = queueOf(*playing)) {
        queue->player().pause();
        statistics_.silenced(queue->player().position());
        if (queue->currentItem()) state_.rememberSeconds(*playing, queue->player().position());
    }
    playing_.reset();
    storeSelection();
    events_.tell(AppEvent::Playback);
}

void PlaybackController::itemEnded(QueuePlayer& player, QueuePlayer::ItemId ended, bool failed) {
    auto* playlist = playlistAt(library_, playing_);
    auto* queue = playlist ? queueOf(*playlist) : nullptr;
    if (!queue || &queue->player() != &player) return;
    const auto& items = queue->items();
    const auto found = std::find_if(items.begin(), items.end(), [&](const auto& i) { return i.id == ended; });
    if (found == items.end()) return;
    statistics_.ended(ended, failed);
    if (failed) {
        // The coming songs' folder went with this one's (a drive, a moved folder): no song is
        // to blame. It waits at this song for the music to come back.
        const auto next = std::next(found);
        const auto missing = missingFolderOf(services_.fileSystem, found->path);
        if (!missing.empty() &&
            (next == items.end() || !missingFolderOf(services_.fileSystem, next->path).empty())) {
            queue->clear();
            pause();
            state_.rememberPosition(*playlist);
            musicUnreachable(missing);
            return;
        }
    }
    queue->itemEnded(*found, failed, filePreparer(*queue), nextItemId_);
    readAhead(*queue);
    // The next song follows on from its start.
    listening(*queue, 0);
    if (player.items().empty()) {
        // The whole order has played: rewind to where the queue began, paused.
        pause();
        queue->rewind();
    }
    state_.rememberPosition(*playlist);
    state_.rememberSeconds(*playlist, 0);
    showNowPlaying(artworkOf(*playlist));
}

void PlaybackController::outputFailed(QueuePlayer& player, const std::string& reason) {
    const auto* playing = playlistAt(library_, playing_);
    const auto* queue = playing ? queueOf(*playing) : nullptr;
    if (!queue || &queue->player() != &player) return;
    // No song is to blame: every one stays playable, and Play tries the output again.
    pause();
    setNotice(Notice{Notice::Kind::OutputUnavailable, {}, reason});
}

void PlaybackController::musicUnreachable(const std::string& folder) {
    log::write(log::Category::Player, folder + " is gone: paused");
    setNotice(Notice{Notice::Kind::MusicUnreachable, folder, {}});
    events_.tell(AppEvent::Playback);
}

void PlaybackController::setNotice(std::optional<Notice> notice) {
    if (notice_ == notice) return;
    notice_ = std::move(notice);
    if (hooks_.noticeChanged) hooks_.noticeChanged();
}

void PlaybackController::releaseQueuesExcept(const MyPlaylist& keep) {
    // A paused pipeline holds its decoders and the sound device: only the playlist about to
    // play keeps one. The others resume from where they stand, as after a restart.
    for (auto at = queues_.begin(); at != queues_.end();) {
        if (at->first == &keep) {
            ++at;
            continue;
        }
        const auto& queue = *at->second;
        if (queue.currentItem()) state_.rememberSeconds(queue.playlist(), queue.player().position());
        state_.rememberPositionIfMoved(queue.playlist());
        at = queues_.erase(at);
    }
}

PlayQueue* PlaybackController::queueOf(const MyPlaylist& playlist) const {
    const auto found = queues_.find(&playlist);
    return found == queues_.end() ? nullptr : found->second.get();
}

void PlaybackController::dropQueue(const MyPlaylist& playlist) { queues_.erase(&playlist); }

void PlaybackController::modelReplaced() {
    // The playing playlist keeps its player alive through the rebuild.
    const auto* playing = playlistAt(library_, playing_);
    if (playing)
        if (auto node = queues_.extract(playing); node) kept_ = std::move(node.mapped());
    playing_.reset();
    queues_.clear();
    lengths_.clear();
}

void PlaybackController::takeOver() {
    auto kept = std::move(kept_);
    if (!kept) return;
    const auto& old = kept->playlist();
    const auto found = std::find_if(library_.playlists.begin(), library_.playlists.end(),
                                    [&](const PlaylistPtr& p) { return p->persistentID() == old.persistentID(); });
    if (found == library_.playlists.end() ||
        !std::equal(old.shuffledSongs.begin(), old.shuffledSongs.end(), (*found)->shuffledSongs.begin(),
                    (*found)->shuffledSongs.end(),
                    [](const SongPtr& x, const SongPtr& y) { return x->persistentID() == y->persistentID(); }))
        return;
    kept->moveTo(*found);
    queues_[found->get()] = std::move(kept);
    playing_ = static_cast<std::size_t>(found - library_.playlists.begin());
}

void PlaybackController::filesKnown() {
    const auto* playing = playlistAt(library_, playing_);
    // Songs that could not be played may be found now; a queue that is not playing is built
    // afresh when it plays.
    for (auto at = queues_.begin(); at != queues_.end();)
        at = at->first != playing && !at->second->unplayableIndexes().empty() ? queues_.erase(at) : std::next(at);
    topUp();
    if (std::exchange(playWhenFilesKnown_, false)) return play();
    // A song resumed at the start waits with its file's artwork, now that the file is known.
    if (auto* paused = playing_ ? nullptr : controlled(); paused && currentSong() && hasPlace(*paused))
        showPaused(*paused);
}

void PlaybackController::quit() {
    // A quit may be a session's save only: what was heard counts, and listening goes on.
    if (const auto* playing = playlistAt(library_, playing_))
        if (const auto* queue = queueOf(*playing)) statistics_.checkpoint(queue->player().position());
    // Where every queue stands, the playing one's and any that was moved within while paused.
    for (const auto& [playlist, queue] : queues_)
        if (queue->currentItem()) state_.rememberSeconds(*playlist, queue->player().position());
    if (std::exchange(volumeUnsaved_, false)) state_.saveSettings();
}

} // namespace platter
