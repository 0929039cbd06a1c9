#pragma once

#include "core/plist/value.h"

#include <string>

namespace platter {

// The one file the settings live in. Saving replaces it as a whole, atomically.
class SettingsFile {
public:
    enum class Status { Loaded, Missing, Corrupt };
    struct LoadResult {
        Status status = Status::Missing;
        plist::Dict values;
        std::string setAsidePath; // where a corrupt file was moved, when it was
    };

    virtual ~SettingsFile() = default;
    virtual LoadResult load() = 0;
    virtual bool save(const plist::Dict& values) = 0;
    // Keeps a copy of the file as it is now beside it, as a corrupt one is set aside: some of
    // it could not be used and will not be written again. The copy's path, or empty when none
    // could be made.
    virtual std::string keepCopy() = 0;
};

} // namespace platter
