#pragma once

#include <cstdint>
#include <string>

namespace platter {

// Where a song's file lies on this computer, as the last search found it.
struct SongFile {
    enum class Status : std::uint8_t {
        Unknown,  // not searched for yet
        Found,    // `path` is the file
        NotFound, // the location names a file that is not here; `path` is where it was looked for
        NoFile,   // no file to look for: a stream, or a cloud song without a location
    };
    Status status = Status::Unknown;
    std::string path;
};

// How many songs of a library or playlist have a file here, have one that cannot be found, or
// have none at all.
struct FileCounts {
    std::int64_t found = 0;
    std::int64_t notFound = 0;
    std::int64_t noFile = 0;

    std::int64_t total() const { return found + notFound + noFile; }
    void add(SongFile::Status status) {
        if (status == SongFile::Status::Found) ++found;
        else if (status == SongFile::Status::NotFound) ++notFound;
        else if (status == SongFile::Status::NoFile) ++noFile;
    }
};

// What the window's status line says of a library's files: how many cannot be found, or that
// none of its songs has a file at all; nothing when every file that should be here is.
std::string songFilesNotice(const FileCounts& library);
// 1234567 as "1,234,567".
std::string groupedNumber(std::int64_t n);

} // namespace platter
