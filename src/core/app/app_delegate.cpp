#include "core/app/app_delegate.h"

#include "core/persistence/user_defaults.h"
#include "core/services/dialogs.h"
#include "core/services/library_database.h"
#include "core/services/system_info.h"
#include "core/shuffle/shuffle.h"

#include <algorithm>
#include <utility>

namespace platter {

namespace {

AppServices withClock(AppServices services) {
    if (!services.clock) services.clock = Statistics::systemNow;
    return services;
}

} // namespace

AppDelegate::AppDelegate(AppServices services)
    : services_(withClock(services)), dialogs_(services.dialogs),
      state_(services.state, services.tasks, services.defaults, services.plistReader,
             [this] { events_.tell(AppEvent::Notices); }),
      files_({services.fileSystem, services.rules, services.tasks, services.system, services.defaults, dialogs_},
             library_, state_, [this] { songFilesFound(); }),
      statistics_(services.database, services_.clock, events_),
      scrobbling_({services.scrobbleAccounts, services.database, services.scrobbleHttp, services.tasks,
                   services_.clock, services.playerVersion},
                  [this] { events_.tell(AppEvent::Notices); }),
      playback_({services.players, services.audioFiles, services.fileSystem, services.artwork, services.tasks,
                 services.defaults},
                library_, selection_, state_, files_, events_, statistics_,
                {.nothingPlayable = [this](const MyPlaylist& playlist) { return explainNothingPlayable(playlist); },
                 .noticeChanged = [this] { events_.tell(AppEvent::Notices); }}),
      links_({services.http, services.rules, services.random, services.tasks, services.catalogueBase}, library_,
             events_),
      media_(services.mediaLibrary, library_),
      reload_({services.plistReader, services.defaults, dialogs_, services.tasks, services.libraryWatcher,
               services.rules, services.system},
              state_, albumSettings_, [this](Library built) { takeChangedLibrary(std::move(built)); }),
      added_({services.database, services.musicFiles, services.musicWatcher, services.tasks, services.random},
             [this] { addedMusicChanged(); }, [this] { events_.tell(AppEvent::Notices); }),
      covers_({services.tasks, services.artwork, services.covers}) {
    if (auto region = services_.system.regionCode(); region && !region->empty()) {
        std::transform(region->begin(), region->end(), region->begin(),
                       [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
        countryCode_ = *region;
    }
    // A listen goes exactly where a play is counted, with the moment that play began.
    statistics_.setPlayHooks({.began = [this](const MySong& song) { scrobbling_.playBegan(song); },
                              .counted = [this](const MySong& song, std::int64_t beganAt) {
                                  scrobbling_.playCounted(song, beganAt);
                              }});
}

AppDelegate::LaunchResult AppDelegate::applicationDidFinishLaunching() {
    auto& defaults = services_.defaults;
    if (auto code = defaults.stringForKey(keys::countryCode)) countryCode_ = std::move(*code);
    if (const auto ratio = readTopArtistsRatio(defaults)) topArtistsRatio_ = *ratio;
    if (const auto* stored = defaults.objectForKey(keys::songNotifications))
        if (const auto* on = stored->get<bool>()) songNotifications_ = *on;
    shuffleModes_ = readShuffleModes(defaults);
    playback_.readSettings();
    statistics_.readStored();
    scrobbling_.load();
    const auto library = reload_.locate();
    if (!library) return LaunchResult::Cancelled;
    albumSettings_ = state_.read();
    files_.readSettings();
    added_.load();
    reload_.useAdded(added_.document());
    // The located library is already parsed; the model is built from that one parse.
    buildModel(library);
    restoreSelection();
    reload_.watch();
    return LaunchResult::Ready;
}

void AppDelegate::applicationWillTerminate() {
    playback_.quit();
    state_.flush();
    if (services_.database) services_.database->flush();
}

std::vector<Notice> AppDelegate::notices() const {
    std::vector<Notice> standing;
    if (auto unsaved = state_.unsaved()) standing.push_back(std::move(*unsaved));
    if (const auto& playback = playback_.notice()) standing.push_back(*playback);
    for (auto& rejected : scrobbling_.notices())
        standing.push_back(std::move(rejected));
    return standing;
}

void AppDelegate::setSongNotifications(bool on) {
    if (on == songNotifications_) return;
    songNotifications_ = on;
    services_.defaults.setObject(keys::songNotifications, on);
    state_.saveSettings();
}

bool AppDelegate::buildModel(const std::shared_ptr<const plist::Document>& library) {
    auto built = buildLibrary(library, albumSettings_, services_.rules, library_.albumDict, added_.document());
    if (!built) return false;
    installModel(std::move(*built));
    playback_.takeOver();
    return true;
}

void AppDelegate::installModel(Library built) {
    // The playlists are new objects, perhaps in another order: an old index could name another
    // playlist, or none, and the list shows no selection after it reloads.
    playback_.modelReplaced();
    settingVersion_ = 0;
    library_ = std::move(built);
    for (const auto& playlist : library_.playlists)
        state_.restoreOrder(*playlist, library_, services_.random);
    selection_ = {};
    files_.start(reload_.path());
    events_.tell(AppEvent::Playlists);
    events_.tell(AppEvent::Selection);
}

void AppDelegate::takeChangedLibrary(Library built) {
    const auto* selected = playlistAt(selection_.playlist);
    const std::string selectedID = selected ? selected->persistentID() : std::string();
    const bool wasConfiguring = selection_.configuring;
    // The albums of the model before keep the choices being edited in them.
    for (const auto& album : built.albums)
        if (const auto earlier = library_.albumDict.find(album->albumID()); earlier != library_.albumDict.end()) {
            album->setting() = earlier->second->setting();
            album->oldSetting() = earlier->second->oldSetting();
            album->fitSettingToDiscs();
        }
    // Freeing a large model takes longer than a frame: the last of it goes on the disk lane,
    // once nothing here points into it.
    playback_.modelReplaced();
    auto earlier = std::make_shared<Library>(std::move(library_));
    installModel(std::move(built));
    // The playing queue goes on with what it holds, and tops up once the new songs' files are known.
    playback_.takeOver();

    if (!selectedID.empty()) {
        const auto found = std::find_if(library_.playlists.begin(), library_.playlists.end(),
                                        [&](const PlaylistPtr& p) { return p->persistentID() == selectedID; });
        if (found != library_.playlists.end()) {
            selection_.playlist = static_cast<std::size_t>(found - library_.playlists.begin());
            selection_.configuring = wasConfiguring || (*found)->shuffledSongs.empty();
        }
    }
    events_.tell(AppEvent::Playlists);
    events_.tell(AppEvent::Selection);
    events_.tell(AppEvent::Playback);
    services_.tasks.runInBackground([earlier = std::move(earlier)]() mutable { earlier.reset(); });
}

void AppDelegate::songFilesFound() {
    events_.tell(AppEvent::SongFiles);
    playback_.filesKnown();
    scanAddedMusic();
}

void AppDelegate::scanAddedMusic() {
    auto folders = files_.folders();
    folders.push_back(services_.system.musicDirectory());
    if (folders == scannedFolders_ && library_.document.get() == scannedLibrary_) return;
    scannedFolders_ = folders;
    scannedLibrary_ = library_.document.get();
    added_.scan(std::move(folders), files_.libraryFiles());
}

void AppDelegate::addMusicFolder(const std::string& folder) {
    auto folders = files_.folders();
    if (std::find(folders.begin(), folders.end(), folder) != folders.end()) return added_.rescan();
    folders.push_back(folder);
    setMusicFolders(std::move(folders));
}

void AppDelegate::addedMusicChanged() {
    reload_.useAdded(added_.document());
    if (!library_.document) return;
    services_.tasks.runInBackground([document = library_.document, added = added_.document(),
                                     settings = albumSettings_, &rules = services_.rules, &tasks = services_.tasks,
                                     alive = std::weak_ptr<int>(lifetime_), this] {
        auto built = std::make_shared<std::optional<Library>>(buildLibrary(document, settings, rules, {}, added));
        tasks.runOnMainThread([alive, this, document, added, built] {
            // A newer model, or newer songs, is on its way or in place.
            if (alive.expired() || !*built || document != library_.document || added != added_.document()) return;
            // A dialog's caller holds on to the model it showed: built again once it closed.
            if (dialogs_.anyOpen())
                return services_.tasks.runOnMainThreadAfter(LibraryReload::quietPeriod, [this, alive] {
                    if (!alive.expired()) addedMusicChanged();
                });
            takeChangedLibrary(std::move(**built));
        });
    });
}

std::optional<MyPlaylist::NowPlaying> AppDelegate::nowPlaying() const {
    const auto song = currentSong();
    if (!song) return std::nullopt;
    return MyPlaylist::NowPlaying{std::string(song->name()), std::string(song->album()), std::string(song->artist())};
}

bool AppDelegate::explainNothingPlayable(const MyPlaylist& playlist) {
    using Why = Dialogs::NothingPlayable::Why;
    const auto& files = playlist.files();
    const auto why = files.notFound > 0 ? Why::FilesNotHere : files.found == 0 ? Why::NoFiles : Why::Unreadable;
    return dialogs_.explainNothingPlayable({playlist.name(), why, files.notFound, files.total()}) &&
           why == Why::FilesNotHere && files_.chooseFolder();
}

ShownStats AppDelegate::statsOf(const MySong& song) const { return statistics_.statsOf(song); }

void AppDelegate::rate(const MySong& song, int rating) { statistics_.rate(song, rating); }

} // namespace platter
