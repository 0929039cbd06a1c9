#pragma once

#include <cstdint>
#include <string>

namespace platter::bench {

// Writes a synthetic library file in the music application's layout: its key order, dates,
// percent-encoded file://localhost/ locations, multi-disc albums, compilations without album
// artist, non-ASCII names, podcasts and videos, and master, "Music", smart and folder
// playlists. The same size and seed give the same file.
void generateLibrary(const std::string& path, std::size_t tracks, std::uint64_t seed = 1);

// The generated library of `tracks` tracks under build/bench-data, written the first time it
// is asked for; its path.
std::string benchLibrary(std::size_t tracks);

} // namespace platter::bench
