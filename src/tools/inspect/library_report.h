#pragma once

#include "core/model/library.h"
#include "core/model/song_file.h"

#include <nlohmann/json.hpp>
#include <optional>

namespace platter {

// Counts of the built model and, per playlist in list order, its identity, its folders, size and
// top artists: what support needs to see of a user's library without the user's music. With the
// counts of a file search, how many songs have their file here, for the library and each
// playlist, and up to 20 songs whose file was not found with the path looked for.
nlohmann::ordered_json libraryReport(const Library& library, const std::optional<FileCounts>& files = {});

} // namespace platter
