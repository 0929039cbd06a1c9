#include "core/app/app_delegate.h"

#include "core/model/file_url.h"
#include "core/plist/xml_writer.h"
#include "core/services/dialogs.h"
#include "core/services/log.h"
#include "core/services/property_list_reader.h"
#include "core/services/system_info.h"
#include "core/services/view_refresh.h"
#include "core/persistence/user_defaults.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

namespace platter {

AppDelegate::AppDelegate(AppServices services)
    : services_(services), dialogs_(services.dialogs),
      stateWriter_(
          std::make_unique<StateWriter>(services.state, services.tasks, [this](const std::string& error) {
              storageProblem(stateWriteError_, error);
          })) {
    if (services_.mediaLibrary) {
        services_.mediaLibrary->setObserver(this);
        // Reading the sources starts the library's loading; they arrive through the observer.
        (void)services_.mediaLibrary->mediaSources();
    }
    if (auto region = services_.system.regionCode(); region && !region->empty()) {
        std::transform(region->begin(), region->end(), region->begin(),
                       [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
        countryCode_ = *region;
    }
}

void AppDelegate::applicationWillFinishLaunching(ViewRefresh* view) {
    viewCont_ = view;
}

const MyPlaylist* AppDelegate::playlistAt(std::optional<std::size_t> index) const {
    return index && *index < library_.playlists.size() ? library_.playlists[*index].get() : nullptr;
}

MyPlaylist* AppDelegate::playlistAt(std::optional<std::size_t> index) {
    return const_cast<MyPlaylist*>(std::as_const(*this).playlistAt(index));
}

std::shared_ptr<const plist::Document> AppDelegate::readLibrary(const std::string& url) {
    const auto path = pathFromFileUrl(url);
    if (!path) {
        libraryError_ = "Its location is no file.";
        return nullptr;
    }
    auto result = services_.plistReader.readFile(*path);
    libraryError_ = !result.document ? "It could not be read: " + result.error + "."
                                     : libraryProblem(*result.document);
    if (!libraryError_.empty()) log::write(log::Category::Library, *path + ": " + libraryError_);
    return libraryError_.empty() ? std::move(result.document) : nullptr;
}

std::shared_ptr<const plist::Document> AppDelegate::locateLibrary(const std::vector<std::string>& candidates) {
    for (const auto& url : candidates) {
        if (auto library = readLibrary(url)) {
            musicLibraryUrl_ = url;
            return library;
        }
    }
    std::vector<std::string> lookedAt;
    for (const auto& url : candidates)
        lookedAt.push_back(pathFromFileUrl(url).value_or(url));
    for (;;) {
        // A closed panel is no answer: the user is told why the file is needed and where
        // Platter looked, then chooses again or quits.
        const auto chosen = dialogs_.runOpenPanel();
        if (!chosen) {
            if (dialogs_.runNoLibraryAlert(lookedAt) == Dialogs::NoLibraryChoice::Quit) return nullptr;
            continue;
        }
        if (auto library = takeChosenLibrary(*chosen)) return library;
    }
}

std::shared_ptr<const plist::Document> AppDelegate::takeChosenLibrary(const std::string& path) {
    const auto url = fileUrlFromPath(path);
    if (auto library = readLibrary(url)) {
        musicLibraryUrl_ = url;
        services_.defaults.setObject(keys::xmlUrl, url);
        saveSettings();
        return library;
    }
    // Without a word the panel would just come back, and the user would not know why.
    dialogs_.runAlert({.style = Dialogs::AlertStyle::Warning,
                       .message = "\u201c" + std::filesystem::path(path).filename().string() +
                                  "\u201d is not a music library " + std::string(bundleName) + " can read.",
                       .informativeText = libraryError_ +
                                          " Choose the library file your music application keeps or exports, "
                                          "such as \u201ciTunes Music Library.xml\u201d.",
                       .buttons = {"OK"}});
    return nullptr;
}

namespace {

// A state file read into its shape; anything in it that is not counts in `dropped`.
template <typename Shape>
Shape readStateFile(const StateStorage& storage, const std::string& name, const PropertyListReader& reader,
                    Shape (*from)(const plist::Value&, std::size_t&), std::size_t& dropped) {
    const auto file = storage.read(name);
    if (file.status == StateStorage::ReadResult::Status::Missing) return {};
    const auto parsed = file.status == StateStorage::ReadResult::Status::Found ? reader.parse(file.bytes)
                                                                               : PropertyListReader::Result{};
    if (!parsed.document) return ++dropped, Shape{};
    return from(plist::Value::copyOf(parsed.document->root()), dropped);
}

} // namespace

void AppDelegate::readStoredState() {
    std::size_t dropped = 0;
    albumSettings_ = readAlbumSettings(services_.defaults, services_.plistReader, dropped);
    std::size_t stateDropped = 0;
    const auto& reader = services_.plistReader;
    playingNumDict_ =
        readStateFile(services_.state, state_files::positions, reader, &playingNumbersFrom, stateDropped);
    playingSecondsDict_ =
        readStateFile(services_.state, state_files::seconds, reader, &playingSecondsFrom, stateDropped);
    playlistDict_ = readStateFile(services_.state, state_files::importedOrders, reader, &playlistOrdersFrom,
                                  stateDropped);
    orderFilesRead_.clear();
    if (services_.defaults.objectForKey(keys::playlists) ||
        services_.defaults.objectForKey(keys::playingNumbers)) {
        // What the state folder holds is newer than anything still in the settings.
        for (auto& [id, order] : readPlaylistOrders(services_.defaults, dropped))
            playlistDict_.try_emplace(id, std::move(order));
        for (const auto& [id, number] : readPlayingNumbers(services_.defaults, dropped))
            playingNumDict_.try_emplace(id, number);
        migrateStoredState();
    }
    // What was passed over is gone at the next save: the file as it was is kept.
    if (dropped > 0) {
        const auto copy = services_.defaults.keepCopy();
        settingsNotice_ = copy.empty() ? "Some saved choices, orders or positions could not be read and will "
                                         "not be kept."
                                       : "Some saved choices, orders or positions could not be read; the "
                                         "settings file as it was is kept as " + copy + ".";
    } else if (stateDropped > 0) {
        settingsNotice_ = "Some saved orders or positions could not be read; those playlists start afresh.";
    }
    musicFolders_ = readMusicFolders(services_.defaults);
}

void AppDelegate::migrateStoredState() {
    // Orders and positions used to be kept with the settings. They leave the settings only once
    // they are safely in the state folder, so a failure here loses nothing.
    auto error = services_.state.write(state_files::importedOrders,
                                       plist::writeXml(playlistOrdersValue(playlistDict_)));
    if (error.empty())
        error = services_.state.write(state_files::positions,
                                      plist::writeXml(playingNumbersValue(playingNumDict_)));
    if (!error.empty()) {
        // Nothing later retries this, so it is said once, as the start's own notice.
        log::write(log::Category::State, "orders and positions not moved: " + error);
        settingsNotice_ = "Saved orders and positions could not be moved to the state folder (" + error +
                          "); they stay in the settings file and move at the next start.";
        return;
    }
    log::write(log::Category::State, "moved " + std::to_string(playlistDict_.size()) + " orders and " +
                                         std::to_string(playingNumDict_.size()) +
                                         " positions out of the settings");
    services_.defaults.removeObjectForKey(keys::playlists);
    services_.defaults.removeObjectForKey(keys::playingNumbers);
    saveSettings();
}

void AppDelegate::saveSettings() {
    const bool saved = services_.defaults.synchronize();
    if (!saved) log::write(log::Category::State, "the settings file could not be written");
    storageProblem(settingsWriteError_, saved ? std::string() : "the settings file");
}

void AppDelegate::storePositions() {
    stateWriter_->write(state_files::positions, [numbers = playingNumDict_] {
        return plist::writeXml(playingNumbersValue(numbers));
    });
}

void AppDelegate::rememberPosition(const MyPlaylist& playlist) {
    playingNumDict_[playlist.persistentID()] = playlist.playingNum;
    storePositions();
}

void AppDelegate::rememberSeconds(const MyPlaylist& playlist, double seconds) {
    const auto& id = playlist.persistentID();
    const auto known = playingSecondsDict_.find(id);
    if (seconds > 0 && std::isfinite(seconds)) {
        if (known != playingSecondsDict_.end() && known->second == seconds) return;
        playingSecondsDict_[id] = seconds;
    } else {
        if (known == playingSecondsDict_.end()) return;
        playingSecondsDict_.erase(known);
    }
    stateWriter_->write(state_files::seconds, [all = playingSecondsDict_] {
        return plist::writeXml(playingSecondsValue(all));
    });
}

void AppDelegate::storageProblem(std::string& slot, const std::string& error) {
    if (slot == error) return;
    slot = error;
    if (viewCont_) viewCont_->refreshStatusNotice();
}

std::string AppDelegate::storageNotice() const {
    const auto& error = stateWriteError_.empty() ? settingsWriteError_ : stateWriteError_;
    if (error.empty()) return {};
    return "Could not save (" + error + "); Platter will try again at the next change.";
}

std::string AppDelegate::statusNotice() const {
    auto text = storageNotice();
    if (!text.empty() && !audioNotice_.empty()) text += "  ";
    return text + audioNotice_;
}

void AppDelegate::applicationWillTerminate() {
    // Where every queue stands, the playing one's and any that was moved within while paused.
    for (const auto& [playlist, queue] : queues_)
        if (queue->currentItem()) rememberSeconds(*playlist, queue->player().position());
    stateWriter_->flush();
    if (std::exchange(volumeUnsaved_, false)) saveSettings();
}

AppDelegate::LaunchResult AppDelegate::applicationDidFinishLaunching() {
    auto& defaults = services_.defaults;
    if (auto code = defaults.stringForKey(keys::countryCode)) countryCode_ = std::move(*code);
    if (const auto ratio = readTopArtistsRatio(defaults)) topArtistsRatio_ = *ratio;
    if (const auto* stored = defaults.objectForKey(keys::volume))
        if (const auto* volume = stored->get<double>(); volume && *volume >= 0 && *volume <= 1)
            volume_ = *volume;
    if (const auto* stored = defaults.objectForKey(keys::songNotifications))
        if (const auto* on = stored->get<bool>()) songNotifications_ = *on;
    replayGain_ = readReplayGain(defaults);
    const auto storedUrl = defaults.stringForKey(keys::xmlUrl);
    std::vector<std::string> candidates;
    if (storedUrl && pathFromFileUrl(*storedUrl)) {
        candidates = {*storedUrl};
    } else if (storedUrl && storedUrl->starts_with('/')) {
        candidates = {fileUrlFromPath(*storedUrl)};
    } else {
        const auto home = services_.system.homeDirectory();
        candidates = {fileUrlFromPath(home + std::string(defaultLibrarySuffix)),
                      fileUrlFromPath(home + std::string(exportedLibrarySuffix))};
    }
    musicLibraryUrl_ = candidates.front();

    const auto library = locateLibrary(candidates);
    if (!library) return LaunchResult::Cancelled;
    readStoredState();
    // The located library is already parsed; the model is built from that one parse.
    buildModel(library);
    restoreSelection();
    watchLibraryFile();
    return LaunchResult::Ready;
}

} // namespace platter
