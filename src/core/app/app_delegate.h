#pragma once

// The application controller: the root of the model. It owns every song, album, artist and
// playlist, the working copies of the stored preferences, and reaches the platform only
// through the services it is given, so every rule it applies runs without a display.

#include "core/containers/flat_hash_map.h"
#include "core/model/library.h"
#include "core/model/my_playlist.h"
#include "core/playback/play_queue.h"
#include "core/app/tracked_dialogs.h"
#include "core/services/cancel_token.h"
#include "core/services/media_library.h"
#include "core/services/state_storage.h"
#include "core/persistence/state_writer.h"
#include "core/persistence/stored_state.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace platter {

class ArtworkReader;
class AudioFiles;
class CountryNames;
class HttpFetch;
class PlaybackListener;
struct StoreLinksResult;
class TaskRunner;
class Dialogs;
class FileSystem;
class FileWatcher;
class FileWriter;
class PropertyListReader;
struct SongFileResults;
class RandomSource;
class StringRules;
class SystemInfo;
class UserDefaults;
class ViewRefresh;

struct AppServices {
    UserDefaults& defaults;
    const PropertyListReader& plistReader;
    Dialogs& dialogs;
    FileWriter& files;
    const AudioFiles& audioFiles;
    const ArtworkReader& artwork;
    QueuePlayerFactory& players;
    TaskRunner& tasks;
    const SystemInfo& system;
    RandomSource& random;
    const StringRules& rules;
    const FileSystem& fileSystem;
    StateStorage& state;
    MediaLibrary* mediaLibrary = nullptr;    // none on systems without one
    FileWatcher* libraryWatcher = nullptr;   // none: the library is read again at Reset only
    HttpFetch* http = nullptr;               // none: no store links
    const CountryNames* countries = nullptr; // none: no preferences window
    std::string catalogueBase = "https://itunes.apple.com";
};

// A ratio as typed in the preferences window, clamped into 1..100; text that is no number is 0.
std::int64_t ratioFromText(std::string_view text);

class AppDelegate : private QueuePlayer::Listener, private MediaLibrary::Observer {
public:
    static constexpr std::string_view defaultLibrarySuffix = "/Music/iTunes/iTunes Music Library.xml";
    // Where the newer Music application exports its library; looked for when the first is not.
    static constexpr std::string_view exportedLibrarySuffix = "/Music/Music/Library.xml";
    // The application's display name, in dialogs and default file names.
    static constexpr std::string_view bundleName = "Platter";

    explicit AppDelegate(AppServices services);
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Start-up.
    void applicationWillFinishLaunching(ViewRefresh* view);
    enum class LaunchResult { Ready, Cancelled };
    // Reads the preferences, locates the library (asking with the open panel while no usable
    // file is known), reads the stored state and builds the model. Cancelled when the user,
    // told why a library file is needed, chose to quit: the application then quits.
    LaunchResult applicationDidFinishLaunching();
    // Writes what is still to be stored.
    void applicationWillTerminate();

    // Re-reads the library file and rebuilds the model. False, with the model untouched, when
    // the file cannot be read or is no library.
    bool setAllTracks();

    // The library file changed on disk (another computer synced it, the library application
    // wrote it). Once it has been quiet for `libraryQuietPeriod` it is read again in the
    // background and the model rebuilt as at a restart, keeping the selected playlist and a
    // playing one whose order still holds. A file that is no library then (half-written) leaves
    // the model as it is, until the next change.
    static constexpr std::chrono::milliseconds libraryQuietPeriod{2000};
    void libraryFileChanged();

    // Selection and configuration.
    // Selects the playlist at `row` of the playlists list; a negative row, or one past the end,
    // selects none.
    void changePlaylistWithRow(std::int64_t row);
    // Commits the album settings and shows the selected playlist's order, shuffling it first
    // if it has none.
    void showPlaylist();
    // Orders the selected playlist's albums by title, or else by artist.
    void sortAlbums(bool byTitle);
    void backToConfig();
    void save() { commitAlbumSettings(); }
    // Takes every album's edited setting as its committed one; raises `settingVersion` and
    // stores the settings when any changed.
    void commitAlbumSettings();

    // Shuffling.
    void reshuffle();
    void shuffleAndStore(MyPlaylist& playlist);

