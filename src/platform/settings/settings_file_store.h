#pragma once

#include "core/services/settings_file.h"

#include <string>

namespace platter {

class PropertyListReader;

// The settings as an XML property list at $XDG_CONFIG_HOME/platter/settings.plist
// (~/.config/platter/ when the variable is unset). A file that cannot be read as a settings
// dictionary is moved aside, never overwritten, and the defaults apply; if it cannot even be
// moved, nothing is written for the rest of the run. Temporary files that kills during a save
// left behind are removed when it is read.
class SettingsFileStore final : public SettingsFile {
public:
    SettingsFileStore(std::string path, const PropertyListReader& reader);
    static std::string defaultPath();

    LoadResult load() override;
    bool save(const plist::Dict& values) override;
    std::string keepCopy() override;
    const std::string& lastError() const { return lastError_; }

private:
    std::string path_;
    const PropertyListReader& reader_;
    bool writable_ = true;
    std::string lastError_;
};

} // namespace platter
