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
// when missing, checks it and brings it to the current layout. A damaged file is moved aside
// with its log and the backup restored, or an empty database made.
OpenedLibraryFile openLibraryFile(const std::string& path);

std::string backupPathOf(const std::string& path);
// Copies a database that opened well to `backupPathOf(path)` when the last copy is a day old
// (`now`: UTC seconds) or missing.
void backUpIfDue(const sqlite::Connection& db, const std::string& path, std::int64_t now);

} // namespace platter
