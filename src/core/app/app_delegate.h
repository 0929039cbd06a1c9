#pragma once

// The application controller: the operations the window and the desktop's controls call. It
// owns the model of the library file and which playlist is selected, and hands the rest to
// its components, each in a header of its own:
//   playback_controller.h  which playlist plays, its queue, the transport, volume, loudness
//   state_keeper.h         stored orders, positions, seconds and the selection, and saving
//   song_file_search.h     finding the songs' files, and the music folders
//   store_links.h          the catalogue's albums of the selected playlist's top artists
//   library_reload.h       finding, choosing, watching and reading again the library file
//   media_link.h           linking songs to the system's media library, where there is one
//   statistics.h           plays, skips and ratings, counted and kept in the library database
//   added_music.h          the music folders' files that the library file does not know
// It reaches the platform only through the services it is given, so every rule runs without a
// display.

#include "core/app/added_music.h"
#include "core/app/album_covers.h"
#include "core/app/app_events.h"
#include "core/app/library_reload.h"
#include "core/app/media_link.h"
#include "core/app/notices.h"
#include "core/app/playback_controller.h"
#include "core/app/scrobbling.h"
#include "core/app/selection.h"
#include "core/app/song_file_search.h"
#include "core/app/state_keeper.h"
#include "core/app/statistics.h"
#include "core/app/store_links.h"
#include "core/app/tracked_dialogs.h"
#include "core/model/library.h"
#include "core/model/song_stats.h"
#include "core/persistence/stored_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

class ArtworkReader;
class AudioFiles;
class CountryNames;
class CoverStore;
class FileSystem;
class FileWatcher;
class FileWriter;
class FolderWatcher;
class LibraryDatabase;
class MusicFiles;
class HttpFetch;
class MediaLibrary;
class PropertyListReader;
class QueuePlayerFactory;
class RandomSource;
class StateStorage;
class StringRules;
class SystemInfo;
class TaskRunner;
class UserDefaults;

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
    LibraryDatabase* database = nullptr;  // none: nothing is counted or added beyond this run
    // The time now, in UTC seconds, for whatever is dated: plays, skips, listens, Rediscover's
    // ages. The system's when empty.
    Statistics::Clock clock = {};
    const MusicFiles* musicFiles = nullptr;   // none: no music is added on this computer
    FolderWatcher* musicWatcher = nullptr;    // none: the music folders are scanned at changes only
    CoverStore* covers = nullptr;             // none: the outline shows no covers
    const AccountsStore* scrobbleAccounts = nullptr; // none: no listens are sent
    HttpFetch* scrobbleHttp = nullptr;               // none: no listens are sent
    std::string playerVersion = {};
};

// A ratio as typed in the preferences window, clamped into 1..100; text that is no number is 0.
std::int64_t ratioFromText(std::string_view text);

class AppDelegate {
public:
    // The application's display name, in default file names.
    static constexpr std::string_view bundleName = "Platter";

    explicit AppDelegate(AppServices services);
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Those who show the controller's state hear of its changes; see app_events.h.
    void addObserver(AppObserver* observer) { events_.add(observer); }
    void removeObserver(AppObserver* observer) { events_.remove(observer); }

    // Start-up.
    enum class LaunchResult { Ready, Cancelled };
    // Reads the preferences, locates the library (asking with the open panel while no usable
    // file is known), reads the stored state and builds the model. Cancelled when the user,
    // told why a library file is needed, chose to quit: the application then quits.
    LaunchResult applicationDidFinishLaunching();
    // Writes what is still to be stored.
    void applicationWillTerminate();

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
    // Takes every album's edited setting as its committed one; stores the settings when any
    // changed, and the next reshuffle cuts the units anew.
    void commitAlbumSettings();
    // A new order for the selected playlist.
    void reshuffle();
    // Moves the unit of the selected playlist's song at `index` to just after its playing unit,
    // and stores the order; the song playing plays on.
    void playNext(std::size_t index);