    // Playback.
    void playMusic();
    void pauseMusic();
    void play() { playMusic(); }
    void pause() { pauseMusic(); }
    // The play/pause button: plays the selected playlist when none plays, else pauses.
    void playPause() {
        if (playinglistNumber_)
            pauseMusic();
        else
            playMusic();
    }
    // A queued item of a player ended; `failed` when it could not be played.
    void updatePlayWithNotification(QueuePlayer& player, QueuePlayer::ItemId item, bool failed);
    // The next song, or the current one from its start. While nothing plays they move the
    // current song and stay paused (stopped, after a stop) at its start.
    void forward();
    void backward();
    // Plays the selected playlist's order from the song at `index`, the order unchanged.
    void playFromSong(std::size_t index);
    // The playing unit: skips the rest of it, or plays it again from its first song. Past the
    // last unit the order has played: it stops at its start, as after its last song. While
    // nothing plays they act on the current song's unit and stay paused.
    void nextAlbum();
    void restartAlbum();
    // Moves the unit of the selected playlist's song at `index` to just after its playing unit,
    // and stores the order; the song playing plays on.
    void playNext(std::size_t index);

    // Playback as controls outside the window see it (the desktop's media controls). The
    // current song is the playing playlist's, or else that of the selected playlist's order,
    // where the play button would start. Paused while that order stands somewhere it resumes
    // from; Stopped at a fresh order's start and after stop(), until the next play.
    enum class PlaybackStatus { Stopped, Paused, Playing };
    PlaybackStatus playbackStatus() const;
    SongPtr currentSong() const;
    // The current song's artwork as last shown, encoded; nothing while none is known.
    const std::optional<std::string>& currentArtwork() const { return currentArtwork_; }
    // Seconds into the current song, and its length: its file's once it is queued. While it
    // is not queued, where it stopped as stored.
    double position() const;
    double currentLength() const;
    bool canPlay() const;
    bool canSeek() const;
    // Whether forward() and backward() have a current song to act on.
    bool canGoNext() const;
    bool canGoPrevious() const;
    // Moves within the current song; at or past its end the next song plays.
    void seek(double seconds);
    // Pauses and goes back to the start of the current song, reported as Stopped until Play.
    void stop();
    double volume() const { return volume_; }
    // A linear gain from 0 to 1, for every playlist's player; stored with the settings.
    void setVolume(double linear);
    // How loudness is levelled, for every playlist's player; stored with the settings. A new
    // mode applies from the next song, new levels at once.
    const ReplayGain& replayGain() const { return replayGain_; }
    void setReplayGain(const ReplayGain& replayGain);
    // Whether the desktop announces each new song while the window is not in front.
    bool songNotifications() const { return songNotifications_; }
    void setSongNotifications(bool on);
    void addPlaybackListener(PlaybackListener* listener);
    void removePlaybackListener(PlaybackListener* listener);

    // Finding the songs' files. Every build of the model looks for them in the background;
    // the results reach the songs, the playlists' counts and the window when the search ends,
    // and playing waits for them.
    void findSongFiles();
    bool songFilesKnown() const { return songFilesKnown_; }
    const FileCounts& libraryFiles() const { return libraryFiles_; }
    // The folders the user chose to look for music in, searched before any other.
    const std::vector<std::string>& musicFolders() const { return musicFolders_; }
    // Asks for a folder that holds the library's music; a chosen one is stored and searched.
    // True when the user chose one.
    bool chooseMusicFolder();
    void setMusicFolders(std::vector<std::string> folders);

    // Store links for the selected playlist's top artists, worked out in the background and
    // shown in the link panes while the playlist is still selected.
    void showiTunesLinks();

    // Links songs to the media library's objects: by persistent ID, then by name, album and
    // artist.
    void setMediaObjects();

    // Asks where to export the selected playlist's order and writes it there. (`export` is a
    // reserved word.)
    void exportPlaylist();
    // Asks for confirmation, then rebuilds the model from the library file.
    void resetAll();
    // Asks for another library file; a usable one is remembered and the model rebuilt from it,
    // as at Reset. A file that is no library is explained and the current one stays.
    void chooseLibrary();
    // The modal preferences window: the catalogue country and the top-artist ratio.
    void preferences();

