#pragma once

// Finds the files of a library written on another computer. A location is tried as it stands,
// then below the library's music folder under each search root (directly and under the music
// folder's own name), then as the longest tail of its path found under a search root; then
// all of that again with names matched regardless of case and Unicode normalisation form.
// A prefix rewritten once is tried first for every later song with that prefix, and directory
// listings are read once, so a whole library costs about one look-up per song.
//
// One locator serves one search on one thread; it is not shared between threads.

#include "core/model/my_playlist.h"
#include "core/model/song_file.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platter {

class FileSystem;
class StringRules;

class SongLocator {
public:
    // Where to look. The search roots are, in this order: the chosen folders, the library
    // file's folder and its parent, and the user's music folder; those that are no folders are
    // left out.
    struct Places {
        std::string musicFolderUrl; // the library's "Music Folder", where its files lay; may be empty
        std::vector<std::string> chosenFolders;
        std::string libraryFolder;
        std::string userMusicFolder;
    };
    SongLocator(const FileSystem& files, const StringRules& rules, const Places& places);

    // Where the file of a song with this "Location" lies.
    SongFile locate(std::optional<std::string_view> locationUrl);

private:
    struct Mapping {
        std::string written; // a prefix of written paths, without a trailing slash
        std::string local;   // the folder that stands for it here
    };
    struct Listing {
        // Folded name to the names that fold to it, as spelt on disk.
        std::unordered_map<std::string, std::vector<std::string>> byFold;
    };
    enum class Match { Exact, Folded };

    // How many leading names of a written path are the music folder's; nothing when it is not
    // inside it.
    std::optional<std::size_t> musicFolderPrefix(const std::vector<std::string_view>& parts);
    std::optional<std::string> fromMappings(const std::string& path);
    std::optional<std::string> search(const std::string& path, Match match);
    // The file below `base` at the relative components, each name matched as `match` says.
    std::optional<std::string> walk(const std::string& base, const std::vector<std::string_view>& parts,
                                     std::size_t from, Match match);
    const Listing& listing(const std::string& directory);
    std::string fold(std::string_view name) const;
    void remember(std::string written, std::string local);

    const FileSystem& files_;
    const StringRules& rules_;
    std::string musicFolder_;     // without a trailing slash; empty when the library names none
    std::string musicFolderName_; // its last name ("iTunes Media")
    std::string libraryFolder_;
    std::vector<std::string> roots_;
    std::vector<Mapping> mappings_; // most recently useful first
    std::unordered_map<std::string, Listing> listings_;
};

// One search's results: every song's file, in the order of the songs searched, and the counts
// worked out beside them.
struct SongFileResults {
    std::vector<SongPtr> songs;
    std::vector<PlaylistPtr> playlists;
    std::vector<SongFile> files;
    FileCounts library;
    std::vector<FileCounts> playlistFiles;
};

// Looks for the files of `results.songs` and counts them for the library and each playlist.
void locateAll(SongFileResults& results, SongLocator& locator);

} // namespace platter
