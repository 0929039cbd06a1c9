#pragma once

// An application controller on real readers and fake dialogs, system and view, with its
// settings in memory and a seeded random source.

#include "core/app/app_delegate.h"
#include "core/model/file_url.h"
#include "core/persistence/memory_settings_file.h"
#include "support/memory_library_database.h"
#include "support/memory_state_storage.h"
#include "core/persistence/user_defaults.h"
#include "core/plist/xml_writer.h"
#include "core/services/seeded_random.h"
#include "core/text/string_rules.h"
#include "platform/files/local_file_system.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/text/icu_unicode_rules.h"
#include "support/fakes.h"
#include "support/library_fixture.h"

#include <functional>
#include <memory>
#include <set>

namespace platter::testing {

// Services a test puts in place of the harness's fakes, or adds.
struct Replacements {
    Dialogs* dialogs = nullptr;
    TaskRunner* tasks = nullptr;
    HttpFetch* http = nullptr;
    const CountryNames* countries = nullptr;
    std::string catalogueBase = "https://itunes.apple.com";
    LibraryDatabase* database = nullptr; // the harness's own in memory unless given
};

class AppHarness {
public:
    AppHarness() : reader(realReader) { players.files = &audioFiles; }

    // Writes the library to a file and stores its location, as an earlier run would have.
    std::filesystem::path useLibrary(const plist::Value& library, const std::string& name = "Library.xml") {
        const auto path = dir.write(name, plist::writeXml(library));
        useLibraryFile(path);
        return path;
    }
    void useLibraryFile(const std::filesystem::path& path) {
        plist::set(settings.values, "xmlUrl", fileUrlFromPath(path.string()));
        settings.exists = true;
    }
    void rewriteLibrary(const std::filesystem::path& path, const plist::Value& library) {
        dir.write(path.filename().string(), plist::writeXml(library));
    }

    // Services of a controller whose defaults are already made: the harness's own, with the
    // given ones in place of the fakes or the missing ones.
    AppServices services(Replacements r = {}) {
        return AppServices{.defaults = *defaults,
                           .plistReader = reader,
                           .dialogs = r.dialogs ? *r.dialogs : dialogs,
                           .files = files,
                           .audioFiles = audioFiles,
                           .artwork = artwork,
                           .players = players,
                           .tasks = r.tasks ? *r.tasks : tasks,
                           .system = system,
                           .random = random,
                           .rules = rules,
                           .fileSystem = fileSystem,
                           .state = state,
                           .mediaLibrary = &media,
                           .libraryWatcher = &watcher,
                           .http = r.http,
                           .countries = r.countries,
                           .catalogueBase = std::move(r.catalogueBase),
                           .database = r.database ? r.database : &database,
                           .clock = [this] { return clock; },
                           .musicFiles = musicFiles,
                           .musicWatcher = musicWatcher,
                           .covers = covers};
    }

    // A fresh controller over the current settings, launched; as a new run of the program.
    // Unless told not to, the search for the songs' files runs to its end.
    AppDelegate& launch(bool findFiles = true) {
        defaults = std::make_unique<UserDefaults>(settings);
        app = std::make_unique<AppDelegate>(services());
        view.wasPlaying = false;
        view.app = app.get();
        app->addObserver(&view);
        result = app->applicationDidFinishLaunching();
        if (findFiles) finishTasks();
        return *app;
    }

    // Launches on a playlist "P" of `count` one-song albums whose files exist, each `seconds`
    // long, selected and shuffled in file order; the songs at `withoutLocation` have no
    // location and those at `missing` point at no file. Song i is "s<i>" in "album <1000+i>",
    // its file "song<i>.mp3"; `shape` may then put songs together on albums and discs.
    void launchPlayable(int count, double seconds, std::set<int> withoutLocation = {},
                        std::set<int> missing = {}, const std::function<void(int, Track&)>& shape = {}) {
        std::vector<Track> tracks;
        std::vector<std::int64_t> ids;
        for (int i = 0; i < count; ++i) {
            tracks.push_back({i + 1,
                              "s" + std::to_string(i),
                              "album " + std::to_string(1000 + i),
                              "X",
                              {},
                              {},
                              {},
                              200000,
                              {}});
            if (shape) shape(i, tracks.back());
            ids.push_back(i + 1);
        }
        auto lib = libraryValue(tracks, {{"P", "P", ids, {}}});
        auto& list = *plist::find(*lib.get<plist::Dict>(), "Tracks")->get<plist::Dict>();
        for (int i = 0; i < count; ++i) {
            auto& track = *list[static_cast<std::size_t>(i)].second.get<plist::Dict>();
            const auto file = "song" + std::to_string(i) + ".mp3";
            if (withoutLocation.contains(i)) {
                plist::erase(track, "Location");
                continue;
            }
            if (!missing.contains(i)) dir.write(file, "audio");
            plist::set(track, "Location", fileUrlFromPath((dir.path() / file).string()));
            audioFiles.seconds[file] = seconds;
        }
        useLibrary(lib);
        launch();
        // Albums are named so that the shuffle keeps the file order: every unit draws 0.
        app->changePlaylistWithRow(1);
        random.next.assign(static_cast<std::size_t>(count), 0);
        app->showPlaylist();
    }