    // Fields.
    std::string_view masterPersistentID() const { return Library::masterPersistentID; }
    const std::string& musicLibraryUrl() const { return musicLibraryUrl_; }
    ViewRefresh* viewCont() const { return viewCont_; }
    const std::vector<SongPtr>& allSongs() const { return library_.songs; }
    const FlatHashMap<std::int64_t, SongPtr>& songsTrackIDDict() const { return library_.songsByTrackID; }
    const FlatHashMap<std::string_view, SongPtr>& songsPersistentIDDict() const {
        return library_.songsByPersistentID;
    }
    const std::vector<AlbumPtr>& allAlbums() const { return library_.albums; }
    const AlbumDict& albumDict() const { return library_.albumDict; }
    const std::vector<PlaylistPtr>& allPlaylists() const { return library_.playlists; }
    const ArtistDict& allArtists() const { return library_.artists; }
    std::optional<std::size_t> playlistNumber() const { return playlistNumber_; }
    std::optional<std::size_t> playinglistNumber() const { return playinglistNumber_; }
    bool configuring() const { return configuring_; }
    std::int64_t settingVersion() const { return settingVersion_; }
    const AlbumSettings& albumSettings() const { return albumSettings_; }
    const PlaylistOrders& playlistDict() const { return playlistDict_; }
    const PlayingNumbers& playingNumDict() const { return playingNumDict_; }
    const PlayingSeconds& playingSecondsDict() const { return playingSecondsDict_; }
    const std::string& countryCode() const { return countryCode_; }
    std::int64_t topArtistsRatio() const { return topArtistsRatio_; }

    const std::shared_ptr<MLMediaSource>& myiTunes() const { return myiTunes_; }
    const std::shared_ptr<MLMediaGroup>& rootMediaGroup() const { return rootMediaGroup_; }
    const std::shared_ptr<MLMediaGroup>& musicMediaGroup() const { return musicMediaGroup_; }
    const MediaObjects& allMediaObjs() const { return allMediaObjs_; }
    const MediaObjects& newestMediaObjs() const { return newestMediaObjs_; }

    // Why the library file last read could not be used, in words; empty when it could.
    const std::string& libraryError() const { return libraryError_; }
    // Why a parsed property list is no library the model can be built from; empty when it is.
    static std::string libraryProblem(const plist::Document& library) { return platter::libraryProblem(library); }

    // What the user should know of the stored settings once they were read: entries passed
    // over, and where the file as it was is kept; empty when all was read.
    const std::string& settingsNotice() const { return settingsNotice_; }
    // What could not be saved, worded for the status line; empty while everything is saved.
    std::string storageNotice() const;
    // Why playback paused on its own, while it stays paused.
    const std::string& audioNotice() const { return audioNotice_; }
    // Both, as the status line shows them.
    std::string statusNotice() const;

    // The playlist at an index, or null when the index is absent or past the end.
    const MyPlaylist* playlistAt(std::optional<std::size_t> index) const;
    MyPlaylist* playlistAt(std::optional<std::size_t> index);
    // A playlist's queue while it has one: from its play until another playlist plays or it
    // gets a new order.
    PlayQueue* queueOf(const MyPlaylist& playlist) const;

private:
    bool buildModel(const std::shared_ptr<const plist::Document>& library);
    void restoreStoredOrder(MyPlaylist& playlist);
    void storeOrder(MyPlaylist& playlist);
    void startPlaying(std::size_t number);
    // Plays playlist `number` from the song at `index` of its order, with a new queue.
    void playFrom(std::size_t number, std::int64_t index);
    // The playlist the transport acts on: the playing one, else the selected one showing its order.
    const MyPlaylist* controlled() const;
    MyPlaylist* controlled() { return const_cast<MyPlaylist*>(std::as_const(*this).controlled()); }
    // The playlist stands somewhere it resumes from: a queued song, or a stored position.
    bool hasPlace(const MyPlaylist& playlist) const;
    // The first song from `index` on, round the order, that has a file to play; `index` when none has.
    std::int64_t playableFrom(const MyPlaylist& playlist, std::int64_t index) const;
    // Puts `playlist`, which does not play, at the start of the song at `index` (or the next
    // playable one), its queue to be built again at the next play.
    void moveWhilePaused(MyPlaylist& playlist, std::int64_t index);
    // Which playlist plays and which is selected, stored for the next start; and read back there.
    void storeSelection();
    void restoreSelection();
    // Settings are written at once, on this thread; state goes to the background writer.
    void saveSettings();
    void storePositions();
    // The song `playlist` is at, stored.
    void rememberPosition(const MyPlaylist& playlist);
    // Where in its song `playlist` stopped; at its start, nothing is kept.
    void rememberSeconds(const MyPlaylist& playlist, double seconds);
    void migrateStoredState();
    void storageProblem(std::string& slot, const std::string& error);
    // The library at `url` when it is one the model can be built from; else null, with the
    // reason in `libraryError_`.
    std::shared_ptr<const plist::Document> readLibrary(const std::string& url);
    // The first of `candidates` (file URLs) that is a library, else one chosen in the open panel.
    std::shared_ptr<const plist::Document> locateLibrary(const std::vector<std::string>& candidates);
    // The library file at `path` chosen by the user, remembered; else null, the reason told.
    std::shared_ptr<const plist::Document> takeChosenLibrary(const std::string& path);
    void readStoredState();
    void refreshForSelection();
    void applyStoreLinks(const StoreLinksResult& result);
    void itemEnded(QueuePlayer& player, QueuePlayer::ItemId item, bool failed) override;
    void outputFailed(QueuePlayer& player, const std::string& reason) override;
    void setAudioNotice(std::string text);
    // The folder that holds the songs to play is gone: says so; playback stays paused.
    void musicUnreachable(const std::string& folder);
    // The window and the desktop's controls show `playlist`'s current song with `artwork`.
    void showNowPlaying(const MyPlaylist& playlist, const std::optional<std::string>& artwork, bool started);
    void tellPlaybackChanged();
    void tellSeeked();
    void mediaSourcesChanged(const MediaSources& sources) override;
    void rootMediaGroupChanged(const MLMediaSource& source,
                               const std::shared_ptr<MLMediaGroup>& root) override;
    void mediaObjectsChanged(const MLMediaGroup& group, const MediaObjects& objects) override;
    PlayQueue::FilePreparer filePreparer() const;
    void dropQueue(const MyPlaylist& playlist);
    // Drops every queue but `keep`'s, with where each stood remembered.
    void releaseQueuesExcept(const MyPlaylist& keep);
    void watchLibraryFile();
    void reloadChangedLibrary(std::uint64_t change);
    void takeChangedLibrary(const std::shared_ptr<const plist::Document>& library);
    // Hands a search's results to the songs a slice at a time, so that the main thread is never
    // held for long; the counts and the window follow with the last slice.
    void applySongFiles(std::uint64_t search, const std::shared_ptr<SongFileResults>& results, std::size_t from);
    // Play found nothing to play in the playlist: says why, and offers to look elsewhere.
    void explainNothingPlayable(const MyPlaylist& playlist);
    // The current song's artwork as far as it is known now; read in the background, and
    // delivered later if it arrives after this look and the song is still current.
    std::optional<std::string> nowPlayingArtwork(const MyPlaylist& playlist);

