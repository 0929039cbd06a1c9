#pragma once

#include <nlohmann/json.hpp>

namespace platter {

class AppDelegate;

// Counts of the built model and, per playlist in list order, its identity, size and top
// artists: what support needs to see of a user's library without the user's music. With
// `files`, how many songs have their file here, for the library and each playlist, and up to
// 20 songs whose file was not found with the path looked for.
nlohmann::ordered_json libraryReport(const AppDelegate& app, bool files = false);

} // namespace platter