    // The library file changed and has been quiet since: it is read again.
    void libraryChangedAndSettled() {
        watcher.changed();
        ManualTasks::drain(tasks.later);
        finishTasks();
    }
    void finishTasks() {
        ManualTasks::drain(tasks.background);
        ManualTasks::drain(tasks.main);
    }

    // The state as the next run reads it, once every write has been made.
    PlayingNumbers storedPositions() {
        if (app) app->applicationWillTerminate();
        const auto file = state.read(state_files::positions);
        const auto parsed = realReader.parse(file.bytes);
        std::size_t dropped = 0;
        return parsed.document ? playingNumbersFrom(plist::Value::copyOf(parsed.document->root()), dropped)
                               : PlayingNumbers{};
    }
    std::optional<std::vector<std::string>> storedOrder(std::string_view playlistID) {
        if (app) app->applicationWillTerminate();
        const auto file = state.read(state_files::orderOf(playlistID));
        return decodeOrder(file.bytes, playlistID, realReader);
    }
    PlayingSeconds storedSeconds() {
        if (app) app->applicationWillTerminate();
        const auto parsed = realReader.parse(state.read(state_files::seconds).bytes);
        std::size_t dropped = 0;
        return parsed.document ? playingSecondsFrom(plist::Value::copyOf(parsed.document->root()), dropped)
                               : PlayingSeconds{};
    }
    AlbumSettings storedAlbumSettings() {
        const auto* stored = plist::find(settings.values, "albumSettings");
        const auto* data = stored ? stored->get<plist::Data>() : nullptr;
        return data ? decodeAlbumSettings(data->bytes, realReader).value_or(AlbumSettings{}) : AlbumSettings{};
    }
    // The library file read again, as a confirmed Reset does.
    void readAgain() {
        dialogs.answers.push_back(true);
        app->resetAll();
    }
    PlaylistOrders importedOrders() {
        const auto parsed = realReader.parse(state.read(state_files::importedOrders).bytes);
        std::size_t dropped = 0;
        return parsed.document ? playlistOrdersFrom(plist::Value::copyOf(parsed.document->root()), dropped)
                               : PlaylistOrders{};
    }
    // The standing notices' kinds, paths and reasons, for a test to look into.
    std::string noticeFacts() const {
        std::string facts;
        for (const auto& notice : app->notices())
            facts += std::to_string(static_cast<int>(notice.kind)) + " " + notice.path + " " + notice.reason + "; ";
        return facts;
    }
    std::string startFacts() const {
        const auto& notice = app->startNotice();
        return notice ? std::to_string(static_cast<int>(notice->kind)) + " " + notice->path + " " + notice->reason
                      : std::string();
    }
    const PlayQueue* queueOf(const MyPlaylist& playlist) const { return app->playback().queueOf(playlist); }
    // Positions as an earlier run stored them.
    void storePositions(const PlayingNumbers& numbers) {
        if (app) app->applicationWillTerminate();
        state.files[state_files::positions] = plist::writeXml(playingNumbersValue(numbers));
    }

    MyPlaylist& playlist(std::string_view persistentID) {
        for (const auto& p : app->allPlaylists())
            if (p->persistentID() == persistentID) return *p;
        throw std::runtime_error("no playlist " + std::string(persistentID));
    }

    TempDir dir;
    PlistFileReader realReader;
    CountingReader reader;
    IcuUnicodeRules unicode;
    StringRules rules{unicode};
    LocalFileSystem fileSystem;
    MemorySettingsFile settings;
    MemoryStateStorage state;
    std::unique_ptr<UserDefaults> defaults;
    FakeDialogs dialogs;
    FakeFileWriter files;
    FakeAudioFiles audioFiles;
    FakePlayers players;
    FakeArtwork artwork;
    ManualTasks tasks;
    InMemoryMediaLibrary media;
    FakeWatcher watcher;
    FakeSystem system;
    ScriptedRandom random;
    MemoryLibraryDatabase database;
    std::int64_t clock = 1'700'000'000; // UTC seconds, as the controller reads them
    RecordingView view;
    // Music added on this computer: none unless a test gives these.
    const MusicFiles* musicFiles = nullptr;
    FolderWatcher* musicWatcher = nullptr;
    CoverStore* covers = nullptr; // none: no album covers
    std::unique_ptr<AppDelegate> app;
    AppDelegate::LaunchResult result{};
};

} // namespace platter::testing
