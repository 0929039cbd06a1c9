// platter-inspect: builds the model of a library file exactly as Platter does and prints a
// JSON report of it, or a playlist's shuffled order, or writes its export. A developer and
// support tool; Platter itself has no command line.

#include "core/persistence/memory_settings_file.h"
#include "core/persistence/stored_state.h"
#include "core/persistence/user_defaults.h"
#include "core/services/seeded_random.h"
#include "core/shuffle/shuffle.h"
#include "platform/files/atomic_file.h"
#include "platform/db/library_snapshot.h"
#include "platform/db/sqlite_library_database.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/system/system_environment.h"
#include "tools/inspect/library_model.h"
#include "tools/inspect/library_report.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

int usage() {
    std::cerr << "usage: platter-inspect LIBRARY [--shuffle PERSISTENT_ID | --export PERSISTENT_ID OUT |\n"
                 "                               --stats PERSISTENT_ID]\n"
                 "                              [--seed N] [--settings FILE] [--database FILE]\n"
                 "                              [--files [--music-folder DIR]... [--no-music-folders]]\n"
                 "  Without options: a JSON report of the library's songs, albums, artists and playlists.\n"
                 "  --files    the report also counts the songs whose files are found on this computer,\n"
                 "             looking where Platter looks: the chosen music folders (those of --settings\n"
                 "             too), beside the library, and the user's music folder\n"
                 "  --music-folder  a folder to look for music in, as one chosen in Platter (repeatable)\n"
                 "  --no-music-folders  looks in neither the user's music folder nor the settings' folders,\n"
                 "             so the counts do not depend on who runs the tool; with the library database,\n"
                 "             the report also lists the songs added on this computer\n"
                 "  --stats    the playlist's songs with their statistics as Platter shows them: the library\n"
                 "             file's plus what the library database counted\n"
                 "  --database the library database to read, never written (default:\n"
                 "             $XDG_DATA_HOME/platter/library.sqlite, or none when it does not exist)\n"
                 "  --shuffle  the playlist's shuffled order, one song persistent ID a line\n"
                 "  --export   shuffles the playlist and writes it to OUT as an importable playlist file\n"
                 "  --seed     the random seed of the shuffle (default 1)\n"
                 "  --settings the album settings of a Platter settings file (default: every album whole)\n"
                 "The build time goes to standard error.\n";
    return 2;
}

struct Options {
    std::string library;
    std::optional<std::string> shuffle, exportTo, settings, stats, database;
    std::uint64_t seed = 1;
    bool files = false;
    bool userFolders = true;
    std::vector<std::string> musicFolders;
};

std::optional<Options> parse(const std::vector<std::string>& args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto& a = args[i];
        const auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
        if (a == "--shuffle" || a == "--export") {
            const auto* id = value();
            if (!id || o.shuffle) return std::nullopt;
            o.shuffle = *id;
            if (a == "--export") {
                const auto* out = value();
                if (!out) return std::nullopt;
                o.exportTo = *out;
            }
        } else if (a == "--stats" || a == "--database") {
            const auto* v = value();
            auto& option = a == "--stats" ? o.stats : o.database;
            if (!v || option) return std::nullopt;
            option = *v;
        } else if (a == "--seed") {
            const auto* n = value();
            if (!n) return std::nullopt;
            try {
                o.seed = std::stoull(*n);
            } catch (const std::exception&) {
                return std::nullopt;
            }
        } else if (a == "--files") {
            o.files = true;
        } else if (a == "--no-music-folders") {
            o.userFolders = false;
        } else if (a == "--music-folder") {
            const auto* f = value();
            if (!f) return std::nullopt;
            o.musicFolders.push_back(*f);
        } else if (a == "--settings") {
            const auto* f = value();
            if (!f) return std::nullopt;
            o.settings = *f;
        } else if (a.starts_with("--") || !o.library.empty()) {
            return std::nullopt;
        } else {
            o.library = a;
        }
    }
    if (o.library.empty() || ((!o.musicFolders.empty() || !o.userFolders) && !o.files) || (o.stats && o.shuffle))
        return std::nullopt;
    return o;
}

struct StoredChoices {
    platter::AlbumSettings albumSettings;
    std::vector<std::string> musicFolders;
};

