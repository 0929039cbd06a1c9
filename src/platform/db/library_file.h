#pragma once

#include "core/services/library_database.h"
#include "platform/db/sqlite_handle.h"

#include <cstdint>
#include <string>

namespace platter {

struct OpenedLibraryFile {
    sqlite::Connection db; // unopened when the report says the database is unavailable
    DatabaseOpenReport report;
};

// Opens the database at `path`, creating its folder and the file (each for the user alone)
// when missing, checks it, brings it to the current layout and, at most once a day (`now`:
// UTC seconds), copies it to `backupPathOf(path)` once it opened well. A damaged file is
// moved aside with its log and the copy restored, or an empty database made.
OpenedLibraryFile openLibraryFile(const std::string& path, std::int64_t now);

std::string backupPathOf(const std::string& path);

} // namespace platter