    // Playback: see PlaybackController.
    void playMusic() { playback_.play(); }
    void pauseMusic() { playback_.pause(); }
    // The play/pause button: plays the selected playlist when none plays, else pauses.
    void playPause() { playback_.playing() ? playback_.pause() : playback_.play(); }
    void forward() { playback_.forward(); }
    void backward() { playback_.backward(); }
    void playFromSong(std::size_t index) { playback_.playFromSong(index); }
    void nextAlbum() { playback_.nextAlbum(); }
    void restartAlbum() { playback_.restartAlbum(); }
    void seek(double seconds) { playback_.seek(seconds); }
    void stop() { playback_.stop(); }

    // Playback as controls outside the window see it (the desktop's media controls). The
    // current song is the playing playlist's, or else that of the selected playlist's order,
    // where the play button would start. Paused while that order stands somewhere it resumes
    // from; Stopped at a fresh order's start and after stop(), until the next play.
    using PlaybackStatus = PlaybackController::Status;
    PlaybackStatus playbackStatus() const { return playback_.status(); }
    SongPtr currentSong() const { return playback_.currentSong(); }
    // The current song's artwork as last shown, encoded; nothing while none is known.
    const std::optional<std::string>& currentArtwork() const { return playback_.currentArtwork(); }
    // Seconds into the current song, and its length: its file's once it is queued. While it
    // is not queued, where it stopped as stored.
    double position() const { return playback_.position(); }
    double currentLength() const { return playback_.currentLength(); }
    bool canPlay() const { return playback_.canPlay(); }
    bool canSeek() const { return playback_.canSeek(); }
    // Whether forward() and backward() have a current song to act on.
    bool canGoNext() const { return currentSong() != nullptr; }
    bool canGoPrevious() const { return currentSong() != nullptr; }
    // A linear gain from 0 to 1, for every playlist's player; stored with the settings.
    double volume() const { return playback_.volume(); }
    void setVolume(double linear) { playback_.setVolume(linear); }
    // How loudness is levelled; a new mode applies from the next song, new levels at once.
    const ReplayGain& replayGain() const { return playback_.replayGain(); }
    void setReplayGain(const ReplayGain& replayGain) { playback_.setReplayGain(replayGain); }
    // Whether the desktop announces each new song while the window is not in front.
    bool songNotifications() const { return songNotifications_; }
    void setSongNotifications(bool on);

    // The songs' files: see SongFileSearch. Every build of the model looks for them; this looks again.
    void findSongFiles() { files_.restart(); }
    bool songFilesKnown() const { return files_.known(); }
    const FileCounts& libraryFiles() const { return files_.counts(); }
    const std::vector<std::string>& musicFolders() const { return files_.folders(); }
    bool chooseMusicFolder() { return files_.chooseFolder(); }
    // A folder dropped on the window: it becomes a music folder, and its music is added.
    void addMusicFolder(const std::string& folder);
    // The music added on this computer, and how far its scan is while one runs.
    const AddedMusic& addedMusic() const { return added_; }
    std::optional<AddedMusic::Progress> addingMusic() const { return added_.progress(); }
    void setMusicFolders(std::vector<std::string> folders) { files_.setFolders(std::move(folders)); }

    // Asks where to export the selected playlist's order and writes it there.
    void exportPlaylist();
    // Asks for confirmation, then rebuilds the model from the library file.
    void resetAll();
    // Asks for another library file; a usable one is remembered and the model rebuilt from it,
    // as at Reset. A file that is no library is explained and the current one stays.
    void chooseLibrary();
    // The modal preferences window: the catalogue country, the top-artist ratio, the music
    // folders, the loudness levelling and the shuffle mode.
    void preferences();
    // How a playlist's shuffles draw: its own mode where it has one, else the preferences'.
    ShuffleMode shuffleModeOf(const MyPlaylist& playlist) const;
    std::optional<ShuffleMode> ownShuffleMode(const MyPlaylist& playlist) const;
    // Gives the playlist its own mode, or none to follow the preferences; stored at once.
    void setOwnShuffleMode(const MyPlaylist& playlist, std::optional<ShuffleMode> mode);

