#pragma once

// Playback: which playlist plays, its queue and player, the transport, the volume and the
// loudness levelling. Each playlist that plays gets a queue of its own, with a player, forty
// minutes queued ahead; only the playing one keeps it, the others resume from where they
// stand, as after a restart. It is the only writer of a playlist's place in its order
// (`playingNum`) outside the order's own rules, and it stores that place as it moves.
//
// The transport acts on the playing playlist, or else on the selected one while its order
// shows: that is the current song's playlist for controls outside the window too.

#include "core/app/app_events.h"
#include "core/app/notices.h"
#include "core/app/selection.h"
#include "core/model/library.h"
#include "core/playback/play_queue.h"
#include "core/services/replay_gain.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace platter {

class ArtworkReader;
class AudioFiles;
class FileSystem;
class SongFileSearch;
class StateKeeper;
class Statistics;
class TaskRunner;
class UserDefaults;

class PlaybackController final : private QueuePlayer::Listener {
public:
    struct Services {
        QueuePlayerFactory& players;
        const AudioFiles& audioFiles;
        const FileSystem& fileSystem;
        const ArtworkReader& artwork;
        TaskRunner& tasks;
        UserDefaults& defaults;
    };
    struct Hooks {
        // Play found nothing to play in the playlist; true when the user chose a place to look
        // for its files, so that it plays once they are known.
        std::function<bool(const MyPlaylist&)> nothingPlayable;
        // The notice `notice()` tells changed.
        std::function<void()> noticeChanged;
    };
    PlaybackController(Services services, Library& library, const Selection& selection, StateKeeper& state,
                       const SongFileSearch& files, const AppEvents& events, Statistics& statistics, Hooks hooks);
    ~PlaybackController() override;
    PlaybackController(const PlaybackController&) = delete;
    PlaybackController& operator=(const PlaybackController&) = delete;

    // The stored volume and loudness levelling.
    void readSettings();

    // Plays the selected playlist, from where it stands.
    void play();
    void pause();
    // The next song, or the current one from its start. While nothing plays they move the
    // current song and stay paused (stopped, after a stop) at its start.
    void forward();
    void backward();
    // Plays the selected playlist's order from the song at `index`, the order unchanged.
    void playFromSong(std::size_t index);
    // The playing unit: skips the rest of it, or plays it again from its first song. Past the
    // last unit the order has played: it stops at its start, as after its last song.
    void nextAlbum();
    void restartAlbum();
    // Moves within the current song; at or past its end the next song plays.
    void seek(double seconds);
    // Pauses and goes back to the start of the current song, reported as Stopped until Play.
    void stop();
    // The selected playlist's order changed around its current song (a unit moved to play
    // next): the song playing plays on, what follows is queued anew.
    void orderChanged(MyPlaylist& playlist);
    // `playlist` has a new order: it starts at its first song, with a new queue.
    void orderRedrawn(MyPlaylist& playlist);
    // Another playlist is selected: a stop no longer stands.
    void selectionChanged() { stopped_ = false; }

    std::optional<std::size_t> playing() const { return playing_; }
    enum class Status { Stopped, Paused, Playing };
    Status status() const;
    SongPtr currentSong() const;
    const std::optional<std::string>& currentArtwork() const { return artwork_; }
    double position() const;
    double currentLength() const;
    bool canPlay() const;
    bool canSeek() const;
    // A playlist's queue while it has one: from its play until another playlist plays or it
    // gets a new order.
    PlayQueue* queueOf(const MyPlaylist& playlist) const;
    // Why playback paused on its own, while it stays paused.
    const std::optional<Notice>& notice() const { return notice_; }

    double volume() const { return volume_; }
    void setVolume(double linear);
    const ReplayGain& replayGain() const { return replayGain_; }
    void setReplayGain(const ReplayGain& replayGain);

    // The model is about to be replaced: every queue goes, but the playing one's, kept aside for
    // `takeOver`, and nothing plays.
    void modelReplaced();
    // The new model is in place: the kept queue plays on when its playlist is still there with
    // the same order.
    void takeOver();
    // The songs' files are known now; a play that waited for them goes on.
    void filesKnown();
    // Shows `playlist`'s current song, paused, as a start resumes it.
    void showPaused(const MyPlaylist& playlist);
    // Where every queue stands, and the volume, stored.
    void quit();

private:
    void startPlaying(std::size_t number);
    void playFrom(std::size_t number, std::int64_t index);
    PlayQueue* makeQueue(std::size_t number);
    const MyPlaylist* controlled() const;
    MyPlaylist* controlled() { return const_cast<MyPlaylist*>(std::as_const(*this).controlled()); }
    bool hasPlace(const MyPlaylist& playlist) const;
    std::int64_t playableFrom(const MyPlaylist& playlist, std::int64_t index) const;
    // Puts `playlist`, which does not play, at the start of the song at `index` (or the next
    // playable one), its queue to be built again at the next play.
    void moveWhilePaused(MyPlaylist& playlist, std::int64_t index);
    void moveTo(MyPlaylist& playlist, std::int64_t index);
    void itemEnded(QueuePlayer& player, QueuePlayer::ItemId item, bool failed) override;
    void outputFailed(QueuePlayer& player, const std::string& reason) override;
    void setNotice(std::optional<Notice> notice);
    void musicUnreachable(const std::string& folder);
    // The current song is shown with `artwork`.
    void showNowPlaying(const std::optional<std::string>& artwork);
    // The current song's artwork as far as it is known now; read in the background, and
    // delivered later if it arrives after this look and the song is still current.
    std::optional<std::string> artworkOf(const MyPlaylist& playlist);
    // Songs' files for `queue`: a length read ahead, else read here only while the player has
    // nothing to play, else later.
    PlayQueue::FilePreparer filePreparer(const PlayQueue& queue);
    // Reads on the disk lane the lengths of the songs `queue` will want next, and tops the
    // queues up once they are known: TagLib never opens a file on the main thread for a song
    // that is not about to play.
    void readAhead(const PlayQueue& queue);
    void topUp();
    void dropQueue(const MyPlaylist& playlist);
    void releaseQueuesExcept(const MyPlaylist& keep);
    void storeSelection();
    // Statistics hears that `queue`'s current song sounds from `at` on, and that the user moves
    // on from the controlled playlist's current song.
    void listening(const PlayQueue& queue, double at);
    void movingOn();

    Services services_;
    Library& library_;
    const Selection& selection_;
    StateKeeper& state_;
    const SongFileSearch& files_;
    const AppEvents& events_;
    Statistics& statistics_;
    Hooks hooks_;
    QueuePlayer::ItemId nextItemId_ = 1;
    std::unordered_map<const MyPlaylist*, std::unique_ptr<PlayQueue>> queues_;
    // Lengths read ahead and not queued yet (none: no audio file), and those being read.
    std::unordered_map<std::string, std::optional<double>> lengths_;
    std::unordered_set<std::string> reading_;
    // The playing queue through a rebuild of the model.
    std::unique_ptr<PlayQueue> kept_;
    std::optional<std::size_t> playing_;
    bool stopped_ = false; // stop() was the last word, until the next play
    bool playWhenFilesKnown_ = false;
    std::optional<Notice> notice_;
    std::optional<std::string> artwork_;
    double volume_ = 1.0;
    bool volumeUnsaved_ = false;
    ReplayGain replayGain_;
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace platter
