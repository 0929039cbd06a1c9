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
};

} // namespace platter
