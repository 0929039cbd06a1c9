#pragma once

#include "platform/db/sqlite_handle.h"

#include <string>

namespace platter::library_schema {

// The layout's version, kept in the file's user_version. A file of version 0 is empty.
inline constexpr int currentVersion = 1;
// Marks the file as Platter's (application_id): "PLTR".
inline constexpr int applicationId = 0x504c5452;

// Brings a database of version `from` (at most currentVersion) to the current version, one
// version at a time, each step in a transaction of its own with the version it reaches: a kill
// during a migration leaves a database of the version before the step. Empty, or why it failed.
std::string migrate(const sqlite::Connection& db, int from);

} // namespace platter::library_schema