    // The model, as the window shows it.
    const Library& library() const { return library_; }
    const std::vector<PlaylistPtr>& allPlaylists() const { return library_.playlists; }
    const std::string& musicLibraryUrl() const { return reload_.url(); }
    std::optional<std::size_t> playlistNumber() const { return selection_.playlist; }
    std::optional<std::size_t> playinglistNumber() const { return playback_.playing(); }
    bool configuring() const { return selection_.configuring; }
    const std::string& countryCode() const { return countryCode_; }
    std::int64_t topArtistsRatio() const { return topArtistsRatio_; }
    const MediaLink& mediaLink() const { return media_; }
    // The albums' small covers, read as the outline asks for them.
    AlbumCovers& albumCovers() { return covers_; }
    // The current song's title, album and artist; nothing while there is none.
    std::optional<MyPlaylist::NowPlaying> nowPlaying() const;
    // The store-link pages of the selected playlist, as last worked out.
    const std::vector<std::pair<std::string, std::string>>& linkPages() const { return links_.pages(); }
    const PlaybackController& playback() const { return playback_; }
    const StringRules& rules() const { return services_.rules; }

    // What the user should know of the stored settings and state once they were read.
    const std::optional<Notice>& startNotice() const { return state_.startNotice(); }
    // How reading the scrobbling accounts went, where the user should know.
    const std::optional<Notice>& scrobblingNotice() const { return scrobbling_.startNotice(); }
    // Sending listens to the scrobbling sites.
    Scrobbling& scrobbling() { return scrobbling_; }
    // How opening the statistics database went, where the user should know.
    const std::optional<Notice>& statisticsNotice() const { return statistics_.notice(); }
    // What stands now: what could not be saved, and why playback paused on its own.
    std::vector<Notice> notices() const;

    // A song's statistics as shown: the library file's plus what was counted here.
    ShownStats statsOf(const MySong& song) const;
    // Sets the song's rating, 0 (none) to 100, as the library file keeps it.
    void rate(const MySong& song, int rating);

    // The playlist at an index, or null when the index is absent or past the end.
    MyPlaylist* playlistAt(std::optional<std::size_t> index) const { return platter::playlistAt(library_, index); }

private:
    // Builds the model from `library` and puts it in place; false, with the model untouched,
    // when it is no library.
    bool buildModel(const std::shared_ptr<const plist::Document>& library);
    // Puts a built model in place of the current one: stored orders restored, nothing
    // selected, the search for the files begun.
    void installModel(Library built);
    // The library file changed on disk and was read again: its model replaces this one,
    // keeping the selected playlist and a playing one whose order still holds.
    void takeChangedLibrary(Library built);
    void restoreSelection();
    void shuffleAndStore(MyPlaylist& playlist);
    void storeSelection();
    // The search for the songs' files ended.
    void songFilesFound();
    // The added songs changed: the model is built again with them, off the main thread.
    void addedMusicChanged();
    // Scans the music folders when they, or the library file's songs, changed since the last scan.
    void scanAddedMusic();
    // Play found nothing to play in the playlist: says why, and offers to look elsewhere.
    bool explainNothingPlayable(const MyPlaylist& playlist);

    AppServices services_;
    TrackedDialogs dialogs_;
    AppEvents events_;
    Library library_;
    Selection selection_;
    std::int64_t settingVersion_ = 0;
    AlbumSettings albumSettings_;
    std::string countryCode_ = "jp";
    std::int64_t topArtistsRatio_ = 25;
    bool songNotifications_ = true;
    ShuffleModes shuffleModes_;
    StateKeeper state_;
    SongFileSearch files_;
    Statistics statistics_;
    Scrobbling scrobbling_;
    PlaybackController playback_;
    StoreLinks links_;
    MediaLink media_;
    LibraryReload reload_;
    AddedMusic added_;
    AlbumCovers covers_;
    std::vector<std::string> scannedFolders_;
    const plist::Document* scannedLibrary_ = nullptr;
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace platter