    AppServices services_;
    TrackedDialogs dialogs_;

    std::string musicLibraryUrl_ = "file:///Users";
    Library library_;
    QueuePlayer::ItemId nextItemId_ = 1;
    std::unordered_map<const MyPlaylist*, std::unique_ptr<PlayQueue>> queues_;
    // Work handed back to the main thread checks this is still alive.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
    ViewRefresh* viewCont_ = nullptr;
    std::shared_ptr<MLMediaSource> myiTunes_;
    std::shared_ptr<MLMediaGroup> rootMediaGroup_;
    std::shared_ptr<MLMediaGroup> musicMediaGroup_;
    MediaObjects allMediaObjs_;
    MediaObjects newestMediaObjs_;
    std::uint64_t linkSelection_ = 0; // the selection whose store links are wanted
    // Cancels the store-link queries under way when the selection changes, and when the
    // controller goes, so that quitting never waits for the network.
    CurrentWork linkWork_;
    std::optional<std::size_t> playlistNumber_;
    std::optional<std::size_t> playinglistNumber_;
    bool configuring_ = true;
    bool stopped_ = false; // stop() was the last word, until the next play
    std::int64_t settingVersion_ = 0;
    AlbumSettings albumSettings_;
    PlaylistOrders playlistDict_;
    PlayingNumbers playingNumDict_;
    PlayingSeconds playingSecondsDict_;
    std::vector<std::string> musicFolders_;
    std::uint64_t songFileSearch_ = 0; // the search whose results are wanted
    std::uint64_t libraryChange_ = 0;  // the latest change of the library file
    bool songFilesKnown_ = false;
    bool playWhenFilesKnown_ = false;
    FileCounts libraryFiles_;
    std::string settingsNotice_;
    std::string settingsWriteError_;
    std::string audioNotice_;
    std::string stateWriteError_;
    // Playlists whose order file has been read this run; after that the order in memory is newer.
    std::unordered_set<std::string> orderFilesRead_;
    std::unique_ptr<StateWriter> stateWriter_;
    std::string libraryError_;
    std::vector<PlaybackListener*> playbackListeners_;
    std::optional<std::string> currentArtwork_;
    double volume_ = 1.0;
    bool volumeUnsaved_ = false;
    ReplayGain replayGain_;
    bool songNotifications_ = true;
    std::string countryCode_ = "jp";
    std::int64_t topArtistsRatio_ = 25;
};

} // namespace platter
