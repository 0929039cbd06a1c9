#pragma once

#include <nlohmann/json.hpp>

namespace platter {

class AppDelegate;

// Counts of the built model and, per playlist in list order, its identity, size and top
// artists: what support needs to see of a user's library without the user's music.
nlohmann::ordered_json libraryReport(const AppDelegate& app);

} // namespace platter