// The album settings and music folders of a settings file, as Platter reads them; nothing else
// of it is used.
std::optional<StoredChoices> storedChoicesOf(const std::string& path) {
    const platter::PlistFileReader reader;
    const auto read = reader.readFile(path);
    if (!read.document || !read.document->root().is(platter::plist::Type::Dict)) return std::nullopt;
    StoredChoices choices;
    const auto data = read.document->root().find(platter::keys::albumSettings);
    if (data.is(platter::plist::Type::Data)) {
        auto settings = platter::decodeAlbumSettings(data.data(), reader);
        if (!settings) return std::nullopt;
        choices.albumSettings = std::move(*settings);
    }
    auto root = platter::plist::Value::copyOf(read.document->root());
    platter::MemorySettingsFile file(std::move(*root.get<platter::plist::Dict>()));
    choices.musicFolders = platter::readMusicFolders(platter::UserDefaults(file));
    return choices;
}

// The library database's records: the one named, which must be readable, else the user's own
// when there is one.
std::optional<platter::LibrarySnapshot> readDatabase(const std::optional<std::string>& named, bool& failed) {
    const auto path = named ? *named : platter::SqliteLibraryDatabase::defaultPath();
    std::error_code ec;
    if (!named && !std::filesystem::exists(path, ec)) return std::nullopt;
    std::string error;
    auto snapshot = platter::readLibrarySnapshot(path, error);
    if (!snapshot) {
        std::cerr << "platter-inspect: cannot read the library database " << path << ": " << error << '\n';
        failed = named.has_value();
    }
    return snapshot;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = parse(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) return usage();
    platter::InspectionRequest request{options->library, {}, options->files, {}, {}};
    auto folders = options->musicFolders;
    if (options->settings) {
        auto stored = storedChoicesOf(*options->settings);
        if (!stored) {
            std::cerr << "platter-inspect: " << *options->settings << " is not a readable settings file\n";
            return 1;
        }
        request.albumSettings = std::move(stored->albumSettings);
        if (options->userFolders)
            folders.insert(folders.end(), stored->musicFolders.begin(), stored->musicFolders.end());
    }
    for (const auto& f : folders) {
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(f, ec);
        request.musicFolders.push_back(ec ? f : absolute.lexically_normal().string());
    }
    if (options->files && options->userFolders) request.userMusicFolder = platter::SystemEnvironment().musicDirectory();

    const auto start = std::chrono::steady_clock::now();
    auto inspection = platter::inspectLibrary(request);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!inspection.library) {
        std::cerr << "platter-inspect: " << options->library << " is no library Platter can use. "
                  << inspection.error << '\n';
        return 1;
    }
    const auto& library = *inspection.library;
    const auto findPlaylist = [&](const std::string& id) -> platter::MyPlaylist* {
        for (const auto& p : library.playlists)
            if (p->persistentID() == id) return p.get();
        std::cerr << "platter-inspect: no playlist with persistent ID " << id << '\n';
        return nullptr;
    };
    // Text is valid UTF-8 as read; should any not be, it is replaced rather than thrown on.
    const auto print = [](const nlohmann::ordered_json& report) {
        std::cout << report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << std::endl;
    };
    bool failed = false;
    const auto database =
        options->stats || options->files || options->database ? readDatabase(options->database, failed)
                                                                : std::nullopt;
    if (failed) return 1;
    if (options->stats) {
        const auto* playlist = findPlaylist(*options->stats);
        if (!playlist) return 1;
        print(platter::statisticsReport(*playlist, database ? database->stats : decltype(database->stats){}));
    } else if (!options->shuffle) {
        auto report = platter::libraryReport(library, inspection.files);
        if (options->files && database) report["addedOnThisComputer"] = platter::addedSongsReport(database->addedSongs);
        print(report);
    } else {
        auto* playlist = findPlaylist(*options->shuffle);
        if (!playlist) return 1;
        platter::SeededRandom random(options->seed);
        platter::shuffleWithSettingVersion(*playlist, 0, random);
        if (options->exportTo) {
            const auto error = platter::writeFileAtomically(
                *options->exportTo, playlist->xmlDataWithName(platter::exportNameOf(*options->exportTo)));
            if (!error.empty()) {
                std::cerr << "platter-inspect: " << error << '\n';
                return 1;
            }
        } else {
            for (const auto& song : playlist->shuffledSongs)
                std::cout << song->persistentID() << '\n';
            std::cout.flush();
        }
    }
    std::fprintf(stderr, "build: %.3f s\n", seconds);
    return 0;
}
