#pragma once

// A library file's model, built by the model layer exactly as Platter builds it, with no
// application around it: no window, no audio, no stored state but the album settings given.

#include "core/model/library.h"
#include "core/model/song_file.h"

#include <optional>
#include <string>
#include <vector>

namespace platter {

struct Inspection {
    std::optional<Library> library;
    // Why the file is no library Platter can use, in Platter's words; empty when it is one.
    std::string error;
    // With a file search: how many of the library's songs have their file here.
    std::optional<FileCounts> files;
};

struct InspectionRequest {
    std::string libraryPath;
    AlbumSettings albumSettings;
    // Looks for the songs' files, in these chosen folders first, then beside the library and in
    // the user's music folder (none when empty), as Platter does.
    bool findFiles = false;
    std::vector<std::string> musicFolders;
    std::string userMusicFolder;
};

Inspection inspectLibrary(const InspectionRequest& request);

} // namespace platter
