#pragma once

#include <string>
#include <string_view>

namespace platter {

// Replaces the file at `path` with `contents` so that a reader, or a crash at any moment,
// sees either the old file or the new one whole: the bytes go to a temporary file in the same
// folder, are flushed to disk, and the temporary file is renamed over the old one. Missing
// folders are created. A symbolic link either stays one, its target replaced beside the target
// (a settings file kept in a dotfiles repository), or is itself replaced by the new file, its
// target untouched (state files, which nobody links on purpose). Anything else at `path` that
// is not a regular file (a device, a FIFO, a folder) is left alone and refused. Returns an
// explanation on failure, empty on success.
enum class SymbolicLink { Follow, Replace };
std::string writeFileAtomically(const std::string& path, std::string_view contents,
                                SymbolicLink link = SymbolicLink::Follow);

// Moves `path` to a new name beside it, never over an existing file. Returns the new path,
// or empty when it could not be moved.
std::string moveAside(const std::string& path, std::string_view reason);
// Copies `path` to a new name beside it the same way; the new path, or empty.
std::string copyAside(const std::string& path, std::string_view reason);

// Removes the temporary files that writes to `path` left behind when the process was killed
// during them, those untouched for a minute (a write under way is younger).
void removeStaleTemporaries(const std::string& path);
// The same for every file in `folder`: one listing, where a folder holds many such files.
void removeStaleTemporariesIn(const std::string& folder);

} // namespace platter
